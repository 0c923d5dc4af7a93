#include "Web/GltfModel.h"

#include <charconv>
#include <cstring>
#include <nlohmann/json.hpp>

#include "Model/ElementTypes.h"
#include "Render/ModelScene.h"
#include "Render/Scene.h"

namespace CadHost::Web {

namespace {

constexpr uint32_t kMagic = 0x46546C67;      // "glTF"
constexpr uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr uint32_t kBinChunk = 0x004E4942;   // "BIN\0"
constexpr int kFloat = 5126;
constexpr int kArrayBuffer = 34962;

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
    // Three runs of floats: positions, then colours, each a bufferView of its own; every mesh's
    // accessors point into them. The JSON is written as text: a large model has hundreds of
    // thousands of nodes, and building them as JSON objects first took most of the time.
    std::vector<uint8_t> positions, colours;
    std::string nodes, meshes, accessors;
    size_t meshCount = 0, accessorCount = 0;
    Render::Scene scratch;
    size_t order = 0;
    project.ForEachElement([&](const Element& e) {
        const Layer* layer = project.LayerAt(e.layer);
        if (order > 0) nodes += ',';
        nodes += "{\"name\":\"" + GuidText(e.guid) + "\",\"extras\":{\"index\":";
        nodes += std::to_string(order++);
        nodes += ",\"id\":" + nlohmann::json(e.id).dump();
        nodes += ",\"type\":" + nlohmann::json(ElementTypes::Of(e.type).name).dump();
        nodes += ",\"layer\":" +
                 nlohmann::json(layer != nullptr ? layer->name : std::string()).dump();
        scratch.Clear();
        std::vector<size_t> partVertices;
        std::vector<Render::Vec2> outline;
        for (const Extrusion& part : e.body) {
            outline.clear();
            for (const Point2& p : part.outline) outline.push_back({p.x, p.y});
            const size_t before = scratch.Size();
            scratch.AddPrism(outline, part.bottom, part.top, 0);
            partVertices.push_back(3 * (scratch.Size() - before));
        }
        for (const TriangleMesh& mesh : e.meshes)
            partVertices.push_back(3 * Render::ModelScene::AddMesh(scratch, mesh, 0));
        nodes += ",\"parts\":[";
        for (size_t k = 0; k < partVertices.size(); ++k)
            nodes += (k > 0 ? "," : "") + std::to_string(partVertices[k]);
        nodes += "]}";
        if (scratch.Size() > 0) {
            const std::vector<uint32_t> partColours = PartColours(project, e);
            const size_t posOffset = positions.size(), colOffset = colours.size();
            float min[3] = {1e30f, 1e30f, 1e30f}, max[3] = {-1e30f, -1e30f, -1e30f};
            size_t part = 0, leftInPart = partVertices.empty() ? 0 : partVertices[0];
            for (const Render::Triangle& t : scratch.Triangles()) {
                for (int c = 0; c < 3; ++c) {
                    // The model's z points up; glTF's y does.
                    const float p[3] = {t.v[3 * c], t.v[3 * c + 2], -t.v[3 * c + 1]};
                    for (int k = 0; k < 3; ++k) {
                        min[k] = std::min(min[k], p[k]);
                        max[k] = std::max(max[k], p[k]);
                    }
                    PutFloats(positions, p, 3);
                    while (leftInPart == 0 && part + 1 < partVertices.size())
                        leftInPart = partVertices[++part];
                    const uint32_t rgb = part < partColours.size() ? partColours[part] : 0x808080;
                    const float colour[3] = {((rgb >> 16) & 0xFF) / 255.0f,
                                             ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f};
                    PutFloats(colours, colour, 3);
                    if (leftInPart > 0) --leftInPart;
                }
            }
            const std::string count = std::to_string(3 * scratch.Size());
            if (accessorCount > 0) accessors += ',';
            accessors += "{\"bufferView\":0,\"byteOffset\":" + std::to_string(posOffset) +
                         ",\"componentType\":" + std::to_string(kFloat) + ",\"count\":" + count +
                         ",\"type\":\"VEC3\",\"min\":" + Floats(min) + ",\"max\":" + Floats(max) +
                         "},{\"bufferView\":1,\"byteOffset\":" + std::to_string(colOffset) +
                         ",\"componentType\":" + std::to_string(kFloat) + ",\"count\":" + count +
                         ",\"type\":\"VEC3\"}";
            if (meshCount > 0) meshes += ',';
            meshes += "{\"primitives\":[{\"attributes\":{\"POSITION\":" +
                      std::to_string(accessorCount) +
                      ",\"COLOR_0\":" + std::to_string(accessorCount + 1) +
                      "},\"material\":0,\"mode\":4}]}";
            nodes += ",\"mesh\":" + std::to_string(meshCount);
            accessorCount += 2;
            ++meshCount;
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
    // A model without bodies has no buffer data; glTF wants no empty buffers.
    if (meshCount > 0) {
        const std::string target = ",\"target\":" + std::to_string(kArrayBuffer) + "}";
        text += ",\"buffers\":[{\"byteLength\":" +
                std::to_string(positions.size() + colours.size()) + "}]";
        text += ",\"bufferViews\":[{\"buffer\":0,\"byteOffset\":0,\"byteLength\":" +
                std::to_string(positions.size()) + target +
                ",{\"buffer\":0,\"byteOffset\":" + std::to_string(positions.size()) +
                ",\"byteLength\":" + std::to_string(colours.size()) + target + "]";
        text += ",\"meshes\":[" + meshes + "],\"accessors\":[" + accessors + "]";
    }
    text += '}';
    while (text.size() % 4 != 0) text += ' ';
    const size_t binSize = positions.size() + colours.size();  // multiples of 4 already
    const bool haveBin = binSize > 0;
    std::string glb;
    glb.reserve(28 + text.size() + binSize);
    PutU32(glb, kMagic);
    PutU32(glb, 2);
    PutU32(glb, static_cast<uint32_t>(12 + 8 + text.size() + (haveBin ? 8 + binSize : 0)));
    PutU32(glb, static_cast<uint32_t>(text.size()));
    PutU32(glb, kJsonChunk);
    glb += text;
    if (haveBin) {
        PutU32(glb, static_cast<uint32_t>(binSize));
        PutU32(glb, kBinChunk);
        glb.append(reinterpret_cast<const char*>(positions.data()), positions.size());
        glb.append(reinterpret_cast<const char*>(colours.data()), colours.size());
    }
    return glb;
}

}  // namespace CadHost::Web
