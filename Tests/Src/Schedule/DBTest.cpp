// The task database: IDs, lookups, changes and what counts as one, the movie check, and the state
// of tasks at the current date.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Schedule/ETaskNotFound.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;

class DBTest : public ScheduleTest {
protected:
    // Tasks of the given IDs, named after them, of no particular dates.
    void TasksOfIds(const std::vector<int32_t>& ids) {
        db.tasks.clear();
        for (int32_t id : ids)
            db.tasks.push_back(MakeTask(id, Build, 0, 0, std::to_string(id).c_str()));
    }
    std::vector<int32_t> Ids() const {
        std::vector<int32_t> ids;
        for (const TASK& t : db.tasks) ids.push_back(t.uniqueID);
        return ids;
    }
    static int64_t Now() { return CHighTimePersistent::GetKXPresentTime().ticks; }
};

TEST_F(DBTest, ANewTaskCoversTodayAndTakesTheNextIDOrTheSmallestFreeAtTheLimit) {
    const int64_t before = Now();
    EXPECT_EQ(db.AppendNewTask(), 0);
    const int64_t after = Now();
    const int64_t today = db.tasks[0].start.ticks;
    EXPECT_TRUE(today == before - before % kTicksPerDay || today == after - after % kTicksPerDay);
    EXPECT_EQ(Line(db.tasks[0]), Line(MakeTask(1, Build, today, today + kTicksPerDay, "")));
    EXPECT_TRUE(db.modified);

    const struct {
        std::vector<int32_t> ids;
        int32_t highest, next;
    } cases[] = {{{}, 0, 1}, {{3, 7}, 7, 8}, {{-4, 0}, 0, 1}, {{1, INT32_MAX, 2}, INT32_MAX, 3}};
    for (const auto& c : cases) {
        TasksOfIds(c.ids);
        EXPECT_EQ(db.GetHighestUID(), c.highest) << c.next;
        db.AppendNewTask();
        EXPECT_EQ(db.tasks.back().uniqueID, c.next);
    }
    // When the highest goes, its number comes back.
    TasksOfIds({3, 7, 8});
    db.DeleteTaskByUniqueID(8);
    db.DeleteTaskByUniqueID(7);
    db.AppendNewTask();
    EXPECT_EQ(Ids(), (std::vector<int32_t>{3, 4}));
}

TEST_F(DBTest, LookupsFindTheFirstTaskOfAnIDOrThrowThroughEveryChange) {
    db.tasks = {MakeTask(5, Build, 0, 0, "first"), MakeTask(6, Build, 0, 0, "six"),
                MakeTask(5, Build, 0, 0, "second")};
    EXPECT_STREQ(db.GetTaskByUniqueID(5).name, "first");
    db.GetTaskByUniqueID(6).type = Demolish;  // changed in place
    EXPECT_EQ(db.tasks[1].type, Demolish);
    EXPECT_THROW(static_cast<const DB&>(db).GetTaskByUniqueID(0), ETaskNotFound);
    EXPECT_EQ(db.GetTask(UINT32_MAX).uniqueID, -1) << "outside the list: a default task";

    // Every ID is found where it is, and a gone one is not, after each kind of change, also
    // changes made to the list directly.
    auto expectAllFound = [&](int32_t missing) {
        for (size_t i = 0; i < db.tasks.size(); ++i)
            EXPECT_EQ(db.GetTaskIndexByUniqueID(db.tasks[i].uniqueID), i) << db.tasks[i].uniqueID;
        EXPECT_THROW(db.GetTaskIndexByUniqueID(missing), ETaskNotFound) << missing;
    };
    TasksOfIds({5, 3, 8});
    db.AppendNewTask();  // 9
    expectAllFound(10);
    db.DeleteTaskByUniqueID(3);
    expectAllFound(3);
    TASK renamed = db.tasks[0];
    renamed.uniqueID = 42;
    db.SetTask(0, renamed);
    expectAllFound(5);
    std::swap(db.tasks[0], db.tasks[2]);
    db.tasks.push_back(MakeTask(77, Build, 0, 0, "pushed"));
    db.tasks[0].uniqueID = 6;
    expectAllFound(9);
}

TEST_F(DBTest, SetTaskCountsOnlyRealChanges) {
    const TASK base = MakeTask(4, Build, Ticks(2024, 1, 1), Ticks(2024, 1, 5), "wall");
    const struct {
        const char* what;
        void (*change)(TASK&);
        bool modifies;
    } cases[] = {
        {"nothing", [](TASK&) {}, false},
        {"marks and computed fields",
         [](TASK& t) {
             t.flags = 1;
             t.percentDone = 40;
             t.inProgress = true;
             t.linkedElementState = TASK::UnderWay;
         },
         false},
        {"name", [](TASK& t) { std::strcpy(t.name, "wall 2"); }, true},
        {"letter case of the name", [](TASK& t) { std::strcpy(t.name, "Wall"); }, true},
        {"start ticks", [](TASK& t) { t.start.ticks += 1; }, true},
        {"start status", [](TASK& t) { t.start.status = HighTimeStatus::invalid; }, true},
        {"end", [](TASK& t) { t.end.ticks -= kTicksPerDay; }, true},
        {"type", [](TASK& t) { t.type = TypeF; }, true},
        {"ID", [](TASK& t) { t.uniqueID = 5; }, true},
    };
    for (const auto& c : cases) {
        db.tasks = {base};
        db.modified = false;
        TASK changed = base;
        c.change(changed);
        db.SetTask(0, changed);
        EXPECT_EQ(db.modified, c.modifies) << c.what;
        EXPECT_EQ(Line(db.tasks[0]), Line(changed)) << c.what << ": every field is stored";
        EXPECT_EQ(db.tasks[0].linkedElementState, changed.linkedElementState) << c.what;
        // An earlier change is never forgotten.
        db.modified = true;
        db.SetTask(0, base);
        EXPECT_TRUE(db.modified) << c.what;
    }
}

TEST_F(DBTest, ChangesOfAnUnknownTaskThrowAndChangeNothing) {
    TasksOfIds({1, 2, 3});
    EXPECT_THROW(db.SetTask(3, MakeTask(4, Build, 0, 0, "b")), ETaskNotFound);
    EXPECT_THROW(db.DeleteTaskByUniqueID(9), ETaskNotFound);
    EXPECT_EQ(Ids(), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_FALSE(db.modified);
    db.DeleteTaskByUniqueID(2);  // later tasks move up
    EXPECT_EQ(Ids(), (std::vector<int32_t>{1, 3}));
    EXPECT_TRUE(db.modified);
}

TEST_F(DBTest, ClearEmptiesAndResetsTheFileNameUnmarkKeepsTheTasks) {
    TasksOfIds({1, 2});
    db.tasks[0].flags = TASK::kMarked;
    db.tasks[1].flags = 0xFF;
    db.UnmarkAllTasks(nullptr);
    EXPECT_EQ(db.tasks[0].flags | db.tasks[1].flags, 0u);
    EXPECT_FALSE(db.modified) << "marks are no change";

    db.modified = true;
    UseFile("/x/y.pws");
    prefs.scheduleKind = 1;
    db.Clear();
    EXPECT_TRUE(db.tasks.empty());
    EXPECT_FALSE(db.modified);
    EXPECT_STREQ(prefs.schedulePath, "Untitled Schedule");
    EXPECT_TRUE(prefs.untitled);
    EXPECT_EQ(prefs.scheduleKind, 0);
    // The current date is the coming midnight.
    EXPECT_EQ(db.currentDate.ticks % kTicksPerDay, 0);
    EXPECT_LE(db.currentDate.ticks - Now(), kTicksPerDay);
}

TEST_F(DBTest, EarliestAndLatestTakeValidDatesOnly) {
    const int64_t a = Ticks(2024, 1, 10), b = Ticks(2024, 2, 1), c = Ticks(2023, 12, 1);
    db.tasks = {MakeTask(1, Build, a, b, ""), MakeTask(2, Build, c, a, ""),
                MakeTask(3, Build, Ticks(1900, 1, 1), Ticks(2100, 1, 1), "")};
    db.tasks[2].start.status = HighTimeStatus::invalid;  // earliest of all, but not valid
    db.tasks[2].end.status = HighTimeStatus::null;
    EXPECT_EQ(db.GetEarliestTime().ticks, c);
    EXPECT_EQ(db.GetLatestTime().ticks, b);
    // An invalid first date stays, status and all, unless a later valid date beats its ticks.
    db.tasks[0].start = AtTicks(Ticks(2000, 1, 1), HighTimeStatus::invalid);
    EXPECT_EQ(db.GetEarliestTime().ticks, Ticks(2000, 1, 1));
    EXPECT_EQ(db.GetEarliestTime().status, HighTimeStatus::invalid);
    db.tasks[0].start.ticks = Ticks(2025, 1, 1);
    EXPECT_EQ(db.GetEarliestTime().status, HighTimeStatus::valid);
    EXPECT_EQ(db.GetEarliestTime().ticks, c);
}

TEST_F(DBTest, MovieCheckReportsEveryUnusableDateNeverTakingANameAsAFormat) {
    const int64_t day = Ticks(2024, 5, 1);
    db.tasks = {
        MakeTask(1, Build, day, day, "same moment"),
        MakeTask(2, Build, day + 1, day, "one tick late"),
        MakeTask(3, Build, day, day, "no start"),
        MakeTask(4, Build, day, day, "no end"),
        MakeTask(5, Build, day, day, "neither"),
        MakeTask(6, Build, day + kTicksPerDay, day, "no start, end before"),
        MakeTask(7, Build, 1, 0, "%s %n %d 100%"),
    };
    db.tasks[2].start.status = HighTimeStatus::invalid;
    db.tasks[3].end.status = HighTimeStatus::invalid;
    db.tasks[4].start.status = HighTimeStatus::null;
    db.tasks[4].end.status = HighTimeStatus::invalid;
    db.tasks[5].start.status = HighTimeStatus::invalid;
    EXPECT_EQ(db.ConsistencyCheckBeforeMovie(), 7);
    EXPECT_EQ(ReportLines(),
              (std::vector<std::string>{
                  "Phasework: the task \"one tick late\" starts after it ends.",
                  "Phasework: the task \"no start\" has no valid start date.",
                  "Phasework: the task \"no end\" has no valid end date.",
                  "Phasework: the task \"neither\" has no valid start date.",
                  "Phasework: the task \"neither\" has no valid end date.",
                  "Phasework: the task \"no start, end before\" has no valid start date.",
                  "Phasework: the task \"%s %n %d 100%\" starts after it ends.",
              }));
}

TEST_F(DBTest, TaskStateFollowsTheCurrentDate) {
    const int64_t start = Ticks(2024, 4, 1), end = Ticks(2024, 4, 4);  // days 1 to 3
    const int64_t s = kTicksPerSecond;
    using S = TASK::LINKEDELEMENTSTATE;
    constexpr S A = TASK::Absent, U = TASK::UnderWay, P = TASK::Present;
    const struct {
        const char* what;
        int64_t at;
        int32_t percent;
        bool inProgress;
        S states[5];  // Build, Demolish, TypeR, Temporary, a type without rule
    } cases[] = {
        {"at the start", start, 0, false, {A, P, P, A, P}},
        {"less than a second in", start + s - 1, 0, false, {A, P, P, A, P}},
        {"one second in", start + s, 0, true, {U, U, U, U, P}},
        {"a third through", start + kTicksPerDay, 33, true, {U, U, U, U, P}},
        {"one tick before the end", end - 1, 99, true, {U, U, U, U, P}},
        {"at the end", end, 100, false, {P, A, P, A, P}},
    };
    db.tasks = {MakeTask(1, Build, start, end, "b"), MakeTask(2, Demolish, start, end, "d"),
                MakeTask(3, TypeR, start, end, "r"), MakeTask(4, Temporary, start, end, "t"),
                MakeTask(5, static_cast<TASKTYPE>(5), start, end, "5")};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db.SetCurrentDate(AtTicks(c.at), false);
        for (size_t i = 0; i < db.tasks.size(); ++i) {
            EXPECT_EQ(db.tasks[i].percentDone, c.percent) << i;
            EXPECT_EQ(db.tasks[i].inProgress, c.inProgress) << i;
            EXPECT_EQ(db.tasks[i].linkedElementState, c.states[i]) << i;
        }
    }
    db.SetCurrentDate(AtTicks(Ticks(2023, 12, 31, 10, 15)), true);  // to the end of the day
    EXPECT_EQ(db.currentDate.ticks, Ticks(2024, 1, 1));

    // No share done without valid dates or without an ID; the spans still decide the progress.
    const int64_t later = end + 7 * kTicksPerDay;  // ten days
    db.tasks = {MakeTask(1, Build, start, later, ""), MakeTask(2, Build, start, later, ""),
                MakeTask(0, Build, start, later, "")};
    db.tasks[1].start.status = HighTimeStatus::invalid;
    db.SetCurrentDate(AtTicks(start + 5 * kTicksPerDay), false);
    EXPECT_EQ(db.tasks[0].percentDone, 50);
    EXPECT_EQ(db.tasks[1].percentDone, 0);
    EXPECT_EQ(db.tasks[2].percentDone, 0);
    EXPECT_TRUE(db.tasks[2].inProgress);
}

}  // namespace
