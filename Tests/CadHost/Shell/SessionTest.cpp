#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AddOnLoader.h"
#include "DG/UserAgent.h"
#include "Shell/Session.h"

namespace {

TEST(SessionWordsTest, QuotesKeepSpaces) {
    using V = std::vector<std::string>;
    EXPECT_EQ(CadHost::Session::SplitWords("file  \"/tmp/my plan.pwb\" 1"),
              (V{"file", "/tmp/my plan.pwb", "1"}));
    EXPECT_EQ(CadHost::Session::SplitWords("echo \"\""), (V{"echo", ""}));
    EXPECT_EQ(CadHost::Session::SplitWords(" \t "), V{});
}

class SessionAgentTest : public ::testing::Test {
protected:
    CadHost::AddOnLoader loader;
    std::istringstream in;
    std::ostringstream out;
};

TEST_F(SessionAgentTest, QueuedAnswersAreUsedInOrderThenTheFirstButton) {
    CadHost::Session session(loader, in, out, false);
    std::string error;
    ASSERT_TRUE(session.RunLine("answer 2 3", error)) << error;
    DG::AlertRequest alert{1, "Really?", {"Yes", "No", "Cancel"}};
    EXPECT_EQ(session.AnswerAlert(alert), 2);
    EXPECT_EQ(session.AnswerAlert(alert), 3);
    EXPECT_EQ(session.AnswerAlert(alert), 1);
    EXPECT_NE(out.str().find("answered: 3 (Cancel)"), std::string::npos) << out.str();
    EXPECT_FALSE(session.RunLine("answer 0", error));
    EXPECT_FALSE(session.RunLine("answer two", error));
}

TEST_F(SessionAgentTest, FileDialogsCancelWithoutAnAnswer) {
    CadHost::Session session(loader, in, out, false);
    DG::FileDialogRequest request;
    request.filters = {"Schedule", "Text"};
    EXPECT_FALSE(session.AnswerFileDialog(request).accepted);
    std::string error;
    ASSERT_TRUE(session.RunLine("file \"/tmp/a b.txt\" 1", error)) << error;
    ASSERT_TRUE(session.RunLine("file cancel", error)) << error;
    const DG::FileDialogAnswer first = session.AnswerFileDialog(request);
    EXPECT_TRUE(first.accepted);
    EXPECT_EQ(first.path, "/tmp/a b.txt");
    EXPECT_EQ(first.filter, 1);
    EXPECT_FALSE(session.AnswerFileDialog(request).accepted);
    EXPECT_FALSE(session.RunLine("file /tmp/x notanumber", error));
}

TEST_F(SessionAgentTest, InteractiveSessionsAskAtTheTerminal) {
    in.str("9\n2\n");
    CadHost::Session session(loader, in, out, true);
    DG::AlertRequest alert{5, "Save?", {"Save", "Discard"}};
    EXPECT_EQ(session.AnswerAlert(alert), 2) << "an answer outside the buttons is asked again";
}

// ---- The words after the script on the command line ------------------------------------------

struct ExpansionCase {
    const char* line;
    const char* expanded;  // nullptr: refused
};

TEST(SessionArgumentsTest, ScriptLinesTakeTheCommandLineArguments) {
    const std::vector<std::string> arguments = {"/data/duplex.ifc", "", "out dir"};
    const ExpansionCase cases[] = {
        {"project import $1", "project import /data/duplex.ifc"},
        {"file \"$3/m.mov\"", "file \"out dir/m.mov\""},
        {"file $SCRIPT_DIR/S.txt 1", "file /samples/S.txt 1"},
        {"mkdir ${2:-duplex-4d}", "mkdir duplex-4d"},  // given but empty: the default
        {"mkdir ${3:-duplex-4d}", "mkdir out dir"},
        {"mkdir ${4:-}", "mkdir "},
        {"echo ${1}x", "echo /data/duplex.ifcx"},
        {"echo $$1 costs $ 5 $HOME $0", "echo $1 costs $ 5 $HOME $0"},
        {"echo $", "echo $"},
        {"echo $2", nullptr},
        {"echo $4", nullptr},
        {"echo ${5}", nullptr},
        {"echo ${1:+x}", nullptr},
        {"echo ${1", nullptr},
    };
    for (const ExpansionCase& c : cases) {
        std::string expanded = "untouched", error;
        const bool ok =
            CadHost::Session::ExpandArguments(c.line, arguments, "/samples", expanded, error);
        if (c.expanded == nullptr) {
            EXPECT_FALSE(ok) << c.line << " gave " << expanded;
            EXPECT_FALSE(error.empty()) << c.line;
            EXPECT_EQ(expanded, "untouched") << c.line;
        } else {
            EXPECT_TRUE(ok) << c.line << ": " << error;
            EXPECT_EQ(expanded, c.expanded) << c.line;
        }
    }
}

TEST_F(SessionAgentTest, AScriptStopsAtAMissingArgumentAndLeavesCommentsAlone) {
    CadHost::Session session(loader, in, out, false);
    session.SetScriptArguments("scripts/run.session", {"one"});
    std::istringstream script("# uses $2 later\necho $1 in $SCRIPT_DIR\necho $2\necho never\n");
    EXPECT_EQ(session.RunScript(script, "run.session"), 1);
    EXPECT_NE(out.str().find("one in scripts\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("run.session:3: error: the script needs argument 2"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(out.str().find("never"), std::string::npos) << out.str();
}

TEST_F(SessionAgentTest, ScriptsWithoutArgumentsKeepTheirDollarSigns) {
    CadHost::Session session(loader, in, out, false);
    std::istringstream script("echo $1 ${2:-x}\n");
    EXPECT_EQ(session.RunScript(script, "demo"), 0);
    EXPECT_EQ(out.str(), "$1 ${2:-x}\n");
}

TEST_F(SessionAgentTest, MkdirMakesNestedFoldersAndRefusesAFileInTheWay) {
    namespace fs = std::filesystem;
    const fs::path base = fs::path(::testing::TempDir()) / "session_mkdir";
    fs::remove_all(base);
    CadHost::Session session(loader, in, out, false);
    std::string error;
    ASSERT_TRUE(session.RunLine("mkdir \"" + (base / "a b" / "c").string() + "\"", error)) << error;
    EXPECT_TRUE(fs::is_directory(base / "a b" / "c"));
    EXPECT_NE(out.str().find("folder: " + (base / "a b" / "c").string() + "\n"), std::string::npos)
        << out.str();
    ASSERT_TRUE(session.RunLine("mkdir \"" + (base / "a b").string() + "\"", error)) << error;
    std::ofstream(base / "file") << "x";
    EXPECT_FALSE(session.RunLine("mkdir \"" + (base / "file").string() + "\"", error));
    EXPECT_NE(error.find((base / "file").string() + "'"), std::string::npos) << error;
    EXPECT_FALSE(session.RunLine("mkdir \"" + (base / "file" / "d").string() + "\"", error));
    EXPECT_FALSE(fs::exists(base / "file" / "d"));
    fs::remove_all(base);
}

}  // namespace
