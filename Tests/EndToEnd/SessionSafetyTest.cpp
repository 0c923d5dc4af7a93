// Sequences of a person's session that once crashed the host, wrote one schedule's edit into
// another, lost a typed edit, left a deleted task's links on elements or wrote a movie over
// another file: each is played in the real host with the real module.
#include <ostream>
#include <string>
#include <vector>

#include "EndToEnd/HostProcess.h"

namespace {

// An exchange text of `count` build tasks "Task 1".. with unambiguous day-first dates.
std::string ScheduleText(int count, const std::string& stem) {
    std::string text = "Unique ID\tName\tStart\tFinish\r";
    for (int k = 1; k <= count; ++k) {
        const std::string day = std::to_string(12 + k);
        text += std::to_string(k) + "\tB_" + stem + " " + std::to_string(k) + "\t" + day +
                "/03/2027\t" + day + "/04/2027\r";
    }
    return text;
}

std::string Dir() { return ::testing::TempDir(); }

// ---- An open cell edit when the schedule is replaced, closed or left ----

struct EditCase {
    const char* name;
    // After the first schedule (15 tasks "Old N") is open: the row whose name is typed, and the
    // steps that follow (FILE_TWO and FILE_FOUR stand for schedules of two and four tasks).
    int row;
    const char* typed;
    const char* then;
    // In the session's output, and not in the list printed at its end.
    std::vector<std::string> shown, notShown;
    bool saved;  // the typed name is in the first schedule's file afterwards, else it is unchanged
};

void PrintTo(const EditCase& c, std::ostream* out) { *out << c.name; }

class OpenEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(OpenEditTest, GoesIntoItsOwnTaskOrNowhereAndTheHostLives) {
    const EditCase& c = GetParam();
    const std::string name = std::string("edit_") + c.name, oldText = ScheduleText(15, "Old");
    const std::string first = WriteFile(name + "_first.txt", oldText);
    const std::string script =
        "sample 1 1\nfile " + first + " 1\nmenu 3\npalette dblclick " + std::to_string(c.row) +
        "\npalette edit name " + c.typed + "\n" +
        Filled(c.then, {{"FILE_TWO", WriteFile(name + "_two.txt", ScheduleText(2, "Two"))},
                        {"FILE_FOUR", WriteFile(name + "_four.txt", ScheduleText(4, "New"))}}) +
        "echo == end\npalette list\nquit\n";
    const CommandResult run = RunSession(name, script);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Phasework general error!"), std::string::npos) << run.output;
    const size_t endAt = run.output.find("== end");  // none when the steps quit
    const std::string end = endAt == std::string::npos ? "" : run.output.substr(endAt);
    for (const std::string& text : c.shown)
        EXPECT_NE(run.output.find(text), std::string::npos) << text << "\n" << run.output;
    for (const std::string& text : c.notShown)
        EXPECT_EQ(end.find(text), std::string::npos) << text << "\n" << run.output;
    const std::string saved = ReadFile(first);
    if (c.saved)
        EXPECT_NE(saved.find(c.typed), std::string::npos) << saved;
    else
        EXPECT_EQ(saved, oldText);
}

const EditCase kEditCases[] = {
    // A row beyond the new schedule's end: the click that commits must not throw out of the host.
    {"row15_then_two",
     15,
     "X",
     "file FILE_TWO 1\nanswer 2\nmenu 3\npalette click 17\n",
     {"1\t1\tTwo 1\t", "2\t2\tTwo 2\t"},
     {"\tX\t"},
     false},
    // A row the new schedule also has: its task must not take the old edit.
    {"row3_then_four",
     3,
     "EDITED",
     "file FILE_FOUR 1\nanswer 2\nmenu 3\npalette select 1\n",
     {"3\t3\tNew 3\tBuild\t"},
     {"EDITED", "editing"},
     false},
    // Saving before the open covers the edit.
    {"saved_before_open",
     3,
     "KEPT",
     "file FILE_FOUR 1\nanswer 1\nmenu 3\n",
     {"1\t1\tNew 1\t"},
     {"KEPT"},
     true},
    {"project_closed", 2, "CLOSED", "answer 1\nevent close\n", {"alert 32514"}, {"CLOSED"}, true},
    {"new_project", 2, "FRESH", "answer 1\nproject new\n", {"alert 32514"}, {"FRESH"}, true},
    {"palette_hidden", 2, "HIDDEN", "menu 1\nmenu 4\n", {"2\t2\tHIDDEN\t"}, {"editing"}, true},
    {"palette_closed", 2, "SHUT", "palette close\nmenu 4\n", {"2\t2\tSHUT\t"}, {"editing"}, true},
    {"signed_out", 2, "AWAY", "event signout\nmenu 4\n", {"2\t2\tAWAY\t"}, {"editing"}, true},
    // Quitting asks about the changes and saves the edit.
    {"quit", 2, "TYPED", "answer 1\nquit\n", {"alert 32514"}, {}, true},
};

INSTANTIATE_TEST_SUITE_P(Sequences, OpenEditTest, ::testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- A deleted task's links on elements of hidden or locked layers ----

class DeletedTaskLinksTest : public ::testing::TestWithParam<const char*> {};

// The wall is linked to the last task; its layer is then hidden (or locked) while the model is
// shown at a date and the task deleted. The next new task takes the same ID: it must find no
// element linked to it.
TEST_P(DeletedTaskLinksTest, LeaveNoElementOnAnyLayer) {
    const std::string layerChange = GetParam();
    const std::string schedule =
        WriteFile("links_" + layerChange + ".txt", ScheduleText(2, "Work"));
    const std::string script = Filled(
        "sample 1 1\nfile SCHEDULE 1\nmenu 3\nselect W-00-0001\npalette select 2\nanswer 1\n"
        "palette click 1\nselect none\nlayer Walls CHANGE\npalette date 2027-03-20\n"
        "palette click 9\npalette select 2\nanswer 1\npalette click 7\npalette click 6\n"
        "palette select 1\npalette select 2\nlayer Walls UNDO\necho == end\npalette list\n"
        "palette click 4\nselection\nelements W-00-0001\nlayers\nquit\n",
        {{"SCHEDULE", schedule},
         {"CHANGE", layerChange},
         {"UNDO", layerChange == "hide" ? "show" : "unlock"}});
    const CommandResult run = RunSession("links_" + layerChange, script);
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string end = run.output.substr(run.output.find("== end"));
    // The new task holds ID 2 again; selecting its elements selects nothing.
    EXPECT_NE(end.find("2\t2\t"), std::string::npos) << run.output;
    EXPECT_NE(end.find("selection: 0 elements"), std::string::npos) << run.output;
    EXPECT_NE(end.find("Wall W-00-0001  layer 4 (Walls)  unlocked  pens 1,2  materials 3,4,4  "
                       "switches 1,1,1  data none"),
              std::string::npos)
        << run.output;
    // Only the layers locked before stay locked; none of the add-on's stays shown.
    EXPECT_NE(end.find("2  Foundations  locked\n3  Structure\n4  Walls\n"), std::string::npos)
        << run.output;
}

INSTANTIATE_TEST_SUITE_P(HiddenOrLocked, DeletedTaskLinksTest, ::testing::Values("hide", "lock"));

// ---- A movie path that does not fit ----

// A path of more than 1023 bytes whose first 1023 bytes name an existing file: the movie must be
// refused aloud, and that file must stay as it was.
TEST(MoviePathTest, TooLongIsRefusedAndNoOtherFileIsWritten) {
    std::string dir = Dir() + "long_movie_path";
    while (dir.size() < 900) dir += "/" + std::string(100, 'd');
    ASSERT_EQ(RunCommand("mkdir -p '" + dir + "'").status, 0);
    const std::string victim = dir + "/" + std::string(1023 - dir.size() - 1, 'v');
    ASSERT_EQ(victim.size(), 1023u);
    std::ofstream(victim) << "keep me";
    const std::string movie = victim + ".mov";
    const std::string schedule = WriteFile("movie_path.txt", ScheduleText(2, "Frame"));
    const std::string script = "sample 1 1\nwindow3d 80 60\nfile " + schedule +
                               " 1\nmenu 3\ndialog 5=2027-03-13 7=2027-03-15 9=1 ok\nfile " +
                               movie + "\nmenu 6\nquit\n";
    const CommandResult run = RunSession("movie_path", script);
    EXPECT_NE(run.output.find("alert 32540"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("alert 32524"), std::string::npos) << run.output;
    EXPECT_EQ(ReadFile(victim), "keep me");
}

// ---- "Show all" and a layer hidden after the showing ----

// The walls are under way at the date (their pens and materials changed); the user then hides
// their layer and shows everything again: once the layer is back in view the walls look as they
// did before the showing.
TEST(ShowAllTest, PutsBackElementsOfALayerHiddenAfterTheShowing) {
    const std::string schedule = WriteFile("show_all_hidden.txt", ScheduleText(1, "Walls"));
    const std::string script = Filled(
        "sample 1 1\necho == before\nelements W-00-0001\nfile SCHEDULE 1\nmenu 3\n"
        "select W-00-0001\npalette select 1\nanswer 1\npalette click 1\nselect none\n"
        "palette date 2027-03-20\npalette click 9\necho == at the date\nelements W-00-0001\n"
        "layer Walls hide\npalette click 8\nlayer Walls show\necho == after\nelements W-00-0001\n"
        "quit\n",
        {{"SCHEDULE", schedule}});
    const CommandResult run = RunSession("show_all_hidden", script);
    ASSERT_EQ(run.status, 0) << run.output;
    const auto before = ElementLooks(Section(run.output, "before"));
    ASSERT_EQ(before.size(), 1u) << run.output;
    ASSERT_NE(ElementLooks(Section(run.output, "at the date")), before) << run.output;
    EXPECT_EQ(ElementLooks(Section(run.output, "after")), before) << run.output;
}

}  // namespace
