#include <gtest/gtest.h>

#include <filesystem>

#include "DG/FileDialog.h"
#include "DG/UserAgent.h"

namespace {

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

TEST_F(FileDialogTest, TheAgentIsToldWhatThePersonWouldSee) {
    DG::FileDialog dialog = MakeSaveDialog();
    dialog.Invoke();
    ASSERT_EQ(agent.requests.size(), 1u);
    const DG::FileDialogRequest& r = agent.requests[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.title, "Save the schedule");
    EXPECT_EQ(r.filters, (std::vector<std::string>{"Schedule (*.pws)", "Text (*.txt)"}));
    EXPECT_EQ(r.filter, 1);
    EXPECT_EQ(r.initialPath, "/plans/old.pws");

    DG::FileDialog open(DG::FileDialog::OpenFile);
    open.Invoke();
    EXPECT_FALSE(agent.requests.back().save);
}

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
