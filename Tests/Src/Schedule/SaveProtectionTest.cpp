// Saving the schedule, in both formats, respects a write-protected file, saves a writable file in a
// folder that may not be written, reaches every name of a hard-linked file, and says when a
// failed write in place may have damaged the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "Platform/SavePermissionCases.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;
using FileTest::ReadBytes;
using FileTest::WriteBytes;
namespace fs = std::filesystem;

const Bytes kOldFile{'k', 'e', 'e', 'p', ' ', 'm', 'e'};

struct Writer {
    const char* name;
    int32_t kind;  // 0 own format, 1 Microsoft Project text
};
const Writer kWriters[] = {{"own file", 0}, {"exchange text", 1}};

class ScheduleSaveProtectionTest : public ScheduleTest {
protected:
    // A changed schedule whose own file is `path`, to be saved in the writer's format.
    void MakeChangedScheduleOf(const std::string& path, const Writer& writer) {
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
};

TEST_F(ScheduleSaveProtectionTest, AWriteProtectedFileIsRefusedAndLeftAsItWas) {
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        for (const mode_t mode : {0444, 0000}) {
            const std::string path = File("plan");
            WriteBytes(path, kOldFile);
            ::chmod(path.c_str(), mode);
            MakeChangedScheduleOf(path, w);
            EXPECT_FALSE(db.Save(false));
            EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32520}));
            EXPECT_EQ(ReadBytes(path), kOldFile);
            EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"plan"}));
            EXPECT_TRUE(db.modified);
            fs::remove(path);
        }
    }
}

TEST_F(ScheduleSaveProtectionTest, EveryNameOfAHardLinkedFileSeesTheSavedSchedule) {
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        FileTest::TempFolder dir;
        const std::string path = dir / "plan", other = dir / "baseline";
        WriteBytes(path, kOldFile);
        fs::create_hard_link(path, other);
        MakeChangedScheduleOf(path, w);
        EXPECT_TRUE(db.Save(false));
        EXPECT_TRUE(agent.alerts.empty());
        EXPECT_TRUE(IsSavedSchedule(ReadBytes(path), w));
        EXPECT_EQ(ReadBytes(other), ReadBytes(path));
        EXPECT_EQ(fs::hard_link_count(path), 2u);
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"baseline", "plan"}));
    }
}

TEST_F(ScheduleSaveProtectionTest, AFailedWriteInPlaceSaysTheFileMayBeDamaged) {
    for (const Writer& w : kWriters) {
        SCOPED_TRACE(w.name);
        FileTest::TempFolder dir;
        const std::string path = dir / "plan";
        WriteBytes(path, kOldFile);
        fs::create_hard_link(path, dir / "baseline");
        MakeChangedScheduleOf(path, w);
        for (int i = 0; i < 2000; ++i)  // far more than the disk below takes
            db.tasks.push_back(MakeTask(i + 8, Build, Ticks(2024, 1, 1), Ticks(2024, 1, 2), "T"));
        bool saved = true;
        {
            FileTest::FileSizeLimit limit(4096);
            saved = db.Save(false);
        }
        EXPECT_FALSE(saved);
        ASSERT_EQ(AlertIds(), (std::vector<int16_t>{32523}));
        EXPECT_NE(agent.alerts[0].text.find("\"" + path + "\""), std::string::npos)
            << agent.alerts[0].text;
        EXPECT_NE(agent.alerts[0].text.find("may be damaged"), std::string::npos);
        EXPECT_TRUE(db.modified);
    }
}

// Cases where the system must enforce permissions: the save runs as an ordinary user.
TEST_F(ScheduleSaveProtectionTest, FolderAndOwnerPermissionsAsAnOrdinaryUserMeetsThem) {
    for (const Writer& w : kWriters) {
        for (const auto& c : FileTest::kSavePermissionCases) {
            SCOPED_TRACE(std::string(w.name) + ": " + c.what);
            if (!FileTest::SavePermissionCaseRunsHere(c)) continue;
            FileTest::TempFolder dir;
            const std::string path = dir / "plan";
            MakeChangedScheduleOf(path, w);
            std::string whyNot;
            const std::optional<bool> asExpected = FileTest::RunSaveUnderPermissions(
                c, dir, path, kOldFile,
                [&] {
                    const bool saved = db.Save(false);
                    const std::vector<int16_t> alerts = AlertIds();
                    return saved == c.saved && alerts == (c.saved ? std::vector<int16_t>{}
                                                                  : std::vector<int16_t>{32520});
                },
                whyNot);
            if (!asExpected) GTEST_SKIP() << whyNot;
            EXPECT_TRUE(*asExpected);
            if (c.saved) {
                EXPECT_TRUE(IsSavedSchedule(ReadBytes(path), w));
            } else {
                EXPECT_EQ(ReadBytes(path), kOldFile);
            }
            EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"plan"}));
        }
    }
}

}  // namespace
