#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ETaskNotFound.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;

class DBTest : public ScheduleTest {
protected:
    std::vector<int32_t> Ids() const {
        std::vector<int32_t> ids;
        for (const TASK& t : db.tasks) ids.push_back(t.uniqueID);
        return ids;
    }
    // The present time as the host gives it, in ticks.
    static int64_t Now() { return CHighTimePersistent::GetKXPresentTime().ticks; }
};

TEST_F(DBTest, ANewTaskCoversTodayAndTakesTheNextID) {
    const int64_t before = Now();
    EXPECT_EQ(db.AppendNewTask(), 0);
    const int64_t after = Now();
    const TASK& t = db.tasks[0];
    EXPECT_EQ(t.uniqueID, 1);
    EXPECT_EQ(t.type, Build);
    EXPECT_STREQ(t.name, "");
    EXPECT_EQ(t.start.status, HighTimeStatus::valid);
    EXPECT_EQ(t.start.ticks % kTicksPerDay, 0);
    EXPECT_EQ(t.end.ticks - t.start.ticks, kTicksPerDay);
    // Unless midnight passed between the two readings, today is the day of `before`.
    if (before / kTicksPerDay == after / kTicksPerDay) {
        EXPECT_EQ(t.start.ticks, before - before % kTicksPerDay);
    }
    EXPECT_TRUE(db.modified);
}

TEST_F(DBTest, IDsFollowTheHighestAndComeBackWhenTheHighestGoes) {
    db.tasks = {MakeTask(3, Build, 0, 0, "a"), MakeTask(7, Build, 0, 0, "b")};
    EXPECT_EQ(db.GetHighestUID(), 7);
    db.AppendNewTask();
    EXPECT_EQ(Ids(), (std::vector<int32_t>{3, 7, 8}));
    db.DeleteTaskByUniqueID(8);
    db.DeleteTaskByUniqueID(7);
    db.AppendNewTask();
    EXPECT_EQ(Ids(), (std::vector<int32_t>{3, 4}));
}

TEST_F(DBTest, HighestIDIsAtLeastZero) {
    EXPECT_EQ(db.GetHighestUID(), 0);
    db.tasks = {MakeTask(-4, Build, 0, 0, ""), MakeTask(0, Build, 0, 0, "")};
    EXPECT_EQ(db.GetHighestUID(), 0);
    db.AppendNewTask();
    EXPECT_EQ(db.tasks.back().uniqueID, 1);
}

TEST_F(DBTest, AtTheLargestIDTheSmallestFreeOneIsTaken) {
    db.tasks = {MakeTask(1, Build, 0, 0, ""), MakeTask(INT32_MAX, Build, 0, 0, ""),
                MakeTask(2, Build, 0, 0, "")};
    db.AppendNewTask();
    EXPECT_EQ(db.tasks.back().uniqueID, 3);
}

TEST_F(DBTest, LookupsFindTheFirstTaskOfAnIDOrThrow) {
    db.tasks = {MakeTask(5, Build, 0, 0, "first"), MakeTask(6, Build, 0, 0, "six"),
                MakeTask(5, Build, 0, 0, "second")};
    EXPECT_EQ(db.GetTaskIndexByUniqueID(6), 1u);
    EXPECT_STREQ(db.GetTaskByUniqueID(5).name, "first");
    const DB& constDb = db;
    EXPECT_STREQ(constDb.GetTaskByUniqueID(5).name, "first");
    db.GetTaskByUniqueID(6).type = Demolish;  // changed in place
    EXPECT_EQ(db.tasks[1].type, Demolish);
    EXPECT_THROW(db.GetTaskIndexByUniqueID(99), ETaskNotFound);
    EXPECT_THROW(db.GetTaskByUniqueID(99), ETaskNotFound);
    EXPECT_THROW(constDb.GetTaskByUniqueID(0), ETaskNotFound);
}

TEST_F(DBTest, GetTaskOutsideTheListGivesADefaultTask) {
    db.tasks = {MakeTask(5, Demolish, 0, 0, "only")};
    EXPECT_STREQ(db.GetTask(0).name, "only");
    for (uint32_t index : {1u, 2u, 1000000u, UINT32_MAX}) {
        const TASK t = db.GetTask(index);
        EXPECT_EQ(t.uniqueID, -1) << index;
        EXPECT_STREQ(t.name, "") << index;
        EXPECT_EQ(t.type, Build) << index;
    }
    db.tasks.clear();
    EXPECT_EQ(db.GetTask(0).uniqueID, -1);
}

TEST_F(DBTest, GroupOfTasksWalksTasksThenIDs) {
    db.tasks = {MakeTask(5, Build, 0, 0, "five"), MakeTask(2, Build, 0, 0, "two"),
                MakeTask(9, Build, 0, 0, "nine")};
    const struct {
        std::vector<int32_t> ids;
        std::vector<std::string> names;
    } cases[] = {
        {{5, 5}, {"five", "five"}},
        {{9, 5, 77}, {"five", "nine"}},
        {{2, 9, 2}, {"two", "two", "nine"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        std::vector<TASK> out = {MakeTask(1, Build, 0, 0, "kept")};
        db.GetGroupOfTasks(out, c.ids.data(), static_cast<int32_t>(c.ids.size()));
        std::vector<std::string> names;
        for (size_t i = 1; i < out.size(); ++i) names.push_back(out[i].name);
        EXPECT_STREQ(out[0].name, "kept") << "out is appended to";
        EXPECT_EQ(names, c.names);
    }
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
        EXPECT_EQ(db.tasks[0].flags, changed.flags) << c.what << ": every field is stored";
        EXPECT_STREQ(db.tasks[0].name, changed.name) << c.what;
        // An earlier change is never forgotten.
        db.modified = true;
        db.SetTask(0, base);
        EXPECT_TRUE(db.modified) << c.what;
    }
}

TEST_F(DBTest, SetTaskBeyondTheListThrowsAndChangesNothing) {
    db.tasks = {MakeTask(1, Build, 0, 0, "a")};
    EXPECT_THROW(db.SetTask(1, MakeTask(2, Build, 0, 0, "b")), ETaskNotFound);
    EXPECT_EQ(Ids(), (std::vector<int32_t>{1}));
    EXPECT_FALSE(db.modified);
}

TEST_F(DBTest, DeleteMovesLaterTasksUpOrThrowsWithoutChange) {
    db.tasks = {MakeTask(1, Build, 0, 0, ""), MakeTask(2, Build, 0, 0, ""),
                MakeTask(3, Build, 0, 0, "")};
    EXPECT_THROW(db.DeleteTaskByUniqueID(9), ETaskNotFound);
    EXPECT_FALSE(db.modified);
    db.DeleteTaskByUniqueID(2);
    EXPECT_EQ(Ids(), (std::vector<int32_t>{1, 3}));
    EXPECT_TRUE(db.modified);
}

TEST_F(DBTest, ClearEmptiesAndResetsTheFileName) {
    db.tasks = {MakeTask(1, Build, 0, 0, "")};
    db.modified = true;
    std::strcpy(prefs.schedulePath, "/x/y.pws");
    prefs.untitled = false;
    prefs.scheduleKind = 1;
    db.currentDate = AtTicks(0);
    db.Clear();
    EXPECT_TRUE(db.tasks.empty());
    EXPECT_FALSE(db.modified);
    EXPECT_STREQ(prefs.schedulePath, "Untitled Schedule");
    EXPECT_TRUE(prefs.untitled);
    EXPECT_EQ(prefs.scheduleKind, 0);
    // The current date is the coming midnight.
    const int64_t now = CHighTimePersistent::GetKXPresentTime().ticks;
    EXPECT_EQ(db.currentDate.ticks % kTicksPerDay, 0);
    EXPECT_GT(db.currentDate.ticks, now - kTicksPerDay);
    EXPECT_LE(db.currentDate.ticks, now + kTicksPerDay);
}

TEST_F(DBTest, UnmarkAllTasksClearsTheMarksWithoutAChange) {
    db.tasks = {MakeTask(1, Build, 0, 0, ""), MakeTask(2, Build, 0, 0, "")};
    db.tasks[0].flags = TASK::kMarked;
    db.tasks[1].flags = 0xFF;
    db.UnmarkAllTasks(nullptr);
    EXPECT_EQ(db.tasks[0].flags, 0u);
    EXPECT_EQ(db.tasks[1].flags, 0u);
    EXPECT_FALSE(db.modified);
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
    db.tasks[0].start.status = HighTimeStatus::invalid;
    db.tasks[0].start.ticks = Ticks(2000, 1, 1);
    const CHighTimePersistent kept = db.GetEarliestTime();
    EXPECT_EQ(kept.status, HighTimeStatus::invalid);
    EXPECT_EQ(kept.ticks, Ticks(2000, 1, 1));
    db.tasks[0].start.ticks = Ticks(2025, 1, 1);
    const CHighTimePersistent replaced = db.GetEarliestTime();
    EXPECT_EQ(replaced.status, HighTimeStatus::valid);
    EXPECT_EQ(replaced.ticks, c);
}

TEST_F(DBTest, EarliestAndLatestOfNoTaskAreThePresentTime) {
    const int64_t before = CHighTimePersistent::GetKXPresentTime().ticks;
    const int64_t earliest = db.GetEarliestTime().ticks, latest = db.GetLatestTime().ticks;
    const int64_t after = CHighTimePersistent::GetKXPresentTime().ticks;
    for (int64_t t : {earliest, latest}) {
        EXPECT_GE(t, before);
        EXPECT_LE(t, after);
    }
}

TEST_F(DBTest, MovieCheckReportsEveryUnusableDate) {
    const int64_t day = Ticks(2024, 5, 1);
    db.tasks = {
        MakeTask(1, Build, day, day, "same moment"),
        MakeTask(2, Build, day + 1, day, "one tick late"),
        MakeTask(3, Build, day, day, "no start"),
        MakeTask(4, Build, day, day, "no end"),
        MakeTask(5, Build, day, day, "neither"),
        MakeTask(6, Build, day + kTicksPerDay, day, "no start, end before"),
    };
    db.tasks[2].start.status = HighTimeStatus::invalid;
    db.tasks[3].end.status = HighTimeStatus::invalid;
    db.tasks[4].start.status = HighTimeStatus::null;
    db.tasks[4].end.status = HighTimeStatus::invalid;
    db.tasks[5].start.status = HighTimeStatus::invalid;
    EXPECT_EQ(db.ConsistencyCheckBeforeMovie(), 6);
    EXPECT_EQ(ReportLines(),
              (std::vector<std::string>{
                  "Phasework: the task \"one tick late\" starts after it ends.",
                  "Phasework: the task \"no start\" has no valid start date.",
                  "Phasework: the task \"no end\" has no valid end date.",
                  "Phasework: the task \"neither\" has no valid start date.",
                  "Phasework: the task \"neither\" has no valid end date.",
                  "Phasework: the task \"no start, end before\" has no valid start date.",
              }));
}

TEST_F(DBTest, ANameIsNeverTakenAsAFormat) {
    db.tasks = {MakeTask(1, Build, 1, 0, "%s %n %d 100%")};
    EXPECT_EQ(db.ConsistencyCheckBeforeMovie(), 1);
    EXPECT_EQ(
        ReportLines(),
        (std::vector<std::string>{"Phasework: the task \"%s %n %d 100%\" starts after it ends."}));
}

TEST_F(DBTest, CreateFillsTheTablesAndTheCurrentDate) {
    // Allowed successions, by type character: B then D, R, F; D then B, T; R and F then D, R, F;
    // T then B, T.
    const char* const allowed[5] = {"DRF", "BT", "DRF", "DRF", "BT"};
    for (int first = 0; first < 5; ++first)
        for (int second = 0; second < 5; ++second)
            EXPECT_EQ(DB::validPairs[first][second],
                      std::strchr(allowed[first], "BDRFT"[second]) != nullptr)
                << first << " then " << second;
    EXPECT_STREQ(DB::typePrefixes, "BDRFT");
    EXPECT_STREQ(DB::columnNames[0], "Unique ID");
    EXPECT_STREQ(DB::columnNames[3], "Finish");
    EXPECT_EQ(db.currentDate.ticks % kTicksPerDay, 0);
    EXPECT_EQ(db.userID, 0);
    EXPECT_EQ(db.captionParams, nullptr);
}

// ---- The state of tasks at the current date ----

TEST_F(DBTest, TaskStateFollowsTheCurrentDate) {
    const int64_t start = Ticks(2024, 4, 1), end = Ticks(2024, 4, 4);  // days 1 to 3
    const int64_t s = kTicksPerSecond;
    const struct {
        const char* what;
        int64_t at;
        int32_t percent;
        bool inProgress;
        TASK::LINKEDELEMENTSTATE build, demolish, typeR, temporary, other;
    } cases[] = {
        {"a day before", start - kTicksPerDay, 0, false, TASK::Absent, TASK::Present, TASK::Present,
         TASK::Absent, TASK::Present},
        {"at the start", start, 0, false, TASK::Absent, TASK::Present, TASK::Present, TASK::Absent,
         TASK::Present},
        {"less than a second in", start + s - 1, 0, false, TASK::Absent, TASK::Present,
         TASK::Present, TASK::Absent, TASK::Present},
        {"one second in", start + s, 0, true, TASK::UnderWay, TASK::UnderWay, TASK::UnderWay,
         TASK::UnderWay, TASK::Present},
        {"a third through", start + kTicksPerDay, 33, true, TASK::UnderWay, TASK::UnderWay,
         TASK::UnderWay, TASK::UnderWay, TASK::Present},
        {"one tick before the end", end - 1, 99, true, TASK::UnderWay, TASK::UnderWay,
         TASK::UnderWay, TASK::UnderWay, TASK::Present},
        {"at the end", end, 100, false, TASK::Present, TASK::Absent, TASK::Present, TASK::Absent,
         TASK::Present},
        {"a year later", end + 365 * kTicksPerDay, 100, false, TASK::Present, TASK::Absent,
         TASK::Present, TASK::Absent, TASK::Present},
    };
    db.tasks = {MakeTask(1, Build, start, end, "b"), MakeTask(2, Demolish, start, end, "d"),
                MakeTask(3, TypeR, start, end, "r"), MakeTask(4, Temporary, start, end, "t"),
                MakeTask(5, static_cast<TASKTYPE>(5), start, end, "5")};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db.SetCurrentDate(AtTicks(c.at), false);
        EXPECT_EQ(db.currentDate.ticks, c.at);
        const TASK::LINKEDELEMENTSTATE states[] = {c.build, c.demolish, c.typeR, c.temporary,
                                                   c.other};
        for (size_t i = 0; i < db.tasks.size(); ++i) {
            EXPECT_EQ(db.tasks[i].percentDone, c.percent) << i;
            EXPECT_EQ(db.tasks[i].inProgress, c.inProgress) << i;
            EXPECT_EQ(db.tasks[i].linkedElementState, states[i]) << i;
        }
    }
}

TEST_F(DBTest, NoShareDoneWithoutValidDatesOrID) {
    const int64_t start = Ticks(2024, 4, 1), end = Ticks(2024, 4, 11);
    db.tasks = {MakeTask(1, Build, start, end, ""), MakeTask(2, Build, start, end, ""),
                MakeTask(0, Build, start, end, "")};
    db.tasks[1].start.status = HighTimeStatus::invalid;
    db.SetCurrentDate(AtTicks(start + 5 * kTicksPerDay), false);
    EXPECT_EQ(db.tasks[0].percentDone, 50);
    EXPECT_EQ(db.tasks[1].percentDone, 0);
    EXPECT_EQ(db.tasks[2].percentDone, 0);
    EXPECT_TRUE(db.tasks[2].inProgress) << "the spans still decide";
}

TEST_F(DBTest, SetCurrentDateToTheEndOfTheDay) {
    db.SetCurrentDate(AtTicks(Ticks(2023, 12, 31, 10, 15)), true);
    EXPECT_EQ(db.currentDate.ticks, Ticks(2024, 1, 1));
}

}  // namespace
