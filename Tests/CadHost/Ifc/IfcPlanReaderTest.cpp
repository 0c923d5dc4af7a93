// The work schedules an IFC4 file carries, read by the import. (What the add-on makes of them is
// checked through its palette in the end-to-end session, Ifc4DSessionTest.)
#include <gmock/gmock.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "Ifc/IfcImport.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"

namespace {

using namespace CadHost;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The small 4D file, with `extra` lines added to its data.
std::string SmallFile(const std::string& extra = "") {
    std::string text = ReadFile(std::string(PW_TEST_DATA_DIR) + "/Ifc4D/small-4d.ifc");
    const size_t end = text.rfind("ENDSEC;");
    return text.insert(end, extra);
}

std::string FaultyLines() {
    return ReadFile(std::string(PW_TEST_DATA_DIR) + "/Ifc4D/faulty-schedule.txt");
}

class IfcPlanTest : public ::testing::Test {
protected:
    std::unique_ptr<Project> Import(const std::string& text) {
        path = ::testing::TempDir() + "/pw_plan_test.ifc";
        std::ofstream(path, std::ios::binary) << text;
        auto project = IfcImport::Read(path, report, error);
        std::remove(path.c_str());
        return project;
    }
    std::string path, error;
    IfcImportReport report;
};

TEST_F(IfcPlanTest, TheImportSaysOneLinePerWorkScheduleAndOnePerFault) {
    auto project = Import(SmallFile(FaultyLines()));
    ASSERT_NE(project, nullptr) << error;
    const std::vector<std::string> lines = report.Lines("small.ifc");
    std::vector<std::string> plan(lines.end() - static_cast<long>(report.planLines.size()),
                                  lines.end());
    EXPECT_THAT(
        plan,
        ElementsAre(
            "work schedule 'Construction': 6 tasks (1 summary), 8 assignments (6 outputs, 2 "
            "inputs), 1 elements not in the model",
            "  task 'Walls' 3T000000000000000000T2: element 2X0000000000000MISSING is not in the "
            "model",
            "work schedule 'Faulty': 6 tasks (1 summary), 1 assignments (1 outputs, 0 inputs), 0 "
            "elements not in the model",
            "  task 'No dates' 3T00000000000000000B01: no start and finish",
            "  task 'Backwards' 3T00000000000000000B02: finishes (2024-03-05T17:00:00) before it "
            "starts (2024-03-10T08:00:00)",
            "  task 'Bad duration' 3T00000000000000000B03: the duration 'P3X' does not read",
            "  task 'Loop B' 3T00000000000000000B05: a task nested in it also contains it; that "
            "nesting is left out"));
    // What becomes of the faulty tasks is checked through the add-on in Ifc4DSessionTest.
}

TEST_F(IfcPlanTest, TheProjectFileKeepsThePlan) {
    auto project = Import(SmallFile(FaultyLines()));
    ASSERT_NE(project, nullptr) << error;
    const std::string text = ProjectFile::ToText(*project);
    auto back = ProjectFile::FromText(text, error);
    ASSERT_NE(back, nullptr) << error;
    EXPECT_EQ(back->plan, project->plan);

    // A project without a plan writes none; a damaged plan is refused whole.
    EXPECT_THAT(ProjectFile::ToText(Project()), ::testing::Not(HasSubstr("workSchedules")));
    struct Damage {
        const char* from;
        const char* to;
        const char* message;
    };
    const Damage damages[] = {
        {"\"start\":\"2024-03-04T08:00:00\"", "\"start\":\"2024-03-32T08:00:00\"",
         "start is not a date and time"},
        {"\"parent\":0,", "\"parent\":7,", "parent"},  // a task past the end
    };
    for (const Damage& d : damages) {
        std::string damaged = text;
        const size_t at = damaged.find(d.from);
        ASSERT_NE(at, std::string::npos) << d.from;
        damaged.replace(at, std::strlen(d.from), d.to);
        std::string message;
        EXPECT_EQ(ProjectFile::FromText(damaged, message), nullptr) << d.to;
        EXPECT_THAT(message, HasSubstr(d.message)) << d.to;
    }
}

TEST_F(IfcPlanTest, APartAssignedStandsForTheWholeTheModelHolds) {
    // A stair of one flight (stair-task.txt): the model holds the stair; the task names the flight.
    auto project = Import(
        SmallFile(ReadFile(std::string(PW_TEST_DATA_DIR) + "/../CadHost/Ifc/stair-task.txt")));
    ASSERT_NE(project, nullptr) << error;
    ASSERT_EQ(project->plan.schedules.size(), 2u);
    ASSERT_EQ(project->plan.schedules[1].tasks.size(), 1u);
    EXPECT_EQ(project->plan.schedules[1].tasks[0].outputs,
              std::vector<std::string>{"2T00000000000000000STR"});
    EXPECT_TRUE(project->plan.wholeOf.empty());
    EXPECT_THAT(report.planLines[2], HasSubstr("0 elements not in the model"));
}

}  // namespace
