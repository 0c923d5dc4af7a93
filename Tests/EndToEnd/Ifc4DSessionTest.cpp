// A 4D model in one file, through the real host and module: the small hand-made IFC4 model with
// its work schedule (Tests/Data/Ifc4D) imported, "Open Schedule from Model" chosen, and what the
// palette lists, which elements each task selects, a second read of the same file, of a later
// version and of the project file, an update in place, several work schedules and a model
// without any.
#include <sstream>
#include <string>
#include <vector>

#include "EndToEnd/HostProcess.h"

namespace {

// The menu item "Open Schedule from Model", by its text (its place in the menu may change).
const std::string kOpenFromModel = "menu Open Schedule from Model\n";

std::string DataFile(const std::string& name) {
    return std::string(PW_TEST_DATA_DIR) + "/Ifc4D/" + name;
}

// Name, type, first day and last day of each task, as the palette shows them: the leaf tasks in
// the order of the plan, days worked out by hand from the file's IfcTaskTime records.
const std::vector<std::string> kTasks = {
    "Ground slab|Build|03/04/2024|03/08/2024",           // 08:00 to 17:00
    "Walls|Build|03/11/2024|03/15/2024",                 // 08:00 and four days
    "Roof slab|Build|03/18/2024|03/18/2024",             // INSTALLATION, 08:00 and six hours
    "Remove old wall|Demolish|03/01/2024|03/01/2024",    // to 00:00 of the next day
    "Repaint west wall|Renovate|03/20/2024|03/21/2024",  // two days before 22 March 00:00
};
const std::vector<std::string> kLinked = {"Slab Ground slab",
                                          "Wall Wall south, Wall Wall north, Wall Wall west",
                                          "Slab Roof slab", "Wall Old wall east", "Wall Wall west"};

// The schedule opened from the model (then `also`) and listed, then for each row the elements
// that the palette's "select linked" button selects.
std::string OpenListAndSelectEachRow(const std::string& also = "") {
    std::string script = kOpenFromModel + also + "echo == list\npalette list\n";
    for (size_t r = 1; r <= kTasks.size(); ++r)
        script += "echo == linked " + std::to_string(r) + "\npalette select " + std::to_string(r) +
                  "\npalette click 4\nselection\n";
    return script;
}

// Every "palette list" after an "== " line: name, type, start and end of each row, and the IDs
// apart; and the elements that "selection" lists after each "== linked N" line, joined.
struct Listing {
    std::vector<std::string> rows, ids;
};
struct Printed {
    std::vector<Listing> listings;
    std::vector<std::string> linked;
};

Printed Read(const std::string& output) {
    Printed p;
    std::istringstream lines(output);
    bool inSelection = false;
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
        if (line.rfind("== ", 0) == 0) {
            p.listings.emplace_back();
            if (line.rfind("== linked ", 0) == 0) p.linked.emplace_back();
            inSelection = false;
        } else if (!p.linked.empty() && line.rfind("selection: ", 0) == 0) {
            inSelection = true;
        } else if (inSelection && line.rfind("  ", 0) == 0) {
            p.linked.back() += (p.linked.back().empty() ? "" : ", ") + line.substr(2);
        } else if (!p.listings.empty() && fields.size() >= 7) {
            p.listings.back().ids.push_back(fields[1]);
            p.listings.back().rows.push_back(fields[2] + "|" + fields[3] + "|" + fields[5] + "|" +
                                             fields[6]);
        } else {
            inSelection = false;
        }
    }
    std::erase_if(p.listings, [](const Listing& l) { return l.rows.empty(); });
    return p;
}

// Opened from the model, kept by the project file, read again from the same file and from a
// version that moves the walls a week later: the same IDs and links each time, the moved task
// changed alone. Then the ground slab's task is deleted (and its link with it) and the walls'
// task renamed; opened from the model again (the changed schedule not saved, the update agreed
// to), the schedule is updated in place: the task is back with its slab, the name is the
// model's again, and the walls keep their links.
TEST(Ifc4DSessionTest, TheWorkScheduleBecomesTasksLinkedToTheirElementsReadAfterReadAgain) {
    // The walls a week later in the second version.
    const std::string moved =
        WriteFile("small-4d-moved.ifc",
                  Filled(ReadFile(DataFile("small-4d.ifc")),
                         {{"'P4D','2024-03-11T08:00:00'", "'P4D','2024-03-18T08:00:00'"}}));
    const std::string project = ::testing::TempDir() + "ifc4d_project.json";
    const std::string small = DataFile("small-4d.ifc");
    const CommandResult run = RunSession(
        "ifc4d_links",
        "project import " + small + "\nelements\necho == opened\n" +
            OpenListAndSelectEachRow("elements\n") + "report\necho == kept\nproject save " +
            project + "\nproject new\nproject open " + project + "\n" + OpenListAndSelectEachRow() +
            "project import " + small + "\n" + OpenListAndSelectEachRow() + "project import " +
            moved + "\n" + OpenListAndSelectEachRow() +
            "palette select 1\nanswer 1\npalette click 7\npalette dblclick 1\n"
            "palette edit name Renamed walls\npalette select 0\necho == changed\npalette list\n"
            "answer 2 1\n" +
            OpenListAndSelectEachRow() + "quit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string first = run.output.substr(0, run.output.find("== kept"));
    EXPECT_NE(first.find("work schedule 'Construction': 6 tasks (1 summary), 8 assignments "
                         "(6 outputs, 2 inputs), 1 elements not in the model"),
              std::string::npos)
        << first;
    // Before, no element holds link data; after, all six do (each is some task's output or input).
    const size_t opened = first.find("== opened");
    ASSERT_NE(opened, std::string::npos);
    EXPECT_EQ(Count(first.substr(0, opened), "  data none\n"), 6u) << first;
    EXPECT_EQ(Count(first.substr(opened), "  data none\n"), 0u) << first;
    EXPECT_EQ(Count(first.substr(opened), "  data v"), 6u) << first;
    // The summary left out, the element of no model said, the wall of two tasks asked about once.
    EXPECT_NE(first.find("5 tasks taken; 1 summary tasks left out"), std::string::npos) << first;
    EXPECT_NE(first.find("the element 2X0000000000000MISSING of the task \"Walls\" is not in "
                         "the model"),
              std::string::npos)
        << first;
    EXPECT_EQ(Count(first, "alert 32531"), 1u) << first;
    EXPECT_EQ(run.output.find("general error"), std::string::npos) << run.output;
    const std::string changed = run.output.substr(run.output.find("== changed"));
    EXPECT_NE(changed.find("alert 32705"), std::string::npos) << changed;
    EXPECT_EQ(changed.find("alert 32706"), std::string::npos) << "no task is gone\n" << changed;

    const Printed p = Read(run.output);
    ASSERT_EQ(p.listings.size(), 6u) << run.output;
    ASSERT_EQ(p.linked.size(), 5 * kTasks.size()) << run.output;
    std::vector<std::string> movedTasks = kTasks;
    movedTasks[1] = "Walls|Build|03/18/2024|03/22/2024";
    ASSERT_EQ(p.listings[4].rows.size(), kTasks.size() - 1) << run.output;
    EXPECT_EQ(p.listings[4].rows[0], "Renamed walls|Build|03/18/2024|03/22/2024") << run.output;
    const char* reads[] = {"first", "project file", "same file", "moved walls", "", "updated"};
    for (size_t i : {0, 1, 2, 3, 5}) {
        SCOPED_TRACE(reads[i]);
        EXPECT_EQ(p.listings[i].rows, i < 3 ? kTasks : movedTasks);
        EXPECT_EQ(p.listings[i].ids, p.listings[0].ids);
        const size_t read = i < 4 ? i : 4;
        EXPECT_EQ(std::vector<std::string>(p.linked.begin() + long(read * kTasks.size()),
                                           p.linked.begin() + long((read + 1) * kTasks.size())),
                  kLinked);
    }
}

// A model without a work schedule says so; one with two asks which one (cancelled: nothing
// changes), and the faults of the one chosen are said.
TEST(Ifc4DSessionTest, NoneOrSeveralWorkSchedulesAndTheFaultsOfTheChosenOne) {
    std::string model = ReadFile(DataFile("small-4d.ifc"));
    model.insert(model.rfind("ENDSEC;"), ReadFile(DataFile("faulty-schedule.txt")));
    const std::string two = WriteFile("small-4d-two.ifc", model);
    const CommandResult run = RunSession(
        "ifc4d_two", "sample\necho == none\n" + kOpenFromModel + "palette list\n" +
                         "project import " + two + "\ndialog cancel\n" + kOpenFromModel +
                         "echo == after cancel\npalette list\ndialog 4=2 ok\n" + kOpenFromModel +
                         "echo == list\npalette list\nreport\nundo\nquit\n");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(Section(run.output, "none").find("alert 32801"), std::string::npos) << run.output;
    EXPECT_EQ(Count(run.output, "dialog 32802"), 2u) << run.output;
    EXPECT_NE(run.output.find("Construction (6 tasks)"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Faulty (6 tasks)"), std::string::npos) << run.output;
    const Printed p = Read(run.output);
    ASSERT_EQ(p.listings.size(), 1u) << "no schedule, or the choice cancelled, lists nothing\n"
                                     << run.output;
    EXPECT_EQ(p.listings[0].rows,
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

}  // namespace
