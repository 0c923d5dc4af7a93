#include <gtest/gtest.h>

#include <string>

#include "FileName.h"
#include "Src/Schedule/ScheduleFixture.h"

namespace {

class FileNameTest : public ScheduleTest {};

TEST_F(FileNameTest, RegistersTheTwoTypesInTheirGroups) {
    FileName name(FileName::Open, nullptr, 0);
    FTM::GroupID own = -1, text = -1;
    ASSERT_TRUE(name.SetupFTM(&own, &text));
    EXPECT_NE(own, text);
    EXPECT_NE(own, FTM::UnknownGroup);
    EXPECT_NE(text, FTM::UnknownGroup);

    // Checked through a dialog, which offers the groups' types as the person would see them.
    FileName second(FileName::Open, nullptr, 0);
    FTM::GroupID own2 = -1;
    ASSERT_TRUE(second.SetupFTM(&own2, nullptr));
    agent.files = {{true, File("x.pws"), 1}};
    ASSERT_TRUE(second.DisplayOpenDlg());
    ASSERT_EQ(agent.fileDialogs.size(), 1u);
    EXPECT_EQ(
        agent.fileDialogs[0].filters,
        (std::vector<std::string>{"Phasework Schedule (*.pws)", "Microsoft Project Text (*.txt)"}));
    EXPECT_EQ(second.GetSelectedFilter(), 1);
    EXPECT_EQ(second.GetLocation().ToPath(), File("x.pws"));
}

TEST_F(FileNameTest, BeforeAnyDialogNothingIsChosen) {
    FileName name(FileName::Save, "/a/b.pws", 0);
    char out[1024] = "unchanged";
    EXPECT_EQ(name.GetFullPath(out), nullptr);
    EXPECT_STREQ(out, "unchanged");
    EXPECT_EQ(name.GetFullPath(), nullptr);
    EXPECT_EQ(name.GetSelectedFilter(), 1);
}

TEST_F(FileNameTest, TheSaveDialogStartsAtTheDefaultPathWithTheInitialFilter) {
    FileName name(FileName::Save, "/plans/old.txt", 1);
    agent.files = {{true, File("new.pws"), 0}};
    ASSERT_TRUE(name.DisplaySaveDlg());
    const DG::FileDialogRequest& r = agent.fileDialogs.at(0);
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.title, "Save Schedule");
    EXPECT_EQ(r.initialPath, "/plans/old.txt");
    EXPECT_EQ(r.filter, 1);
    EXPECT_STREQ(name.GetFullPath(), File("new.pws").c_str());
    EXPECT_EQ(name.GetSelectedFilter(), 0);
}

TEST_F(FileNameTest, SimpleSaveDialogOffersOneTypeAndUpdatesTheLocation) {
    FileName name(FileName::Save, nullptr, 0);
    EXPECT_FALSE(name.SimpleSaveDlg(nullptr, "Movie", 0, FourChar("MooV")));
    EXPECT_TRUE(agent.fileDialogs.empty()) << "a null location asks nothing";

    IO::Location location("/movies/start.mov");
    EXPECT_FALSE(name.SimpleSaveDlg(&location, "QuickTime Movie", 11, FourChar("MooV")));
    EXPECT_EQ(location.ToPath(), "/movies/start.mov") << "cancelled: unchanged";

    agent.files = {{true, File("film.mov"), 0}};
    ASSERT_TRUE(name.SimpleSaveDlg(&location, "QuickTime Movie", 11, FourChar("MooV")));
    EXPECT_EQ(location.ToPath(), File("film.mov"));
    ASSERT_EQ(agent.fileDialogs.size(), 2u);
    const DG::FileDialogRequest& r = agent.fileDialogs[1];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.title, "Save Schedule");
    EXPECT_EQ(r.filters, (std::vector<std::string>{"QuickTime Movie"}));
    EXPECT_EQ(r.initialPath, "/movies/start.mov");
}

TEST_F(FileNameTest, WithoutTheTypeTextsNoDialogIsShown) {
    FileTest::TempFolder resources;
    const std::string path = resources / "bare.rsrc";
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
