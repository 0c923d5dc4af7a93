// The model as binary glTF, read back by hand from its bytes: named nodes, and a known box's
// triangles (y up), surface area and colour.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>

#include "Model/Project.h"
#include "Web/GltfModel.h"

namespace CadHost::Web {
namespace {

uint32_t U32(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + size_t(i)]);
    return v;
}

struct Glb {
    nlohmann::json doc;
    std::string bin;
};

Glb Read(const std::string& glb) {
    Glb out;
    EXPECT_EQ(U32(glb, 0), 0x46546C67u);  // "glTF"
    EXPECT_EQ(U32(glb, 4), 2u);
    EXPECT_EQ(U32(glb, 8), glb.size());
    const uint32_t jsonLength = U32(glb, 12);
    EXPECT_EQ(U32(glb, 16), 0x4E4F534Au);
    EXPECT_EQ(jsonLength % 4, 0u);
    out.doc = nlohmann::json::parse(glb.substr(20, jsonLength));
    if (glb.size() > 20 + jsonLength) {
        const size_t at = 20 + jsonLength;
        EXPECT_EQ(U32(glb, at + 4), 0x004E4942u);
        out.bin = glb.substr(at + 8, U32(glb, at));
    }
    return out;
}

std::vector<float> Floats(const Glb& g, const nlohmann::json& accessor) {
    const auto& view = g.doc["bufferViews"][accessor["bufferView"].get<size_t>()];
    const size_t at = view["byteOffset"].get<size_t>() + accessor["byteOffset"].get<size_t>();
    std::vector<float> values(3 * accessor["count"].get<size_t>());
    std::memcpy(values.data(), g.bin.data() + at, 4 * values.size());
    return values;
}

TEST(GltfModelTest, ElementsBecomeNamedNodesAndABoxKeepsItsShapeAndColour) {
    Project project;
    const int32_t layer = project.AddLayer({"Walls", 0, 0});
    Material redPaint;
    redPaint.name = "Red";
    redPaint.surface = {1, 0, 0};
    const int32_t red = project.AddMaterial(redPaint);
    Element wall;
    wall.type = APIElem::Wall;
    wall.id = "W \"1\"";
    wall.layer = static_cast<int16_t>(layer);
    wall.materials[0] = static_cast<int16_t>(red);
    // A box 1 m by 2 m in plan, 3 m high: surface 2 * (1*2 + 1*3 + 2*3) = 22 m².
    wall.body.push_back({{{0, 0}, {1, 0}, {1, 2}, {0, 2}}, 0, 3, 0});
    Element line;
    line.type = APIElem::Line;
    line.id = "L-1";
    const API_Guid wallGuid = project.Add(wall).guid;
    const API_Guid lineGuid = project.Add(line).guid;

    const Glb g = Read(GltfModel::Build(project));
    ASSERT_EQ(g.doc["nodes"].size(), 2u);
    const auto& first = g.doc["nodes"][0];
    EXPECT_EQ(first["name"], GltfModel::GuidText(wallGuid));
    EXPECT_EQ(g.doc["nodes"][1]["name"], GltfModel::GuidText(lineGuid));
    EXPECT_FALSE(g.doc["nodes"][1].contains("mesh"));
    // 6 faces of 2 triangles of 3 corners.
    EXPECT_EQ(first["extras"], nlohmann::json({{"id", "W \"1\""},
                                               {"type", "Wall"},
                                               {"layer", "Walls"},
                                               {"index", 0},
                                               {"parts", {36}}}));
    ASSERT_EQ(g.doc["meshes"].size(), 1u);

    const auto& primitive = g.doc["meshes"][first["mesh"].get<size_t>()]["primitives"][0];
    const auto& positionAccessor =
        g.doc["accessors"][primitive["attributes"]["POSITION"].get<size_t>()];
    const std::vector<float> p = Floats(g, positionAccessor);
    const std::vector<float> c =
        Floats(g, g.doc["accessors"][primitive["attributes"]["COLOR_0"].get<size_t>()]);
    ASSERT_EQ(p.size(), 36u * 3);
    double area = 0;
    for (size_t t = 0; t < p.size(); t += 9) {
        const double ux = p[t + 3] - p[t], uy = p[t + 4] - p[t + 1], uz = p[t + 5] - p[t + 2];
        const double vx = p[t + 6] - p[t], vy = p[t + 7] - p[t + 1], vz = p[t + 8] - p[t + 2];
        const double cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
        area += std::sqrt(cx * cx + cy * cy + cz * cz) / 2;
    }
    EXPECT_NEAR(area, 22.0, 1e-4);
    // Plan x stays x, height becomes y, plan y becomes -z.
    EXPECT_EQ(positionAccessor["min"], nlohmann::json::array({0.0, 0.0, -2.0}));
    EXPECT_EQ(positionAccessor["max"], nlohmann::json::array({1.0, 3.0, 0.0}));
    std::vector<float> allRed;
    for (size_t k = 0; k < 36; ++k) allRed.insert(allRed.end(), {1.0f, 0.0f, 0.0f});
    EXPECT_EQ(c, allRed);

    // Without bodies: a valid file without buffers.
    Project lines;
    lines.Add(line);
    const Glb bare = Read(GltfModel::Build(lines));
    EXPECT_EQ(bare.doc["nodes"].size(), 1u);
    EXPECT_FALSE(bare.doc.contains("buffers"));
}

}  // namespace
}  // namespace CadHost::Web
