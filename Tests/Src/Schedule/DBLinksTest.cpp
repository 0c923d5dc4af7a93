#include <set>

#include "API/Selection.h"
#include "Palette/MainDialogCPP.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

class DBLinksTest : public ElementsTest {
protected:
    void SetUp() override {
        ElementsTest::SetUp();
        for (int i = 0; i < 3; ++i)
            ids.push_back(db.GetTask(uint32_t(db.AppendNewTask())).uniqueID);
    }
    static void SelectOnly(std::initializer_list<API_Guid> guids) {
        Model().ClearSelection();
        for (const API_Guid& g : guids) Model().Select(g);
    }
    static std::vector<int32_t> Links(const API_Guid& guid) { return LinkedIds(Stored(guid)); }
    static API_Guid WithLinks(const std::string& id, std::vector<int32_t> links) {
        const API_Guid g = Add(APIElem::Wall, id, 2);
        Store(g, LinkBytes::LinksOnly(std::move(links)));
        return g;
    }
    std::vector<int32_t> ids;
};

TEST_F(DBLinksTest, LinkingAsksBeforeAFurtherTaskAndRefusesAnEleventh) {
    const std::vector<int32_t> three = {901, 902, 903};
    const std::vector<int32_t> ten = {901, 902, 903, 904, 905, 906, 907, 908, 909, 910};
    const struct {
        std::vector<int32_t> before;
        std::vector<int16_t> answers;
        int16_t alert;      // 0: none
        const char* count;  // of the links the alert names with the element
        bool linked;
    } cases[] = {{{}, {}, 0, "", true},
                 {three, {1}, 32531, "3", true},
                 {three, {2}, 32531, "3", false},
                 {ten, {}, 32530, "10", false}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& k = cases[i];
        SCOPED_TRACE(i);
        const API_Guid g = WithLinks("W" + std::to_string(i), k.before);
        SelectOnly({g});
        agent.alerts.clear();
        agent.answers = k.answers;
        db.LinkSelectionToTask(ids[1]);
        if (k.alert == 0) {
            EXPECT_TRUE(agent.alerts.empty());
        } else {
            ASSERT_EQ(AlertIds(), std::vector<int16_t>{k.alert});
            const std::string& text = agent.alerts[0].text;
            EXPECT_NE(text.find("\"W" + std::to_string(i) + "\""), std::string::npos) << text;
            EXPECT_NE(text.find(k.count), std::string::npos) << text;
        }
        std::vector<int32_t> expected = k.before;
        if (k.linked) expected.push_back(ids[1]);
        EXPECT_EQ(Links(g), expected);
    }
}

TEST_F(DBLinksTest, AnAlreadyLinkedTaskAsksNothingStopEndsTheWalkTaskZeroUnlinks) {
    const API_Guid linked = WithLinks("L", {ids[0], ids[1]});
    const API_Guid first = WithLinks("F", {ids[0]});
    const API_Guid second = WithLinks("S", {ids[0]});
    SelectOnly({linked});
    db.LinkSelectionToTask(ids[1]);
    EXPECT_TRUE(agent.alerts.empty());
    EXPECT_EQ(Links(linked), (std::vector<int32_t>{ids[0], ids[1]}));

    SelectOnly({first, second});
    agent.answers = {3};
    db.LinkSelectionToTask(ids[2]);
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32531}));
    EXPECT_EQ(Links(first), (std::vector<int32_t>{ids[0]}));
    EXPECT_EQ(Links(second), (std::vector<int32_t>{ids[0]})) << "the walk stopped";

    // Task 0 unlinks: every link of the selection goes, others stay.
    SelectOnly({linked});
    db.LinkSelectionToTask(0);
    EXPECT_TRUE(Links(linked).empty());
    EXPECT_EQ(Links(first), (std::vector<int32_t>{ids[0]}));
}

TEST_F(DBLinksTest, DeletingATaskTakesItsIdFromEveryElementKeepingTheOthersPacked) {
    const API_Guid abc = WithLinks("ABC", {ids[0], ids[1], ids[2]});
    const API_Guid b = WithLinks("B", {ids[1]});
    const API_Guid ac = WithLinks("AC", {ids[0], ids[2]});
    db.DeleteLinkToSelection(ids[1]);
    EXPECT_EQ(Links(abc), (std::vector<int32_t>{ids[0], ids[2]}));
    EXPECT_TRUE(Links(b).empty());
    EXPECT_EQ(Links(ac), (std::vector<int32_t>{ids[0], ids[2]}));
}

TEST_F(DBLinksTest, SelectingLinkedAndUnlinkedGivesExactlyThoseElements) {
    const API_Guid one = WithLinks("one", {ids[0]});
    const API_Guid both = WithLinks("both", {ids[1], ids[0]});
    const API_Guid none = WithLinks("none", {});
    const API_Guid bare = Add(APIElem::Column, "bare", 2);      // no record at all
    const API_Guid hidden = Add(APIElem::Column, "hidden", 3);  // on a layer the user hid
    (void)hidden;
    auto selected = [] {
        return std::set<API_Guid>(Model().Selection().begin(), Model().Selection().end());
    };
    db.SelectLinkedElements(ids[0]);
    EXPECT_EQ(selected(), (std::set<API_Guid>{one, both}));
    db.SelectLinkedElements(ids[1]);
    EXPECT_EQ(selected(), (std::set<API_Guid>{both}));
    db.SelectLinkedElements(-1);
    EXPECT_EQ(selected(), (std::set<API_Guid>{none, bare}));
    db.SelectLinkedElements(ids[2]);
    EXPECT_TRUE(selected().empty());
}

TEST_F(DBLinksTest, MarkingAsksAboutAVanishedTaskAndWritesThePackedRecordBack) {
    const API_Guid g = WithLinks("W", {ids[0], 777, ids[2]});
    SelectOnly({g});
    agent.answers = {1};
    db.MarkSelectionLinkedTasks(nullptr);
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32522}));
    EXPECT_EQ(Links(g), (std::vector<int32_t>{ids[0], ids[2]}));
    EXPECT_EQ(Stored(g).size(), 88u);
    // Packed: the last ID moved into the hole (bytes 4..7), slot 2 (bytes 8..11) emptied.
    EXPECT_EQ(Stored(g)[4], uint8_t(ids[2] & 0xFF));
    EXPECT_EQ(Stored(g)[8], 0);
    EXPECT_EQ(db.GetTask(0).flags & TASK::kMarked, TASK::kMarked);
    EXPECT_EQ(db.GetTask(1).flags & TASK::kMarked, 0u);
    EXPECT_EQ(db.GetTask(2).flags & TASK::kMarked, TASK::kMarked);

    // Any other answer keeps the link.
    const API_Guid kept = WithLinks("K", {777, ids[1]});
    SelectOnly({kept});
    agent.answers = {2};
    db.MarkSelectionLinkedTasks(nullptr);
    EXPECT_EQ(Links(kept), (std::vector<int32_t>{777, ids[1]}));
    EXPECT_EQ(db.GetTask(1).flags & TASK::kMarked, TASK::kMarked);
}

TEST_F(DBLinksTest, AnElementTheFilterRejectsClearsEveryMarkWith32507) {
    const API_Guid mine = WithLinks("mine", {ids[0]});
    const API_Guid theirs = WithLinks("theirs", {ids[1]});
    Model().Edit(theirs)->owner = 3;
    CadHost::Host::Get().sharedProject = true;
    CadHost::Host::Get().signedInUser = 0;  // the host's user may edit only elements of nobody
    SelectOnly({mine, theirs});
    db.MarkSelectionLinkedTasks(nullptr);
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32507}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(db.GetTask(uint32_t(i)).flags, 0u) << i;
}

}  // namespace
