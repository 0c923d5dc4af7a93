#include "Web/GltfModel.h"

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
    using nlohmann::json;
    // Three runs of floats: positions, then colours, each a bufferView of its own; every mesh's
    // accessors point into them.
    std::vector<uint8_t> positions, colours;
    json nodes = json::array(), meshes = json::array(), accessors = json::array();
    Render::Scene scratch;
    size_t order = 0;
    project.ForEachElement([&](const Element& e) {
        const Layer* layer = project.LayerAt(e.layer);
        json node = {{"name", GuidText(e.guid)},
                     {"extras",
                      {{"index", order++},
                       {"id", e.id},
                       {"type", ElementTypes::Of(e.type).name},
                       {"layer", layer != nullptr ? layer->name : std::string()}}}};
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
        node["extras"]["parts"] = partVertices;
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
            const size_t count = 3 * scratch.Size();
            const size_t first = accessors.size();
            accessors.push_back({{"bufferView", 0},
                                 {"byteOffset", posOffset},
                                 {"componentType", kFloat},
                                 {"count", count},
                                 {"type", "VEC3"},
                                 {"min", {min[0], min[1], min[2]}},
                                 {"max", {max[0], max[1], max[2]}}});
            accessors.push_back({{"bufferView", 1},
                                 {"byteOffset", colOffset},
                                 {"componentType", kFloat},
                                 {"count", count},
                                 {"type", "VEC3"}});
            node["mesh"] = meshes.size();
            meshes.push_back({{"primitives",
                               {{{"attributes", {{"POSITION", first}, {"COLOR_0", first + 1}}},
                                 {"material", 0},
                                 {"mode", 4}}}}});
        }
        nodes.push_back(std::move(node));
    });

    std::vector<size_t> roots(nodes.size());
    for (size_t i = 0; i < roots.size(); ++i) roots[i] = i;
    json doc = {
        {"asset", {{"version", "2.0"}, {"generator", "cadhost"}}},
        {"scene", 0},
        {"scenes", {{{"nodes", roots}}}},
        {"nodes", std::move(nodes)},
        {"materials",
         {{{"pbrMetallicRoughness",
            {{"baseColorFactor", {1, 1, 1, 1}}, {"metallicFactor", 0}, {"roughnessFactor", 1}}},
           {"doubleSided", true}}}},
        {"buffers", {{{"byteLength", positions.size() + colours.size()}}}},
        {"bufferViews",
         {{{"buffer", 0},
           {"byteOffset", 0},
           {"byteLength", positions.size()},
           {"target", kArrayBuffer}},
          {{"buffer", 0},
           {"byteOffset", positions.size()},
           {"byteLength", colours.size()},
           {"target", kArrayBuffer}}}},
    };
    if (!meshes.empty()) {
        doc["meshes"] = std::move(meshes);
        doc["accessors"] = std::move(accessors);
    } else {
        // A model without bodies has no buffer data; glTF wants no empty buffers.
        doc.erase("buffers");
        doc.erase("bufferViews");
    }
    std::string text = doc.dump();
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
