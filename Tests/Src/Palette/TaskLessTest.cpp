// The order of tasks by each column, ties broken by unique ID, in both directions.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Palette/TaskLess.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;

std::vector<int32_t> SortedIds(const TaskLess& less) {
    std::vector<TASK> tasks = {
        MakeTask(4, TypeR, Ticks(2024, 3, 1), Ticks(2024, 3, 9), "Beta"),
        MakeTask(2, Build, Ticks(2024, 1, 1), Ticks(2024, 3, 9), "Alpha"),
        MakeTask(9, Demolish, Ticks(2024, 1, 1), Ticks(2024, 2, 1), "Beta"),
        MakeTask(1, Temporary, Ticks(2024, 2, 1), Ticks(2024, 4, 1), "Gamma"),
    };
    const int32_t percents[] = {50, 10, 50, 0};
    for (size_t i = 0; i < tasks.size(); ++i) tasks[i].percentDone = percents[i];
    std::sort(tasks.begin(), tasks.end(), less);
    std::vector<int32_t> ids;
    for (const TASK& t : tasks) ids.push_back(t.uniqueID);
    return ids;
}

TEST(TaskLessTest, EachHeaderInBothDirections) {
    // Display names whose alphabetical order is not the order of the type codes.
    const char* const names[] = {"Zimmer", "Abriss", "Mitte", "Farbe", "Baugerüst"};
    const struct {
        int16_t header;
        std::vector<int32_t> ascending;
    } cases[] = {
        {17, {2, 4, 9, 1}},  // Alpha, Beta (4), Beta (9), Gamma
        {18, {9, 1, 4, 2}},  // Abriss, Baugerüst, Mitte, Zimmer
        {19, {1, 2, 4, 9}},  // 0, 10, 50 (4), 50 (9)
        {20, {2, 9, 1, 4}},  // Jan 1 (2), Jan 1 (9), Feb 1, Mar 1
        {21, {9, 2, 4, 1}},  // Feb 1, Mar 9 (2), Mar 9 (4), Apr 1
        {16, {2, 4, 9, 1}},  // no column's header: by name
        {99, {2, 4, 9, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        EXPECT_EQ(SortedIds(TaskLess(0, c.header, names)), c.ascending);
        const std::vector<int32_t> descending(c.ascending.rbegin(), c.ascending.rend());
        EXPECT_EQ(SortedIds(TaskLess(1, c.header, names)), descending);
        const TASK t = MakeTask(3, Build, 0, 0, "same");
        EXPECT_FALSE(TaskLess(0, c.header, names)(t, t) || TaskLess(1, c.header, names)(t, t))
            << "no task sorts before itself";
    }
}

// What an item that is no column's header gets: the name order, with "Don't know how to sort this
// column!" sent to the internal-error report. That report has no effect in this build, so what is
// checked is the order the caller goes on with.
TEST(TaskLessTest, AnUnknownHeaderSortsByNameAnUnknownKeyByUniqueIdAlone) {
    EXPECT_EQ(TaskLess(0, int16_t(20)).Key(), TaskLess::ByStart);
    for (int16_t header : {int16_t(-1), int16_t(0), int16_t(16), int16_t(22), int16_t(40)})
        EXPECT_EQ(TaskLess(0, header).Key(), TaskLess::ByName) << header;
    // A key outside the five (as a damaged value would be): the same report, ties only.
    const auto unknown = static_cast<TaskLess::SortKey>(7);
    EXPECT_EQ(SortedIds(TaskLess(0, unknown)), (std::vector<int32_t>{1, 2, 4, 9}));
    EXPECT_EQ(SortedIds(TaskLess(1, unknown)), (std::vector<int32_t>{9, 4, 2, 1}));
}

}  // namespace
