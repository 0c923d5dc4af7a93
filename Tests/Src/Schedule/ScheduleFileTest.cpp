// The own schedule file against bytes built by hand: what the writer writes, what the reader makes
// of every version, and what each kind of damage leaves behind. (Stored dates at the ends of the
// tick range snap and read back as HighTimeExtremesTest checks.)
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "IO/File.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;
using FileTest::ReadBytes;
using FileTest::WriteBytes;

class ScheduleWriterTest : public ScheduleTest {};

TEST_F(ScheduleWriterTest, WritesHeaderAndRecordsByteForByteOverALongerOldFile) {
    db.tasks = {
        MakeTask(3, Build, Ticks(2024, 3, 4), Ticks(2024, 3, 9), "Foundations"),
        MakeTask(1, Temporary, Ticks(1999, 12, 31), Ticks(2000, 1, 1), ""),
        MakeTask(70000, Demolish, Ticks(2030, 6, 1), Ticks(2030, 7, 1), "Old shed \xC3\xA4"),
    };
    db.tasks[1].start.status = HighTimeStatus::invalid;  // stored as it is, status and ticks
    db.tasks[2].flags = 1;                               // marks are not stored
    db.tasks[2].percentDone = 50;
    const std::string path = File("plan.pws");
    WriteBytes(path, Bytes(5000, 0xEE));
    ASSERT_TRUE(db.WriteToOwnFormat(path.c_str()));

    const Bytes expected = Join({
        Header(4, 3),
        Record(3, 0, Ticks(2024, 3, 4), Ticks(2024, 3, 9), "Foundations"),
        Record(1, 4, Ticks(1999, 12, 31), Ticks(2000, 1, 1), "", 1, 0),
        Record(70000, 1, Ticks(2030, 6, 1), Ticks(2030, 7, 1), "Old shed \xC3\xA4"),
    });
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(expected.size(), 64u + 3 * 40 + 11 + 0 + 11);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"plan.pws"})) << "no scratch file left";
}

class ScheduleReaderTest : public ScheduleTest {
protected:
    bool ReadFile(const Bytes& bytes) {
        const std::string path = File("in.pws");
        WriteBytes(path, bytes);
        return db.ReadFromOwnFormat(path.c_str());
    }
    // A schedule in memory that a failed read must keep or lose.
    void FillWithOldSchedule() {
        db.tasks = {MakeTask(42, TypeR, Ticks(2010, 5, 5), Ticks(2010, 5, 6), "Old")};
        db.modified = true;
        UseFile("/old/plan.pws");
        agent.alerts.clear();
    }
};

TEST_F(ScheduleReaderTest, Version4IsTakenAsStoredWithDatesAtTheStartOfTheirDay) {
    FillWithOldSchedule();
    const std::string longName(255, 'n');
    ASSERT_TRUE(ReadFile(Join({
        Header(4, 3),
        Record(5, 0, Ticks(2024, 3, 4, 13, 30, 5), Ticks(2024, 3, 11, 23, 59, 59), "Walls"),
        Record(2, 3, Ticks(2024, 3, 4), Ticks(2024, 3, 5), longName),
        Record(7, 5, Ticks(2024, 1, 1), Ticks(2024, 1, 2), ""),  // type 5 passes
    })));
    EXPECT_EQ(
        Lines(db.tasks),
        Lines({MakeTask(5, Build, Ticks(2024, 3, 4), Ticks(2024, 3, 11), "Walls"),
               MakeTask(2, TypeF, Ticks(2024, 3, 4), Ticks(2024, 3, 5), longName.c_str()),
               MakeTask(7, static_cast<TASKTYPE>(5), Ticks(2024, 1, 1), Ticks(2024, 1, 2), "")}));
    EXPECT_TRUE(agent.alerts.empty());
    // Reading clears the old schedule first, which resets the file name; the command records the
    // new one.
    EXPECT_FALSE(db.modified);
    EXPECT_TRUE(prefs.untitled);
}

TEST_F(ScheduleReaderTest, OldVersionsNumberedTypesAndHeldEndsDifferently) {
    // Version 1 numbered the types B D F T R; versions 1 and 2 held the last day itself as end.
    const TASKTYPE version1Types[] = {Build, Demolish, TypeF, Temporary, TypeR};
    for (int32_t version = 1; version <= 4; ++version) {
        SCOPED_TRACE(version);
        Bytes file = Header(version, 6);
        std::vector<TASK> expected;
        for (int32_t stored = 0; stored <= 5; ++stored) {
            const Bytes record =
                Record(stored + 1, stored, Ticks(2024, 3, 1), Ticks(2024, 3, 10), "x");
            file.insert(file.end(), record.begin(), record.end());
            const auto type =
                static_cast<TASKTYPE>(version == 1 && stored < 5 ? version1Types[stored] : stored);
            expected.push_back(MakeTask(stored + 1, type, Ticks(2024, 3, 1),
                                        Ticks(2024, 3, version <= 2 ? 11 : 10), "x"));
        }
        ASSERT_TRUE(ReadFile(file));
        EXPECT_EQ(Lines(db.tasks), Lines(expected));
    }
}

TEST_F(ScheduleReaderTest, ACountOfZeroOrLessReadsNoRecord) {
    for (int32_t count : {0, -1, INT32_MIN}) {
        FillWithOldSchedule();
        EXPECT_TRUE(ReadFile(Join({Header(4, count), Record(1, 0, 0, 0, "ignored")}))) << count;
        EXPECT_TRUE(db.tasks.empty()) << count;
    }
}

TEST_F(ScheduleReaderTest, AForeignOrDamagedFileKeepsTheScheduleInMemory) {
    Bytes cutReserved = Header(4, 0);
    cutReserved.resize(40);
    const Bytes good = Record(1, 0, Ticks(2024, 1, 1), Ticks(2024, 1, 2), "Good");
    const Bytes named = Record(2, 0, Ticks(2024, 1, 1), Ticks(2024, 1, 2), "Cut name");
    Bytes hugeName = Record(2, 0, 0, 0, "");
    hugeName[32 + 5] = 1;  // 2^40 bytes
    const std::pair<const char*, Bytes> cases[] = {
        {"foreign signature", Join({Header(4, 1, "PWBG"), Record(1, 0, 0, 0, "x")})},
        {"version 0", Join({Header(0, 1), Record(1, 0, 0, 0, "x")})},
        {"version 5", Join({Header(5, 1), Record(1, 0, 0, 0, "x")})},
        {"empty file", {}},
        {"cut in the reserved bytes", cutReserved},
        {"ID 0", Join({Header(4, 2), good, Record(0, 0, 0, 0, "x")})},
        {"type 6", Join({Header(4, 2), good, Record(2, 6, 0, 0, "x")})},
        {"version 1 type 6", Join({Header(1, 1), Record(2, 6, 0, 0, "x")})},
        {"fewer records than counted", Join({Header(4, 3), good, good})},
        {"cut inside the name", Join({Header(4, 2), good, Bytes(named.begin(), named.end() - 3)})},
        {"start status 7", Join({Header(4, 2), good, Record(2, 0, 0, 0, "x", 7, 0)})},
        {"name of 256 bytes",
         Join({Header(4, 2), good, Record(2, 0, 0, 0, std::string(256, 'a'))})},
        {"name of 2^40 bytes", Join({Header(4, 1), hugeName})},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        FillWithOldSchedule();
        EXPECT_FALSE(ReadFile(bytes));
        EXPECT_EQ(Lines(db.tasks),
                  Lines({MakeTask(42, TypeR, Ticks(2010, 5, 5), Ticks(2010, 5, 6), "Old")}));
        EXPECT_TRUE(db.modified);
        EXPECT_FALSE(prefs.untitled);
        EXPECT_STREQ(prefs.schedulePath, "/old/plan.pws");
        EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32521}));
    }
}

TEST_F(ScheduleReaderTest, AMissingFileFailsWithTheAlertAnUnusablePathSilently) {
    FillWithOldSchedule();
    EXPECT_FALSE(db.ReadFromOwnFormat(File("none.pws").c_str()));
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32521}));
    EXPECT_NE(agent.alerts[0].text.find(File("none.pws")), std::string::npos) << "names the file";
    EXPECT_FALSE(db.ReadFromOwnFormat(nullptr));
    EXPECT_EQ(agent.alerts.size(), 1u);
    EXPECT_EQ(db.tasks.size(), 1u);
}

TEST_F(ScheduleReaderTest, ATextTaskEndingInTheLastYearSavesAndReadsBack) {
    // The last day dates are made from ends at 00:00 of 1 January 29001; the own file must keep
    // that end as it is, although no date of year 29001 can be made from fields.
    const std::string text = std::string(DB::columnNames[0]) + "\t" + DB::columnNames[1] + "\t" +
                             DB::columnNames[2] + "\t" + DB::columnNames[3] + "\r" +
                             "1\tB_Last\t12/30/29000\t12/31/29000\r";
    WriteBytes(File("edges.txt"), Bytes(text.begin(), text.end()));
    agent.dialogAnswers = {{"4=1", "ok"}};  // whatever order the question offers first
    ASSERT_TRUE(db.ReadFromMsProject(File("edges.txt").c_str()));
    const std::vector<std::string> expected = {"1 0 0:" + std::to_string(Ticks(29000, 12, 30)) +
                                               " 0:" + std::to_string(Ticks(29001, 1, 1)) +
                                               " 'Last' 0"};
    EXPECT_EQ(Lines(db.tasks), expected);
    ASSERT_TRUE(db.WriteToOwnFormat(File("edges.pws").c_str()));
    ASSERT_TRUE(db.ReadFromOwnFormat(File("edges.pws").c_str()));
    EXPECT_EQ(Lines(db.tasks), expected);
}

}  // namespace
