// What an element shows at a date: the one (type, state) an element takes among its tasks, and the
// memory of the state last applied. Expectations are written out by hand.
#include <gtest/gtest.h>

#include "Elements/EElementHider.h"
#include "Schedule/ETaskNotFound.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

using namespace ScheduleBytes;
using State = TASK::LINKEDELEMENTSTATE;
constexpr State A = TASK::Absent, U = TASK::UnderWay, P = TASK::Present;
constexpr auto kNone = static_cast<TASKTYPE>(6);
constexpr auto kNoState = static_cast<State>(3);

class ElementStateTest : public ElementsTest {
protected:
    void At(int64_t ticks) { db.SetCurrentDate(AtTicks(ticks), false); }
    // The element's (type, state) for a record of these links.
    std::pair<TASKTYPE, State> Choose(const std::vector<int32_t>& ids) {
        const API_Guid guid = Add(APIElem::Wall, "W-7");
        OwnData data;
        data.hiddenFromLayer = 2;  // the bytes after the last slot: never read as a link
        for (size_t i = 0; i < ids.size(); ++i) data.taskUniqueIDs[i] = ids[i];
        TASKTYPE type = Build;
        State state = A;
        API_Guid g = guid;
        hider.ChooseElementState(db, data, APIElem::Wall, &g, &type, &state);
        return {type, state};
    }
};

TEST_F(ElementStateTest, TheElementsChoiceAmongItsTasks) {
    const int64_t now = Ticks(2024, 6, 15, 12);
    db.tasks = {
        MakeTask(1, Build, Ticks(2024, 6, 1), Ticks(2024, 7, 1), "build, under way"),
        MakeTask(2, Demolish, Ticks(2024, 6, 10), Ticks(2024, 6, 20), "demolish, under way"),
        MakeTask(3, TypeR, Ticks(2024, 6, 14), Ticks(2024, 6, 16), "renovate, under way"),
        MakeTask(4, Build, Ticks(2024, 5, 1), Ticks(2024, 6, 14), "build, ended yesterday"),
        MakeTask(5, Demolish, Ticks(2024, 6, 22), Ticks(2024, 6, 30), "demolish, next week"),
        MakeTask(6, Build, Ticks(2024, 7, 1), Ticks(2024, 7, 2), "build, next month"),
        MakeTask(7, Demolish, Ticks(2025, 1, 1), Ticks(2025, 1, 2), "demolish, next year"),
        MakeTask(8, Demolish, Ticks(2024, 7, 1), Ticks(2024, 7, 2), "demolish, next month"),
        MakeTask(9, Temporary, Ticks(2024, 1, 1), Ticks(2024, 2, 1), "temporary, long ago"),
        MakeTask(10, TypeF, Ticks(2024, 6, 1), Ticks(2024, 6, 14), "fit-out, ended yesterday"),
    };
    At(now);
    const struct {
        std::vector<int32_t> ids;
        TASKTYPE type;
        State state;
        size_t reportLines;
    } cases[] = {
        {{}, kNone, kNoState, 0},
        {{1}, Build, U, 0},
        {{1, 2}, Demolish, U, 1},  // the last under way decides; one line for the second
        {{2, 1}, Build, U, 1},
        {{1, 2, 3}, TypeR, U, 2},
        {{4, 5}, Build, P, 0},  // the last finished task
        {{6, 7}, Build, A, 0},  // only tasks to come: the next to begin
        {{7, 8}, Demolish, P, 0},
        {{9, 4}, Build, P, 0},   // of two finished tasks the later one
        {{4, 10}, Build, P, 0},  // equal ends: the earlier slot
        {{10, 4}, TypeF, P, 0},
        {{4, 1, 5}, Build, U, 0},  // a task under way wins over finished and coming ones
        {{4, 5, 6, 7, 8, 9, 10, 1, 2, 3}, TypeR, U, 2},  // every slot used
    };
    for (const auto& c : cases) {
        ReportWindow::Clear();
        hider.problemCount = 0;
        const auto [type, state] = Choose(c.ids);
        EXPECT_EQ(type, c.type) << ::testing::PrintToString(c.ids);
        EXPECT_EQ(state, c.state) << ::testing::PrintToString(c.ids);
        EXPECT_EQ(ReportLines().size(), c.reportLines) << ::testing::PrintToString(c.ids);
        EXPECT_EQ(hider.problemCount, int32_t(c.reportLines));
    }
    ReportWindow::Clear();
    Choose({1, 2});
    ASSERT_EQ(ReportLines().size(), 1u);
    EXPECT_NE(ReportLines()[0].find("Wall \"W-7\""), std::string::npos) << ReportLines()[0];
}

TEST_F(ElementStateTest, AMissingTaskAsksAndTheAnswerDecides) {
    db.tasks = {MakeTask(1, Build, Ticks(2024, 6, 1), Ticks(2024, 7, 1), "under way")};
    At(Ticks(2024, 6, 15));
    const struct {
        int16_t answer;
        bool ends;
        std::vector<int32_t> storedIds;  // empty: nothing written
    } cases[] = {
        {1, true, {1}},  // the link goes, the list is packed and written
        {2, false, {}},  // skipped: the task under way decides
        {3, true, {}},
    };
    for (const auto& c : cases) {
        const API_Guid guid = Add(APIElem::Slab, "S");
        OwnData data;
        data.taskUniqueIDs[0] = 77;
        data.taskUniqueIDs[1] = 1;
        agent.alerts.clear();
        agent.answers = {c.answer};
        API_Guid g = guid;
        TASKTYPE type = Build;
        State state = A;
        if (c.ends) {
            EXPECT_THROW(hider.ChooseElementState(db, data, APIElem::Slab, &g, &type, &state),
                         ETaskNotFound)
                << c.answer;
        } else {
            hider.ChooseElementState(db, data, APIElem::Slab, &g, &type, &state);
            EXPECT_EQ(state, U);
        }
        EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32522})) << c.answer;
        EXPECT_EQ(Stored(guid),
                  c.storedIds.empty() ? LinkBytes::Bytes{} : LinkBytes::LinksOnly(c.storedIds))
            << c.answer;
    }
}

TEST_F(ElementStateTest, NeitherPassTakesATaskWhoseComputedFieldsAreStale) {
    // Refreshed for a date before the task, then the date moved into it without a refresh: the
    // task is neither finished nor to begin, yet not marked under way.
    db.tasks = {MakeTask(1, Build, Ticks(2024, 6, 1), Ticks(2024, 7, 1), "stale")};
    At(Ticks(2024, 5, 1));
    db.currentDate = AtTicks(Ticks(2024, 6, 15));
    const int32_t ids[10] = {1};
    TASKTYPE type = Build;
    State state = A;
    hider.ScanForRightElementState(ids, db, &type, &state);
    EXPECT_EQ(type, kNone);
    EXPECT_EQ(state, kNoState);
}

TEST_F(ElementStateTest, TheMemoryIsSeededWithEveryLinkedElementOnHandledLayers) {
    const API_Guid linked = Add(APIElem::Wall, "linked");
    const API_Guid unlinked = Add(APIElem::Wall, "unlinked");
    const API_Guid emptyList = Add(APIElem::Beam, "empty list");
    const API_Guid userHidden = Add(APIElem::Slab, "on a hidden layer", 3);
    const API_Guid text = Add(APIElem::Text, "a text");
    for (const API_Guid& g : {linked, userHidden, text}) Store(g, LinkBytes::LinksOnly({4}));
    Store(emptyList, LinkBytes::Record{}.Build());
    (void)unlinked;
    hider.RefreshNonManagedLayers();
    hider.elemStates[unlinked] = {A, Demolish};
    hider.InitElemStateContainer(db, kNoState);
    ASSERT_EQ(hider.elemStates.size(), 1u);
    EXPECT_EQ(hider.elemStates.begin()->first, linked);
    EXPECT_EQ(hider.elemStates.begin()->second.state, kNoState);
    EXPECT_EQ(hider.elemStates.begin()->second.type, Build);
}

}  // namespace
