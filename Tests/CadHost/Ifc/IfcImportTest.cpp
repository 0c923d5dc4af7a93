// Opening IFC files as host projects: a small IFC4 file made by hand (millimetres, styles,
// storeys, a stair of parts, things the host has no type for, a shape that cannot be triangulated),
// the failures that must leave the open project alone, and the duplex sample building when the
// shared test data is there.
#include <gmock/gmock.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#include "AddOnLoader.h"
#include "Host.h"
#include "Ifc/IfcGuid.h"
#include "Ifc/IfcImport.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"
#include "Model/SampleBuilding.h"
#include "Render/PictureMaker.h"
#include "Shell/Session.h"

namespace {

using namespace CadHost;
using ::testing::HasSubstr;

const char kSmallIfc4[] = R"IFC(ISO-10303-21;
HEADER;
FILE_DESCRIPTION(('ViewDefinition [DesignTransferView]'),'2;1');
FILE_NAME('small.ifc','2024-05-01T10:00:00',('tests'),(''),'hand','hand','');
FILE_SCHEMA(('IFC4'));
ENDSEC;
DATA;
#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'Test project',$,$,$,$,(#20),#10);
#10=IFCUNITASSIGNMENT((#11,#12));
#11=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);
#12=IFCSIUNIT(*,.PLANEANGLEUNIT.,$,.RADIAN.);
#20=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#21,$);
#21=IFCAXIS2PLACEMENT3D(#22,$,$);
#22=IFCCARTESIANPOINT((0.,0.,0.));
#23=IFCDIRECTION((0.,0.,1.));
#30=IFCSITE('0100000000000000000001',$,'Site',$,$,#31,$,$,.ELEMENT.,$,$,$,$,$);
#31=IFCLOCALPLACEMENT($,#21);
#32=IFCBUILDING('0100000000000000000002',$,'Building',$,$,#33,$,$,.ELEMENT.,$,$,$);
#33=IFCLOCALPLACEMENT(#31,#21);
#34=IFCBUILDINGSTOREY('0100000000000000000003',$,'Ground Floor',$,$,#35,$,$,.ELEMENT.,0.);
#35=IFCLOCALPLACEMENT(#33,#21);
#36=IFCBUILDINGSTOREY('0100000000000000000004',$,'First Floor',$,$,#37,$,$,.ELEMENT.,3000.);
#37=IFCLOCALPLACEMENT(#33,#38);
#38=IFCAXIS2PLACEMENT3D(#39,$,$);
#39=IFCCARTESIANPOINT((0.,0.,3000.));
#40=IFCRELAGGREGATES('0100000000000000000005',$,$,$,#1,(#30));
#41=IFCRELAGGREGATES('0100000000000000000006',$,$,$,#30,(#32));
#42=IFCRELAGGREGATES('0100000000000000000007',$,$,$,#32,(#36,#34));
#50=IFCWALL('1000000000000000000000',$,'Wall 1',$,$,#51,#55,'W-TAG',.STANDARD.);
#51=IFCLOCALPLACEMENT(#35,#21);
#52=IFCRECTANGLEPROFILEDEF(.AREA.,$,#53,5000.,200.);
#53=IFCAXIS2PLACEMENT2D(#54,$);
#54=IFCCARTESIANPOINT((2500.,0.));
#55=IFCPRODUCTDEFINITIONSHAPE($,$,(#57,#62));
#56=IFCEXTRUDEDAREASOLID(#52,#21,#23,3000.);
#57=IFCSHAPEREPRESENTATION(#20,'Body','SweptSolid',(#56));
#58=IFCSTYLEDITEM(#56,(#59),$);
#59=IFCSURFACESTYLE('Red Brick',.BOTH.,(#60));
#60=IFCSURFACESTYLERENDERING(#61,0.,$,$,$,$,$,$,.FLAT.);
#61=IFCCOLOURRGB($,0.8,0.2,0.1);
#62=IFCSHAPEREPRESENTATION(#20,'Axis','Curve2D',(#63));
#63=IFCPOLYLINE((#22,#64));
#64=IFCCARTESIANPOINT((5000.,0.));
#70=IFCWINDOW('2000000000000000000000',$,$,$,$,#71,#75,'WIN-7',1200.,1000.,.WINDOW.,.SINGLE_PANEL.,$);
#71=IFCLOCALPLACEMENT(#35,#72);
#72=IFCAXIS2PLACEMENT3D(#73,$,$);
#73=IFCCARTESIANPOINT((1000.,-2000.,900.));
#74=IFCRECTANGLEPROFILEDEF(.AREA.,$,$,1000.,50.);
#75=IFCPRODUCTDEFINITIONSHAPE($,$,(#77));
#76=IFCEXTRUDEDAREASOLID(#74,#21,#23,1200.);
#77=IFCSHAPEREPRESENTATION(#20,'Body','SweptSolid',(#76));
#78=IFCSTYLEDITEM(#76,(#79),$);
#79=IFCSURFACESTYLE('Glazing',.BOTH.,(#66));
#66=IFCSURFACESTYLERENDERING(#67,0.7,$,$,$,$,$,$,.FLAT.);
#67=IFCCOLOURRGB($,0.6,0.8,0.9);
#80=IFCSLAB('3000000000000000000000',$,'Floor slab',$,$,#81,#85,$,.FLOOR.);
#81=IFCLOCALPLACEMENT(#37,#21);
#82=IFCRECTANGLEPROFILEDEF(.AREA.,$,#83,5000.,4000.);
#83=IFCAXIS2PLACEMENT2D(#84,$);
#84=IFCCARTESIANPOINT((2500.,2000.));
#85=IFCPRODUCTDEFINITIONSHAPE($,$,(#87));
#86=IFCEXTRUDEDAREASOLID(#82,#21,#23,200.);
#87=IFCSHAPEREPRESENTATION(#20,'Body','SweptSolid',(#86));
#90=IFCSTAIR('0wkEuT1wr1kOyafLY4v_O1',$,'Stair 1',$,$,#91,$,$,.STRAIGHT_RUN_STAIR.);
#91=IFCLOCALPLACEMENT(#35,#21);
#92=IFCSTAIRFLIGHT('0wkEuT1wr1kOyafLY4v_O2',$,'Flight',$,$,#93,#95,$,$,$,$,$,.STRAIGHT.);
#93=IFCLOCALPLACEMENT(#91,#21);
#94=IFCRECTANGLEPROFILEDEF(.AREA.,$,#97,1000.,3000.);
#95=IFCPRODUCTDEFINITIONSHAPE($,$,(#99));
#96=IFCRELAGGREGATES('0100000000000000000008',$,$,$,#90,(#92));
#97=IFCAXIS2PLACEMENT2D(#98,$);
#98=IFCCARTESIANPOINT((6500.,1500.));
#99=IFCSHAPEREPRESENTATION(#20,'Body','SweptSolid',(#100));
#100=IFCEXTRUDEDAREASOLID(#94,#21,#23,1500.);
#110=IFCSPACE('3100000000000000000000',$,'Room',$,$,#35,$,$,.ELEMENT.,.INTERNAL.,$);
#111=IFCRELAGGREGATES('0100000000000000000009',$,$,$,#34,(#110));
#112=IFCANNOTATION('3200000000000000000000',$,'Note 1',$,$,$,$);
#113=IFCANNOTATION('3200000000000000000001',$,'Note 2',$,$,$,$);
#120=IFCBEAM('3300000000000000000000',$,'Broken beam',$,$,#35,#121,$,.BEAM.);
#121=IFCPRODUCTDEFINITIONSHAPE($,$,(#122));
#122=IFCSHAPEREPRESENTATION(#20,'Body','Brep',(#123));
#123=IFCFACETEDBREP(#124);
#124=IFCCLOSEDSHELL((#125));
#125=IFCFACE((#126));
#126=IFCFACEOUTERBOUND(#127,.T.);
#127=IFCPOLYLOOP((#22,#39));
#130=IFCFURNITURE('3600000000000000000000',$,'Chair',$,$,$,$,$,$);
#140=IFCRELCONTAINEDINSPATIALSTRUCTURE('0100000000000000000010',$,$,$,(#50,#70,#90,#112,#113,#120),#34);
#141=IFCRELCONTAINEDINSPATIALSTRUCTURE('0100000000000000000011',$,$,$,(#80),#36);
ENDSEC;
END-ISO-10303-21;
)IFC";

std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = ::testing::TempDir() + "/pw_ifc_" + name;
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Box {
    double lo[3] = {1e30, 1e30, 1e30}, hi[3] = {-1e30, -1e30, -1e30};
};

Box BoxOf(const Element& e) {
    Box b;
    for (const TriangleMesh& m : e.meshes)
        for (const Point3& p : m.vertices) {
            const double v[3] = {p.x, p.y, p.z};
            for (int k = 0; k < 3; ++k) {
                b.lo[k] = std::min(b.lo[k], v[k]);
                b.hi[k] = std::max(b.hi[k], v[k]);
            }
        }
    return b;
}

size_t TrianglesOf(const Element& e) {
    size_t n = 0;
    for (const TriangleMesh& m : e.meshes) n += m.corners.size() / 3;
    return n;
}

const Element* ById(const Project& p, const std::string& id) {
    const Element* found = nullptr;
    p.ForEachElement([&](const Element& e) {
        if (e.id == id) found = &e;
    });
    return found;
}

// ---- The hand-made file ----------------------------------------------------------------------

class IfcSmallFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = WriteFile("small.ifc", kSmallIfc4);
        project = IfcImport::Read(path, report, error);
        ASSERT_NE(project, nullptr) << error;
    }
    void TearDown() override { std::remove(path.c_str()); }

    std::string path, error;
    IfcImportReport report;
    std::unique_ptr<Project> project;
};

TEST_F(IfcSmallFileTest, ElementsGetTheirTypesNamesAndLayers) {
    struct Expect {
        const char* id;  // the name, or the tag when there is no name
        API_ElemTypeID type;
        const char* layer;
        int16_t storey;
        const char* guid;
    };
    const Expect expected[] = {
        {"Wall 1", APIElem::Wall, "Ground Floor", 0, "40000000-0000-0000-0000-000000000000"},
        {"WIN-7", APIElem::Window, "Ground Floor", 0, "80000000-0000-0000-0000-000000000000"},
        {"Floor slab", APIElem::Slab, "First Floor", 1, "C0000000-0000-0000-0000-000000000000"},
        {"Stair 1", APIElem::Object, "Ground Floor", 0, "3AB8EE1D-07AD-41B9-8F24-A55884E7E601"},
        {"Broken beam", APIElem::Beam, "Ground Floor", 0, "C3000000-0000-0000-0000-000000000000"},
        {"Chair", APIElem::Object, "General", 0, "C6000000-0000-0000-0000-000000000000"},
    };
    EXPECT_EQ(project->ElementCount(), std::size(expected)) << "the flight is part of its stair";
    for (const Expect& x : expected) {
        const Element* e = ById(*project, x.id);
        ASSERT_NE(e, nullptr) << x.id;
        EXPECT_EQ(e->type, x.type) << x.id;
        ASSERT_NE(project->LayerAt(e->layer), nullptr) << x.id;
        EXPECT_EQ(project->LayerAt(e->layer)->name, x.layer) << x.id;
        EXPECT_EQ(e->storey, x.storey) << x.id;
        EXPECT_EQ(IfcGuid::Text(e->guid), x.guid) << x.id;
    }
    // Layers: the project's own first, then the storeys bottom up whatever their file order.
    ASSERT_EQ(project->Layers().size(), 3u);
    EXPECT_EQ(project->Layers()[1].name, "Ground Floor");
    EXPECT_EQ(project->Layers()[2].name, "First Floor");
}

TEST_F(IfcSmallFileTest, GeometryIsInMetresWhereTheFilePutsIt) {
    struct Expect {
        const char* id;
        Box box;
    };
    // Millimetres in the file: wall 5000 x 200 x 3000 from the origin along x; window 1000 x 50
    // x 1200 round (1000, -2000) from 900 up; slab 5000 x 4000 x 200 on the first floor (3000);
    // the stair's flight 1000 x 3000 x 1500 round (6500, 1500).
    const Expect expected[] = {
        {"Wall 1", {{0, -0.1, 0}, {5, 0.1, 3}}},
        {"WIN-7", {{0.5, -2.025, 0.9}, {1.5, -1.975, 2.1}}},
        {"Floor slab", {{0, 0, 3}, {5, 4, 3.2}}},
        {"Stair 1", {{6, 0, 0}, {7, 3, 1.5}}},
    };
    for (const Expect& x : expected) {
        const Element* e = ById(*project, x.id);
        ASSERT_NE(e, nullptr) << x.id;
        EXPECT_EQ(TrianglesOf(*e), 12u) << x.id << ": a box is 12 triangles";
        const Box b = BoxOf(*e);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(b.lo[k], x.box.lo[k], 1e-6) << x.id << " axis " << k;
            EXPECT_NEAR(b.hi[k], x.box.hi[k], 1e-6) << x.id << " axis " << k;
        }
    }
    EXPECT_EQ(report.triangles, 48u);
    EXPECT_NEAR(ById(*project, "Floor slab")->Bottom(), 3.0, 1e-6);
    EXPECT_NEAR(ById(*project, "Floor slab")->Top(), 3.2, 1e-6);
}

TEST_F(IfcSmallFileTest, SurfaceStylesBecomeMaterials) {
    struct Expect {
        const char* id;
        const char* material;
        Rgb colour;        // negative: the standard material's own colour
        int transparency;  // percent
    };
    const Expect expected[] = {
        {"Wall 1", "Red Brick", {0.8, 0.2, 0.1}, 0},
        {"WIN-7", "Glazing", {0.6, 0.8, 0.9}, 70},
        {"Floor slab", "Concrete", {-1, -1, -1}, 0},  // no style: the slab's default
    };
    for (const Expect& x : expected) {
        const Element* e = ById(*project, x.id);
        ASSERT_NE(e, nullptr) << x.id;
        ASSERT_FALSE(e->meshes.empty()) << x.id;
        const Material* m = project->MaterialAt(e->MaterialOf(e->meshes[0]));
        ASSERT_NE(m, nullptr) << x.id;
        EXPECT_EQ(m->name, x.material) << x.id;
        EXPECT_EQ(m->transparency, x.transparency) << x.id;
        if (x.colour.r >= 0) {
            EXPECT_NEAR(m->surface.r, x.colour.r, 1e-6) << x.id;
            EXPECT_NEAR(m->surface.g, x.colour.g, 1e-6) << x.id;
            EXPECT_NEAR(m->surface.b, x.colour.b, 1e-6) << x.id;
        }
        for (int16_t slot : e->Materials()) EXPECT_EQ(slot, e->MaterialOf(e->meshes[0])) << x.id;
    }
}

TEST_F(IfcSmallFileTest, UndoingAChangeKeepsTheTriangles) {
    const Element before = *ById(*project, "Wall 1");
    project->OpenUndoStep("Show");
    project->Edit(before.guid)->layer = 3;
    ASSERT_TRUE(project->CloseUndoStep());
    std::string title;
    ASSERT_TRUE(project->Undo(title));
    EXPECT_EQ(project->Find(before.guid)->layer, before.layer);
    EXPECT_EQ(project->Find(before.guid)->meshes, before.meshes);
    ASSERT_TRUE(project->Redo(title));
    EXPECT_EQ(project->Find(before.guid)->layer, 3);
    EXPECT_EQ(project->Find(before.guid)->meshes, before.meshes);
}

TEST_F(IfcSmallFileTest, ReportsWhatWasLeftOutAndWhatHasNoBody) {
    EXPECT_EQ(report.skipped,
              (std::map<std::string, size_t>{{"IfcAnnotation", 2}, {"IfcSpace", 1}}));
    ASSERT_EQ(report.untriangulated.size(), 1u);
    EXPECT_THAT(report.untriangulated[0], HasSubstr("Broken beam"));
    EXPECT_TRUE(ById(*project, "Broken beam")->meshes.empty()) << "it still opens";
    EXPECT_EQ(report.schema, "IFC4");
    const auto lines = report.Lines("small.ifc");
    std::vector<std::string> untriangulated, skipped;
    for (const std::string& line : lines) {
        if (line.starts_with("skipped ")) skipped.push_back(line);
        if (line.find("Broken beam") != std::string::npos) untriangulated.push_back(line);
    }
    EXPECT_EQ(skipped, (std::vector<std::string>{"skipped 2 IfcAnnotation (no host element type)",
                                                 "skipped 1 IfcSpace (no host element type)"}));
    EXPECT_EQ(untriangulated.size(), 1u) << "one line names the elements without body";
    EXPECT_THAT(lines[0], HasSubstr("6 elements, 48 triangles, 2 storeys"));
}

TEST(IfcImportLoopTest, PartsThatContainEachOtherDoNotHoldTheReader) {
    std::string text = kSmallIfc4;
    text.insert(text.rfind("ENDSEC;"),
                "#200=IFCBUILDINGELEMENTPROXY('3700000000000000000001',$,'A',$,$,$,$,$,$);\n"
                "#201=IFCBUILDINGELEMENTPROXY('3700000000000000000002',$,'B',$,$,$,$,$,$);\n"
                "#202=IFCRELAGGREGATES('3700000000000000000003',$,$,$,#200,(#201));\n"
                "#203=IFCRELAGGREGATES('3700000000000000000004',$,$,$,#201,(#200));\n");
    const std::string path = WriteFile("loop.ifc", text);
    IfcImportReport report;
    std::string error;
    auto project = IfcImport::Read(path, report, error);
    ASSERT_NE(project, nullptr) << error;
    EXPECT_EQ(project->ElementCount(), 8u);
    EXPECT_NE(ById(*project, "A"), nullptr);
    EXPECT_NE(ById(*project, "B"), nullptr);
    std::remove(path.c_str());
}

// ---- Failures leave the open project alone ----------------------------------------------------

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

TEST_F(IfcImportFailureTest, EachFailureSaysWhatIsWrongInOneLine) {
    const std::string small = kSmallIfc4;
    std::string noEntities = small.substr(0, small.find("DATA;") + 5) +
                             "\nthis is no entity;\n#x=(;\nENDSEC;\nEND-ISO-10303-21;\n";
    std::string ifc4x3 = small;
    ifc4x3.replace(ifc4x3.find("('IFC4')"), 8, "('IFC4X3')");
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const Case cases[] = {
        {"empty.ifc", "", "empty"},
        {"zipped.ifc", std::string("PK\x03\x04\x14\x00\x08\x00", 8) + small, "ZIP"},
        {"letter.ifc", "Dear builder,\nplease find the plans attached.\n", "not IFC in STEP form"},
        {"x3.ifc", ifc4x3, "IFC4X3"},
        {"cut.ifc", small.substr(0, small.size() * 2 / 3), "cut short"},
        {"noentities.ifc", noEntities, "no entity"},
    };
    const Project* before = &CurrentProject();
    const uint64_t generation = before->Generation();
    const std::string text = ProjectFile::ToText(*before);
    for (const Case& c : cases) {
        const std::string path = WriteFile(c.name, c.bytes);
        const std::string out = Run("project import " + path);
        EXPECT_THAT(out, HasSubstr("error: " + path + ": ")) << c.name;
        EXPECT_THAT(out, HasSubstr(c.message)) << c.name;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 0) << "one line: " << out;
        EXPECT_EQ(&CurrentProject(), before) << c.name;
        EXPECT_EQ(CurrentProject().Generation(), generation) << c.name;
        std::remove(path.c_str());
    }
    EXPECT_THAT(Run("project import /nonexistent/dir/x.ifc"), HasSubstr("cannot read"));
    EXPECT_EQ(&CurrentProject(), before);
    EXPECT_EQ(ProjectFile::ToText(CurrentProject()), text);
}

TEST_F(IfcImportFailureTest, ASuccessfulImportReplacesTheProject) {
    const std::string path = WriteFile("ok.ifc", kSmallIfc4);
    const std::string out = Run("project import " + path);
    EXPECT_THAT(out, HasSubstr("project import " + path + ": 6 elements, 48 triangles"));
    EXPECT_THAT(out, HasSubstr("imported: 1 Wall, 1 Beam, 1 Window, 2 Object, 1 Slab"));
    EXPECT_EQ(CurrentProject().ElementCount(), 6u);
    EXPECT_EQ(Host::Get().projectPath, "") << "an imported project has no file yet";
    std::remove(path.c_str());
}

// ---- The duplex sample building ---------------------------------------------------------------

std::string SharedData() {
    const char* env = std::getenv("PW_SHARED_DATA_DIR");
    return env != nullptr && *env != '\0' ? env : PW_SHARED_DATA_DIR;
}

// What the duplex holds, found by reading its text: entity classes by number, and which entities
// an IFCRELAGGREGATES makes parts of which whole.
struct StepScan {
    std::map<long, std::string> classOf;
    std::map<long, long> wholeOf;
    std::vector<std::string> storeyNames;
    std::set<std::string> globalIds;

    explicit StepScan(const std::string& text) {
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] != '#') continue;
            const size_t eq = line.find('='), paren = line.find('(');
            if (eq == std::string::npos || paren == std::string::npos || paren < eq) continue;
            const long id = std::stol(line.substr(1, eq - 1));
            const std::string cls = line.substr(eq + 1, paren - eq - 1);
            classOf[id] = cls;
            if (cls == "IFCBUILDINGSTOREY") storeyNames.push_back(Quoted(line, 2));
            if (cls == "IFCRELAGGREGATES") {
                // (..., #whole, (#part, #part))
                const size_t list = line.rfind('(');
                const size_t wholeAt = line.rfind('#', list);
                const long whole = std::stol(line.substr(wholeAt + 1));
                for (size_t at = line.find('#', list); at != std::string::npos;
                     at = line.find('#', at + 1))
                    wholeOf[std::stol(line.substr(at + 1))] = whole;
            }
        }
    }
    // The n-th quoted text of a line (1-based).
    static std::string Quoted(const std::string& line, int n) {
        size_t at = 0;
        for (int i = 0; i < n; ++i) {
            at = line.find('\'', at);
            const size_t end = line.find('\'', at + 1);
            if (i == n - 1) return line.substr(at + 1, end - at - 1);
            at = end + 1;
        }
        return {};
    }
};

// The classes of the duplex and the host types they are meant to become.
const std::map<std::string, API_ElemTypeID> kDuplexClasses = {
    {"IFCWALL", APIElem::Wall},      {"IFCWALLSTANDARDCASE", APIElem::Wall},
    {"IFCSLAB", APIElem::Slab},      {"IFCCOVERING", APIElem::Slab},
    {"IFCFOOTING", APIElem::Slab},   {"IFCBEAM", APIElem::Beam},
    {"IFCMEMBER", APIElem::Beam},    {"IFCDOOR", APIElem::Door},
    {"IFCWINDOW", APIElem::Window},  {"IFCROOF", APIElem::Roof},
    {"IFCSTAIR", APIElem::Object},   {"IFCSTAIRFLIGHT", APIElem::Object},
    {"IFCRAILING", APIElem::Object}, {"IFCFURNISHINGELEMENT", APIElem::Object},
};

class DuplexTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path = new std::string(SharedData() + "/ifc/duplex.ifc");
        if (!std::ifstream(*path)) return;
        report = new IfcImportReport;
        std::string error;
        ReplaceCurrentProject(IfcImport::Read(*path, *report, error));
        importError = new std::string(error);
    }
    static void TearDownTestSuite() {
        ReplaceCurrentProject(nullptr);
        delete path;
        delete report;
        delete importError;
        report = nullptr;
        importError = nullptr;
    }
    void SetUp() override {
        if (report == nullptr) GTEST_SKIP() << "no duplex model at " << *path;
        ASSERT_TRUE(importError->empty()) << *importError;
    }
    static std::string* path;
    static std::string* importError;
    static IfcImportReport* report;
};
std::string* DuplexTest::path = nullptr;
std::string* DuplexTest::importError = nullptr;
IfcImportReport* DuplexTest::report = nullptr;

TEST_F(DuplexTest, CountsPerTypeMatchTheFile) {
    const StepScan scan(ReadFile(*path));
    std::map<API_ElemTypeID, size_t> expected;
    for (const auto& [id, cls] : scan.classOf) {
        auto mapped = kDuplexClasses.find(cls);
        if (mapped == kDuplexClasses.end()) continue;
        // A part of a mapped whole (a stair's flight, the roof's slab) is built with it.
        auto whole = scan.wholeOf.find(id);
        if (whole != scan.wholeOf.end() && kDuplexClasses.count(scan.classOf.at(whole->second)))
            continue;
        ++expected[mapped->second];
    }
    std::map<API_ElemTypeID, size_t> got;
    CurrentProject().ForEachElement([&](const Element& e) { ++got[e.type]; });
    EXPECT_EQ(got, expected);
    EXPECT_EQ(expected[APIElem::Wall], 57u) << "the data's own description";
    EXPECT_EQ(expected[APIElem::Door], 14u);
    EXPECT_EQ(expected[APIElem::Window], 24u);
    EXPECT_EQ(expected[APIElem::Roof], 1u);
}

TEST_F(DuplexTest, GuidsAreTheFilesGlobalIdsAndUnique) {
    std::set<API_Guid> seen;
    size_t triangles = 0;
    CurrentProject().ForEachElement([&](const Element& e) {
        EXPECT_FALSE(e.guid.IsNull());
        EXPECT_TRUE(seen.insert(e.guid).second) << IfcGuid::Text(e.guid);
        triangles += TrianglesOf(e);
    });
    EXPECT_EQ(report->newGuids, 0u);
    EXPECT_EQ(triangles, report->triangles);
    EXPECT_GT(triangles, 10000u);
    // The roof, found by its GlobalId in the file (0jf0rYHfX3RAB3bSIRjmxl).
    API_Guid roof;
    for (int i = 0; i < 16; ++i)
        roof.bytes[i] =
            uint8_t("\x2D\xA4\x0D\x62\x46\x98\x43\x6C\xA2\xC3\x95\xC4\x9B\xB7\x0E\xEF"[i]);
    const Element* e = CurrentProject().Find(roof);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->type, APIElem::Roof);
    EXPECT_GT(TrianglesOf(*e), 0u) << "the roof's slab gives it its body";
}

TEST_F(DuplexTest, EveryStoreyIsALayer) {
    const StepScan scan(ReadFile(*path));
    ASSERT_EQ(scan.storeyNames.size(), 4u);
    for (const std::string& name : scan.storeyNames)
        EXPECT_NE(CurrentProject().FindLayer(name), 0) << name;
    EXPECT_EQ(CurrentProject().Layers().size(), scan.storeyNames.size() + 1);
    std::set<int16_t> used;
    CurrentProject().ForEachElement([&](const Element& e) { used.insert(e.layer); });
    EXPECT_EQ(used.count(1), 0u) << "every element of the duplex stands in a storey";
}

TEST_F(DuplexTest, AStillShowsTheBuildingInTheMiddle) {
    // The default view frames every body whether shown or not, so a picture with every layer
    // hidden is the same view without the building: the pixels that differ are the building.
    Render::Image with, without;
    std::string error;
    ASSERT_TRUE(Render::PictureMaker::Make(Render::PictureKind::Window, nullptr, with, error))
        << error;
    Project& p = CurrentProject();
    std::vector<uint32_t> flags;
    for (int32_t i = 1; i <= static_cast<int32_t>(p.Layers().size()); ++i) {
        flags.push_back(p.LayerAt(i)->flags);
        p.EditLayer(i)->flags |= 1;
    }
    ASSERT_TRUE(Render::PictureMaker::Make(Render::PictureKind::Window, nullptr, without, error));
    for (int32_t i = 1; i <= static_cast<int32_t>(p.Layers().size()); ++i)
        p.EditLayer(i)->flags = flags[static_cast<size_t>(i - 1)];
    ASSERT_EQ(with.Width(), without.Width());
    double sx = 0, sy = 0, n = 0;
    int minX = with.Width(), maxX = -1, minY = with.Height(), maxY = -1;
    for (int y = 0; y < with.Height(); ++y)
        for (int x = 0; x < with.Width(); ++x)
            if (with.At(x, y) != without.At(x, y)) {
                sx += x, sy += y, ++n;
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    const double w = with.Width(), h = with.Height();
    ASSERT_GT(n, 0.1 * w * h) << "the building fills a good part of the picture";
    EXPECT_NEAR(sx / n, w / 2, 0.15 * w);
    EXPECT_NEAR(sy / n, h / 2, 0.15 * h);
    EXPECT_NEAR((minX + maxX) / 2.0, w / 2, 0.1 * w) << "framed left and right alike";
    EXPECT_NEAR((minY + maxY) / 2.0, h / 2, 0.1 * h) << "framed top and bottom alike";
}

TEST_F(DuplexTest, SavedProjectOpensAgainWithTheAddOnsData) {
    Project& p = CurrentProject();
    // The add-on's links, as it keeps them, on a few imported elements.
    std::vector<API_Guid> linked;
    int k = 0;
    p.ForEachElement([&](const Element& e) {
        if (k++ % 40 == 0) linked.push_back(e.guid);
    });
    for (size_t i = 0; i < linked.size(); ++i)
        p.Edit(linked[i])->userData = UserData{3, 0x2A, {uint8_t(i), 0, 0xFF, uint8_t(i * 7)}};
    const std::string file = ::testing::TempDir() + "/pw_ifc_duplex.json";
    std::string error;
    ASSERT_TRUE(ProjectFile::Save(p, file, error)) << error;
    auto again = ProjectFile::Open(file, error);
    ASSERT_NE(again, nullptr) << error;
    EXPECT_EQ(again->ElementCount(), p.ElementCount());
    EXPECT_EQ(again->Layers(), p.Layers());
    EXPECT_EQ(again->Materials(), p.Materials());
    size_t same = 0;
    p.ForEachElement([&](const Element& e) {
        const Element* a = again->Find(e.guid);
        ASSERT_NE(a, nullptr);
        Element back = *a;
        back.stamp = e.stamp;  // a change count of the session, not kept in the file
        same += back == e;
    });
    EXPECT_EQ(same, p.ElementCount()) << "every element, meshes included, comes back as it was";
    for (size_t i = 0; i < linked.size(); ++i) {
        ASSERT_TRUE(again->Find(linked[i])->userData.has_value());
        EXPECT_EQ(again->Find(linked[i])->userData->bytes,
                  (std::vector<uint8_t>{uint8_t(i), 0, 0xFF, uint8_t(i * 7)}));
    }
    EXPECT_EQ(ProjectFile::ToText(*again), ReadFile(file));
    std::remove(file.c_str());
}

}  // namespace
