// The order of tasks by each column, ties broken by unique ID, in both directions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Palette/TaskLess.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;

std::vector<int32_t> SortedIds(std::vector<TASK> tasks, const TaskLess& less) {
    std::sort(tasks.begin(), tasks.end(), less);
    std::vector<int32_t> ids;
    for (const TASK& t : tasks) ids.push_back(t.uniqueID);
    return ids;
}

std::vector<TASK> Sample() {
    std::vector<TASK> t = {
        MakeTask(4, TypeR, Ticks(2024, 3, 1), Ticks(2024, 3, 9), "Beta"),
        MakeTask(2, Build, Ticks(2024, 1, 1), Ticks(2024, 3, 9), "Alpha"),
        MakeTask(9, Demolish, Ticks(2024, 1, 1), Ticks(2024, 2, 1), "Beta"),
        MakeTask(1, Temporary, Ticks(2024, 2, 1), Ticks(2024, 4, 1), "Gamma"),
    };
    t[0].percentDone = 50;
    t[1].percentDone = 10;
    t[2].percentDone = 50;
    t[3].percentDone = 0;
    return t;
}

TEST(TaskLessTest, EachKeyInBothDirections) {
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
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SortedIds(Sample(), TaskLess(0, c.header, names)), c.ascending) << c.header;
        std::vector<int32_t> descending(c.ascending.rbegin(), c.ascending.rend());
        EXPECT_EQ(SortedIds(Sample(), TaskLess(1, c.header, names)), descending) << c.header;
    }
}

TEST(TaskLessTest, NoTaskSortsBeforeItselfAndUnknownColumnsSortByName) {
    const TASK t = Sample()[0];
    for (int16_t header = 16; header <= 22; ++header)
        for (DGListViewSortOrder order : {0, 1}) EXPECT_FALSE(TaskLess(order, header)(t, t));
    EXPECT_EQ(TaskLess(0, int16_t(40)).Key(), TaskLess::ByName);
    EXPECT_EQ(TaskLess(0, int16_t(20)).Key(), TaskLess::ByStart);
    EXPECT_EQ(SortedIds(Sample(), TaskLess(0, int16_t(99))), (std::vector<int32_t>{2, 4, 9, 1}));
}

}  // namespace
