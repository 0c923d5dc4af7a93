#include <gtest/gtest.h>

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

}  // namespace
