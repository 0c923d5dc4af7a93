// The road of a user through the palette, in the real host with the real module: open a Microsoft
// Project text whose dates could be read either way (the order is asked), link elements, show the
// model at a date, show everything again, save the schedule in the own format, open that again
// and save it as text.
#include <string>

#include "EndToEnd/HostProcess.h"

namespace {

TEST(PaletteSessionTest, OpenLinkShowShowAllSaveReopenAndTheElementsEndAsTheyBegan) {
    const std::string schedule = WriteFile("palette_e2e.txt",
                                           "Unique ID\tName\tStart\tFinish\r"
                                           "1\tB_Ground floor walls\t01/03/27\t12/03/27\r"
                                           "2\tD_Old shed\t01/02/27\t05/02/27\r");
    const std::string own = ::testing::TempDir() + "palette_e2e.pwb";
    const std::string exported = ::testing::TempDir() + "palette_e2e_out.txt";
    std::remove(own.c_str());
    std::remove(exported.c_str());
    const std::string script = Filled(
        "sample\necho == before\nelements W-00-* SH-*\n"
        "file SCHEDULE 1\ndialog 4=2 ok\nmenu 3\n"  // day-month-year
        "select W-00-*\npalette select 1\nanswer 1\npalette click 1\n"
        "select SH-*\npalette select 2\nanswer 1\npalette click 1\nselect none\n"
        "palette date 2027-03-06\necho == list\npalette list\npalette click 9\n"
        "echo == at the date\nelements SH-0001 W-00-0001\n"
        "palette click 8\necho == after\nelements W-00-* SH-*\n"
        "file OWN 0\nmenu 5\nfile OWN 0\nmenu 3\necho == reopened\npalette list\n"
        "file EXPORTED 1\nmenu save schedule as\nanswer 2\nquit\n",  // the menu item by its text
        {{"SCHEDULE", schedule}, {"OWN", own}, {"EXPORTED", exported}});
    const CommandResult run = RunSession("palette_e2e", script, "en_GB.UTF-8");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string& out = run.output;
    EXPECT_EQ(out.find("Phasework general error!"), std::string::npos) << out;
    EXPECT_NE(out.find("dialog 32505"), std::string::npos) << "the order is asked\n" << out;

    // The list at 6 March: the walls half done (6 of 12 days), the shed long gone.
    const std::string rows =
        "1\t1\tGround floor walls\tBuild\t50%\t01/03/2027\t12/03/2027\t\n"
        "2\t2\tOld shed\tDemolish\t100%\t01/02/2027\t05/02/2027\tselected\n";
    EXPECT_NE(Section(out, "list").find(rows), std::string::npos) << out;
    // At the date the shed stands on the add-on's hidden layer; afterwards all is as it was.
    EXPECT_NE(Section(out, "at the date").find("Phasework Hidden Elements"), std::string::npos)
        << out;
    const std::vector<std::string> before = ElementLooks(Section(out, "before"));
    ASSERT_GT(before.size(), 10u) << out;
    EXPECT_EQ(ElementLooks(Section(out, "after")), before);

    // The own format read back gives the same tasks (at no date yet); the text has four-digit
    // British dates.
    EXPECT_EQ(ReadFile(own).substr(0, 4), "PWBF");
    EXPECT_NE(
        Section(out, "reopened").find("1\tGround floor walls\tBuild\t0%\t01/03/2027\t12/03/2027"),
        std::string::npos)
        << out;
    EXPECT_EQ(ReadFile(exported),
              "Unique ID\tName\tStart\tFinish\r"
              "1\tB_Ground floor walls\t01/03/2027\t12/03/2027\r"
              "2\tD_Old shed\t01/02/2027\t05/02/2027\r")
        << out;
}

}  // namespace
