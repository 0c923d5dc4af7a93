#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "IO/File.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;
using FileTest::ReadBytes;
using FileTest::WriteBytes;

// ---- Writing ----

class ScheduleWriterTest : public ScheduleTest {};

TEST_F(ScheduleWriterTest, WritesHeaderAndRecordsByteForByte) {
    db.tasks = {
        MakeTask(3, Build, Ticks(2024, 3, 4), Ticks(2024, 3, 9), "Foundations"),
        MakeTask(1, Temporary, Ticks(1999, 12, 31), Ticks(2000, 1, 1), ""),
        MakeTask(70000, Demolish, Ticks(2030, 6, 1), Ticks(2030, 7, 1), "Old shed \xC3\xA4"),
    };
    db.tasks[1].start.status = HighTimeStatus::invalid;  // stored as it is, status and ticks
    db.tasks[2].flags = 1;                               // marks are not stored
    db.tasks[2].percentDone = 50;
    const std::string path = File("plan.pws");
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

TEST_F(ScheduleWriterTest, AnEmptyScheduleIsTheHeaderAlone) {
    const std::string path = File("empty.pws");
    ASSERT_TRUE(db.WriteToOwnFormat(path.c_str()));
    EXPECT_EQ(ReadBytes(path), Header(4, 0));
}

TEST_F(ScheduleWriterTest, ReplacesALongerOldFileWhole) {
    const std::string path = File("plan.pws");
    WriteBytes(path, Bytes(5000, 0xEE));
    db.tasks = {MakeTask(1, Build, Ticks(2024, 1, 1), Ticks(2024, 1, 2), "A")};
    ASSERT_TRUE(db.WriteToOwnFormat(path.c_str()));
    EXPECT_EQ(ReadBytes(path),
              Join({Header(4, 1), Record(1, 0, Ticks(2024, 1, 1), Ticks(2024, 1, 2), "A")}));
}

TEST_F(ScheduleWriterTest, UnwritablePlacesFailWithoutLeavingAnything) {
    std::filesystem::create_directory(File("folder.pws"));
    for (const std::string& path : {File("missing/plan.pws"), File("folder.pws"), std::string()})
        EXPECT_FALSE(db.WriteToOwnFormat(path.c_str())) << path;
    EXPECT_FALSE(db.WriteToOwnFormat(nullptr));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"folder.pws"}));
    EXPECT_TRUE(agent.alerts.empty()) << "the writer itself shows no alert";
}

TEST_F(ScheduleWriterTest, AWriteThatFailsHalfWayLeavesTheOldFileAsItWas) {
    const std::string path = File("plan.pws");
    const Bytes old =
        Join({Header(4, 1), Record(9, 2, Ticks(2020, 1, 1), Ticks(2020, 2, 1), "Old")});
    WriteBytes(path, old);
    for (int i = 0; i < 200; ++i)
        db.tasks.push_back(MakeTask(i + 1, Build, Ticks(2024, 1, 1), Ticks(2024, 1, 2), "Task"));
    bool written = true;
    {
        FileTest::FileSizeLimit limit(1024);  // the new file would be about 9 kB
        written = db.WriteToOwnFormat(path.c_str());
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"plan.pws"})) << "scratch file removed";
}

// ---- Reading ----

class ScheduleReaderTest : public ScheduleTest {
protected:
    // Reads bytes as a schedule file.
    bool ReadFile(const Bytes& bytes) {
        const std::string path = File("in.pws");
        WriteBytes(path, bytes);
        return db.ReadFromOwnFormat(path.c_str());
    }
    // A schedule in memory that a failed read must keep or lose.
    void FillWithOldSchedule() {
        db.tasks = {MakeTask(42, TypeR, Ticks(2010, 5, 5), Ticks(2010, 5, 6), "Old")};
        db.modified = true;
        std::strcpy(prefs.schedulePath, "/old/plan.pws");
        prefs.untitled = false;
    }
    struct Expected {
        int32_t id;
        TASKTYPE type;
        int64_t start, end;
        const char* name;
    };
    void ExpectTasks(const std::vector<Expected>& expected) {
        ASSERT_EQ(db.tasks.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            const TASK& t = db.tasks[i];
            EXPECT_EQ(t.uniqueID, expected[i].id) << i;
            EXPECT_EQ(t.type, expected[i].type) << i;
            EXPECT_EQ(t.start.status, HighTimeStatus::valid) << i;
            EXPECT_EQ(t.start.ticks, expected[i].start) << i;
            EXPECT_EQ(t.end.status, HighTimeStatus::valid) << i;
            EXPECT_EQ(t.end.ticks, expected[i].end) << i;
            EXPECT_STREQ(t.name, expected[i].name) << i;
            EXPECT_EQ(t.flags, 0u) << i;
        }
    }
};

TEST_F(ScheduleReaderTest, Version4IsTakenAsStored) {
    FillWithOldSchedule();
    ASSERT_TRUE(ReadFile(Join({
        Header(4, 3), Record(5, 0, Ticks(2024, 3, 4), Ticks(2024, 3, 11), "Walls"),
        Record(2, 3, Ticks(2024, 3, 4), Ticks(2024, 3, 5), std::string(255, 'n')),
        Record(7, 5, Ticks(2024, 1, 1), Ticks(2024, 1, 2), ""),  // type 5 passes
    })));
    const std::string longName(255, 'n');
    ExpectTasks({
        {5, Build, Ticks(2024, 3, 4), Ticks(2024, 3, 11), "Walls"},
        {2, TypeF, Ticks(2024, 3, 4), Ticks(2024, 3, 5), longName.c_str()},
        {7, static_cast<TASKTYPE>(5), Ticks(2024, 1, 1), Ticks(2024, 1, 2), ""},
    });
    EXPECT_TRUE(agent.alerts.empty());
    // Reading clears the old schedule first, which resets the file name; the command records the
    // new one.
    EXPECT_FALSE(db.modified);
    EXPECT_TRUE(prefs.untitled);
}

TEST_F(ScheduleReaderTest, DatesAreMovedToTheStartOfTheirDay) {
    ASSERT_TRUE(ReadFile(Join({
        Header(4, 1),
        Record(1, 0, Ticks(2024, 3, 4, 13, 30, 5), Ticks(2024, 3, 11, 23, 59, 59), "T"),
    })));
    ExpectTasks({{1, Build, Ticks(2024, 3, 4), Ticks(2024, 3, 11), "T"}});
}

TEST_F(ScheduleReaderTest, Versions1And2HeldTheLastDayItselfAsEnd) {
    const struct {
        int32_t version;
        int64_t end;
    } cases[] = {
        {1, Ticks(2024, 3, 11)},
        {2, Ticks(2024, 3, 11)},
        {3, Ticks(2024, 3, 10)},
        {4, Ticks(2024, 3, 10)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        ASSERT_TRUE(ReadFile(Join({
            Header(c.version, 1),
            Record(1, 1, Ticks(2024, 3, 1), Ticks(2024, 3, 10), "End"),
        })));
        ExpectTasks({{1, Demolish, Ticks(2024, 3, 1), c.end, "End"}});
    }
}

TEST_F(ScheduleReaderTest, Version1NumberedTheTypesDifferently) {
    const struct {
        int32_t stored;
        int32_t v1, v2;  // read from version 1 and from a later version
    } cases[] = {
        {0, Build, Build},     {1, Demolish, Demolish}, {2, TypeF, TypeR},
        {3, Temporary, TypeF}, {4, TypeR, Temporary},   {5, 5, 5},
    };
    for (const auto& c : cases) {
        for (int32_t version : {1, 2}) {
            SCOPED_TRACE(std::to_string(c.stored) + " in version " + std::to_string(version));
            ASSERT_TRUE(ReadFile(Join({
                Header(version, 1),
                Record(1, c.stored, Ticks(2024, 3, 1), Ticks(2024, 3, 1), "x"),
            })));
            ASSERT_EQ(db.tasks.size(), 1u);
            EXPECT_EQ(db.tasks[0].type, version == 1 ? c.v1 : c.v2);
        }
    }
}

TEST_F(ScheduleReaderTest, ACountOfZeroOrLessReadsNoRecord) {
    for (int32_t count : {0, -1, INT32_MIN}) {
        FillWithOldSchedule();
        EXPECT_TRUE(ReadFile(Join({Header(4, count), Record(1, 0, 0, 0, "ignored")}))) << count;
        EXPECT_TRUE(db.tasks.empty()) << count;
    }
}

TEST_F(ScheduleReaderTest, AForeignOrUnreadableHeaderKeepsTheScheduleInMemory) {
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"foreign signature", Join({Header(4, 1, "PWBG"), Record(1, 0, 0, 0, "x")})},
        {"version 0", Join({Header(0, 1), Record(1, 0, 0, 0, "x")})},
        {"version 5", Join({Header(5, 1), Record(1, 0, 0, 0, "x")})},
        {"version -1", Join({Header(-1, 0)})},
        {"empty file", {}},
        {"cut in the signature", {'P', 'W'}},
        {"cut in the reserved bytes",
         [] {
             Bytes h = Header(4, 0);
             h.resize(40);
             return h;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FillWithOldSchedule();
        agent.alerts.clear();
        EXPECT_FALSE(ReadFile(c.bytes));
        ASSERT_EQ(db.tasks.size(), 1u);
        EXPECT_EQ(db.tasks[0].uniqueID, 42);
        EXPECT_TRUE(db.modified);
        EXPECT_STREQ(prefs.schedulePath, "/old/plan.pws");
        EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32521}));
    }
}

TEST_F(ScheduleReaderTest, AFailureInsideTheRecordsLeavesAnEmptyUntitledSchedule) {
    const Bytes good = Record(1, 0, Ticks(2024, 1, 1), Ticks(2024, 1, 2), "Good");
    const Bytes named = Record(2, 0, Ticks(2024, 1, 1), Ticks(2024, 1, 2), "Cut name");
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"ID 0", Join({Header(4, 2), good, Record(0, 0, 0, 0, "x")})},
        {"ID -5", Join({Header(4, 1), Record(-5, 0, 0, 0, "x")})},
        {"type 6", Join({Header(4, 2), good, Record(2, 6, 0, 0, "x")})},
        {"type -1", Join({Header(4, 1), Record(2, -1, 0, 0, "x")})},
        {"version 1 type 6", Join({Header(1, 1), Record(2, 6, 0, 0, "x")})},
        {"fewer records than counted", Join({Header(4, 3), good, good})},
        {"cut inside the ID", Join({Header(4, 2), good, Bytes{2, 0}})},
        {"cut inside the end",
         Join({Header(4, 2), good, Bytes(named.begin(), named.begin() + 28)})},
        {"cut inside the name length",
         Join({Header(4, 1), Bytes(named.begin(), named.begin() + 36)})},
        {"cut inside the name", Join({Header(4, 2), good, Bytes(named.begin(), named.end() - 3)})},
        {"start status 7", Join({Header(4, 2), good, Record(2, 0, 0, 0, "x", 7, 0)})},
        {"end status -1", Join({Header(4, 2), good, Record(2, 0, 0, 0, "x", 0, -1)})},
        {"name of 256 bytes",
         Join({Header(4, 2), good, Record(2, 0, 0, 0, std::string(256, 'a'))})},
        {"name of 2^40 bytes",
         [] {
             Bytes r = Record(2, 0, 0, 0, "");
             r[32 + 5] = 1;
             return Join({Header(4, 1), r});
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FillWithOldSchedule();
        agent.alerts.clear();
        EXPECT_FALSE(ReadFile(c.bytes));
        EXPECT_TRUE(db.tasks.empty());
        EXPECT_FALSE(db.modified);
        EXPECT_TRUE(prefs.untitled);
        EXPECT_STREQ(prefs.schedulePath, "Untitled Schedule");
        EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32521}));
    }
}

TEST_F(ScheduleReaderTest, AMissingFileFailsWithTheAlertAnUnusablePathSilently) {
    FillWithOldSchedule();
    EXPECT_FALSE(db.ReadFromOwnFormat(File("none.pws").c_str()));
    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32521}));
    ASSERT_NE(agent.alerts[0].text.find(File("none.pws")), std::string::npos) << "names the file";
    agent.alerts.clear();
    EXPECT_FALSE(db.ReadFromOwnFormat(""));
    EXPECT_FALSE(db.ReadFromOwnFormat(nullptr));
    EXPECT_TRUE(agent.alerts.empty());
    EXPECT_EQ(db.tasks.size(), 1u);
}

TEST_F(ScheduleReaderTest, WhatTheWriterWritesReadsBackTheSame) {
    db.tasks = {
        MakeTask(4, TypeR, Ticks(1950, 2, 28), Ticks(1950, 3, 1), "R"),
        MakeTask(9, Temporary, Ticks(2024, 2, 29), Ticks(2024, 3, 1), "Scaffold"),
    };
    const std::string path = File("round.pws");
    ASSERT_TRUE(db.WriteToOwnFormat(path.c_str()));
    db.tasks.clear();
    ASSERT_TRUE(db.ReadFromOwnFormat(path.c_str()));
    ExpectTasks({
        {4, TypeR, Ticks(1950, 2, 28), Ticks(1950, 3, 1), "R"},
        {9, Temporary, Ticks(2024, 2, 29), Ticks(2024, 3, 1), "Scaffold"},
    });
}

}  // namespace
