// A work schedule of the model turned into schedule tasks: the table of task types, unique IDs
// that the same GlobalIds always give, and the days of a task. Which tasks and elements are taken,
// and what is said of the rest, is checked on hand-made IFC files in Ifc4DSessionTest.
#include <gtest/gtest.h>

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

}  // namespace
