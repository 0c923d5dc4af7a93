#pragma once
// The sample building of a benchmark: the one whose element count is nearest the target, about
// twice as wide as tall, so that the programs measure the same buildings.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "Model/Project.h"
#include "Model/SampleBuilding.h"

inline std::unique_ptr<CadHost::Project> BuildingOf(int target) {
    using CadHost::SampleBuilding;
    int bestStoreys = 1, bestBays = 1;
    long bestDiff = -1;
    for (int bays = 1; bays <= SampleBuilding::kMaxBays; ++bays) {
        const int storeys = std::max(1, std::min(SampleBuilding::kMaxStoreys, bays / 2));
        const long diff =
            std::labs(static_cast<long>(SampleBuilding::ElementCount(storeys, bays)) - target);
        if (bestDiff < 0 || diff < bestDiff) {
            bestDiff = diff;
            bestStoreys = storeys;
            bestBays = bays;
        }
    }
    return SampleBuilding::Make(bestStoreys, bestBays);
}
