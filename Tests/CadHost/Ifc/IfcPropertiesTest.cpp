// What an IFC element says about itself reaches the host's element properties: a hand-made file
// with a property set, a quantity set, a layered material and a type with its own set. The
// properties then survive the project file and show in the shell.
#include <gmock/gmock.h>

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

const char kWallIfc4[] = R"IFC(ISO-10303-21;
HEADER;
FILE_DESCRIPTION(('ViewDefinition [DesignTransferView]'),'2;1');
FILE_NAME('wall.ifc','2024-05-01T10:00:00',('tests'),(''),'hand','hand','');
FILE_SCHEMA(('IFC4'));
ENDSEC;
DATA;
#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'Test project',$,$,$,$,(#20),#10);
#10=IFCUNITASSIGNMENT((#11));
#11=IFCSIUNIT(*,.LENGTHUNIT.,$,.METRE.);
#20=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#21,$);
#21=IFCAXIS2PLACEMENT3D(#22,$,$);
#22=IFCCARTESIANPOINT((0.,0.,0.));
#30=IFCSITE('0100000000000000000001',$,'Site',$,$,#31,$,$,.ELEMENT.,$,$,$,$,$);
#31=IFCLOCALPLACEMENT($,#21);
#32=IFCBUILDING('0100000000000000000002',$,'Building',$,$,#33,$,$,.ELEMENT.,$,$,$);
#33=IFCLOCALPLACEMENT(#31,#21);
#34=IFCBUILDINGSTOREY('0100000000000000000003',$,'Level 1',$,$,#35,$,$,.ELEMENT.,0.);
#35=IFCLOCALPLACEMENT(#33,#21);
#40=IFCRELAGGREGATES('0100000000000000000005',$,$,$,#1,(#30));
#41=IFCRELAGGREGATES('0100000000000000000006',$,$,$,#30,(#32));
#42=IFCRELAGGREGATES('0100000000000000000007',$,$,$,#32,(#34));
#50=IFCWALL('1000000000000000000000',$,'Wall 1',$,$,#51,$,'W-TAG',.STANDARD.);
#51=IFCLOCALPLACEMENT(#35,#21);
#60=IFCPROPERTYSET('0200000000000000000001',$,'Pset_WallCommon',$,(#61,#62,#63));
#61=IFCPROPERTYSINGLEVALUE('IsExternal',$,IFCBOOLEAN(.T.),$);
#62=IFCPROPERTYSINGLEVALUE('FireRating',$,IFCLABEL('REI 90'),$);
#63=IFCPROPERTYSINGLEVALUE('ThermalTransmittance',$,IFCTHERMALTRANSMITTANCEMEASURE(0.25),$);
#64=IFCRELDEFINESBYPROPERTIES('0200000000000000000002',$,$,$,(#50),#60);
#65=IFCELEMENTQUANTITY('0200000000000000000003',$,'Qto_WallBaseQuantities',$,$,(#66));
#66=IFCQUANTITYLENGTH('Length',$,$,5.5,$);
#67=IFCRELDEFINESBYPROPERTIES('0200000000000000000004',$,$,$,(#50),#65);
#70=IFCMATERIAL('Brick',$,$);
#71=IFCMATERIAL('Plaster',$,$);
#72=IFCMATERIALLAYER(#70,0.2,$,$,$,$,$);
#73=IFCMATERIALLAYER(#71,0.02,$,$,$,$,$);
#74=IFCMATERIALLAYERSET((#72,#73),'Outer wall',$);
#75=IFCMATERIALLAYERSETUSAGE(#74,.AXIS2.,.POSITIVE.,0.,$);
#76=IFCRELASSOCIATESMATERIAL('0200000000000000000005',$,$,$,(#50),#75);
#80=IFCWALLTYPE('0200000000000000000006',$,'Outer wall type',$,$,(#81),$,$,$,.STANDARD.);
#81=IFCPROPERTYSET('0200000000000000000007',$,'Pset_Acoustic',$,(#82));
#82=IFCPROPERTYSINGLEVALUE('Rating',$,IFCINTEGER(52),$);
#83=IFCRELDEFINESBYTYPE('0200000000000000000008',$,$,$,(#50),#80);
#90=IFCRELCONTAINEDINSPATIALSTRUCTURE('0100000000000000000010',$,$,$,(#50),#34);
ENDSEC;
END-ISO-10303-21;
)IFC";

class IfcPropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = ::testing::TempDir() + "/pw_ifc_wall.ifc";
        std::ofstream(path) << kWallIfc4;
        IfcImportReport report;
        std::string error;
        project = IfcImport::Read(path, report, error);
        ASSERT_NE(project, nullptr) << error;
        ASSERT_EQ(project->ElementCount(), 1u);
        project->ForEachElement([&](const Element& e) { wall = &e; });
    }
    void TearDown() override {
        std::remove(path.c_str());
        ReplaceCurrentProject(nullptr);
    }
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

    // Properties of a GUID no element has, or given twice, are a damaged file.
    const size_t at = text.find("\"properties\": [\n") + 16;
    const std::string line = text.substr(at, text.find('\n', at) - at);
    std::string stray = text;
    stray.insert(at, "{\"guid\": \"00000000-0000-0000-0000-000000000001\", \"list\": []},\n");
    EXPECT_EQ(ProjectFile::FromText(stray, error), nullptr);
    EXPECT_THAT(error, ::testing::HasSubstr("no element has the GUID 00000000-"));
    std::string twice = text;
    twice.insert(at, line + ",\n");
    EXPECT_EQ(ProjectFile::FromText(twice, error), nullptr);
    EXPECT_THAT(error, ::testing::HasSubstr("properties twice"));
}

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
    ASSERT_TRUE(session.RunLine("elements \"Wall 1\"", error)) << error;
    const std::string all = out.str();
    size_t count = 0;
    for (size_t at = all.find("IsExternal"); at != std::string::npos;
         at = all.find("IsExternal", at + 1))
        ++count;
    EXPECT_EQ(count, 1u) << "without --properties the list stays as it was: " << all;
}

}  // namespace
