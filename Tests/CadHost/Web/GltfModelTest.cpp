// The model as binary glTF, read back by hand from its bytes: named nodes, and known boxes'
// triangles where their nodes place them (y up), surface areas, colours and shared meshes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

// An accessor's bytes in the binary chunk.
const char* Data(const Glb& g, const nlohmann::json& accessor) {
    const auto& view = g.doc["bufferViews"][accessor["bufferView"].get<size_t>()];
    return g.bin.data() + view.value("byteOffset", size_t{0}) +
           accessor.value("byteOffset", size_t{0});
}

// The triangle corners of a node's mesh where the node puts them (its translation added), and
// the colour of each corner (RGBA bytes), read through its indices.
struct Corners {
    std::vector<std::array<double, 3>> at;
    std::vector<std::array<int, 4>> colour;
};

Corners Read(const Glb& g, const nlohmann::json& node) {
    const auto& primitive = g.doc["meshes"][node["mesh"].get<size_t>()]["primitives"][0];
    const auto& position = g.doc["accessors"][primitive["attributes"]["POSITION"].get<size_t>()];
    const auto& colour = g.doc["accessors"][primitive["attributes"]["COLOR_0"].get<size_t>()];
    const auto& indices = g.doc["accessors"][primitive["indices"].get<size_t>()];
    const int indexSize = indices["componentType"] == 5123 ? 2 : 4;
    EXPECT_EQ(indices["componentType"], indexSize == 2 ? 5123 : 5125);
    const nlohmann::json move = node.value("translation", nlohmann::json::array({0, 0, 0}));
    Corners out;
    for (size_t k = 0; k < indices["count"].get<size_t>(); ++k) {
        uint32_t i = 0;
        std::memcpy(&i, Data(g, indices) + indexSize * k, size_t(indexSize));
        EXPECT_LT(i, position["count"].get<uint32_t>());
        float p[3];
        std::memcpy(p, Data(g, position) + 12 * size_t{i}, 12);
        out.at.push_back({p[0] + move[0].get<double>(), p[1] + move[1].get<double>(),
                          p[2] + move[2].get<double>()});
        const auto* c = reinterpret_cast<const uint8_t*>(Data(g, colour)) + 4 * size_t{i};
        out.colour.push_back({c[0], c[1], c[2], c[3]});
    }
    return out;
}

double Area(const Corners& c) {
    double area = 0;
    for (size_t t = 0; t + 2 < c.at.size(); t += 3) {
        const auto &a = c.at[t], &b = c.at[t + 1], &d = c.at[t + 2];
        const double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
        const double vx = d[0] - a[0], vy = d[1] - a[1], vz = d[2] - a[2];
        const double cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
        area += std::sqrt(cx * cx + cy * cy + cz * cz) / 2;
    }
    return area;
}

TEST(GltfModelTest, ElementsBecomeNamedNodesAndBoxesKeepTheirPlaceShapeAndColour) {
    Project project;
    const int32_t layer = project.AddLayer({"Walls", 0, 0});
    Material paint;
    paint.name = "Red";
    paint.surface = {1, 0, 0};
    const int32_t red = project.AddMaterial(paint);
    paint.name = "Blue";
    paint.surface = {0, 0, 1};
    const int32_t blue = project.AddMaterial(paint);
    // Boxes in plan (x, y, width, depth), their height and material. The first two are alike
    // but for their place; the third has the first's shape in another colour.
    struct Box {
        double x, y, w, d, h;
        int32_t material;
        std::array<int, 4> rgba;
    };
    const Box boxes[] = {
        {0, 0, 1, 2, 3, red, {255, 0, 0, 255}},
        {10, -4, 1, 2, 3, red, {255, 0, 0, 255}},
        {5, 5, 1, 2, 3, blue, {0, 0, 255, 255}},
        {-2.5, 1, 4, 0.5, 1, blue, {0, 0, 255, 255}},
    };
    std::vector<API_Guid> guids;
    for (size_t k = 0; k < std::size(boxes); ++k) {
        const Box& b = boxes[k];
        Element wall;
        wall.type = APIElem::Wall;
        wall.id = "W \"" + std::to_string(k) + "\"";
        wall.layer = static_cast<int16_t>(layer);
        wall.materials[0] = static_cast<int16_t>(b.material);
        wall.body.push_back(
            {{{b.x, b.y}, {b.x + b.w, b.y}, {b.x + b.w, b.y + b.d}, {b.x, b.y + b.d}}, 0, b.h, 0});
        guids.push_back(project.Add(wall).guid);
    }
    Element line;
    line.type = APIElem::Line;
    line.id = "L-1";
    const API_Guid lineGuid = project.Add(line).guid;

    const Glb g = Read(GltfModel::Build(project));
    ASSERT_EQ(g.doc["nodes"].size(), std::size(boxes) + 1);
    EXPECT_EQ(g.doc["scenes"][0]["nodes"].size(), std::size(boxes) + 1);
    for (size_t k = 0; k < std::size(boxes); ++k) {
        SCOPED_TRACE(k);
        const Box& b = boxes[k];
        const auto& node = g.doc["nodes"][k];
        EXPECT_EQ(node["name"], GltfModel::GuidText(guids[k]));
        // 6 faces of 2 triangles of 3 corners.
        EXPECT_EQ(node["extras"], nlohmann::json({{"id", "W \"" + std::to_string(k) + "\""},
                                                  {"type", "Wall"},
                                                  {"layer", "Walls"},
                                                  {"index", k},
                                                  {"parts", {36}}}));
        const Corners c = Read(g, node);
        ASSERT_EQ(c.at.size(), 36u);
        EXPECT_NEAR(Area(c), 2 * (b.w * b.d + b.w * b.h + b.d * b.h), 1e-4);
        // Plan x stays x, height becomes y, plan y becomes -z.
        std::array<double, 3> min = c.at[0], max = c.at[0];
        for (const auto& p : c.at)
            for (int i = 0; i < 3; ++i)
                min[i] = std::min(min[i], p[i]), max[i] = std::max(max[i], p[i]);
        const std::array<double, 3> wantMin = {b.x, 0, -(b.y + b.d)},
                                    wantMax = {b.x + b.w, b.h, -b.y};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(min[i], wantMin[i], 1e-5);
            EXPECT_NEAR(max[i], wantMax[i], 1e-5);
        }
        for (const auto& rgba : c.colour) EXPECT_EQ(rgba, b.rgba);
    }
    // Alike shapes of one colour share a mesh; another shape or colour has its own.
    const auto mesh = [&](size_t k) { return g.doc["nodes"][k]["mesh"].get<size_t>(); };
    EXPECT_EQ(mesh(0), mesh(1));
    EXPECT_NE(mesh(0), mesh(2));
    EXPECT_NE(mesh(2), mesh(3));
    EXPECT_EQ(g.doc["meshes"].size(), 3u);
    EXPECT_EQ(g.doc["nodes"][4]["name"], GltfModel::GuidText(lineGuid));
    EXPECT_FALSE(g.doc["nodes"][4].contains("mesh"));

    // Without bodies: a valid file without buffers.
    Project lines;
    lines.Add(line);
    const Glb bare = Read(GltfModel::Build(lines));
    EXPECT_EQ(bare.doc["nodes"].size(), 1u);
    EXPECT_FALSE(bare.doc.contains("buffers"));
}

}  // namespace
}  // namespace CadHost::Web
