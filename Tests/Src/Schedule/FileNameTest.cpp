// The schedule's file dialogs (the open and save commands' own checks are in ScheduleCommandsTest).
#include <gtest/gtest.h>

#include <string>

#include "Schedule/FileName.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

class FileNameTest : public ScheduleTest {};

TEST_F(FileNameTest, BeforeAnyDialogNothingIsChosen) {
    FileName name(FileName::Save, "/a/b.pws", 0);
    char out[1024] = "unchanged";
    EXPECT_EQ(name.GetFullPath(out), nullptr);
    EXPECT_STREQ(out, "unchanged");
    EXPECT_EQ(name.GetFullPath(), nullptr);
    EXPECT_EQ(name.GetSelectedFilter(), 1);
}

// What the movie's save dialog does with the answer is checked in AnimationDialogTest.
TEST_F(FileNameTest, SimpleSaveDialogOffersOneTypeFromTheLocation) {
    FileName name(FileName::Save, nullptr, 0);
    EXPECT_FALSE(name.SimpleSaveDlg(nullptr, "Movie", 0, FourChar("MooV")));
    EXPECT_TRUE(agent.fileDialogs.empty()) << "a null location asks nothing";
    IO::Location location("/movies/start.mov");
    EXPECT_FALSE(name.SimpleSaveDlg(&location, "QuickTime Movie", 11, FourChar("MooV")));
    EXPECT_EQ(location.ToPath(), "/movies/start.mov") << "cancelled: unchanged";
    ASSERT_EQ(agent.fileDialogs.size(), 1u);
    const DG::FileDialogRequest& r = agent.fileDialogs[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.filters, (std::vector<std::string>{"QuickTime Movie"}));
    EXPECT_EQ(r.initialPath, "/movies/start.mov");
}

TEST_F(FileNameTest, WithoutTheTypeTextsNoDialogIsShown) {
    const std::string path = File("bare.rsrc");
    FileTest::WriteBytes(path, {});
    ASSERT_TRUE(ModuleEntry::OpenOwnResourceFileAt(path));
    FileName name(FileName::Open, nullptr, 0);
    FTM::GroupID own = -1, text = -1;
    EXPECT_FALSE(name.SetupFTM(&own, &text));
    EXPECT_FALSE(name.DisplayOpenDlg());
    EXPECT_FALSE(name.DisplaySaveDlg());
    EXPECT_TRUE(agent.fileDialogs.empty());
    ASSERT_TRUE(ModuleEntry::OpenOwnResourceFileAt(PW_RESOURCE_FILE));
}

}  // namespace
