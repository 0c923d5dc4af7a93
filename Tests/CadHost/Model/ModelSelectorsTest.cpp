// The selector calls about the model: databases and windows as the add-on switches them, type
// names, rebuild and redraw with the mass-change bracket.
#include "API/Database.h"
#include "API/Selectors.h"
#include "ModelTestSupport.h"

namespace ModelTest {
namespace {

using DatabaseTest = ModelFixture;

// The add-on's guard: from the 3D window it switches the database to the floor plan for its
// element work, then back.
TEST_F(DatabaseTest, SwitchingFromThe3DWindowToTheFloorPlanAndBack) {
    const API_Guid wall = Add(APIElem::Wall, "W-1").guid;
    API_WindowInfo window{};
    window.typeID = APIWind::Model3D;
    ASSERT_EQ(Call(Family::Automate, "CHWD", &window), 0);
    API_DatabaseInfo saved;
    std::memset(&saved, 0xEE, sizeof(saved));
    ASSERT_EQ(Call(Family::Database, "GDAT", &saved), 0);
    EXPECT_EQ(saved.typeID, 4);
    EXPECT_EQ(SetData(wall, "x"), kNotOnFloorPlan);

    API_DatabaseInfo plan{};
    plan.typeID = 1;
    ASSERT_EQ(Call(Family::Database, "CDAT", &plan), 0);
    EXPECT_EQ(SetData(wall, "x"), 0);
    API_WindowInfo current{};
    ASSERT_EQ(Call(Family::Database, "GWIN", &current), 0);
    EXPECT_EQ(current.typeID, 4) << "changing the database leaves the window";
    ASSERT_EQ(Call(Family::Database, "CDAT", &saved), 0);
    API_DatabaseInfo back{};
    ASSERT_EQ(Call(Family::Database, "GDAT", &back), 0);
    EXPECT_EQ(std::memcmp(&back, &saved, sizeof(back)), 0);

    // Kinds of databases the project has not are refused; the ones it has are served.
    API_DatabaseInfo d{};
    d.typeID = 99;
    EXPECT_EQ(Call(Family::Database, "CDAT", &d), ApiErr::BadDatabase);
    EXPECT_EQ(Call(Family::Automate, "CHWD", &d), ApiErr::BadDatabase);
    for (int32_t kind : {2, 3, 10, 11, 12}) {
        d.typeID = kind;
        EXPECT_EQ(Call(Family::Automate, "CHWD", &d), 0) << kind;
    }
    EXPECT_EQ(Call(Family::Database, "GDAT"), ApiErr::BadParameter);
}

TEST(TypeNameTest, NamesOfTypes) {
    char name[32] = "";
    for (API_ElemTypeID type = 1; type <= 42; ++type) {
        ASSERT_EQ(Call(Family::Goodies, "GETN", &type, name), 0);
        EXPECT_GT(std::strlen(name), 2u);
        EXPECT_TRUE(type != APIElem::CurtainWall || std::string(name) == "Curtain Wall") << name;
    }
    API_ElemTypeID none = 0;
    EXPECT_EQ(Call(Family::Goodies, "GETN", &none, name), ApiErr::BadElementType);
}

using AutomationTest = ModelFixture;

TEST_F(AutomationTest, RebuildsAndRedrawsWaitForTheMassChangeToClose) {
    const HostState& s = CurrentProject().State();
    uint8_t all = 1;
    ASSERT_EQ(Call(Family::Automate, "RBLD", &all), 0);
    EXPECT_EQ(s.rebuilds, 1);
    ASSERT_EQ(Call(Family::Goodies, APISelector::OpenMassChange), 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::OpenMassChange), 0);
    ASSERT_EQ(Call(Family::Automate, "RDRW"), 0);
    ASSERT_EQ(Call(Family::Automate, "RDRW"), 0);
    ASSERT_EQ(Call(Family::Automate, "RBLD", &all), 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), 0);
    EXPECT_EQ(s.redraws, 0);
    ASSERT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), 0);
    EXPECT_EQ(s.redraws, 1);
    EXPECT_EQ(s.rebuilds, 2);
    EXPECT_EQ(Call(Family::Goodies, APISelector::CloseMassChange), ApiErr::NotDone);
}

}  // namespace
}  // namespace ModelTest
