// Saving the schedule in both writable formats: every file operation failing in turn keeps the
// file that was there byte for byte, leaves no scratch file, keeps the changes to be saved and
// tells the user; a hard-linked file is written in place, where every name sees the new schedule
// and a failed write says the file may be damaged. Which files may be replaced (modes, owners,
// folders) is the replacement file's rule and is checked in IOReplacementFileTest.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Platform/FaultSweep.h"
#include "PreferenceStore.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;
using FileTest::ReadBytes;
using FileTest::WriteBytes;
namespace fs = std::filesystem;

const Bytes kOldFile{'o', 'l', 'd', ' ', 's', 'c', 'h', 'e', 'd', 'u', 'l', 'e'};

struct Writer {
    const char* name;
    int32_t kind;  // 0 own format, 1 Microsoft Project text
};
const Writer kWriters[] = {{"own file", 0}, {"exchange text", 1}};

class ScheduleSaveTest : public ScheduleTest {
protected:
    // `path` holds the old file (with a second name `other` when hard-linked); the schedule
    // has changed and is to be saved there in the writer's format.
    void Prepare(const Writer& writer, bool hardLinked) {
        for (const std::string& name : folder.Entries()) fs::remove(folder / name);
        WriteBytes(path, kOldFile);
        if (hardLinked) fs::create_hard_link(path, other);
        db.tasks = {MakeTask(7, Build, Ticks(2024, 1, 15), Ticks(2024, 1, 22), "Walls")};
        db.modified = true;
        UseFile(path);
        prefs.scheduleKind = writer.kind;
        agent.alerts.clear();
    }
    // Whether the bytes are the schedule above, in the writer's format.
    static bool IsSavedSchedule(const Bytes& bytes, const Writer& writer) {
        if (writer.kind == 0)
            return bytes == Join({Header(4, 1),
                                  Record(7, 0, Ticks(2024, 1, 15), Ticks(2024, 1, 22), "Walls")});
        const std::string text(bytes.begin(), bytes.end());
        return text.rfind("Unique ID\tName\tStart\tFinish\r7\tB_Walls\t", 0) == 0 &&
               text.back() == '\r';
    }

    const std::string path = folder / "plan", other = folder / "other";
};

TEST_F(ScheduleSaveTest, EveryFailingCallKeepsTheOldFileAndTellsTheUser) {
    for (const Writer& w : kWriters) {
        for (const bool hardLinked : {false, true}) {
            SCOPED_TRACE(std::string(w.name) + (hardLinked ? " in place" : ""));
            const FileTest::SaveCalls calls = FileTest::SweepSaveFailures(
                [&] { Prepare(w, hardLinked); }, [&] { return db.Save(false); },
                [&](const std::string&) {
                    EXPECT_TRUE(db.modified);
                    if (hardLinked) {
                        // Only the write over the file itself can fail: all of them say so.
                        ASSERT_EQ(AlertIds(), (std::vector<int16_t>{32523}));
                        const std::string& text = agent.alerts[0].text;
                        EXPECT_TRUE(text.find("\"" + path + "\"") != std::string::npos &&
                                    text.find("may be damaged") != std::string::npos)
                            << text;
                        EXPECT_EQ(ReadBytes(other), ReadBytes(path));
                        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"other", "plan"}));
                    } else {
                        EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32520}));
                        EXPECT_EQ(ReadBytes(path), kOldFile);
                        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"plan"}));
                    }
                });
            // The own file goes in many writes, the text in one a line, in place in one.
            EXPECT_GE(calls.writes, hardLinked ? 1 : w.kind == 0 ? 10 : 2);
            EXPECT_EQ(calls.syncs, 1);
            EXPECT_EQ(calls.closes, 1);
            EXPECT_EQ(calls.renames, hardLinked ? 0 : 1);
        }
    }
}

TEST_F(ScheduleSaveTest, AHardLinkedFileIsWrittenInPlace) {
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        Prepare(w, true);
        EXPECT_TRUE(db.Save(false));
        EXPECT_TRUE(agent.alerts.empty());
        EXPECT_TRUE(IsSavedSchedule(ReadBytes(path), w));
        EXPECT_EQ(ReadBytes(other), ReadBytes(path));
        EXPECT_EQ(fs::hard_link_count(path), 2u);
    }
}

// How the store keeps its old file through each failing call is checked in HostSaveFailureTest.
TEST_F(ScheduleSaveTest, PreferencesThatCannotBeStoredAreReported) {
    const std::string store = folder / "preferences.bin";
    fs::create_directory(store);  // where the file should go
    CadHost::Host::Get().SetPreferenceStore(std::make_unique<CadHost::PreferenceStore>(store));
    EXPECT_NE(prefs.WritePreferences(), 0);
    const auto lines = ReportLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("the preferences could not be stored"), std::string::npos) << lines[0];
}

}  // namespace
