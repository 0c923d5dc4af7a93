// The selector calls about the model: databases and windows as the add-on switches them, type
// names, rebuild and redraw with the mass-change bracket, the single-element editing mode.
#include "API/Database.h"
#include "API/ModelSelectors.h"
#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

GSErrCode Call(Family family, GSType code, void* par1 = nullptr, void* par2 = nullptr) {
    return Registry::Get().Dispatch(family, code, par1, par2);
}

using DatabaseTest = ModelFixture;

// The add-on's guard: from the 3D window it switches the database to the floor plan for its
// element work, then back.
TEST_F(DatabaseTest, SwitchingFromThe3DWindowToTheFloorPlanAndBack) {
    const API_Guid wall = Add(APIElem::Wall, "W-1").guid;
    API_WindowInfo window{};
    window.typeID = APIWind::Model3D;
    ASSERT_EQ(Call(Family::Automate, FourChar("CHWD"), &window), 0);
    API_DatabaseInfo saved;
    std::memset(&saved, 0xEE, sizeof(saved));
    ASSERT_EQ(Call(Family::Database, FourChar("GDAT"), &saved), 0);
    EXPECT_EQ(saved.typeID, 4);
    EXPECT_EQ(SetData(wall, "x"), static_cast<GSErrCode>(0x810600E2)) << "not on the floor plan";

    API_DatabaseInfo plan{};
    plan.typeID = 1;
    ASSERT_EQ(Call(Family::Database, FourChar("CDAT"), &plan), 0);
    EXPECT_EQ(SetData(wall, "x"), 0);
    API_WindowInfo current{};
    ASSERT_EQ(Call(Family::Database, FourChar("GWIN"), &current), 0);
    EXPECT_EQ(current.typeID, 4) << "changing the database leaves the window";
    ASSERT_EQ(Call(Family::Database, FourChar("CDAT"), &saved), 0);
    API_DatabaseInfo back{};
    ASSERT_EQ(Call(Family::Database, FourChar("GDAT"), &back), 0);
    EXPECT_EQ(std::memcmp(&back, &saved, sizeof(back)), 0);
}

TEST_F(DatabaseTest, KindsOfDatabasesTheProjectHasNot) {
    API_DatabaseInfo d{};
    d.typeID = 99;
    EXPECT_EQ(Call(Family::Database, FourChar("CDAT"), &d), ApiErr::BadDatabase);
    EXPECT_EQ(Call(Family::Automate, FourChar("CHWD"), &d), ApiErr::BadDatabase);
    for (int32_t kind : {2, 3, 10, 11, 12}) {
        d.typeID = kind;
        EXPECT_EQ(Call(Family::Automate, FourChar("CHWD"), &d), 0) << kind;
    }
    EXPECT_EQ(Call(Family::Database, FourChar("GDAT")), ApiErr::BadParameter);
}

TEST(TypeNameTest, NamesOfTypes) {
    char name[32] = "";
    API_ElemTypeID type = APIElem::CurtainWall;
    ASSERT_EQ(Call(Family::Goodies, FourChar("GETN"), &type, name), 0);
    EXPECT_STREQ(name, "Curtain Wall");
    type = APIElem::Wall;
    ASSERT_EQ(Call(Family::Goodies, FourChar("GETN"), &type, name), 0);
    EXPECT_STREQ(name, "Wall");
    for (type = 1; type <= 42; ++type) {
        ASSERT_EQ(Call(Family::Goodies, FourChar("GETN"), &type, name), 0);
        EXPECT_GT(std::strlen(name), 2u);
    }
    type = 0;
    EXPECT_EQ(Call(Family::Goodies, FourChar("GETN"), &type, name), ApiErr::BadElementType);
}

using AutomationTest = ModelFixture;

TEST_F(AutomationTest, RebuildsAndRedrawsWaitForTheMassChangeToClose) {
    const HostState& s = CurrentProject().State();
    uint8_t all = 1;
    ASSERT_EQ(Call(Family::Automate, FourChar("RBLD"), &all), 0);
    EXPECT_EQ(s.rebuilds, 1);
    ASSERT_EQ(Call(Family::Goodies, APISelector::OpenMassChange), 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::OpenMassChange), 0);
    ASSERT_EQ(Call(Family::Automate, FourChar("RDRW")), 0);
    ASSERT_EQ(Call(Family::Automate, FourChar("RDRW")), 0);
    ASSERT_EQ(Call(Family::Automate, FourChar("RBLD"), &all), 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), 0);
    EXPECT_EQ(s.redraws, 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), 0);
    EXPECT_EQ(s.redraws, 1);
    EXPECT_EQ(s.rebuilds, 2);
    EXPECT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), ApiErr::NotDone);
}

TEST_F(AutomationTest, TheSingleElementModeIsReadAndSet) {
    int32_t mode = -1;
    ASSERT_EQ(Call(Family::Environment, FourChar("GSEM"), &mode), 0);
    EXPECT_EQ(mode, 0);
    int32_t on = 1;
    ASSERT_EQ(Call(Family::Environment, FourChar("SSEM"), &on), 0);
    ASSERT_EQ(Call(Family::Environment, FourChar("GSEM"), &mode), 0);
    EXPECT_EQ(mode, 1);
    int32_t wrong = 2;
    EXPECT_EQ(Call(Family::Environment, FourChar("SSEM"), &wrong), ApiErr::BadParameter);
    ASSERT_EQ(Call(Family::Environment, FourChar("GSEM"), &mode), 0);
    EXPECT_EQ(mode, 1);
}

}  // namespace
}  // namespace ModelTest
