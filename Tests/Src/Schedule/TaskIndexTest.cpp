// Finding a task by unique ID stays right through every change of the schedule, also changes made
// to the task list directly.
#include <gtest/gtest.h>

#include <algorithm>

#include "Schedule/ETaskNotFound.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

class TaskIndexTest : public ScheduleTest {
protected:
    // Every ID of the list is found where it is; `missing` is not found.
    void ExpectAllFound(int32_t missing) {
        for (size_t i = 0; i < db.tasks.size(); ++i)
            EXPECT_EQ(db.GetTaskIndexByUniqueID(db.tasks[i].uniqueID), i) << db.tasks[i].uniqueID;
        EXPECT_THROW(db.GetTaskIndexByUniqueID(missing), ETaskNotFound) << missing;
    }
};

TEST_F(TaskIndexTest, LookupsFollowEveryChange) {
    db.tasks = {MakeTask(5, Build, 0, 0, "a"), MakeTask(3, Build, 0, 0, "b"),
                MakeTask(8, Build, 0, 0, "c")};
    ExpectAllFound(4);
    db.AppendNewTask();  // 9
    ExpectAllFound(10);
    db.DeleteTaskByUniqueID(3);
    ExpectAllFound(3);
    TASK renamed = db.tasks[0];
    renamed.uniqueID = 42;
    db.SetTask(0, renamed);
    ExpectAllFound(5);
    std::sort(db.tasks.begin(), db.tasks.end(),
              [](const TASK& a, const TASK& b) { return a.uniqueID > b.uniqueID; });
    ExpectAllFound(1);
    db.tasks.push_back(MakeTask(77, Build, 0, 0, "pushed"));
    db.tasks[0].uniqueID = 6;
    ExpectAllFound(42);
    db.tasks = {MakeTask(1, Build, 0, 0, "new list")};
    ExpectAllFound(8);
    db.Clear();
    ExpectAllFound(1);
}

}  // namespace
