// The weekly update of a contractor's schedule, in the real host with the real module: open the
// Microsoft Project XML of a small project, link elements to its tasks through the palette, then
// open the next week's P6 export over it and answer the two questions. The kept tasks keep their
// elements; the removed task's elements are linked to nothing.
#include <string>

#include "EndToEnd/HostProcess.h"

namespace {

TEST(OutsideScheduleSessionTest, AnUpdateKeepsTheLinksOfKeptTasksAndRemovesTheGoneOnes) {
    // Next week: the walls (task 4) move and become a renovation, the foundations (2) are renamed,
    // the roof (10) is new; the shed (3), the milestone, the scaffolding and the paint are gone.
    const std::string update =
        WriteFile("outside_e2e_update.xer",
                  "ERMHDR\t19.12\r\n%T\tTASK\r\n"
                  "%F\ttask_id\ttask_name\ttask_type\tearly_start_date\tearly_end_date\r\n"
                  "%R\t4\tR_Walls\tTT_Task\t2025-03-12 08:00\t2025-03-18 17:00\r\n"
                  "%R\t2\tFoundations and footings\tTT_Task\t2025-03-03 08:00\t2025-03-07 17:00\r\n"
                  "%R\t10\tRoof\tTT_Task\t2025-03-19 08:00\t2025-03-21 17:00\r\n%E\r\n");
    const std::string script = Filled(
        "sample\nfile " PW_TEST_DATA_DIR
        "/Schedule/Garage.xml 2\nmenu 3\necho == opened\n"
        "palette list\nselect C-00-*\npalette select 1\nanswer 1\npalette click 1\nselect SH-*\n"
        "palette select 2\nanswer 1\npalette click 1\nselect W-00-*\npalette select 3\nanswer 1\n"
        "palette click 1\nselect none\necho == linked\nelements W-00-0001 SH-0001 C-00-0001\n"
        "file UPDATE 3\nanswer 1 1\nmenu 3\n"
        "echo == updated\npalette list\nelements W-00-0001 SH-0001 C-00-0001\n"
        "echo == walls\npalette select 1\npalette click 4\nselection\n"
        "echo == foundations\npalette select 2\npalette click 4\nselection\n"
        "echo == shed\nselect SH-*\npalette click 3\npalette list\necho == end\nquit\n",
        {{"UPDATE", update}});
    const CommandResult run = RunSession("outside_e2e", script, "en_US.UTF-8");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string& out = run.output;
    EXPECT_EQ(out.find("Phasework general error!"), std::string::npos) << out;

    const std::string opened = Section(out, "opened");
    EXPECT_NE(opened.find("1\t2\tFoundations\tBuild\t"), std::string::npos) << opened;
    EXPECT_NE(opened.find("2\t3\tOld shed\tDemolish\t"), std::string::npos) << opened;
    EXPECT_NE(opened.find("3\t4\tWalls\tBuild\t"), std::string::npos) << opened;

    // The two questions, and the schedule of the file afterwards.
    const std::string linked = Section(out, "linked");
    EXPECT_NE(linked.find("has 2 tasks with the unique IDs"), std::string::npos) << linked;
    EXPECT_NE(linked.find("1 new tasks are added"), std::string::npos) << linked;
    EXPECT_NE(linked.find("alert 32706: 4 tasks of the open schedule"), std::string::npos)
        << linked;
    const std::string updated = Section(out, "updated");
    EXPECT_NE(updated.find("1\t4\tWalls\tRenovate"), std::string::npos) << updated;
    EXPECT_NE(updated.find("\t03/12/2025\t03/18/2025"), std::string::npos) << updated;
    EXPECT_NE(updated.find("2\t2\tFoundations and footings\tBuild\t"), std::string::npos)
        << updated;
    EXPECT_NE(updated.find("3\t10\tRoof\tBuild\t"), std::string::npos) << updated;
    EXPECT_EQ(updated.find("Old shed"), std::string::npos) << updated;
    // The elements of kept tasks are as they were, their link records included; the shed's wall
    // lost its only link, and with it its record.
    for (const std::string id : {"Wall W-00-0001", "Column C-00-0001", "Wall SH-0001"}) {
        const size_t a = linked.find(id), b = updated.find(id);
        ASSERT_NE(a, std::string::npos) << id << linked;
        ASSERT_NE(b, std::string::npos) << id << updated;
        const std::string before = linked.substr(a, linked.find('\n', a) - a);
        const std::string after = updated.substr(b, updated.find('\n', b) - b);
        EXPECT_NE(before.find("data v103 88 bytes"), std::string::npos) << before;
        EXPECT_EQ(after, id == "Wall SH-0001" ? before.substr(0, before.find("data ")) + "data none"
                                              : before);
    }

    // The kept tasks select exactly the elements linked to them a week before.
    EXPECT_NE(Section(out, "walls").find("selection: 11 elements"), std::string::npos) << out;
    EXPECT_NE(Section(out, "foundations").find("selection: 12 elements"), std::string::npos) << out;
    // The shed's walls are linked to nothing: marking their tasks marks none and finds no link to
    // a task that is gone.
    const std::string shed = Section(out, "shed");
    EXPECT_EQ(shed.find("alert 32522"), std::string::npos) << shed;
    EXPECT_EQ(shed.find("marked"), std::string::npos) << shed;
}

}  // namespace
