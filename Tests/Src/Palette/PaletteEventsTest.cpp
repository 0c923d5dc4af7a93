#include <functional>

#include "AddOn/ResUtils.h"
#include "PaletteFixture.h"

namespace {

// Three tasks in March 2027: A 1..10, B 5..20, C 15..31.
class PaletteEventsTest : public PaletteTest {
protected:
    void SetUp() override {
        PaletteTest::SetUp();
        a = AddTask("A", Build, {2027, 3, 1}, {2027, 3, 10});
        b = AddTask("B", Demolish, {2027, 3, 5}, {2027, 3, 20});
        c = AddTask("C", TypeR, {2027, 3, 15}, {2027, 3, 31});
        Open();
    }
    int32_t a = 0, b = 0, c = 0;
};

TEST_F(PaletteEventsTest, ARefusedEditBlocksEveryActionUntilMended) {
    DoubleClick(1);
    ASSERT_EQ(palette->editRow, 1);
    // Start after end: stored silently not yet.
    SetDate(palette->startEditor, {2027, 3, 12});
    EXPECT_TRUE(agent.alerts.empty());
    struct Attempt {
        const char* what;
        std::function<void()> act;
    };
    const std::vector<Attempt> attempts = {
        {"new task", [&] { Click(MainDialogCPP::kNewTaskButton); }},
        {"header", [&] { Click(18); }},
        {"choose another row", [&] { Choose(2); }},
        {"double-click another row", [&] { DoubleClick(3); }},
        {"close box", [&] { ASSERT_TRUE(palette->UserCloseRequest(why)); }},
        {"focus on the date", [&] { ASSERT_TRUE(palette->currentDate.UserFocus(why)); }},
    };
    for (const Attempt& attempt : attempts) {
        SCOPED_TRACE(attempt.what);
        agent.alerts.clear();
        palette->ClearFocus();
        attempt.act();
        EXPECT_GE(AlertCount(32503), 1u);
        EXPECT_EQ(db.GetTaskNumber(), 3);
        EXPECT_EQ(palette->editRow, 1);
        EXPECT_EQ(palette->taskList.GetSelectedItem(), 1);
        EXPECT_TRUE(palette->nameEditor.IsVisible());
        EXPECT_TRUE(palette->IsVisible());
        EXPECT_EQ(RowIds(), (std::vector<int32_t>{a, b, c}));
    }
    // A start on the end day itself is accepted, stored as soon as it is set.
    agent.alerts.clear();
    SetDate(palette->startEditor, {2027, 3, 10});
    EXPECT_EQ(Compare(db.GetTask(0).start, CHighTimePersistent(CHighTime(2027, 3, 10))), 0);
    Choose(2);
    EXPECT_TRUE(agent.alerts.empty());
    EXPECT_EQ(palette->editRow, -1);
    EXPECT_EQ(Compare(db.GetTask(0).start, CHighTimePersistent(CHighTime(2027, 3, 10))), 0);
}

TEST_F(PaletteEventsTest, DeletingARowSelectsItsNeighbour) {
    const struct {
        size_t tasks;
        short chosen;
        std::vector<int32_t> left;  // the IDs: A 1, B 2, C 3
        short selected;
    } cases[] = {{3, 1, {2, 3}, 1}, {3, 2, {1, 3}, 1}, {3, 3, {1, 2}, 2}, {1, 1, {}, 0}};
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.tasks) + " " + std::to_string(k.chosen));
        db.tasks.clear();
        AddTask("A", Build, {2027, 3, 1}, {2027, 3, 10});
        AddTask("B", Demolish, {2027, 3, 5}, {2027, 3, 20});
        AddTask("C", TypeR, {2027, 3, 15}, {2027, 3, 31});
        db.tasks.resize(k.tasks);
        palette->RefreshMainDlgTasks(false);
        Choose(k.chosen);
        agent.answers = {1};
        Click(MainDialogCPP::kDeleteTaskButton);
        EXPECT_EQ(RowIds(), k.left);
        EXPECT_EQ(db.GetTaskNumber(), int32_t(k.left.size()));
        EXPECT_EQ(palette->taskList.GetSelectedItem(), k.selected);
        EXPECT_EQ(palette->editRow, -1);
    }
}

TEST_F(PaletteEventsTest, ConfirmAnswersOtherThanTheFirstChangeNothing) {
    const API_Guid wall = Add(APIElem::Wall, "W1");
    CadHost::CurrentProject().Select(wall);
    // Both questions have two buttons: 2 is the only answer other than 1.
    agent.answers = {2};
    Choose(2);
    Click(MainDialogCPP::kDeleteTaskButton);
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{a, b, c}));
    agent.answers = {2};
    Click(MainDialogCPP::kLinkButton);
    EXPECT_TRUE(Stored(wall).empty()) << "no link written";
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32511, 32509}));
}

// Typing a name into the new row and moving on is in HostileRowsTest.
TEST_F(PaletteEventsTest, NewTaskIsTheLastRowWithItsEditorsOpenADoubleClickAgainKeepsThem) {
    Click(MainDialogCPP::kNewTaskButton);
    EXPECT_EQ(RowIds().size(), 4u);
    EXPECT_EQ(palette->editRow, 4);
    EXPECT_EQ(palette->taskList.GetSelectedItem(), 4);
    EXPECT_TRUE(palette->nameEditor.IsFocused());
    // A double-click on the row in editing changes nothing: the editors are not filled again.
    ASSERT_TRUE(palette->nameEditor.UserSetText("typed", why));
    DoubleClick(4);
    EXPECT_EQ(palette->nameEditor.GetText(), "typed");
    EXPECT_EQ(palette->editRow, 4);
}

TEST_F(PaletteEventsTest, ADateChangeKeepsThePercentOrderAndItsDirection) {
    Click(MainDialogCPP::kPercentHeader);
    Click(MainDialogCPP::kPercentHeader);  // descending
    // Worked by hand at 24:00 of the day, ties by unique ID (descending too). On the 4th: A 4 of
    // 10 days, B and C not begun. On the 25th: A and B done, C 11 of 17 days.
    const struct {
        int day;
        std::vector<int32_t> rows;
        std::vector<std::string> percents;
    } cases[] = {{4, {a, c, b}, {"40%", "0%", "0%"}}, {25, {b, a, c}, {"100%", "100%", "64%"}}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.day);
        SetDate(palette->currentDate, {2027, 3, k.day});
        EXPECT_EQ(RowIds(), k.rows);
        EXPECT_EQ(palette->sortDescending, 1);
        for (int16_t row = 1; row <= 3; ++row)
            EXPECT_EQ(palette->taskList.GetCellText(row, 3), k.percents[size_t(row - 1)]);
    }
}

TEST_F(PaletteEventsTest, SameHeaderTwiceReversesButtonsActOnTheRowShownAnEditEndsTheOrder) {
    const API_Guid wall = Add(APIElem::Wall, "W1");
    CadHost::CurrentProject().Select(wall);
    Choose(2);
    Choose(1);  // A
    Click(17);
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{a, b, c}));
    Click(17);
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{c, b, a}));
    ASSERT_EQ(palette->taskList.GetSelectedItem(), 3) << "A moved to row 3 and stays selected";
    agent.answers = {1};
    Click(MainDialogCPP::kLinkButton);
    ASSERT_EQ(AlertIds(), (std::vector<int16_t>{32509}));
    EXPECT_NE(agent.alerts[0].text.find("\"A\""), std::string::npos) << agent.alerts[0].text;
    const LinkBytes::Bytes bytes = Stored(wall);
    ASSERT_EQ(bytes.size(), 88u);
    EXPECT_EQ(bytes[0], uint8_t(a));

    DoubleClick(1);
    Choose(2);  // stores the edit: the list follows no column any more
    EXPECT_EQ(palette->sortColumn, -1);
    Click(17);
    EXPECT_EQ(RowIds(), (std::vector<int32_t>{a, b, c}));
}

TEST_F(PaletteEventsTest, TheMarkButtonSaysWhatItWillDo) {
    char unmarked[256], marked[256];
    ResUtils::LoadResourceString(unmarked, 32602, 1);
    ResUtils::LoadResourceString(marked, 32602, 2);
    ASSERT_STRNE(unmarked, marked);
    EXPECT_EQ(palette->markButton.GetText(), unmarked);
    palette->SetMarkedState(true);
    EXPECT_EQ(palette->markButton.GetText(), marked);
    palette->SetMarkedState(false);
    EXPECT_EQ(palette->markButton.GetText(), unmarked);
}

TEST_F(PaletteEventsTest, HostMessagesHideShowAndLockTheLinkButtons) {
    const int32_t id = palette->GetId();
    MainDialogControlCallBack(id, 2, 0);
    EXPECT_FALSE(palette->IsVisible());
    EXPECT_TRUE(palette->shownState) << "the palette means to come back";
    MainDialogControlCallBack(id, 3, 0);
    EXPECT_TRUE(palette->IsVisible());
    MainDialogControlCallBack(id, 4, 0);
    EXPECT_FALSE(palette->linkButton.IsEnabled() || palette->unlinkButton.IsEnabled());
    EXPECT_TRUE(palette->markButton.IsEnabled());
    MainDialogControlCallBack(id + 1, 5, 0);  // not the palette's number: nothing
    EXPECT_FALSE(palette->linkButton.IsEnabled());
    MainDialogControlCallBack(id, 5, 0);
    EXPECT_TRUE(palette->linkButton.IsEnabled());
    MainDialogControlCallBack(id, 1, 0);
    EXPECT_FALSE(palette->IsVisible());
    EXPECT_EQ(CadHost::Host::Get().menuItemTexts.at({32500, 1}), "Show Schedule Palette");
}

}  // namespace
