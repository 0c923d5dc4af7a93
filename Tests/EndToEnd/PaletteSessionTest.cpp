// The road of a user through the palette, in the real host with the real module: open a schedule,
// link elements, show the model at a date, take a still, show everything again, save the project.
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "EndToEnd/HostProcess.h"

namespace {

// The lines of `output` between the echo marks `from` and `to`, with each element line's user data
// (everything from "data") cut off: what the element looks like, not its links.
std::vector<std::string> ElementLooks(const std::string& output, const std::string& from,
                                      const std::string& to) {
    std::vector<std::string> lines;
    std::istringstream in(output.substr(output.find(from), output.find(to) - output.find(from)));
    for (std::string line; std::getline(in, line);) {
        const size_t data = line.find("  data ");
        if (data != std::string::npos) lines.push_back(line.substr(0, data));
    }
    return lines;
}

TEST(PaletteSessionTest, LinkShowAtADateShowAllSaveAndTheElementsEndAsTheyBegan) {
    const std::string dir = ::testing::TempDir();
    const std::string schedule = dir + "palette_e2e.txt";
    const std::string still = dir + "palette_e2e_still.png";
    const std::string project = dir + "palette_e2e_project.json";
    std::remove(still.c_str());
    std::remove(project.c_str());
    std::ofstream(schedule, std::ios::binary) << "Unique ID\tName\tStart\tFinish\r"
                                                 "1\tB_Ground floor walls\t03/01/2027\t03/31/2027\r"
                                                 "2\tD_Old shed\t02/01/2027\t02/05/2027\r";
    const std::string script =
        "sample\n"
        "echo == before\n"
        "elements W-00-* SH-*\n"
        "echo == end before\n"
        "file " +
        schedule +
        " 1\n"
        "menu 3\n"
        "select W-00-*\n"
        "palette select 1\n"
        "answer 1\n"
        "palette click 1\n"
        "select SH-*\n"
        "palette select 2\n"
        "answer 1\n"
        "palette click 1\n"
        "select none\n"
        "palette date 2027-03-16\n"
        "palette list\n"
        "palette click 9\n"
        "echo == at the date\n"
        "elements SH-0001 W-00-0001\n"
        "render " +
        still +
        "\n"
        "palette click 8\n"
        "echo == after\n"
        "elements W-00-* SH-*\n"
        "echo == end after\n"
        "project save " +
        project +
        "\n"
        "answer 2\n"
        "quit\n";
    const CommandResult run = RunCommand(
        CadHostCommand("run " + WriteScript("palette_e2e.session", script), "LC_ALL=en_US.UTF-8"));
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string& out = run.output;
    EXPECT_EQ(out.find("Phasework general error!"), std::string::npos) << out;

    // The list at 16 March: the walls half done (16 of 31 days), the shed long gone.
    EXPECT_NE(out.find("1\t1\tGround floor walls\tBuild\t51%\t03/01/2027\t03/31/2027\t\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("2\t2\tOld shed\tDemolish\t100%\t02/01/2027\t02/05/2027\tselected\n"),
              std::string::npos)
        << out;
    // At the date the shed stands on the add-on's hidden layer, the walls are under way.
    const std::string atDate = out.substr(out.find("== at the date"));
    EXPECT_NE(atDate.find("Phasework Hidden Elements"), std::string::npos) << atDate;

    const std::vector<std::string> before = ElementLooks(out, "== before", "== end before");
    const std::vector<std::string> after = ElementLooks(out, "== after", "== end after");
    ASSERT_GT(before.size(), 10u) << out;
    EXPECT_EQ(before, after);

    std::ifstream png(still, std::ios::binary);
    std::string magic(8, '\0');
    png.read(magic.data(), 8);
    EXPECT_EQ(magic, "\x89PNG\r\n\x1a\n");
    std::ifstream saved(project);
    const std::string json{std::istreambuf_iterator<char>(saved), std::istreambuf_iterator<char>()};
    EXPECT_NE(json.find("SH-0001"), std::string::npos);
}

}  // namespace
