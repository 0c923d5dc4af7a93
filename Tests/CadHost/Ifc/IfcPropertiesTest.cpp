// What an IFC element says about itself (property and quantity sets, layered material, its type's
// set) reaches the host's element properties, survives the project file and shows in the shell.
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "AddOnLoader.h"
#include "Ifc/IfcImport.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"
#include "Shell/Session.h"

namespace {

using namespace CadHost;
using Pair = std::pair<std::string, std::string>;

class IfcPropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = std::string(PW_TEST_DATA_DIR) + "/../CadHost/Ifc/wall-properties.ifc";
        IfcImportReport report;
        std::string error;
        project = IfcImport::Read(path, report, error);
        ASSERT_NE(project, nullptr) << error;
        ASSERT_EQ(project->ElementCount(), 1u);
        project->ForEachElement([&](const Element& e) { wall = &e; });
    }
    void TearDown() override { ReplaceCurrentProject(nullptr); }
    std::string path;
    std::unique_ptr<Project> project;
    const Element* wall = nullptr;
};

TEST_F(IfcPropertiesTest, TheFilesSetsMaterialsAndTypeBecomeProperties) {
    using ::testing::ElementsAre;
    EXPECT_THAT(wall->properties,
                ::testing::IsSupersetOf(
                    {Pair{"IfcClass", "IfcWall"}, Pair{"GlobalId", "1000000000000000000000"},
                     Pair{"Name", "Wall 1"}, Pair{"Type", "Outer wall type"},
                     Pair{"Pset_WallCommon.IsExternal", "TRUE"},
                     Pair{"Pset_WallCommon.FireRating", "REI 90"},
                     Pair{"Pset_WallCommon.ThermalTransmittance", "0.25"},
                     Pair{"Qto_WallBaseQuantities.Length", "5.5"},
                     Pair{"Pset_Acoustic.Rating", "52"}, Pair{"Storey", "Level 1"}}));
    std::vector<std::string> materials;
    for (const auto& [name, value] : wall->properties)
        if (name == "Material") materials.push_back(value);
    EXPECT_THAT(materials, ElementsAre("Brick", "Plaster")) << "the layers in their order";
    EXPECT_EQ(wall->properties.size(), 12u);
}

TEST_F(IfcPropertiesTest, TheProjectFileKeepsThemAndRefusesStrayOnes) {
    const std::string text = ProjectFile::ToText(*project);
    std::string error;
    auto again = ProjectFile::FromText(text, error);
    ASSERT_NE(again, nullptr) << error;
    EXPECT_EQ(again->Find(wall->guid)->properties, wall->properties);

    // Properties of a GUID no element has are a damaged file.
    const size_t at = text.find("\"properties\": [\n") + 16;
    std::string stray = text;
    stray.insert(at, "{\"guid\": \"00000000-0000-0000-0000-000000000001\", \"list\": []},\n");
    EXPECT_EQ(ProjectFile::FromText(stray, error), nullptr);
    EXPECT_THAT(error, ::testing::HasSubstr("no element has the GUID 00000000-"));
}

// "--properties" adds them below the element's line; without it the list stays as it was.
TEST_F(IfcPropertiesTest, TheShellPrintsThem) {
    ReplaceCurrentProject(std::move(project));
    AddOnLoader loader;
    std::istringstream in;
    std::ostringstream out;
    Session session(loader, in, out, false);
    std::string error;
    ASSERT_TRUE(session.RunLine("elements \"Wall 1\" --properties", error)) << error;
    EXPECT_THAT(out.str(), ::testing::HasSubstr("Wall Wall 1  layer 2 (Level 1)"));
    EXPECT_THAT(out.str(), ::testing::HasSubstr("\n  Pset_WallCommon.IsExternal = TRUE\n"));
    out.str("");
    ASSERT_TRUE(session.RunLine("elements \"Wall 1\"", error)) << error;
    const std::string plain = out.str();
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\n'), 1) << plain;
}

}  // namespace
