// The schedule commands as a person uses them in the host: open a Microsoft Project text through
// the menu and its dialogs, then save the schedule in the own format and open it again.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "EndToEnd/HostProcess.h"

namespace {

CommandResult Session(const std::string& script, const std::string& locale) {
    const std::string path = WriteScript("schedule_e2e.session", script);
    return RunCommand(CadHostCommand("run " + path, "LC_ALL=" + locale));
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ScheduleSessionTest, OpenTextAskTheOrderSaveOwnFormatAndReopen) {
    const std::string text = ::testing::TempDir() + "schedule_e2e.txt";
    const std::string own = ::testing::TempDir() + "schedule_e2e.pwb";
    const std::string exported = ::testing::TempDir() + "schedule_e2e_out.txt";
    std::remove(own.c_str());
    std::remove(exported.c_str());
    std::ofstream(text, std::ios::binary) << "Unique ID\tName\tStart\tFinish\r"
                                             "1\tB_Foundations\t03/04/05\t07/04/05\r"
                                             "2\tD_Old shed\t08/04/05\t09/04/05\r";
    const CommandResult run = Session("file " + text +
                                          " 1\n"
                                          "dialog 4=2 ok\n"  // day-month-year
                                          "menu 3\n"
                                          "file " +
                                          own +
                                          " 0\n"
                                          "menu 5\n"
                                          "file " +
                                          own +
                                          " 0\n"
                                          "menu 3\n"
                                          "file " +
                                          exported +
                                          " 1\n"
                                          "menu save schedule as\n"  // by its text
                                          "quit\n",
                                      "en_GB.UTF-8");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Phasework general error!"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("dialog 32505"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("menu 5 (Save Schedule As...)\nsave dialog"), std::string::npos)
        << run.output;
    EXPECT_EQ(Slurp(own).substr(0, 4), "PWBF") << "saved in the own format";
    // British short dates are day/month/year with a four-digit year.
    EXPECT_EQ(Slurp(exported),
              "Unique ID\tName\tStart\tFinish\r"
              "1\tB_Foundations\t03/04/2005\t07/04/2005\r"
              "2\tD_Old shed\t08/04/2005\t09/04/2005\r")
        << run.output;
}

}  // namespace

// Closing the project drops a changed schedule whatever the user answers, so the question offers
// only what can happen: save first, or not.
TEST(ScheduleSessionTest, ClosingWithAChangedScheduleAsksSaveOrDontSave) {
    const CommandResult run = Session(
        "menu 1\n"
        "palette click 6\n"  // a new task: the schedule has changed
        "answer 2\n"
        "event close\n"
        "quit\n",
        "en_US.UTF-8");
    ASSERT_EQ(run.status, 0) << run.output;
    const size_t alert = run.output.find("alert 32514:");
    ASSERT_NE(alert, std::string::npos) << run.output;
    const size_t buttons = run.output.find("buttons:", alert);
    const size_t end = run.output.find('\n', buttons);
    EXPECT_EQ(run.output.substr(buttons, end - buttons), "buttons: [1] Save  [2] Don't Save")
        << run.output;
    EXPECT_EQ(run.output.find("save dialog", alert), std::string::npos) << "Don't Save saves nothing";
}
