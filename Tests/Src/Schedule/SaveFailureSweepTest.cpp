// Every file operation of a schedule save failing in turn: the file that was there stays byte for
// byte, no scratch file is left, the changes stay to be saved, and the user hears of it. Written
// over in place (a file with a second name), the alert says the file may be damaged instead.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "AddOn/Preferences.h"
#include "Platform/FaultSweep.h"
#include "PreferenceStore.h"
#include "ReportWindow.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;
using FileTest::ReadBytes;
using FileTest::WriteBytes;
namespace fs = std::filesystem;

const Bytes kOldFile{'o', 'l', 'd', ' ', 's', 'c', 'h', 'e', 'd', 'u', 'l', 'e'};

class ScheduleSaveFailureTest : public ScheduleTest {
protected:
    void MakeChangedSchedule(int32_t kind) {
        db.tasks = {MakeTask(1, Build, Ticks(2024, 1, 15), Ticks(2024, 1, 22), "Walls"),
                    MakeTask(2, Demolish, Ticks(2024, 2, 13), Ticks(2024, 2, 14), "Shed")};
        db.modified = true;
        UseFile(folder / "plan");
        prefs.scheduleKind = kind;
        agent.alerts.clear();
    }
};

TEST_F(ScheduleSaveFailureTest, EveryFailingCallKeepsTheOldFileAndTellsTheUser) {
    const struct {
        const char* writer;
        int32_t kind;
        bool hardLinked;
        int64_t minWrites;  // header and records go in many writes, in place in one
    } cases[] = {{"own file", 0, false, 10},
                 {"exchange text", 1, false, 3},
                 {"own file in place", 0, true, 1},
                 {"exchange text in place", 1, true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.writer);
        const std::string path = folder / "plan", other = folder / "other";
        const FileTest::SaveCalls calls = FileTest::SweepSaveFailures(
            [&] {
                for (const std::string& name : folder.Entries()) fs::remove(folder / name);
                WriteBytes(path, kOldFile);
                if (c.hardLinked) fs::create_hard_link(path, other);
                MakeChangedSchedule(c.kind);
            },
            [&] { return db.Save(false); },
            [&](const std::string&) {
                EXPECT_TRUE(db.modified);
                if (c.hardLinked) {
                    // Only the write over the file itself can fail: all of them say so.
                    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32523}));
                    EXPECT_EQ(ReadBytes(other), ReadBytes(path));
                    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"other", "plan"}));
                } else {
                    EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32520}));
                    EXPECT_EQ(ReadBytes(path), kOldFile);
                    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"plan"}));
                }
            });
        EXPECT_GE(calls.writes, c.minWrites);
        EXPECT_EQ(calls.syncs, 1);
        EXPECT_EQ(calls.closes, 1);
        EXPECT_EQ(calls.renames, c.hardLinked ? 0 : 1);
    }
}

TEST_F(ScheduleSaveFailureTest, PreferencesThatCannotBeStoredKeepTheOldStoreAndAreReported) {
    const std::string path = folder / "preferences.bin";
    Bytes oldStore;
    const FileTest::SaveCalls calls = FileTest::SweepSaveFailures(
        [&] {
            for (const std::string& name : folder.Entries()) fs::remove(folder / name);
            CadHost::Host::Get().SetPreferenceStore(
                std::make_unique<CadHost::PreferenceStore>(path));
            std::strcpy(prefs.schedulePath, "/plans/old.pws");
            ASSERT_EQ(prefs.WritePreferences(), 0);
            oldStore = ReadBytes(path);
            CadHost::Host::Get().SetPreferenceStore(
                std::make_unique<CadHost::PreferenceStore>(path));
            std::strcpy(prefs.schedulePath, "/plans/new.pws");
            ReportWindow::Clear();
        },
        [&] { return prefs.WritePreferences() == 0; },
        [&](const std::string&) {
            EXPECT_EQ(ReadBytes(path), oldStore);
            EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"preferences.bin"}));
            const auto lines = ReportWindow::Lines();
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_NE(lines[0].find("the preferences could not be stored"), std::string::npos)
                << lines[0];
        });
    EXPECT_EQ(calls.writes, 1);
    EXPECT_EQ(calls.renames, 1);
    EXPECT_FALSE(oldStore.empty());
}

}  // namespace
