// The project file: user data survives byte for byte, a hand-written file reads as written, and a
// foreign or damaged file is refused with a message while the open project stays as it was.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include "AddOnLoader.h"
#include "Model/ProjectFile.h"
#include "Model/SampleBuilding.h"
#include "ModelTestSupport.h"
#include "Shell/Session.h"

namespace ModelTest {
namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "/pw_model_" + name; }

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

using ProjectFileTest = ModelFixture;

TEST_F(ProjectFileTest, UserDataSurvivesByteForByte) {
    std::string every(256, '\0');
    for (int i = 0; i < 256; ++i) every[size_t(i)] = char(i);
    const std::vector<std::string> blocks = {
        every, "", "f", "fo", "foo", std::string(88, '\xFF'), std::string("\0\0\x01", 3)};
    std::vector<API_Guid> guids;
    for (size_t i = 0; i < blocks.size(); ++i) {
        guids.push_back(Add(APIElem::Wall, "W-" + std::to_string(i)).guid);
        ASSERT_EQ(SetData(guids.back(), blocks[i], int32_t(100 + i), uint16_t(0x4D4D + i)), 0);
    }
    const API_Guid bare = Add(APIElem::Wall, "W-bare").guid;
    const std::string path = TempPath("userdata.json");
    std::string error;
    ASSERT_TRUE(ProjectFile::Save(CurrentProject(), path, error)) << error;
    auto reopened = ProjectFile::Open(path, error);
    ASSERT_TRUE(reopened) << error;
    ReplaceCurrentProject(std::move(reopened));
    for (size_t i = 0; i < blocks.size(); ++i) {
        API_ElementUserData u{};
        EXPECT_EQ(GetData(guids[i], &u), blocks[i]) << i;
        EXPECT_EQ(u.dataVersion, int32_t(100 + i));
        EXPECT_EQ(u.platformSign, uint16_t(0x4D4D + i));
    }
    EXPECT_EQ(GetData(bare), kNoData);
    std::remove(path.c_str());
    // The bytes are stored as base64 with its padding: "f", "fo" and "foo" of the blocks above.
    const std::string text = ProjectFile::ToText(CurrentProject());
    for (const char* coded : {"\"Zg==\"", "\"Zm8=\"", "\"Zm9v\""})
        EXPECT_NE(text.find(coded), std::string::npos) << coded;
}

TEST_F(ProjectFileTest, AHandWrittenFileReadsAsWritten) {
    std::string error;
    auto p = ProjectFile::Open(
        std::string(PW_TEST_DATA_DIR) + "/../CadHost/Model/hand-written.json", error);
    ASSERT_TRUE(p) << error;
    ReplaceCurrentProject(std::move(p));
    API_Guid guid{};
    for (int i = 0; i < 16; ++i) guid.bytes[i] = uint8_t(i * 0x11);
    const API_Element o = Get(guid);
    const API_ObjectType& ob = o.object;
    EXPECT_EQ(std::string(o.header.elemId), "OB-7");
    EXPECT_EQ(std::tuple(o.header.typeID, o.header.layer, o.header.lockId, o.header.userId, ob.pen,
                         ob.mat, bool(ob.useObjPens), bool(ob.useObjMaterials), ob.libInd),
              std::tuple(6, 2, 1, 5, 2, 1, false, true, 9));
    EXPECT_EQ(std::pair(ob.bottomZ, ob.topZ), std::pair(-1.0, 2.5));
    EXPECT_EQ(GetData(guid), std::string("\x00\x01\x02\xFF", 4));

    const API_Attribute paint = Attribute(APIAttr::Material, 1);
    EXPECT_EQ(std::string(paint.header.name), "Paint");
    EXPECT_EQ(std::tuple(paint.material.transpPc, paint.material.shine,
                         paint.material.surfaceRGB.f_green),
              std::tuple(30, 2500, 0.9));
    EXPECT_EQ(Attribute(APIAttr::Layer, 2).header.flags, 3u);
    const API_CameraType cam = ByIndex(APIElem::Camera, 1).camera;
    EXPECT_EQ(std::tuple(cam.camSetIndex, cam.stays, cam.persp.target.z), std::tuple(1, 3, 6.0));
    const API_CamSetType path = ByIndex(APIElem::CameraPath, 1).camset;
    EXPECT_EQ(std::tuple(std::string(path.name), bool(path.openEnded), path.inFrames),
              std::tuple(std::string("Tour"), true, 4));
}

struct BadFile {
    const char* name;
    std::string text;
    const char* message;  // a part of the message
};

// one-wall.json (the least a project file holds: a layer, a pen, a material and a wall) with
// `from` made `to`.
std::string OneWall(const std::string& from = "", const std::string& to = "") {
    std::ifstream in(std::string(PW_TEST_DATA_DIR) + "/../CadHost/Model/one-wall.json");
    std::string text{std::istreambuf_iterator<char>(in), {}};
    if (!from.empty()) text.replace(text.find(from), from.size(), to);
    return text;
}
const std::string kWall =
    R"({"type": 1, "guid": "00000000-0000-0000-0000-00000000000A", "layer": 1, )"
    R"("pens": [1, 1], "materials": [1, 1, 1], "switches": [1, 1, 1]})";

class BadProjectFileTest : public ModelFixture, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadProjectFileTest, IsRefusedWithAMessageAndTheOpenProjectStays) {
    const BadFile& c = GetParam();
    ReplaceCurrentProject(SampleBuilding::Make(1, 1));
    const Project* before = &CurrentProject();
    const size_t count = before->ElementCount();
    const std::string path = TempPath(std::string("bad_") + c.name + ".json");
    WriteFile(path, c.text);
    Host::Get().projectPath = "/somewhere/else.json";

    AddOnLoader loader;
    std::istringstream in;
    std::ostringstream out;
    Session session(loader, in, out, false);
    std::string error;
    EXPECT_FALSE(session.RunLine("project open " + path, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
    EXPECT_NE(error.find(path), std::string::npos) << "the message names the file";
    EXPECT_EQ(&CurrentProject(), before);
    EXPECT_EQ(CurrentProject().ElementCount(), count);
    EXPECT_EQ(Host::Get().projectPath, "/somewhere/else.json");
    std::remove(path.c_str());
    Host::Get().projectPath.clear();
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadProjectFileTest,
    ::testing::Values(
        BadFile{"empty", "", "not a CadHost project file"},
        BadFile{"newer", R"({"format": "CadHost project", "version": 2})", "version 2"},
        BadFile{"truncated", OneWall().substr(0, 300), "not a CadHost project file"},
        BadFile{"no_layers", R"({"format": "CadHost project", "version": 1})",
                "\"layers\" is missing"},
        BadFile{"layer_out_of_range", OneWall("\"layer\": 1", "\"layer\": 2"), "layer is 2"},
        BadFile{"pen_missing", OneWall("[1, 1]", "[1, 2]"), "pens is 2"},
        BadFile{"bad_guid", OneWall("00000000-0000", "0000000G-0000"), "not a GUID"},
        BadFile{"twice", OneWall(kWall, kWall + ", " + kWall), "used twice"},
        BadFile{"bad_base64", OneWall("\"layer\": 1", R"("layer": 1, "userData": {"version": 103,
                        "platform": 22359, "bytes": "AB=C"})"),
                "not base64"},
        BadFile{"mesh_corner_past_its_vertices",
                OneWall("\"layer\": 1", R"("layer": 1, "meshes": [{"vertices":
                        [0, 0, 0, 1, 0, 0, 0, 1, 0], "triangles": [0, 1, 3]}])"),
                "triangles is 3, outside 0..2"},
        BadFile{"mesh_on_a_line",
                OneWall(kWall, R"({"type": 19, "guid": "00000000-0000-0000-0000-00000000000B",
                                   "layer": 1, "pens": [1, 1], "meshes": []})"),
                "this type has no body"},
        BadFile{"camera_without_camera",
                OneWall(kWall, R"({"type": 26, "guid": "00000000-0000-0000-0000-00000000000B",
                                   "layer": 1})"),
                "\"camera\" is missing"},
        BadFile{"string_for_number", OneWall("\"layer\": 1", "\"layer\": \"1\""),
                "not a whole number"}),
    [](const auto& info) { return std::string(info.param.name); });

// Triangle bodies, as imported models bring them: read as written, and their heights reach the
// element record.
TEST_F(ProjectFileTest, AMeshReadsAsWritten) {
    std::string error;
    auto p = ProjectFile::FromText(
        OneWall("\"layer\": 1", R"("layer": 1, "meshes": [{"vertices": [0, 0, -0.5,
            2, 0, -0.5, 0, 3, 4.25, 2, 3, 4.25], "triangles": [0, 1, 2, 2, 1, 3],
            "material": 2}])"),
        error);
    ASSERT_TRUE(p) << error;
    const Element& wall = p->ElementsOfType(APIElem::Wall).front();
    const TriangleMesh written{
        {{0, 0, -0.5}, {2, 0, -0.5}, {0, 3, 4.25}, {2, 3, 4.25}}, {0, 1, 2, 2, 1, 3}, 2};
    EXPECT_EQ(wall.meshes, std::vector<TriangleMesh>{written});
    EXPECT_EQ(std::pair(wall.Bottom(), wall.Top()), std::pair(-0.5, 4.25));
    auto again = ProjectFile::FromText(ProjectFile::ToText(*p), error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->ElementsOfType(APIElem::Wall).front(), wall);
}

}  // namespace
}  // namespace ModelTest
