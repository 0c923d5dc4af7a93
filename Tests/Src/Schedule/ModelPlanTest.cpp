// A work schedule of the model turned into schedule tasks: the table of task types and unique IDs
// that the same GlobalIds always give. Which tasks and elements are taken, the days each task
// takes, and what is said of the rest, is checked on hand-made IFC files in Ifc4DSessionTest.
#include <gtest/gtest.h>

#include <map>
#include <string>

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

}  // namespace
