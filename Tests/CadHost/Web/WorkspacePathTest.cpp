// The workspace's bounds: uploads by plain names only, downloads and command paths that stay
// inside once every link is resolved; and the host's short dates as the page's ISO dates.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Web/WorkspacePath.h"
#include "Web/WorkspaceState.h"

namespace CadHost::Web {
namespace {

namespace fs = std::filesystem;

class WorkspacePathTest : public ::testing::Test {
protected:
    void SetUp() override {
        base_ =
            fs::temp_directory_path() /
            ("pw-workspace-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(base_);
        fs::create_directories(base_ / "ws" / "sub");
        fs::create_directories(base_ / "ws2");
        std::ofstream(base_ / "secret.txt") << "outside";
        std::ofstream(base_ / "ws" / "model.ifc") << "inside";
        fs::create_symlink(base_ / "secret.txt", base_ / "ws" / "link.txt");
        fs::create_directory_symlink(base_, base_ / "ws" / "up");
    }
    void TearDown() override { fs::remove_all(base_); }
    fs::path base_;
};

TEST_F(WorkspacePathTest, UploadNamesArePlainFileNames) {
    const WorkspacePath ws(base_ / "ws");
    fs::path target;
    std::string error;
    EXPECT_TRUE(ws.UploadTarget("duplex.ifc", target, error)) << error;
    EXPECT_EQ(target, fs::weakly_canonical(base_ / "ws") / "duplex.ifc");
    for (const std::string& bad :
         std::vector<std::string>{"../x", "..", ".", "/tmp/x", "sub/x", "a\\b", "", "a\nb",
                                  std::string(256, 'a'), "link.txt", "sub"}) {
        EXPECT_FALSE(ws.UploadTarget(bad, target, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(WorkspacePathTest, DownloadsAndCommandPathsStayInside) {
    const WorkspacePath ws(base_ / "ws");
    fs::path source;
    std::string error;
    EXPECT_TRUE(ws.DownloadSource("model.ifc", source, error)) << error;
    for (const std::string& bad :
         std::vector<std::string>{"../secret.txt", "link.txt", "up/secret.txt", "sub", "none.txt",
                                  (base_ / "secret.txt").string(), "sub/../../secret.txt"})
        EXPECT_FALSE(ws.DownloadSource(bad, source, error)) << bad;

    struct Case {
        std::vector<std::string> words;
        bool allowed;
    };
    const std::string outside = (base_ / "out.json").string();
    const std::string sibling = (base_ / "ws2" / "a.json").string();
    const std::vector<Case> cases = {
        {{"project", "save", "p.json"}, true},
        {{"project", "save", (base_ / "ws" / "p.json").string()}, true},
        {{"project", "save", outside}, false},
        {{"project", "import", "up/x.ifc"}, false},
        {{"project", "save", sibling}, false},
        {{"file", "cancel"}, true},
        {{"file", "../movie.mov", "1"}, false},
        {{"palette", "render", "../p.png"}, false},
        {{"mkdir", "out/new"}, true},
        {{"time", "project", "save", outside}, false},
        {{"palette", "date", "2027-01-01"}, true},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(ws.CheckCommand(c.words, why), c.allowed) << c.words[0] << " " << c.words.back();
        EXPECT_TRUE(c.allowed || why.find("outside the workspace") != std::string::npos) << why;
    }
}

// The host's short date texts (month/day/year in the C locale) read back as ISO dates, which the
// page's Gantt chart and slider work in.
TEST(WorkspaceStateTest, ShortDatesOfTheHostBecomeIsoDates) {
    EXPECT_EQ(WorkspaceState::IsoDate("02/15/2027"), "2027-02-15");
    EXPECT_EQ(WorkspaceState::IsoDate("12/31/1999"), "1999-12-31");
    for (const char* bad : {"", "2027", "13/01/2027", "02/32/2027", "02/15/27", "a/b/c"})
        EXPECT_EQ(WorkspaceState::IsoDate(bad), "") << bad;
}

}  // namespace
}  // namespace CadHost::Web
