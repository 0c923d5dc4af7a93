// The sample building's size formula, which the benchmarks and the session's counts rely on,
// against buildings actually made.
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "Model/Project.h"
#include "Model/SampleBuilding.h"

namespace {

using CadHost::SampleBuilding;

TEST(SampleBuildingSizeTest, TheFormulaFollowsTheBuildingAtEverySize) {
    for (auto [storeys, bays] : {std::pair{1, 1}, {2, 3}, {3, 5}, {2, 13}})
        EXPECT_EQ(SampleBuilding::Make(storeys, bays)->ElementCount(),
                  SampleBuilding::ElementCount(storeys, bays))
            << storeys << " storeys, " << bays << " bays";
    EXPECT_GE(SampleBuilding::ElementCount(16, 37), 100000u) << "the benchmark size";
    EXPECT_THROW(SampleBuilding::Make(0, 3), std::invalid_argument);
    EXPECT_THROW(SampleBuilding::Make(2, SampleBuilding::kMaxBays + 1), std::invalid_argument);
}

}  // namespace
