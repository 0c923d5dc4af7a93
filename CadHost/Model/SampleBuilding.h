#pragma once
// A plausible building of any size, made for the demo and the benchmarks: storeys of a grid of
// bays with foundations, columns, beams, slabs, outer and inner walls, windows, doors, stairs,
// zones, lamps and furniture, a hip roof, a curtain wall on the ground floor front, a terrain mesh,
// some 2D elements, a section and an elevation, and camera paths around the building.
//
// Layers: "General", "Foundations" (locked), "Structure", "Walls", "Openings", "Roof",
// "Interior", "Furniture" (hidden by the user), "Site", "Annotation". The ground floor's columns
// are locked elements. In a shared project the elements of odd storeys belong to user 2, all
// others to user 1.
#include <cstddef>
#include <memory>

namespace CadHost {

class Project;

class SampleBuilding {
public:
    static constexpr int kMaxStoreys = 100;
    static constexpr int kMaxBays = 100;
    static constexpr double kBay = 6.0;           // metres between grid lines
    static constexpr double kStoreyHeight = 3.2;  // floor to floor

    // The depth of the building in bays for a given number of bays along its front.
    static int DepthBays(int bays) { return bays < 4 ? 2 : (bays + 1) / 2; }
    // A new project holding the building; storeys 1..kMaxStoreys, bays 1..kMaxBays.
    static std::unique_ptr<Project> Make(int storeys, int bays);
    // The number of elements Make gives.
    static size_t ElementCount(int storeys, int bays);
};

}  // namespace CadHost
