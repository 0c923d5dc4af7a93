// Opening IFC files as host projects: a small IFC4 file made by hand, and the failures that must
// leave the open project alone.
#include <gmock/gmock.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "AddOnLoader.h"
#include "Host.h"
#include "Ifc/IfcGuid.h"
#include "Ifc/IfcImport.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"
#include "Model/SampleBuilding.h"
#include "Shell/Session.h"

namespace {

using namespace CadHost;
using ::testing::HasSubstr;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kDir = std::string(PW_TEST_DATA_DIR) + "/../CadHost/Ifc/";
const std::string kSmallIfc4 = kDir + "small.ifc";

std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = ::testing::TempDir() + "/pw_ifc_" + name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}

const Element* ById(const Project& p, const std::string& id) {
    const Element* found = nullptr;
    p.ForEachElement([&](const Element& e) {
        if (e.id == id) found = &e;
    });
    return found;
}

class IfcSmallFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        project = IfcImport::Read(kSmallIfc4, report, error);
        ASSERT_NE(project, nullptr) << error;
    }

    std::string error;
    IfcImportReport report;
    std::unique_ptr<Project> project;
};

// Each element with its type, name (or tag), storey layer, GUID from its GlobalId, and where the
// file puts it: millimetres in the file, wall 5000 x 200 x 3000 from the origin along x; window
// 1000 x 50 x 1200 round (1000, -2000) from 900 up; slab 5000 x 4000 x 200 on the first floor
// (3000); the stair's flight 1000 x 3000 x 1500 round (6500, 1500). Surface styles become
// materials; a slab without one gets the slab's default.
TEST_F(IfcSmallFileTest, ElementsGetTheirTypesLayersGeometryAndMaterials) {
    struct Expect {
        const char* id;
        API_ElemTypeID type;
        const char* layer;
        int16_t storey;
        const char* guid;
        double lo[3], hi[3];  // in metres; none for no body
        const char* material;
        Rgb colour;        // negative: the standard material's own colour
        int transparency;  // percent
    };
    // clang-format off
    const Expect expected[] = {
        {"Wall 1", APIElem::Wall, "Ground Floor", 0, "40000000-0000-0000-0000-000000000000",
         {0, -0.1, 0}, {5, 0.1, 3}, "Red Brick", {0.8, 0.2, 0.1}, 0},
        {"WIN-7", APIElem::Window, "Ground Floor", 0, "80000000-0000-0000-0000-000000000000",
         {0.5, -2.025, 0.9}, {1.5, -1.975, 2.1}, "Glazing", {0.6, 0.8, 0.9}, 70},
        {"Floor slab", APIElem::Slab, "First Floor", 1, "C0000000-0000-0000-0000-000000000000",
         {0, 0, 3}, {5, 4, 3.2}, "Concrete", {-1, -1, -1}, 0},
        {"Stair 1", APIElem::Object, "Ground Floor", 0, "3AB8EE1D-07AD-41B9-8F24-A55884E7E601",
         {6, 0, 0}, {7, 3, 1.5}, nullptr, {}, 0},
        {"Broken beam", APIElem::Beam, "Ground Floor", 0, "C3000000-0000-0000-0000-000000000000",
         {}, {}, nullptr, {}, 0},
        {"Chair", APIElem::Object, "General", 0, "C6000000-0000-0000-0000-000000000000",
         {}, {}, nullptr, {}, 0},
    };
    // clang-format on
    EXPECT_EQ(project->ElementCount(), std::size(expected)) << "the flight is part of its stair";
    for (const Expect& x : expected) {
        SCOPED_TRACE(x.id);
        const Element* e = ById(*project, x.id);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->type, x.type);
        ASSERT_NE(project->LayerAt(e->layer), nullptr);
        EXPECT_EQ(project->LayerAt(e->layer)->name, x.layer);
        EXPECT_EQ(e->storey, x.storey);
        EXPECT_EQ(IfcGuid::Text(e->guid), x.guid);
        if (x.hi[0] == 0) {
            EXPECT_TRUE(e->meshes.empty());
            continue;
        }
        size_t triangles = 0;
        for (int k = 0; k < 3; ++k) {
            double lo = 1e30, hi = -1e30;
            for (const TriangleMesh& m : e->meshes)
                for (const Point3& p : m.vertices) {
                    const double v = k == 0 ? p.x : k == 1 ? p.y : p.z;
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
            EXPECT_NEAR(lo, x.lo[k], 1e-6) << "axis " << k;
            EXPECT_NEAR(hi, x.hi[k], 1e-6) << "axis " << k;
        }
        for (const TriangleMesh& m : e->meshes) triangles += m.corners.size() / 3;
        EXPECT_EQ(triangles, 12u) << "a box is 12 triangles";
        if (x.material == nullptr) continue;
        const Material* m = project->MaterialAt(e->MaterialOf(e->meshes[0]));
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->name, x.material);
        EXPECT_EQ(m->transparency, x.transparency);
        if (x.colour.r >= 0) {
            EXPECT_NEAR(m->surface.r, x.colour.r, 1e-6);
            EXPECT_NEAR(m->surface.g, x.colour.g, 1e-6);
            EXPECT_NEAR(m->surface.b, x.colour.b, 1e-6);
        }
        for (int16_t slot : e->Materials()) EXPECT_EQ(slot, e->MaterialOf(e->meshes[0]));
    }
    EXPECT_EQ(report.triangles, 48u);
    // Layers: the project's own first, then the storeys bottom up whatever their file order.
    ASSERT_EQ(project->Layers().size(), 3u);
    EXPECT_EQ(project->Layers()[1].name, "Ground Floor");
    EXPECT_EQ(project->Layers()[2].name, "First Floor");
}

class IfcImportFailureTest : public ::testing::Test {
protected:
    void SetUp() override { ReplaceCurrentProject(SampleBuilding::Make(1, 1)); }
    void TearDown() override { ReplaceCurrentProject(nullptr); }
    std::string Run(const std::string& line) {
        std::ostringstream out;
        Session session(loader, in, out, false);
        std::string error;
        if (!session.RunLine(line, error)) return out.str() + "error: " + error;
        return out.str();
    }
    AddOnLoader loader;
    std::istringstream in;
};

TEST_F(IfcImportFailureTest, PartsThatContainEachOtherDoNotHoldTheReader) {
    std::string text = ReadFile(kSmallIfc4);
    text.insert(text.rfind("ENDSEC;"), ReadFile(kDir + "loop-parts.txt"));
    const std::string path = WriteFile("loop.ifc", text);
    EXPECT_THAT(Run("project import " + path), HasSubstr(": 8 elements,"));
    EXPECT_NE(ById(CurrentProject(), "A"), nullptr);
    EXPECT_NE(ById(CurrentProject(), "B"), nullptr);
    std::remove(path.c_str());
}

// A failure says what is wrong in one line and leaves the project alone. (Each fault found in the
// file's bytes is named in IfcFileCheckTest.)
TEST_F(IfcImportFailureTest, EachFailureSaysWhatIsWrongInOneLine) {
    const std::string small = ReadFile(kSmallIfc4);
    const std::string noEntities = small.substr(0, small.find("DATA;") + 5) +
                                   "\nthis is no entity;\n#x=(;\nENDSEC;\nEND-ISO-10303-21;\n";
    const std::pair<std::string, const char*> cases[] = {
        {small.substr(0, small.size() * 2 / 3), "cut short"}, {noEntities, "no entity"}};
    const Project* before = &CurrentProject();
    const uint64_t generation = before->Generation();
    const std::string text = ProjectFile::ToText(*before);
    for (const auto& [bytes, message] : cases) {
        const std::string path = WriteFile("bad.ifc", bytes);
        const std::string out = Run("project import " + path);
        EXPECT_THAT(out, HasSubstr("error: " + path + ": ")) << message;
        EXPECT_THAT(out, HasSubstr(message));
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 0) << "one line: " << out;
        EXPECT_EQ(&CurrentProject(), before) << message;
        EXPECT_EQ(CurrentProject().Generation(), generation) << message;
        std::remove(path.c_str());
    }
    EXPECT_THAT(Run("project import /nonexistent/dir/x.ifc"), HasSubstr("cannot read"));
    EXPECT_EQ(&CurrentProject(), before);
    EXPECT_EQ(ProjectFile::ToText(CurrentProject()), text);
}

// The import's lines count what came in and name what was left out or has no body.
TEST_F(IfcImportFailureTest, ASuccessfulImportReplacesTheProjectAndSaysWhatCameIn) {
    const std::string out = Run("project import " + kSmallIfc4);
    EXPECT_THAT(out, HasSubstr("project import " + kSmallIfc4 +
                               ": 6 elements, 48 triangles, 2 storeys (IFC4, "));
    for (const char* line : {"\nimported: 1 Wall, 1 Beam, 1 Window, 2 Object, 1 Slab\n",
                             "\nskipped 2 IfcAnnotation (no host element type)\n",
                             "\nskipped 1 IfcSpace (no host element type)\n",
                             "\nwithout body 1 elements (their geometry could not be "
                             "triangulated): "})
        EXPECT_THAT(out, HasSubstr(line));
    EXPECT_THAT(out, ::testing::ContainsRegex("triangulated\\): [^\n]*Broken beam"));
    EXPECT_EQ(CurrentProject().ElementCount(), 6u);
    EXPECT_EQ(Host::Get().projectPath, "") << "an imported project has no file yet";
}

}  // namespace
