// The open and save commands through their dialogs and alerts, and closing the project through
// the host's event.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AddOn/AddOnMain.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

using namespace ScheduleBytes;
using FileTest::ReadBytes;
using FileTest::WriteBytes;

DG::FileDialogAnswer Chosen(const std::string& path, int32_t filter = 0) {
    return DG::FileDialogAnswer{true, path, filter};
}

class ScheduleCommandsTest : public ScheduleTest {
protected:
    // A changed schedule of two tasks, not yet saved.
    void MakeChangedSchedule() {
        db.tasks = {MakeTask(1, Build, Ticks(2024, 1, 1), Ticks(2024, 1, 8), "Walls"),
                    MakeTask(2, Demolish, Ticks(2024, 2, 1), Ticks(2024, 2, 2), "Shed")};
        db.modified = true;
    }
    Bytes FileOfChangedSchedule() const {
        return Join({Header(4, 2), Record(1, 0, Ticks(2024, 1, 1), Ticks(2024, 1, 8), "Walls"),
                     Record(2, 1, Ticks(2024, 2, 1), Ticks(2024, 2, 2), "Shed")});
    }
    // A schedule file on disk, of one task with the given name.
    std::string MakeFile(const std::string& fileName, const char* taskName) {
        const std::string path = File(fileName);
        WriteBytes(path, Join({Header(4, 1),
                               Record(5, 2, Ticks(2024, 6, 1), Ticks(2024, 6, 3), taskName)}));
        return path;
    }
};

TEST_F(ScheduleCommandsTest, TheFirstSaveAndSaveAsAskForAFileLaterSavesDoNot) {
    EXPECT_FALSE(db.Save(false)) << "an unchanged schedule is not saved";
    EXPECT_TRUE(agent.fileDialogs.empty());
    MakeChangedSchedule();
    EXPECT_FALSE(db.Save(false)) << "the dialog cancelled";
    EXPECT_TRUE(db.modified);
    EXPECT_TRUE(prefs.untitled);
    EXPECT_TRUE(folder.Entries().empty());
    const std::string path = File("plan.pws");
    agent.files = {Chosen(path)};
    ASSERT_TRUE(db.Save(false));
    ASSERT_EQ(agent.fileDialogs.size(), 2u);
    const DG::FileDialogRequest& r = agent.fileDialogs[1];
    EXPECT_EQ(r.title, "Save Schedule");
    EXPECT_EQ(r.filters, (std::vector<std::string>{"Phasework Schedule (*.pws)",
                                                   "Microsoft Project Text (*.txt)",
                                                   "Microsoft Project XML (*.xml)"}));
    EXPECT_EQ(r.initialPath, "Untitled Schedule");
    EXPECT_EQ(ReadBytes(path), FileOfChangedSchedule());
    EXPECT_STREQ(prefs.schedulePath, path.c_str());
    EXPECT_FALSE(prefs.untitled);
    EXPECT_FALSE(db.modified);

    db.tasks[1].type = TypeR;
    db.modified = true;
    ASSERT_TRUE(db.Save(false));
    EXPECT_EQ(agent.fileDialogs.size(), 2u) << "no further dialog";
    EXPECT_EQ(ReadBytes(path)[64 + 40 + 5 + 4], 2) << "the type of the second record";

    // Save as asks even for an unchanged schedule, starting at the current file.
    const std::string second = File("second.pws");
    agent.files = {Chosen(second)};
    ASSERT_TRUE(db.Save(true));
    EXPECT_EQ(agent.fileDialogs.back().initialPath, path);
    EXPECT_EQ(ReadBytes(second), ReadBytes(path));
    EXPECT_STREQ(prefs.schedulePath, second.c_str());
    EXPECT_TRUE(agent.alerts.empty());
}

TEST_F(ScheduleCommandsTest, AFailedSaveAsKeepsTheOldFileAndItsName) {
    // The chosen path too long for the preferences: the old file must not be written instead.
    for (const std::string& chosen :
         {File("no/such/folder/plan.pws"), "/" + std::string(1100, 'x')}) {
        SCOPED_TRACE(chosen.substr(0, 40));
        const std::string old = MakeFile("old.pws", "Old");
        const Bytes oldBytes = ReadBytes(old);
        UseFile(old);
        MakeChangedSchedule();
        agent.alerts.clear();
        agent.files = {Chosen(chosen)};
        EXPECT_FALSE(db.Save(true));
        EXPECT_EQ(AlertIds(), (std::vector<int16_t>{32520}));
        EXPECT_EQ(ReadBytes(old), oldBytes);
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"old.pws"}));
        EXPECT_STREQ(prefs.schedulePath, old.c_str());
        EXPECT_TRUE(db.modified) << "the changes are still to be saved";
    }
}

TEST_F(ScheduleCommandsTest, OpenReadsTheChosenFileAndRecordsIt) {
    const std::string path = MakeFile("site.pws", "Crane");
    agent.files = {Chosen(path)};
    prefs.scheduleKind = 1;
    ASSERT_TRUE(db.Load());
    ASSERT_EQ(agent.fileDialogs.size(), 1u);
    EXPECT_EQ(agent.fileDialogs[0].title, "Open Schedule");
    EXPECT_EQ(
        agent.fileDialogs[0].filters,
        (std::vector<std::string>{"Phasework Schedule (*.pws)", "Microsoft Project Text (*.txt)",
                                  "Microsoft Project XML (*.xml)", "Primavera P6 (*.xer)"}));
    EXPECT_EQ(Lines(db.tasks),
              Lines({MakeTask(5, TypeR, Ticks(2024, 6, 1), Ticks(2024, 6, 3), "Crane")}));
    EXPECT_STREQ(prefs.schedulePath, path.c_str());
    EXPECT_EQ(prefs.scheduleKind, 0);
    EXPECT_FALSE(prefs.untitled);
    EXPECT_FALSE(db.modified);
    EXPECT_TRUE(agent.alerts.empty());
}

TEST_F(ScheduleCommandsTest, OpeningAChangedScheduleAsksFirst) {
    const struct {
        const char* what;
        int16_t answer;
        bool saved;  // the save dialog answered (with the first answer)
        bool opened;
        size_t dialogs;
    } cases[] = {
        {"save, then open", 1, true, true, 2},
        {"save cancelled: no open", 1, false, false, 1},
        {"don't save", 2, false, true, 1},
        {"cancel", 3, false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        db.Clear();
        MakeChangedSchedule();
        const std::string saved = File("saved" + std::to_string(&c - cases) + ".pws");
        agent.alerts.clear();
        agent.fileDialogs.clear();
        agent.answers = {c.answer};
        agent.files = {Chosen(MakeFile("open.pws", "Opened"))};
        if (c.answer == 1)
            agent.files.insert(agent.files.begin(),
                               c.saved ? Chosen(saved) : DG::FileDialogAnswer{});
        EXPECT_EQ(db.Load(), c.opened);
        ASSERT_FALSE(agent.alerts.empty());
        EXPECT_EQ(agent.alerts[0].id, 32515);
        EXPECT_NE(agent.alerts[0].text.find("Untitled Schedule"), std::string::npos);
        EXPECT_EQ(agent.fileDialogs.size(), c.dialogs);
        EXPECT_EQ(FileTest::ReadBytes(saved), c.saved ? FileOfChangedSchedule() : Bytes{});
        EXPECT_EQ(db.tasks.size(), c.opened ? 1u : 2u);
        EXPECT_EQ(db.modified, !c.opened);
    }
}

class ScheduleMenuTest : public HostedAddOnTest {
protected:
    FileTest::TempFolder folder;
};

TEST_F(ScheduleMenuTest, ClosingTheProjectOffersToSaveAChangedScheduleThenClearsIt) {
    Start();
    for (const auto& [answer, saved] : {std::pair{2, false}, std::pair{1, true}}) {
        SCOPED_TRACE(answer);
        const std::string path = folder / ("close" + std::to_string(answer) + ".pws");
        projectDB.AppendNewTask();
        ASSERT_TRUE(projectDB.IsModified());
        agent.alerts.clear();
        agent.answers = {int16_t(answer)};
        agent.files = {Chosen(path)};
        EXPECT_EQ(CadHost::Host::Get().RaiseProjectEvent(32, 0), 1);
        ASSERT_EQ(agent.alerts.size(), 1u);
        EXPECT_EQ(agent.alerts[0].id, 32514);
        // The schedule is dropped whatever the answer: no button may look as if it kept it.
        EXPECT_EQ(agent.alerts[0].buttons, (std::vector<std::string>{"Save", "Don't Save"}));
        EXPECT_EQ(FileTest::Exists(path), saved);
        EXPECT_EQ(projectDB.GetTaskNumber(), 0) << "cleared whatever the answer";
        EXPECT_FALSE(projectDB.IsModified());
    }
}

}  // namespace
