#include "Web/GltfModel.h"

#include <array>
#include <charconv>
#include <cstring>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "Model/ElementTypes.h"
#include "Render/ModelScene.h"
#include "Render/Scene.h"

namespace CadHost::Web {

namespace {

constexpr uint32_t kMagic = 0x46546C67;      // "glTF"
constexpr uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr uint32_t kBinChunk = 0x004E4942;   // "BIN\0"
constexpr int kUnsignedByte = 5121;
constexpr int kUnsignedShort = 5123;
constexpr int kUnsignedInt = 5125;
constexpr int kFloat = 5126;
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Appends floats in the file's little-endian order.
void PutFloats(std::vector<uint8_t>& out, const float* values, size_t count) {
    static_assert(sizeof(float) == 4);
    const size_t at = out.size();
    out.resize(at + 4 * count);
    std::memcpy(out.data() + at, values, 4 * count);
}

// Appends an unsigned number of that many bytes, little-endian.
void PutLittle(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Corners are the same when their coordinates are the same bits.
struct CornerHash {
    size_t operator()(const std::array<float, 3>& p) const {
        uint32_t bits[3];
        for (int k = 0; k < 3; ++k) {
            const float v = p[k] == 0 ? 0.0f : p[k];  // -0 and 0 are the same corner
            std::memcpy(&bits[k], &v, 4);
        }
        return std::hash<uint64_t>()((uint64_t{bits[0]} << 32 | bits[1]) ^
                                     (uint64_t{bits[2]} * 0x9E3779B97F4A7C15ull));
    }
};

// Three floats as a JSON array, each in the fewest digits that read back as the same float.
std::string Floats(const float (&v)[3]) {
    std::string text = "[";
    for (int k = 0; k < 3; ++k) {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, v[k]).ptr;
        std::string number(digits, end);
        if (number.find_first_of(".en") == std::string::npos) number += ".0";
        text += (k > 0 ? "," : "") + number;
    }
    return text + "]";
}

}  // namespace

std::string GltfModel::GuidText(const API_Guid& guid) {
    static const char* const kHex = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += kHex[guid.bytes[i] >> 4];
        text += kHex[guid.bytes[i] & 15];
    }
    return text;
}

std::vector<uint32_t> GltfModel::PartColours(const Project& project, const Element& e) {
    std::vector<uint32_t> colours;
    for (const Extrusion& part : e.body)
        colours.push_back(Render::ModelScene::MaterialColour(project, e.MaterialOf(part)) &
                          0xFFFFFF);
    for (const TriangleMesh& mesh : e.meshes)
        colours.push_back(Render::ModelScene::MaterialColour(project, e.MaterialOf(mesh)) &
                          0xFFFFFF);
    return colours;
}

std::string GltfModel::Build(const Project& project) {
    // Per element, its corners once per body part (a part keeps its own corners, so each corner
    // has the part's colour) and its triangles as indices into them: small indices (16 bits) for
    // an element of fewer than 65536 corners, else 32 bits. Four runs in the binary chunk, each a
    // bufferView: positions (floats), colours (bytes, RGBA), 16-bit and 32-bit indices; every
    // mesh's accessors point into them. The JSON is written as text: a large model has hundreds
    // of thousands of nodes, and building them as JSON objects first took most of the time.
    std::vector<uint8_t> positions, colours, indices16, indices32;
    std::string nodes;
    struct Body {  // where an element's mesh lies in the runs
        size_t positions, colours, indices, vertices, corners;
        bool small;
        float min[3], max[3];
    };
    std::vector<Body> bodies;
    Render::Scene scratch;
    size_t order = 0;
    std::unordered_map<std::array<float, 3>, uint32_t, CornerHash> cornerOf;
    std::vector<uint32_t> corners;  // the element's triangles as indices of its corners
    std::vector<float> elementPositions;
    std::vector<uint32_t> elementColours;
    std::unordered_map<std::string, size_t> meshOf;  // a shape's bytes -> its mesh
    project.ForEachElement([&](const Element& e) {
        const Layer* layer = project.LayerAt(e.layer);
        if (order > 0) nodes += ',';
        nodes += "{\"name\":\"" + GuidText(e.guid) + "\",\"extras\":{\"index\":";
        nodes += std::to_string(order++);
        nodes += ",\"id\":" + nlohmann::json(e.id).dump();
        nodes += ",\"type\":" + nlohmann::json(ElementTypes::Of(e.type).name).dump();
        nodes +=
            ",\"layer\":" + nlohmann::json(layer != nullptr ? layer->name : std::string()).dump();
        scratch.Clear();
        std::vector<size_t> partCorners;  // three a triangle
        std::vector<Render::Vec2> outline;
        for (const Extrusion& part : e.body) {
            outline.clear();
            for (const Point2& p : part.outline) outline.push_back({p.x, p.y});
            const size_t before = scratch.Size();
            scratch.AddPrism(outline, part.bottom, part.top, 0);
            partCorners.push_back(3 * (scratch.Size() - before));
        }
        for (const TriangleMesh& mesh : e.meshes)
            partCorners.push_back(3 * Render::ModelScene::AddMesh(scratch, mesh, 0));
        nodes += ",\"parts\":[";
        for (size_t k = 0; k < partCorners.size(); ++k)
            nodes += (k > 0 ? "," : "") + std::to_string(partCorners[k]);
        nodes += "]}";
        if (scratch.Size() > 0) {
            const std::vector<uint32_t> partColours = PartColours(project, e);
            corners.clear();
            elementPositions.clear();
            elementColours.clear();
            float min[3] = {1e30f, 1e30f, 1e30f}, max[3] = {-1e30f, -1e30f, -1e30f};
            size_t part = 0, leftInPart = partCorners.empty() ? 0 : partCorners[0];
            cornerOf.clear();
            for (const Render::Triangle& t : scratch.Triangles()) {
                for (int c = 0; c < 3; ++c) {
                    while (leftInPart == 0 && part + 1 < partCorners.size()) {
                        leftInPart = partCorners[++part];
                        cornerOf.clear();  // the next part has corners of its own
                    }
                    if (leftInPart > 0) --leftInPart;
                    // The model's z points up; glTF's y does.
                    const std::array<float, 3> p = {t.v[3 * c], t.v[3 * c + 2], -t.v[3 * c + 1]};
                    const auto [at, added] =
                        cornerOf.try_emplace(p, static_cast<uint32_t>(elementPositions.size() / 3));
                    corners.push_back(at->second);
                    if (!added) continue;
                    for (int k = 0; k < 3; ++k) {
                        min[k] = std::min(min[k], p[k]);
                        max[k] = std::max(max[k], p[k]);
                        elementPositions.push_back(p[k]);
                    }
                    elementColours.push_back(part < partColours.size() ? partColours[part]
                                                                       : 0x808080);
                }
            }
            // The shape is kept relative to its lowest corner, which becomes the node's
            // translation: elements of the same shape and colours (a building repeats its
            // columns, beams and windows) share one mesh.
            const size_t vertexCount = elementColours.size();
            float shapeMax[3] = {0, 0, 0};
            for (size_t v = 0; v < vertexCount; ++v)
                for (int k = 0; k < 3; ++k) {
                    float& x = elementPositions[3 * v + size_t(k)];
                    x -= min[k];
                    shapeMax[k] = std::max(shapeMax[k], x);
                }
            std::string shape(reinterpret_cast<const char*>(elementPositions.data()),
                              4 * elementPositions.size());
            shape.append(reinterpret_cast<const char*>(elementColours.data()), 4 * vertexCount);
            shape.append(reinterpret_cast<const char*>(corners.data()), 4 * corners.size());
            const auto [known, isNew] = meshOf.try_emplace(std::move(shape), bodies.size());
            if (isNew) {
                const size_t posOffset = positions.size(), colOffset = colours.size();
                PutFloats(positions, elementPositions.data(), elementPositions.size());
                for (const uint32_t rgb : elementColours) {
                    colours.push_back(static_cast<uint8_t>(rgb >> 16));
                    colours.push_back(static_cast<uint8_t>(rgb >> 8));
                    colours.push_back(static_cast<uint8_t>(rgb));
                    colours.push_back(255);
                }
                const bool small = vertexCount <= 0xFFFF;
                std::vector<uint8_t>& indices = small ? indices16 : indices32;
                const size_t indexOffset = indices.size();
                for (const uint32_t corner : corners) PutLittle(indices, corner, small ? 2 : 4);
                bodies.push_back({posOffset,
                                  colOffset,
                                  indexOffset,
                                  vertexCount,
                                  corners.size(),
                                  small,
                                  {0, 0, 0},
                                  {shapeMax[0], shapeMax[1], shapeMax[2]}});
            }
            if (min[0] != 0 || min[1] != 0 || min[2] != 0)
                nodes += ",\"translation\":" + Floats(min);
            nodes += ",\"mesh\":" + std::to_string(known->second);
        }
        nodes += '}';
    });

    std::string text = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"cadhost\"},\"scene\":0,";
    text += "\"scenes\":[{\"nodes\":[";
    for (size_t i = 0; i < order; ++i) {
        if (i > 0) text += ',';
        text += std::to_string(i);
    }
    text += "]}],\"nodes\":[" + nodes + "],";
    text +=
        "\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,1,1,1],"
        "\"metallicFactor\":0,\"roughnessFactor\":1},\"doubleSided\":true}]";
    // The binary chunk: the runs that have data, each padded to four bytes, each a bufferView;
    // a model without bodies has no buffer at all (glTF wants no empty buffers).
    std::string bin;
    if (!bodies.empty()) {
        std::string views;
        int viewCount = 0, view16 = -1, view32 = -1;
        auto addView = [&](std::vector<uint8_t>& run, int target) {
            if (run.empty()) return -1;
            while (run.size() % 4 != 0) run.push_back(0);
            views += std::string(viewCount > 0 ? "," : "") +
                     "{\"buffer\":0,\"byteOffset\":" + std::to_string(bin.size()) +
                     ",\"byteLength\":" + std::to_string(run.size()) +
                     ",\"target\":" + std::to_string(target) + "}";
            bin.append(reinterpret_cast<const char*>(run.data()), run.size());
            return viewCount++;
        };
        addView(positions, kArrayBuffer);
        addView(colours, kArrayBuffer);
        view16 = addView(indices16, kElementArrayBuffer);
        view32 = addView(indices32, kElementArrayBuffer);
        std::string meshes, accessors;
        for (size_t m = 0; m < bodies.size(); ++m) {
            const Body& b = bodies[m];
            const std::string count = std::to_string(b.vertices);
            if (m > 0) meshes += ',', accessors += ',';
            accessors +=
                "{\"bufferView\":0,\"byteOffset\":" + std::to_string(b.positions) +
                ",\"componentType\":" + std::to_string(kFloat) + ",\"count\":" + count +
                ",\"type\":\"VEC3\",\"min\":" + Floats(b.min) + ",\"max\":" + Floats(b.max) +
                "},{\"bufferView\":1,\"byteOffset\":" + std::to_string(b.colours) +
                ",\"componentType\":" + std::to_string(kUnsignedByte) +
                ",\"normalized\":true,\"count\":" + count +
                ",\"type\":\"VEC4\"},{\"bufferView\":" + std::to_string(b.small ? view16 : view32) +
                ",\"byteOffset\":" + std::to_string(b.indices) +
                ",\"componentType\":" + std::to_string(b.small ? kUnsignedShort : kUnsignedInt) +
                ",\"count\":" + std::to_string(b.corners) + ",\"type\":\"SCALAR\"}";
            meshes += "{\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(3 * m) +
                      ",\"COLOR_0\":" + std::to_string(3 * m + 1) +
                      "},\"indices\":" + std::to_string(3 * m + 2) + ",\"material\":0}]}";
        }
        text += ",\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}]";
        text += ",\"bufferViews\":[" + views + "]";
        text += ",\"meshes\":[" + meshes + "],\"accessors\":[" + accessors + "]";
    }
    text += '}';
    while (text.size() % 4 != 0) text += ' ';
    std::string glb;
    glb.reserve(28 + text.size() + bin.size());
    PutU32(glb, kMagic);
    PutU32(glb, 2);
    PutU32(glb, static_cast<uint32_t>(12 + 8 + text.size() + (bin.empty() ? 0 : 8 + bin.size())));
    PutU32(glb, static_cast<uint32_t>(text.size()));
    PutU32(glb, kJsonChunk);
    glb += text;
    if (!bin.empty()) {
        PutU32(glb, static_cast<uint32_t>(bin.size()));
        PutU32(glb, kBinChunk);
        glb += bin;
    }
    return glb;
}

}  // namespace CadHost::Web
