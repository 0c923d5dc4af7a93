// A work schedule of the model turned into schedule tasks: the table of task types, unique IDs
// that the same GlobalIds always give, the days of a task, and which tasks are taken, from plan
// records written here by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "Dates/CHighTime.h"
#include "Schedule/ModelPlan.h"

namespace {

TEST(ModelPlanTest, TaskTypesOfEveryPredefinedType) {
    const std::pair<const char*, TASKTYPE> table[] = {
        {"CONSTRUCTION", Build}, {"INSTALLATION", Build}, {"DEMOLITION", Demolish},
        {"DISMANTLE", Demolish}, {"REMOVAL", Demolish},   {"DISPOSAL", Demolish},
        {"RENOVATION", TypeR},   {"MAINTENANCE", TypeR},  {"MOVE", TypeR},
        {"LOGISTIC", Temporary}, {"ATTENDANCE", Build},   {"OPERATION", Build},
        {"USERDEFINED", Build},  {"NOTDEFINED", Build},   {"", Build},
        {"construction", Build}, {"demolition", Build},  // the file writes them in capitals
    };
    for (const auto& [name, type] : table) EXPECT_EQ(ModelPlan::TypeOf(name), type) << name;
    EXPECT_EQ(ModelPlan::TypeOf(nullptr), Build);
}

TEST(ModelPlanTest, UniqueIdsComeFromTheGlobalIdsAlone) {
    // FNV-1a's published values: "" gives 0x811C9DC5, "a" 0xE40C292C; the top bit is dropped.
    EXPECT_EQ(ModelPlan::IdOf(""), 0x011C9DC5);
    EXPECT_EQ(ModelPlan::IdOf("a"), 0x640C292C);

    // Two GlobalIds whose hashes collide, found by search: the greater one takes the next number,
    // whatever the order the tasks come in.
    std::map<int32_t, std::string> seen;
    std::string first, second;
    for (int i = 0; second.empty(); ++i) {
        const std::string id = "3T" + std::to_string(i);
        auto [at, added] = seen.emplace(ModelPlan::IdOf(id.c_str()), id);
        if (!added) {
            first = std::min(at->second, id);
            second = std::max(at->second, id);
        }
    }
    const int32_t shared = ModelPlan::IdOf(first.c_str());
    const int32_t next = shared == INT32_MAX ? 1 : shared + 1;
    EXPECT_EQ(ModelPlan::IdsOf({first, second, "other"}),
              (std::vector<int32_t>{shared, next, ModelPlan::IdOf("other")}));
    EXPECT_EQ(ModelPlan::IdsOf({"other", second, first}),
              (std::vector<int32_t>{ModelPlan::IdOf("other"), next, shared}));
    for (int32_t id : ModelPlan::IdsOf({first, second, "other", ""})) EXPECT_GE(id, 1);
}

KXTimeRecord At(int y, int mo, int d, int h = 0, int mi = 0) {
    KXTimeRecord r{};
    r.year = static_cast<uint16_t>(y);
    r.month = static_cast<uint16_t>(mo);
    r.day = static_cast<uint16_t>(d);
    r.hour = static_cast<uint16_t>(h);
    r.minute = static_cast<uint16_t>(mi);
    return r;
}

TEST(ModelPlanTest, ATaskTakesTheDaysItTouches) {
    struct Case {
        KXTimeRecord start, finish;
        CHighTime first, end;  // 00:00 of the first day, 24:00 of the last
    };
    const Case cases[] = {
        {At(2024, 3, 11, 8), At(2024, 3, 15, 8), CHighTime(2024, 3, 11), CHighTime(2024, 3, 16)},
        {At(2024, 3, 18, 8), At(2024, 3, 18, 14), CHighTime(2024, 3, 18), CHighTime(2024, 3, 19)},
        // Ending at midnight ends with the day before.
        {At(2024, 3, 1), At(2024, 3, 2), CHighTime(2024, 3, 1), CHighTime(2024, 3, 2)},
        {At(2024, 2, 28, 9), At(2024, 3, 1), CHighTime(2024, 2, 28), CHighTime(2024, 3, 1)},
        // A milestone at midnight still takes its day.
        {At(2024, 3, 1), At(2024, 3, 1), CHighTime(2024, 3, 1), CHighTime(2024, 3, 2)},
        {At(2024, 12, 31, 8), At(2024, 12, 31, 17), CHighTime(2024, 12, 31), CHighTime(2025, 1, 1)},
    };
    for (const Case& c : cases) {
        CHighTimePersistent first, end;
        ASSERT_TRUE(ModelPlan::DaysOf(c.start, c.finish, first, end));
        EXPECT_EQ(first.ticks, c.first.ticks) << c.start.day;
        EXPECT_EQ(end.ticks, c.end.ticks) << c.finish.day;
    }
    CHighTimePersistent first, end;
    EXPECT_FALSE(ModelPlan::DaysOf(At(2024, 13, 1), At(2024, 3, 1), first, end));
}

API_PlanTask Task(const char* globalId, const char* name, const char* type, int32_t parent = -1) {
    API_PlanTask t;
    std::memset(&t, 0, sizeof(t));
    std::strcpy(t.globalId, globalId);
    std::strcpy(t.name, name);
    std::strcpy(t.predefinedType, type);
    t.parent = parent;
    t.hasDates = 1;
    t.start = At(2024, 3, 4, 8);
    t.finish = At(2024, 3, 5, 17);
    return t;
}

API_PlanAssignment Element(uint8_t tag, int32_t task, int32_t role, bool inModel) {
    API_PlanAssignment a;
    std::memset(&a, 0, sizeof(a));
    a.guid.bytes[0] = tag;
    std::snprintf(a.globalId, sizeof a.globalId, "E%u", tag);
    a.task = task;
    a.role = role;
    a.inModel = inModel ? 1 : 0;
    return a;
}

TEST(ModelPlanTest, LeafTasksWithDatesAreTakenWithTheirElementsInTheModel) {
    ModelPlan plan;
    API_PlanSchedule other{}, chosen{};
    other.firstTask = 0;
    other.taskCount = 1;
    chosen.firstTask = 1;
    chosen.taskCount = 6;
    plan.schedules = {other, chosen};
    plan.tasks = {Task("G0", "Other schedule", "CONSTRUCTION"),
                  Task("G1", "Summary", "CONSTRUCTION"),
                  Task("G2", "Walls", "CONSTRUCTION", 1),
                  Task("G3", "Demolition", "DEMOLITION", 1),
                  Task("G4", "Undated", "CONSTRUCTION"),
                  Task("G5", "Backwards", "CONSTRUCTION"),
                  Task("G6", "", "LOGISTIC")};
    plan.tasks[1].summary = 1;
    plan.tasks[4].hasDates = 0;
    plan.tasks[4].problems = APIPlanProblem::NoDates;
    plan.tasks[5].hasDates = 0;
    plan.tasks[5].problems = APIPlanProblem::FinishBeforeStart;
    // Walls: two outputs (one given twice) and one element the model lacks; Demolition: an input.
    plan.assignments = {
        Element(1, 2, APIPlanRole::Output, true), Element(2, 2, APIPlanRole::Output, true),
        Element(1, 2, APIPlanRole::Output, true), Element(3, 2, APIPlanRole::Output, false),
        Element(4, 3, APIPlanRole::Input, true)};
    plan.tasks[2].firstAssignment = 0;
    plan.tasks[2].assignmentCount = 4;
    plan.tasks[3].firstAssignment = 4;
    plan.tasks[3].assignmentCount = 1;

    const ModelPlan::Result result = plan.Take(1);
    EXPECT_EQ(result.summaries, 1);
    ASSERT_EQ(result.tasks.size(), 3u);
    const struct {
        const char* name;
        const char* globalId;
        TASKTYPE type;
        std::vector<uint8_t> elements;
    } expected[] = {{"Walls", "G2", Build, {1, 2}},
                    {"Demolition", "G3", Demolish, {4}},
                    {"G6", "G6", Temporary, {}}};  // no name: the GlobalId names it
    for (size_t i = 0; i < result.tasks.size(); ++i) {
        const ModelPlan::Taken& t = result.tasks[i];
        EXPECT_STREQ(t.task.name, expected[i].name);
        EXPECT_EQ(t.task.uniqueID, ModelPlan::IdOf(expected[i].globalId));
        EXPECT_EQ(t.task.type, expected[i].type);
        EXPECT_EQ(t.task.start.ticks, CHighTime(2024, 3, 4).ticks);
        EXPECT_EQ(t.task.end.ticks, CHighTime(2024, 3, 6).ticks);
        std::vector<uint8_t> tags;
        for (const API_Guid& g : t.elements) tags.push_back(g.bytes[0]);
        EXPECT_EQ(tags, expected[i].elements) << i;
    }
    // The undated task, the backward one and the missing element: one line each.
    EXPECT_EQ(result.reports.size(), 3u);
    EXPECT_TRUE(plan.Take(2).tasks.empty());
    EXPECT_TRUE(plan.Take(-1).tasks.empty());
}

}  // namespace
