// The sample building: its make-up at the default size counted by hand and its size formula. (Its
// layers and locks are what the add-on's whole-showing tests start from.)
#include <map>
#include <set>

#include "Model/SampleBuilding.h"
#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

class SampleBuildingTest : public ModelFixture {
protected:
    void SetUp() override {
        ModelFixture::SetUp();
        ReplaceCurrentProject(SampleBuilding::Make(2, 3));
    }
};

// Two storeys, three bays along the front and two in depth: 4 x 3 grid nodes.
TEST_F(SampleBuildingTest, TheDefaultBuildingCountedByHand) {
    // Walls: outer, less the curtain wall; inner; strips. Slabs: floors, roof slabs, footings.
    // Objects: tables and one stair.
    // clang-format off
    const std::map<API_ElemTypeID, size_t> expected = {
        {APIElem::Wall, 2 * 10 - 3 + 2 * 4 + 4 + 4 + 4}, {APIElem::Column, 2 * 12 + 4},
        {APIElem::Beam, 2 * (3 * 3 + 2 * 4)},    {APIElem::Window, 2 * 10 - 3 - 1},
        {APIElem::Door, 2 * 4 + 1},              {APIElem::Slab, 2 * 6 + 6 + 12},
        {APIElem::Zone, 12},                     {APIElem::Lamp, 12},
        {APIElem::Object, 12 + 1},               {APIElem::Roof, 1},
        {APIElem::CurtainWall, 1},               {APIElem::Mesh, 1},
        {APIElem::Camera, 8 + 3 + 2},            {APIElem::CameraPath, 3},
        {APIElem::Section, 1},                   {APIElem::Elevation, 1},
        {APIElem::Circle, 1},                    {APIElem::Line, 1},
        {APIElem::Text, 2},                      {APIElem::Dimension, 2},
        {APIElem::Arc, 1},                       {APIElem::Spline, 1},
        {APIElem::Fill, 1}};
    // clang-format on
    size_t total = 0;
    for (API_ElemTypeID type = 1; type <= 42; ++type) {
        int32_t count = 0;
        ASSERT_EQ(api.Element_GetNum(type, &count), 0);
        const auto it = expected.find(type);
        EXPECT_EQ(size_t(count), it == expected.end() ? 0 : it->second)
            << ElementTypes::Of(type).name;
        total += size_t(count);
    }
    EXPECT_EQ(total, 221u);
    EXPECT_EQ(SampleBuilding::ElementCount(2, 3), 221u);
}

TEST(SampleBuildingSizeTest, TheFormulaFollowsTheBuildingAtEverySize) {
    for (auto [storeys, bays] : {std::pair{1, 1}, {1, 4}, {3, 5}, {5, 8}, {2, 13}})
        EXPECT_EQ(SampleBuilding::Make(storeys, bays)->ElementCount(),
                  SampleBuilding::ElementCount(storeys, bays))
            << storeys << " storeys, " << bays << " bays";
    EXPECT_GE(SampleBuilding::ElementCount(16, 37), 100000u) << "the benchmark size";
    EXPECT_THROW(SampleBuilding::Make(0, 3), std::invalid_argument);
    EXPECT_THROW(SampleBuilding::Make(2, SampleBuilding::kMaxBays + 1), std::invalid_argument);
}

}  // namespace
}  // namespace ModelTest
