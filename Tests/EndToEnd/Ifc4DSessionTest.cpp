// A 4D model in one file, through the real host and module: the small hand-made IFC4 model with
// its work schedule (Tests/Data/Ifc4D) imported, "Open Schedule from Model" chosen, and what the
// palette lists, which elements each task selects, the movie of the sample script, a second read
// of the same file and of a later version, the plan kept by the project file, several work
// schedules and models without any.
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "EndToEnd/HostProcess.h"
#include "Platform/MovieProbe.h"

namespace {

namespace fs = std::filesystem;

// The menu item "Open Schedule from Model", by its text (its place in the menu may change).
const std::string kOpenFromModel = "menu Open Schedule from Model\n";

std::string DataFile(const std::string& name) {
    return std::string(PW_TEST_DATA_DIR) + "/Ifc4D/" + name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The small model written into the test folder, with lines replaced or added.
std::string Variant(const std::string& name, const std::string& from = "",
                    const std::string& to = "", const std::string& extra = "") {
    std::string text = ReadAll(DataFile("small-4d.ifc"));
    if (!from.empty()) {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    text.insert(text.rfind("ENDSEC;"), extra);
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

CommandResult Session(const std::string& name, const std::string& script) {
    const std::string prefs = ::testing::TempDir() + "ifc4d_prefs.bin";
    std::remove(prefs.c_str());
    return RunCommand(std::string("LC_ALL=C ") + PW_CADHOST_PATH + " --addon " + PW_ADDON_PATH +
                      " --prefs " + MovieProbe::Quote(prefs) + " run " +
                      MovieProbe::Quote(WriteScript(name, script)));
}

// The rows of every "palette list", each list after an "== " line of its own (echo): name, type,
// start and end of each row, and the IDs apart.
struct Listing {
    std::vector<std::string> rows;
    std::vector<std::string> ids;
};

const std::string kList = "echo == list\npalette list\n";

std::vector<Listing> Listings(const std::string& output) {
    std::vector<Listing> all;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("== ", 0) == 0) {
            all.emplace_back();
            continue;
        }
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
        if (all.empty() || fields.size() < 7) continue;
        all.back().ids.push_back(fields[1]);
        all.back().rows.push_back(fields[2] + "|" + fields[3] + "|" + fields[5] + "|" + fields[6]);
    }
    std::erase_if(all, [](const Listing& l) { return l.rows.empty(); });
    return all;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace

namespace {

// Name, type, first day and last day of each task, as the palette shows them: the leaf tasks in
// the order of the plan, days worked out by hand from the file's IfcTaskTime records.
const std::vector<std::string> kTasks = {
    "Ground slab|Build|03/04/2024|03/08/2024",           // 08:00 to 17:00
    "Walls|Build|03/11/2024|03/15/2024",                 // 08:00 and four days
    "Roof slab|Build|03/18/2024|03/18/2024",             // INSTALLATION, 08:00 and six hours
    "Remove old wall|Demolish|03/01/2024|03/01/2024",    // to 00:00 of the next day
    "Repaint west wall|Renovate|03/20/2024|03/21/2024",  // two days before 22 March 00:00
};

// For each row, the elements that the palette's "select linked" button selects.
std::string SelectEachRowsElements(size_t rows) {
    std::string script;
    for (size_t r = 1; r <= rows; ++r)
        script += "echo == linked " + std::to_string(r) + "\npalette select " + std::to_string(r) +
                  "\npalette click 4\nselection\n";
    return script;
}

// The elements that "selection" lists after each "== linked N" line, joined.
std::vector<std::string> Linked(const std::string& output) {
    std::vector<std::string> all;
    std::istringstream lines(output);
    bool inSelection = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("== linked ", 0) == 0) {
            all.emplace_back();
            inSelection = false;
        } else if (!all.empty() && line.rfind("selection: ", 0) == 0) {
            inSelection = true;
        } else if (inSelection && line.rfind("  ", 0) == 0) {
            all.back() += (all.back().empty() ? "" : ", ") + line.substr(2);
        } else {
            inSelection = false;
        }
    }
    return all;
}

TEST(Ifc4DSessionTest, TheWorkScheduleBecomesTasksLinkedToTheirElements) {
    const CommandResult run =
        Session("ifc4d_links.session",
                "project import " + DataFile("small-4d.ifc") + "\nelements\necho == opened\n" +
                    kOpenFromModel + "elements\necho == list\npalette list\n" +
                    SelectEachRowsElements(kTasks.size()) + "report\nquit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("work schedule 'Construction': 6 tasks (1 summary), 8 assignments "
                              "(6 outputs, 2 inputs), 1 elements not in the model"),
              std::string::npos)
        << run.output;
    const auto listings = Listings(run.output);
    ASSERT_EQ(listings.size(), 1u) << run.output;
    EXPECT_EQ(listings[0].rows, kTasks) << run.output;
    // Before, no element holds link data; after, all six do (each is some task's output or input).
    const size_t opened = run.output.find("== opened");
    ASSERT_NE(opened, std::string::npos);
    EXPECT_EQ(Count(run.output.substr(0, opened), "  data none\n"), 6u) << run.output;
    EXPECT_EQ(Count(run.output.substr(opened), "  data none\n"), 0u) << run.output;
    EXPECT_EQ(Count(run.output.substr(opened), "  data v"), 6u) << run.output;
    EXPECT_THAT(Linked(run.output),
                ::testing::ElementsAre("Slab Ground slab",
                                       "Wall Wall south, Wall Wall north, Wall Wall west",
                                       "Slab Roof slab", "Wall Old wall east", "Wall Wall west"))
        << run.output;
    // The summary left out, the element of no model said, the wall of two tasks asked about once.
    EXPECT_NE(run.output.find("5 tasks taken; 1 summary tasks left out"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("the element 2X0000000000000MISSING of the task \"Walls\" is not in "
                              "the model"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(Count(run.output, "alert 32531"), 1u) << run.output;
    EXPECT_EQ(run.output.find("general error"), std::string::npos) << run.output;
}

TEST(Ifc4DSessionTest, ReadingTheFileAgainKeepsIdsAndAMovedTaskChangesAlone) {
    // The second version moves the walls a week later.
    const std::string moved =
        Variant("small-4d-moved.ifc", "'P4D','2024-03-11T08:00:00'", "'P4D','2024-03-18T08:00:00'");
    const std::string read =
        kOpenFromModel + "echo == list\npalette list\n" + SelectEachRowsElements(kTasks.size());
    const CommandResult run = Session(
        "ifc4d_again.session", "project import " + DataFile("small-4d.ifc") + "\n" + read +
                                   "project import " + DataFile("small-4d.ifc") + "\n" + read +
                                   "project import " + moved + "\n" + read + "quit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    const auto listings = Listings(run.output);
    ASSERT_EQ(listings.size(), 3u) << run.output;
    EXPECT_EQ(listings[1].ids, listings[0].ids);
    EXPECT_EQ(listings[1].rows, listings[0].rows);
    EXPECT_EQ(listings[2].ids, listings[0].ids);
    std::vector<std::string> expected = kTasks;
    expected[1] = "Walls|Build|03/18/2024|03/22/2024";
    EXPECT_EQ(listings[2].rows, expected);
    const auto linked = Linked(run.output);
    ASSERT_EQ(linked.size(), 3 * kTasks.size());
    for (size_t i = 0; i < kTasks.size(); ++i) {
        EXPECT_EQ(linked[kTasks.size() + i], linked[i]) << i;
        EXPECT_EQ(linked[2 * kTasks.size() + i], linked[i]) << i;
    }
}

TEST(Ifc4DSessionTest, OpeningTheModelsScheduleAgainUpdatesTheOpenOneInPlace) {
    // The ground slab's task is deleted (and its link with it), the walls' task renamed; opened
    // from the model again (the changed schedule not saved, the update agreed to), the schedule
    // is updated: the task is back with its slab, the name is the model's again, and the walls
    // keep their links.
    const CommandResult run =
        Session("ifc4d_update.session",
                "project import " + DataFile("small-4d.ifc") + "\n" + kOpenFromModel +
                    "echo == list\npalette list\npalette select 1\nanswer 1\npalette click 7\n"
                    "palette dblclick 1\npalette edit name Renamed walls\npalette select 0\n"
                    "echo == changed\npalette list\n" +
                    "answer 2 1\n" + kOpenFromModel + "echo == list\npalette list\n" +
                    SelectEachRowsElements(kTasks.size()) + "quit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    const auto listings = Listings(run.output);
    ASSERT_EQ(listings.size(), 3u) << run.output;
    ASSERT_EQ(listings[1].rows.size(), kTasks.size() - 1) << run.output;
    EXPECT_EQ(listings[1].rows[0], "Renamed walls|Build|03/11/2024|03/15/2024") << run.output;
    EXPECT_NE(run.output.find("alert 32705"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("alert 32706"), std::string::npos) << "no task is gone";
    EXPECT_EQ(listings[2].rows, kTasks);
    EXPECT_EQ(listings[2].ids, listings[0].ids);
    const auto linked = Linked(run.output);
    ASSERT_EQ(linked.size(), kTasks.size());
    EXPECT_EQ(linked[0], "Slab Ground slab");
    EXPECT_EQ(linked[1], "Wall Wall south, Wall Wall north, Wall Wall west");
}

TEST(Ifc4DSessionTest, TheProjectFileKeepsThePlan) {
    const std::string project = ::testing::TempDir() + "ifc4d_project.json";
    const CommandResult run = Session(
        "ifc4d_file.session", "project import " + DataFile("small-4d.ifc") + "\nproject save " +
                                  project + "\nproject new\nproject open " + project + "\n" +
                                  kOpenFromModel + "echo == list\npalette list\n" +
                                  SelectEachRowsElements(kTasks.size()) + "quit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    const auto listings = Listings(run.output);
    ASSERT_EQ(listings.size(), 1u) << run.output;
    EXPECT_EQ(listings[0].rows, kTasks);
    EXPECT_EQ(Linked(run.output).size(), kTasks.size());
    EXPECT_EQ(Linked(run.output)[1], "Wall Wall south, Wall Wall north, Wall Wall west");
}

TEST(Ifc4DSessionTest, SeveralWorkSchedulesAskWhichOneAndFaultsAreSaid) {
    const std::string two =
        Variant("small-4d-two.ifc", "", "", ReadAll(DataFile("faulty-schedule.txt")));
    const CommandResult run =
        Session("ifc4d_two.session", "project import " + two + "\n" +
                                         // Cancelled: the schedule stays empty.
                                         "dialog cancel\n" + kOpenFromModel +
                                         "echo == after cancel\npalette list\n" +
                                         "dialog 4=2 ok\n" + kOpenFromModel +
                                         "echo == list\npalette list\nreport\nundo\nquit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(Count(run.output, "dialog 32802"), 2u) << run.output;
    EXPECT_NE(run.output.find("Construction (6 tasks)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Faulty (6 tasks)"), std::string::npos) << run.output;
    const auto listings = Listings(run.output);
    ASSERT_EQ(listings.size(), 1u) << "the cancelled choice lists nothing\n" << run.output;
    EXPECT_EQ(listings[0].rows,
              (std::vector<std::string>{"Good one|Renovate|04/03/2024|04/03/2024",
                                        "Loop B|Temporary|04/01/2024|04/02/2024"}));
    for (const char* said : {
             "the task \"No dates\" of the model has no start and finish",
             "the task \"Backwards\" of the model finishes before it starts",
             "the duration \"P3X\" of the task \"Bad duration\" of the model does not read",
             "the task \"Loop B\" of the model is nested in a task nested in it",
             "work schedule \"Faulty\" of the model: 2 tasks taken; 1 summary tasks left out",
         })
        EXPECT_NE(run.output.find(said), std::string::npos) << said << "\n" << run.output;
    // The links were made in one undo step of the command's name.
    EXPECT_NE(run.output.find("undo: Open Schedule from Model\n"), std::string::npos) << run.output;
}

TEST(Ifc4DSessionTest, AModelWithoutWorkScheduleSaysSoAndChangesNothing) {
    const CommandResult run = Session(
        "ifc4d_none.session", "sample\n" + kOpenFromModel + "echo == list\npalette list\nquit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("alert 32801"), std::string::npos) << run.output;
    EXPECT_TRUE(Listings(run.output).empty()) << run.output;
}

TEST(Ifc4DSessionTest, TheSampleScriptMakesTheMovieOfTheBuildingGoingUp) {
    const std::string folder = ::testing::TempDir() + "ifc 4d/out";
    fs::remove_all(::testing::TempDir() + "ifc 4d");
    const std::string prefs = ::testing::TempDir() + "ifc4d_sample_prefs.bin";
    std::remove(prefs.c_str());
    const CommandResult run =
        RunCommand(std::string("LC_ALL=C ") + PW_CADHOST_PATH + " --addon " + PW_ADDON_PATH +
                   " --prefs " + MovieProbe::Quote(prefs) + " run " +
                   MovieProbe::Quote(std::string(PW_SAMPLES_DIR) + "/Ifc4D.session") + " " +
                   MovieProbe::Quote(DataFile("small-4d.ifc")) + " " + MovieProbe::Quote(folder));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("folder: " + folder + "\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("alert 32524"), std::string::npos) << run.output;
    const auto listings = Listings(run.output);
    ASSERT_EQ(listings.size(), 1u) << run.output;
    EXPECT_EQ(listings[0].rows, kTasks);

    // A frame a day from 1 March (the demolition) to 21 March (the repainting): 21 frames.
    const std::string movie = folder + "/ifc-4d.mov";
    auto video = MovieProbe::Stream(movie, "v:0");
    EXPECT_EQ(video["nb_read_frames"], "21");
    const std::string raw = MovieProbe::Run(
        "ffmpeg -v error -i " + MovieProbe::Quote(movie) +
        " -map 0:v:0 -vf 'select=eq(n\\,0)+eq(n\\,20),scale=160:90' -fps_mode passthrough -f "
        "rawvideo -pix_fmt rgb24 - 2>/dev/null");
    const size_t size = 160 * 90 * 3;
    ASSERT_EQ(raw.size(), 2 * size);
    // Pixels that differ from the background at the left edge of their row.
    auto building = [&](size_t frame) {
        long count = 0;
        for (size_t y = 0; y < 90; ++y) {
            const unsigned char* row =
                reinterpret_cast<const unsigned char*>(raw.data()) + frame * size + y * 160 * 3;
            for (size_t x = 0; x < 160; ++x) {
                int difference = 0;
                for (size_t c = 0; c < 3; ++c) difference += std::abs(row[x * 3 + c] - row[c]);
                if (difference > 40) ++count;
            }
        }
        return count;
    };
    const long first = building(0), last = building(1);
    EXPECT_LT(first * 2, last) << "first frame " << first << " pixels, last " << last;
}

}  // namespace
