#include <algorithm>
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
    struct Case {
        size_t tasks;
        short chosen;
        std::vector<int> left;  // positions (0 = A) of the tasks left
        short selected;
    };
    for (const Case& k :
         {Case{3, 1, {1, 2}, 1}, Case{3, 2, {0, 2}, 1}, Case{3, 3, {0, 1}, 2}, Case{1, 1, {}, 0}}) {
        SCOPED_TRACE(std::to_string(k.tasks) + " " + std::to_string(k.chosen));
        db.tasks.clear();
        a = AddTask("A", Build, {2027, 3, 1}, {2027, 3, 10});
        b = AddTask("B", Demolish, {2027, 3, 5}, {2027, 3, 20});
        c = AddTask("C", TypeR, {2027, 3, 15}, {2027, 3, 31});
        db.tasks.resize(k.tasks);
        const std::vector<int32_t> ids = {a, b, c};
        palette->RefreshMainDlgTasks(false);
        Choose(k.chosen);
        agent.answers = {1};
        Click(MainDialogCPP::kDeleteTaskButton);
        std::vector<int32_t> expected;
        for (int p : k.left) expected.push_back(ids[size_t(p)]);
        EXPECT_EQ(RowIds(), expected);
        EXPECT_EQ(db.GetTaskNumber(), int32_t(expected.size()));
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

TEST_F(PaletteEventsTest, NewTaskIsTheLastRowWithItsEditorsOpenADoubleClickAgainKeepsThem) {
    Click(MainDialogCPP::kNewTaskButton);
    EXPECT_EQ(palette->taskList.GetItemCount(), 4);
    EXPECT_EQ(palette->editRow, 4);
    EXPECT_EQ(palette->taskList.GetSelectedItem(), 4);
    EXPECT_TRUE(palette->nameEditor.IsVisible());
    EXPECT_TRUE(palette->nameEditor.IsFocused());
    EXPECT_EQ(palette->taskList.GetOnTabItem(5), &palette->endEditor);
    // Typing the name and moving on stores it.
    ASSERT_TRUE(palette->nameEditor.UserSetText("Painting", why));
    Choose(1);
    EXPECT_STREQ(db.GetTask(3).name, "Painting");
    EXPECT_EQ(palette->taskList.GetTabItemText(4, 1), "Painting");
    EXPECT_FALSE(palette->nameEditor.IsVisible());

    // A double-click on the row in editing changes nothing: the editors are not filled again.
    DoubleClick(2);
    ASSERT_TRUE(palette->nameEditor.UserSetText("typed", why));
    DoubleClick(2);
    EXPECT_EQ(palette->nameEditor.GetText(), "typed");
    EXPECT_EQ(palette->editRow, 2);
}

// The percent each task has at 24:00 of a day of March 2027, by a formula of the test's own:
// elapsed days of the task's days, whole percent, 0 before, 100 after.
int Percent(int firstDay, int lastDay, int day) {
    const int days = lastDay - firstDay + 1;
    const int done = std::clamp(day - firstDay + 1, 0, days);
    return done * 100 / days;
}

TEST_F(PaletteEventsTest, ADateChangeKeepsThePercentOrderAndItsDirection) {
    Click(MainDialogCPP::kPercentHeader);
    Click(MainDialogCPP::kPercentHeader);  // descending
    ASSERT_EQ(palette->sortDescending, 1);
    const int spans[3][2] = {{1, 10}, {5, 20}, {15, 31}};
    const int32_t ids[3] = {a, b, c};
    for (int day : {4, 12, 18, 25}) {
        SCOPED_TRACE(day);
        SetDate(palette->currentDate, {2027, 3, day});
        std::vector<int> order = {0, 1, 2};
        std::sort(order.begin(), order.end(), [&](int x, int y) {
            const int px = Percent(spans[x][0], spans[x][1], day);
            const int py = Percent(spans[y][0], spans[y][1], day);
            return px != py ? px > py : ids[x] > ids[y];
        });
        std::vector<int32_t> expected;
        for (int i : order) expected.push_back(ids[i]);
        EXPECT_EQ(RowIds(), expected);
        EXPECT_EQ(palette->sortDescending, 1);
        for (int16_t row = 1; row <= 3; ++row)
            EXPECT_EQ(palette->taskList.GetCellText(row, 3),
                      std::to_string(Percent(spans[order[size_t(row - 1)]][0],
                                             spans[order[size_t(row - 1)]][1], day)) +
                          "%");
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

TEST_F(PaletteEventsTest, ResizingMovesColumnsFirstThenItemsByTheChange) {
    DG::ListBox& list = palette->taskList;
    struct Geometry {
        std::vector<std::pair<int32_t, int32_t>> fields;
        std::vector<DG::Rect> items;
    };
    auto take = [&] {
        Geometry g;
        for (short f = 1; f <= 5; ++f)
            g.fields.emplace_back(list.GetTabFieldBeginPosition(f), list.GetTabFieldEndPosition(f));
        for (short id = 1; id <= 21; ++id) g.items.push_back(palette->GetItem(id)->GetRect());
        return g;
    };
    for (const auto& [dh, dv] : {std::pair{-30, 0}, std::pair{40, 25}, std::pair{0, -10}}) {
        SCOPED_TRACE(std::to_string(dh) + " " + std::to_string(dv));
        const Geometry before = take();
        ASSERT_TRUE(palette->UserResize(dh, dv, why)) << why;
        const Geometry after = take();
        EXPECT_EQ(after.fields[0], std::pair(before.fields[0].first, before.fields[0].second + dh));
        for (size_t f = 1; f < 5; ++f)
            EXPECT_EQ(after.fields[f],
                      std::pair(before.fields[f].first + dh, before.fields[f].second + dh));
        for (short id : {1, 2, 3, 4, 5, 6, 7, 18, 19, 20, 21, 13})
            EXPECT_EQ(after.items[size_t(id - 1)], before.items[size_t(id - 1)].Offset(dh, 0))
                << id;
        for (short id : {8, 9, 10, 11})
            EXPECT_EQ(after.items[size_t(id - 1)], before.items[size_t(id - 1)].Offset(0, dv))
                << id;
        DG::Rect grown = before.items[15];
        grown.right += dh;
        grown.bottom += dv;
        EXPECT_EQ(after.items[15], grown);
        EXPECT_EQ(after.items[16].GetWidth(), before.items[16].GetWidth() + dh);
    }
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
    EXPECT_FALSE(palette->linkButton.IsEnabled());
    EXPECT_FALSE(palette->unlinkButton.IsEnabled());
    EXPECT_TRUE(palette->markButton.IsEnabled());
    MainDialogControlCallBack(id + 1, 5, 0);  // not the palette's number: nothing
    EXPECT_FALSE(palette->linkButton.IsEnabled());
    MainDialogControlCallBack(id, 5, 0);
    EXPECT_TRUE(palette->linkButton.IsEnabled());
    MainDialogControlCallBack(id, 1, 0);
    EXPECT_FALSE(palette->IsVisible());
    const auto& texts = CadHost::Host::Get().menuItemTexts;
    ASSERT_EQ(texts.count({32500, 1}), 1u);
    EXPECT_EQ(texts.at({32500, 1}), "Show Schedule Palette");
}

}  // namespace
