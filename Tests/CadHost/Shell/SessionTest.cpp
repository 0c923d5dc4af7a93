// The session's own words: quoted words, queued answers to alerts and file dialogs, the script's
// command-line arguments and folders made by a script.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "AddOnLoader.h"
#include "DG/UserAgent.h"
#include "Shell/Session.h"

namespace {

class SessionTest : public ::testing::Test {
protected:
    CadHost::AddOnLoader loader;
    std::istringstream in;
    std::ostringstream out;
    CadHost::Session session{loader, in, out, false};
    std::string error;
};

TEST_F(SessionTest, QueuedAnswersAreUsedInOrderThenTheFirstButtonOrCancel) {
    using V = std::vector<std::string>;
    EXPECT_EQ(CadHost::Session::SplitWords("file  \"/tmp/my plan.pwb\" 1"),
              (V{"file", "/tmp/my plan.pwb", "1"}));
    EXPECT_EQ(CadHost::Session::SplitWords("echo \"\""), (V{"echo", ""}));

    ASSERT_TRUE(session.RunLine("answer 2 3", error)) << error;
    DG::AlertRequest alert{1, "Really?", {"Yes", "No", "Cancel"}};
    EXPECT_EQ(session.AnswerAlert(alert), 2);
    EXPECT_EQ(session.AnswerAlert(alert), 3);
    EXPECT_EQ(session.AnswerAlert(alert), 1);
    EXPECT_NE(out.str().find("answered: 3 (Cancel)"), std::string::npos) << out.str();

    DG::FileDialogRequest request;
    request.filters = {"Schedule", "Text"};
    ASSERT_TRUE(session.RunLine("file \"/tmp/a b.txt\" 1", error)) << error;
    ASSERT_TRUE(session.RunLine("file cancel", error)) << error;
    const DG::FileDialogAnswer first = session.AnswerFileDialog(request);
    EXPECT_EQ(std::tuple(first.accepted, first.path, first.filter),
              std::tuple(true, std::string("/tmp/a b.txt"), 1));
    EXPECT_FALSE(session.AnswerFileDialog(request).accepted);
    for (const char* line : {"answer 0", "answer two", "file /tmp/x notanumber"})
        EXPECT_FALSE(session.RunLine(line, error)) << line;
}

TEST(SessionArgumentsTest, ScriptLinesTakeTheCommandLineArguments) {
    const std::vector<std::string> arguments = {"/data/duplex.ifc", "", "out dir"};
    const struct {
        const char* line;
        const char* expanded;  // nullptr: refused
    } cases[] = {
        {"project import $1", "project import /data/duplex.ifc"},
        {"file \"$3/m.mov\"", "file \"out dir/m.mov\""},
        {"file $SCRIPT_DIR/S.txt 1", "file /samples/S.txt 1"},
        {"mkdir ${2:-duplex-4d}", "mkdir duplex-4d"},  // given but empty: the default
        {"mkdir ${3:-duplex-4d}", "mkdir out dir"},
        {"echo $$1 costs $ 5 $HOME $0", "echo $1 costs $ 5 $HOME $0"},
        {"echo $2", nullptr},
        {"echo ${1", nullptr},
    };
    for (const auto& c : cases) {
        std::string expanded = "untouched", error;
        const bool ok =
            CadHost::Session::ExpandArguments(c.line, arguments, "/samples", expanded, error);
        EXPECT_EQ(ok, c.expanded != nullptr) << c.line << " gave " << expanded;
        EXPECT_EQ(expanded, c.expanded != nullptr ? c.expanded : "untouched") << c.line;
        EXPECT_EQ(error.empty(), ok) << c.line;
    }
}

// A script run without arguments keeps its dollar signs.
TEST_F(SessionTest, AScriptStopsAtAMissingArgumentAndLeavesCommentsAlone) {
    session.SetScriptArguments("scripts/run.session", {"one"});
    std::istringstream script("# uses $2 later\necho $1 in $SCRIPT_DIR\necho $2\necho never\n");
    EXPECT_EQ(session.RunScript(script, "run.session"), 1);
    EXPECT_NE(out.str().find("one in scripts\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("run.session:3: error: the script needs argument 2"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(out.str().find("never"), std::string::npos) << out.str();

    out.str("");
    CadHost::Session plain(loader, in, out, false);
    std::istringstream demo("echo $1 ${2:-x}\n");
    EXPECT_EQ(plain.RunScript(demo, "demo"), 0);
    EXPECT_EQ(out.str(), "$1 ${2:-x}\n");
}

TEST_F(SessionTest, MkdirMakesNestedFoldersAndRefusesAFileInTheWay) {
    namespace fs = std::filesystem;
    const fs::path base = fs::path(::testing::TempDir()) / "session_mkdir";
    fs::remove_all(base);
    const std::string nested = (base / "a b" / "c").string();
    ASSERT_TRUE(session.RunLine("mkdir \"" + nested + "\"", error)) << error;
    EXPECT_TRUE(fs::is_directory(nested));
    EXPECT_NE(out.str().find("folder: " + nested + "\n"), std::string::npos) << out.str();
    ASSERT_TRUE(session.RunLine("mkdir \"" + (base / "a b").string() + "\"", error)) << "again";
    std::ofstream(base / "file") << "x";
    EXPECT_FALSE(session.RunLine("mkdir \"" + (base / "file").string() + "\"", error));
    EXPECT_NE(error.find((base / "file").string() + "'"), std::string::npos) << error;
    EXPECT_FALSE(session.RunLine("mkdir \"" + (base / "file" / "d").string() + "\"", error));
    EXPECT_FALSE(fs::exists(base / "file" / "d"));
    fs::remove_all(base);
}

}  // namespace
