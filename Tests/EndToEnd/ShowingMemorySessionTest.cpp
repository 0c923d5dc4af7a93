// Showings at dates that reuse what the add-on remembers of the last one, in the real host with the
// real module: one session of showings with links, locks, user layers, undo and redo in between is
// run twice, once in a host that tells the add-on its model stamp (the add-on may then treat only
// what changed) and once in a host without one (every showing treats every linked element from its
// record). The element listings, the report window, the alerts and the saved project files of the
// two runs must be the same, byte for byte.
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "EndToEnd/HostProcess.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The text between two echo marks.
std::string Between(const std::string& out, const std::string& from, const std::string& to) {
    const size_t a = out.find(from);
    const size_t b = a == std::string::npos ? a : out.find(to, a);
    if (b == std::string::npos) return "";
    return out.substr(a, b - a);
}

// The first line where two texts differ, both ways, for a short failure message.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::istringstream ia(a), ib(b);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool moreA = bool(std::getline(ia, la)), moreB = bool(std::getline(ib, lb));
        if (!moreA && !moreB) return "the same";
        if (!moreA || !moreB || la != lb)
            return "line " + std::to_string(line) + ":\n  " + (moreA ? la : "(end)") + "\n  " +
                   (moreB ? lb : "(end)");
    }
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class ShowingMemorySessionTest : public ::testing::Test {
protected:
    struct Run {
        std::string output;
        std::vector<std::string> projects;  // the saved project files, in order
    };

    // The session after its first line, with PROJECT_n replaced by files of this run.
    Run RunSession(const std::string& name, const std::string& stamp, const std::string& body,
                   int projects) {
        const std::string dir = ::testing::TempDir();
        std::string script = "modelstamp " + stamp + "\n" + body;
        std::vector<std::string> paths;
        for (int i = 1; i <= projects; ++i) {
            paths.push_back(dir + name + "_" + stamp + "_" + std::to_string(i) + ".json");
            std::remove(paths.back().c_str());
            script = Replace(script, "PROJECT_" + std::to_string(i), paths.back());
        }
        const CommandResult run = RunCommand(CadHostCommand(
            "run " + WriteScript(name + "_" + stamp + ".session", script), "LC_ALL=en_US.UTF-8"));
        EXPECT_EQ(run.status, 0) << run.output;
        Run result;
        // Everything the session printed after its modelstamp line; the project paths made alike.
        const std::string marker = "modelstamp " + stamp + "\n";
        const size_t after = run.output.find(marker);
        result.output = after == std::string::npos ? "" : run.output.substr(after + marker.size());
        for (int i = 1; i <= projects; ++i) {
            result.output =
                Replace(result.output, paths[size_t(i - 1)], "PROJECT_" + std::to_string(i));
            result.projects.push_back(ReadAll(paths[size_t(i - 1)]));
        }
        return result;
    }

    static std::string Schedule() {
        const std::string path = ::testing::TempDir() + "memory_e2e.txt";
        std::ofstream(path, std::ios::binary) << "Unique ID\tName\tStart\tFinish\r"
                                                 "1\tB_Structure\t03/01/2027\t03/20/2027\r"
                                                 "2\tB_Walls\t03/10/2027\t03/31/2027\r"
                                                 "3\tD_Old shed\t02/01/2027\t03/12/2027\r"
                                                 "4\tF_Fit-out\t03/15/2027\t04/10/2027\r"
                                                 "5\tT_Scaffold\t03/05/2027\t03/25/2027\r";
        return path;
    }
};

// Links elements of the sample building to the five tasks (the ground-floor walls to two that
// overlap, so the report has lines about them), then shows the model at dates with changes of
// every kind in between.
TEST_F(ShowingMemorySessionTest, ShowingsWithAndWithoutTheModelStampGiveTheSameModelAndReport) {
    auto link = [](const std::string& pattern, int row) {
        return "select " + pattern + "\npalette select " + std::to_string(row) +
               "\nanswer 1\npalette click 1\n";
    };
    auto show = [](const std::string& date, const std::string& mark) {
        return "palette date " + date + "\npalette click 9\necho == " + mark +
               "\nelements\nlayers\nreport\nreport clear\necho == end " + mark + "\n";
    };
    const std::string body =
        "sample\n"
        "file " +
        Schedule() +
        " 1\n"
        "menu 3\n" +
        link("C-00-* B-00-* SL-00-*", 1) + link("W-00-*", 2) + link("SH-*", 3) +
        link("W-00-* WI-00-* D-00-*", 4) + link("WI-01-* L-00-*", 5) +
        "select none\n"
        "lock W-00-0001 C-00-0002\n"
        "report clear\n" +
        show("2027-03-16", "first") +     // every linked element takes its state
        show("2027-03-16", "again") +     // nothing changes
        show("2027-03-17", "next day") +  // nothing of the task's moments changes either
        show("2027-03-21", "structure done") + "undo\n" +  // the showing at 21 March taken back
        show("2027-03-21", "after undo") +                 // ... and given again
        "undo\nredo\n" + show("2027-03-22", "after redo") +
        "project save PROJECT_1\n"
        "layer Walls hide\nlayer Structure lock\n" +  // the user hides and locks layers
        show("2027-03-26", "layer hidden") +
        "layer Walls show\n" + show("2027-03-26", "layer shown") + "unlock W-00-0001\n" +
        link("W-01-*", 2) +  // links made between two showings at one date
        show("2027-03-26", "new links") + show("2027-04-05", "fit-out") +
        "project save PROJECT_2\n"
        "palette click 8\n"  // everything as it was
        "echo == all\nelements\necho == end all\n"
        "project save PROJECT_3\n"
        "answer 2\n"
        "quit\n";

    const Run fast = RunSession("memory_e2e", "on", body, 3);
    const Run full = RunSession("memory_e2e", "off", body, 3);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(fast.output.find("Phasework general error!"), std::string::npos) << fast.output;

    // The session did what it says: elements hidden and recoloured, conflicting tasks reported.
    const std::string first = Between(fast.output, "== first", "== end first");
    EXPECT_NE(first.find("Phasework Hidden Elements"), std::string::npos) << first;
    EXPECT_NE(fast.output.find("alert 32528"), std::string::npos) << fast.output;

    for (const char* mark :
         {"first", "again", "next day", "structure done", "after undo", "after redo",
          "layer hidden", "layer shown", "new links", "fit-out", "all"}) {
        const std::string from = std::string("== ") + mark, to = std::string("== end ") + mark;
        const std::string a = Between(fast.output, from, to), b = Between(full.output, from, to);
        ASSERT_FALSE(a.empty()) << mark;
        EXPECT_TRUE(a == b) << mark << ": " << FirstDifference(a, b);
    }
    EXPECT_TRUE(fast.output == full.output) << FirstDifference(fast.output, full.output);
    for (size_t i = 0; i < fast.projects.size(); ++i) {
        ASSERT_FALSE(fast.projects[i].empty()) << i;
        EXPECT_TRUE(fast.projects[i] == full.projects[i]) << "project file " << i + 1;
    }

    // The showing given again after its undo is the one that was undone (a second check that
    // does not lean on the run without the stamp).
    const auto elementsOf = [](const std::string& block) {
        const size_t from = block.find('\n'), to = block.find("report window");
        return from < to && to != std::string::npos ? block.substr(from, to - from) : "";
    };
    const std::string shown = elementsOf(Between(fast.output, "== structure done", "== end"));
    const std::string again = elementsOf(Between(fast.output, "== after undo", "== end"));
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(shown == again) << FirstDifference(shown, again);
}

}  // namespace
