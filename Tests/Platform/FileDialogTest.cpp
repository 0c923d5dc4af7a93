// The file types a dialog offers, and the open and save dialogs as a person would answer them.
#include <gtest/gtest.h>

#include <filesystem>

#include "DG/FileDialog.h"
#include "DG/UserAgent.h"
#include "FTM/FileTypeManager.h"

namespace {

TEST(FTMFileTypeTest, FilterTextListsEveryExtension) {
    const struct {
        const char* extensions;
        const char* text;
    } cases[] = {
        {"pws", "Schedule (*.pws)"},
        {"txt;tab", "Schedule (*.txt;*.tab)"},
        {"", "Schedule"},
        {";txt;", "Schedule (*.txt)"},
    };
    for (const auto& c : cases) {
        const FTM::FileType type("Schedule", c.extensions, 0, 0);
        EXPECT_EQ(type.FilterText(), c.text) << c.extensions;
    }
    EXPECT_EQ(FTM::FileType("d", "txt;tab", 0, 0).FirstExtension(), "txt");
}

TEST(FTMFileTypeManagerTest, GroupsHoldTheirTypesInOrderAndARemovedOneLeavesTheTree) {
    FTM::FileTypeManager ftm("PWFTM");
    EXPECT_EQ(ftm.GetName(), "PWFTM");
    const FTM::GroupID own = ftm.AddGroup("Own");
    const FTM::GroupID text = ftm.AddGroup("Text");
    ASSERT_NE(own, FTM::UnknownGroup);
    ASSERT_NE(text, FTM::UnknownGroup);
    const FTM::GroupID child = ftm.AddGroup("Child", text);
    const FTM::TypeID a =
        ftm.AddType(FTM::FileType("A", "a", FourChar("KXVT"), FourChar("BIN ")), own);
    const FTM::TypeID b = ftm.AddType(FTM::FileType("B", "b", 0, FourChar("TEXT")), text);
    const FTM::TypeID c = ftm.AddType(FTM::FileType("C", "c", 0, 0), own);
    EXPECT_EQ(ftm.GetTypesOfGroup(own), (std::vector<FTM::TypeID>{a, c}));
    ASSERT_NE(ftm.GetType(a), nullptr);
    EXPECT_EQ(ftm.GetType(a)->macType, FourChar("BIN "));
    EXPECT_EQ(ftm.GetType(a)->iconId, -1);
    EXPECT_EQ(ftm.GetSubGroups(FTM::RootGroup), (std::vector<FTM::GroupID>{own, text}));
    EXPECT_EQ(*ftm.GetGroupName(text), "Text");

    ASSERT_EQ(ftm.RemoveGroup(text), ApiErr::NoError);
    EXPECT_EQ(ftm.GetSubGroups(FTM::RootGroup), (std::vector<FTM::GroupID>{own}));
    EXPECT_FALSE(ftm.IsInTree(text));
    EXPECT_FALSE(ftm.IsInTree(child));
    EXPECT_TRUE(ftm.IsInTree(own));
    EXPECT_EQ(ftm.GetTypesOfGroup(text), (std::vector<FTM::TypeID>{b})) << "its types stay";

    // What cannot be registered or removed.
    EXPECT_EQ(ftm.AddGroup(""), FTM::UnknownGroup);
    EXPECT_EQ(ftm.AddGroup(nullptr), FTM::UnknownGroup);
    EXPECT_EQ(ftm.AddGroup("g", 77), FTM::UnknownGroup);
    EXPECT_EQ(ftm.AddType(FTM::FileType("", "a", 0, 0)), FTM::UnknownType);
    EXPECT_EQ(ftm.AddType(FTM::FileType("d", "a", 0, 0), 77), FTM::UnknownType);
    EXPECT_EQ(ftm.GetType(c + 1), nullptr);
    EXPECT_EQ(ftm.GetType(-1), nullptr);
    EXPECT_NE(ftm.RemoveGroup(FTM::RootGroup), ApiErr::NoError);
    EXPECT_NE(ftm.RemoveGroup(77), ApiErr::NoError);
}

class OneAnswerAgent : public DG::UserAgent {
public:
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
    DG::FileDialogAnswer AnswerFileDialog(const DG::FileDialogRequest& r) override {
        requests.push_back(r);
        return answer;
    }
    std::vector<DG::FileDialogRequest> requests;
    DG::FileDialogAnswer answer;
};

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        DG::SetUserAgent(&agent);
        own = ftm.AddGroup("Own");
        text = ftm.AddGroup("Text");
        ftm.AddType(FTM::FileType("Schedule", "pws", 0, 0), own);
        ftm.AddType(FTM::FileType("Text", "txt", 0, 0), text);
    }
    void TearDown() override { DG::SetUserAgent(nullptr); }

    // A save dialog with the two groups' filters, starting at filter 1.
    DG::FileDialog MakeSaveDialog() {
        DG::FileDialog dialog(DG::FileDialog::Save);
        dialog.AddFilters(ftm, own);
        dialog.AddFilters(ftm, text);
        dialog.SetTitle("Save the schedule");
        dialog.SetStartLocation(IO::Location("/plans/old.pws"));
        dialog.SelectFilter(1);
        return dialog;
    }

    OneAnswerAgent agent;
    FTM::FileTypeManager ftm{"test"};
    FTM::GroupID own = FTM::UnknownGroup, text = FTM::UnknownGroup;
};

// What the agent is told (title, filters, starting filter and file) is checked with the schedule's
// own save dialog in ScheduleCommandsTest.
TEST_F(FileDialogTest, AnswersAndWhatTheDialogMakesOfThem) {
    // The expected file is written relative to the working folder where the dialog must make it
    // absolute; the table itself holds only literals.
    const std::string cwd = std::filesystem::current_path().string();
    const struct {
        bool accepted;
        const char* path;
        int32_t chosenFilter;
        bool confirmed;
        const char* file;
        bool underCwd;
        int32_t filter;
    } cases[] = {
        {false, "/a/b.pws", 0, false, "", false, 1},        // cancelled: nothing chosen
        {true, "", 0, false, "", false, 1},                 // no path: as cancelled
        {true, "/a/b.pws", 0, true, "/a/b.pws", false, 0},  // the user's filter
        {true, "/a/b.txt", 5, true, "/a/b.txt", false, 1},  // no such filter: the starting one
        {true, "/a/b.txt", -1, true, "/a/b.txt", false, 1},
        {true, "rel/c.pws", 1, true, "rel/c.pws", true, 1},  // made absolute
    };
    for (const auto& c : cases) {
        agent.answer = {c.accepted, c.path, c.chosenFilter};
        DG::FileDialog dialog = MakeSaveDialog();
        EXPECT_EQ(dialog.Invoke(), c.confirmed) << c.path;
        EXPECT_EQ(dialog.GetSelectedFile().ToPath(), c.underCwd ? cwd + "/" + c.file : c.file);
        EXPECT_EQ(dialog.GetSelectedFilter(), c.filter) << c.path;
    }
    // Without an agent the user cancels; selecting a filter outside the list selects the first.
    DG::SetUserAgent(nullptr);
    DG::FileDialog dialog = MakeSaveDialog();
    EXPECT_FALSE(dialog.Invoke());
    dialog.SelectFilter(2);
    EXPECT_EQ(dialog.GetSelectedFilter(), 0);
}

}  // namespace
