// Schedule files whose tasks hold dates at the ends of the 64-bit tick range, as a damaged or
// hostile file may: they open with the dates each version's rules make of them, the schedule is
// usable (its state at a date computed), and it saves and reads back to the same tasks. Run in the
// sanitizer build, this shows that no step takes an undefined path on such dates.
#include <gtest/gtest.h>

#include <string>

#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;

// A start or end as the reader leaves it: moved to 00:00 of its day when that instant exists,
// else invalid with its ticks kept.
struct Stored {
    int32_t status;
    int64_t ticks;
};
Stored AtStartOfDay(int64_t ticks) {
    __int128 day = ticks / kTicksPerDay;
    if (static_cast<__int128>(day) * kTicksPerDay > ticks) --day;
    const __int128 start = day * kTicksPerDay;
    if (start >= INT64_MIN) return {0, static_cast<int64_t>(start)};
    return {1, ticks};
}
// 24:00 of that day, for versions that stored the last day itself.
Stored AtEndOfDay(Stored start) {
    if (start.status != 0) return start;
    if (static_cast<__int128>(start.ticks) + kTicksPerDay > INT64_MAX) return {1, start.ticks};
    return {0, start.ticks + kTicksPerDay};
}

constexpr int64_t kExtremes[] = {
    INT64_MIN,
    INT64_MIN + 1,
    INT64_MIN + kTicksPerSecond - 1,
    INT64_MIN + kTicksPerSecond,
    INT64_MIN + kTicksPerDay - 1,
    INT64_MIN + kTicksPerDay,
    INT64_MAX,
    INT64_MAX - kTicksPerSecond,
    INT64_MAX - kTicksPerDay,
};

class ScheduleFileExtremeDatesTest : public ScheduleTest {
protected:
    bool Read(const std::string& path, const Bytes& bytes) {
        FileTest::WriteBytes(path, bytes);
        return db.ReadFromOwnFormat(path.c_str());
    }
};

}  // namespace

TEST_F(ScheduleFileExtremeDatesTest, OpensWithEachVersionsDatesAndReadsBackAfterASave) {
    for (int32_t version = 1; version <= 4; ++version) {
        SCOPED_TRACE(version);
        // Every extreme as a start against the opposite end, and a stored invalid date.
        Bytes file = Header(version, static_cast<int32_t>(std::size(kExtremes)) + 1);
        std::vector<std::string> expected;
        int32_t id = 1;
        for (const int64_t ticks : kExtremes) {
            const int64_t other = ticks < 0 ? INT64_MAX : INT64_MIN;
            const Bytes record = Record(id, 0, ticks, other, "edge");
            file.insert(file.end(), record.begin(), record.end());
            const Stored start = AtStartOfDay(ticks);
            const Stored end = version <= 2 ? AtEndOfDay(AtStartOfDay(other)) : AtStartOfDay(other);
            expected.push_back(std::to_string(id) + " 0 " + std::to_string(start.status) + ":" +
                               std::to_string(start.ticks) + " " + std::to_string(end.status) +
                               ":" + std::to_string(end.ticks) + " 'edge' 0");
            ++id;
        }
        const Bytes stored = Record(id, 1, INT64_MIN, INT64_MAX, "stored invalid", 1, 2);
        file.insert(file.end(), stored.begin(), stored.end());
        expected.push_back(std::to_string(id) + " 1 1:" + std::to_string(INT64_MIN) +
                           " 1:" + std::to_string(INT64_MAX) + " 'stored invalid' 0");

        ASSERT_TRUE(Read(File("edges.pws"), file));
        EXPECT_EQ(Lines(db.tasks), expected);
        EXPECT_TRUE(agent.alerts.empty());

        // The schedule at a date, at both ends of the range and in between.
        for (const int64_t now : {INT64_MIN, int64_t{0}, INT64_MAX}) {
            db.SetCurrentDate(AtTicks(now), true);
            for (const TASK& task : db.tasks) {
                EXPECT_GE(task.percentDone, 0);
                EXPECT_LE(task.percentDone, 100);
            }
        }

        ASSERT_TRUE(db.WriteToOwnFormat(File("again.pws").c_str()));
        ASSERT_TRUE(db.ReadFromOwnFormat(File("again.pws").c_str()));
        EXPECT_EQ(Lines(db.tasks), expected) << "saved and read back";
    }
}

TEST_F(ScheduleFileExtremeDatesTest, ATextTaskEndingInTheLastYearSavesAndReadsBack) {
    // The last day dates are made from ends at 00:00 of 1 January 29001; the own file must keep
    // that end as it is, although no date of year 29001 can be made from fields.
    const std::string text = std::string(DB::columnNames[0]) + "\t" + DB::columnNames[1] + "\t" +
                             DB::columnNames[2] + "\t" + DB::columnNames[3] + "\r" +
                             "1\tB_Last\t12/30/29000\t12/31/29000\r";
    const std::string path = File("edges.txt");
    FileTest::WriteBytes(path, Bytes(text.begin(), text.end()));
    agent.dialogAnswers = {{"4=1", "ok"}};  // whatever order the question offers first
    ASSERT_TRUE(db.ReadFromMsProject(path.c_str()));
    const std::vector<std::string> expected = {"1 0 0:" + std::to_string(Ticks(29000, 12, 30)) +
                                               " 0:" + std::to_string(Ticks(29001, 1, 1)) +
                                               " 'Last' 0"};
    EXPECT_EQ(Lines(db.tasks), expected);

    ASSERT_TRUE(db.WriteToOwnFormat(File("edges.pws").c_str()));
    ASSERT_TRUE(db.ReadFromOwnFormat(File("edges.pws").c_str()));
    EXPECT_EQ(Lines(db.tasks), expected);
}
