#include "Ifc/IfcImport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <tuple>

#include "Ifc/IfcFileCheck.h"
#include "Ifc/IfcGuid.h"
#include "Ifc/IfcReader.h"
#include "Model/ElementTypes.h"

namespace CadHost {
namespace {

// At most this many elements are named in the line of those without triangles.
constexpr size_t kNamedUntriangulated = 10;

std::string Lower(const std::string& s) {
    std::string l = s;
    for (char& c : l)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return l;
}

// Cut to at most `bytes` bytes without splitting a UTF-8 character.
std::string CutUtf8(const std::string& text, size_t bytes) {
    if (text.size() <= bytes) return text;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// A name not yet in `taken` (compared without case): `name`, else "name 2", "name 3", ...
std::string UniqueName(const std::string& name, std::set<std::string>& taken) {
    std::string candidate = name;
    for (int n = 2; taken.count(Lower(candidate)) != 0; ++n)
        candidate = name + " " + std::to_string(n);
    taken.insert(Lower(candidate));
    return candidate;
}

// The standard material an element of a type gets when the file gives it no colour.
const char* DefaultMaterial(API_ElemTypeID type) {
    switch (type) {
        case APIElem::Wall:
            return "Plaster";
        case APIElem::Column:
        case APIElem::Slab:
            return "Concrete";
        case APIElem::Beam:
            return "Steel";
        case APIElem::Window:
        case APIElem::CurtainWall:
            return "Glass";
        case APIElem::Door:
            return "Timber";
        case APIElem::Roof:
            return "Roof Tiles";
        case APIElem::Lamp:
            return "Aluminium";
        default:
            return "General";
    }
}

std::string Hex(const Rgb& c) {
    char s[8];
    auto byte = [](double v) {
        return static_cast<unsigned>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    std::snprintf(s, sizeof s, "%02X%02X%02X", byte(c.r), byte(c.g), byte(c.b));
    return s;
}

class ProjectBuilder {
public:
    ProjectBuilder(const ImportedModel& model, IfcImportReport& report)
        : model_(model), report_(report), project_(std::make_unique<Project>()) {}

    std::unique_ptr<Project> Build() {
        MakeLayers();
        materials_ = project_->Materials();
        for (const Material& m : materials_) materialNames_.insert(Lower(m.name));
        std::vector<Element> elements;
        elements.reserve(model_.elements.size());
        for (const ImportedElement& imported : model_.elements)
            elements.push_back(MakeElement(imported));
        project_->ReplaceAttributes(layers_, project_->Pens(), materials_);
        std::array<size_t, APIElem::Last + 1> perType{};
        for (const Element& e : elements) ++perType[static_cast<size_t>(e.type)];
        for (API_ElemTypeID t = APIElem::First; t <= APIElem::Last; ++t)
            project_->Reserve(t, perType[static_cast<size_t>(t)]);
        for (Element& e : elements) {
            const API_Guid wanted = e.guid;
            const Element& added = project_->Add(std::move(e));
            if (!(added.guid == wanted) || wanted.IsNull()) ++report_.newGuids;
            ++report_.perType[static_cast<size_t>(added.type)];
        }
        report_.schema = model_.schema;
        report_.entities = model_.entities;
        report_.elements = project_->ElementCount();
        report_.storeys = model_.storeys.size();
        report_.skipped = model_.skipped;
        project_->plan = model_.plan;
        project_->plan.ResolveParts(*project_);
        report_.planLines = project_->plan.Lines(*project_);
        return std::move(project_);
    }

private:
    // One layer per storey, bottom up, after the project's own "General" (which takes the
    // elements that stand in no storey).
    void MakeLayers() {
        layers_ = project_->Layers();
        std::set<std::string> taken;
        for (const Layer& l : layers_) taken.insert(Lower(l.name));
        // The storey nearest the project zero is the ground floor (0); the others count from it.
        size_t ground = 0;
        for (size_t i = 1; i < model_.storeys.size(); ++i)
            if (std::fabs(model_.storeys[i].elevation) <
                std::fabs(model_.storeys[ground].elevation))
                ground = i;
        for (size_t i = 0; i < model_.storeys.size(); ++i) {
            const std::string& name = model_.storeys[i].name;
            layers_.push_back(Layer{
                UniqueName(name.empty() ? "Storey " + std::to_string(i + 1) : name, taken), 0, 0});
            storeyLayer_.push_back(static_cast<int16_t>(layers_.size()));
            storeyFloor_.push_back(
                static_cast<int16_t>(static_cast<long>(i) - static_cast<long>(ground)));
        }
    }

    int16_t MaterialFor(const ImportedPiece& piece, API_ElemTypeID type) {
        if (!piece.styled) {
            const std::string wanted = Lower(DefaultMaterial(type));
            for (size_t i = 0; i < materials_.size(); ++i)
                if (Lower(materials_[i].name) == wanted) return static_cast<int16_t>(i + 1);
            return 1;
        }
        const int transparency = static_cast<int>(std::lround(piece.transparency * 100));
        const auto key = std::make_tuple(piece.styleName, Hex(piece.colour), transparency);
        if (auto it = styleMaterial_.find(key); it != styleMaterial_.end()) return it->second;
        Material m;
        m.name = UniqueName(piece.styleName.empty() ? "IFC " + Hex(piece.colour) : piece.styleName,
                            materialNames_);
        m.kind = 0;
        m.transparency = static_cast<int16_t>(transparency);
        m.surface = piece.colour;
        materials_.push_back(m);
        const auto index = static_cast<int16_t>(materials_.size());
        styleMaterial_.emplace(key, index);
        return index;
    }

    Element MakeElement(const ImportedElement& imported) {
        Element e;
        e.type = imported.hostType;
        if (!IfcGuid::Decode(imported.globalId, e.guid)) e.guid = API_Guid{};
        e.id = CutUtf8(imported.name.empty() ? imported.tag : imported.name, Element::kMaxIdBytes);
        if (imported.storey >= 0 && static_cast<size_t>(imported.storey) < storeyLayer_.size()) {
            e.layer = storeyLayer_[static_cast<size_t>(imported.storey)];
            e.storey = storeyFloor_[static_cast<size_t>(imported.storey)];
        }
        e.properties = imported.properties;
        if (imported.storey >= 0 && static_cast<size_t>(imported.storey) < model_.storeys.size())
            e.properties.emplace_back("Storey", model_.storeys[size_t(imported.storey)].name);
        for (int i = 0; i < e.PenCount(); ++i) e.pens[static_cast<size_t>(i)] = 1;
        for (int i = 0; i < e.SwitchCount(); ++i) e.switches[static_cast<size_t>(i)] = 1;

        // The element's materials, most triangles first, take its material slots; a material
        // beyond the type's slots paints with the first.
        std::vector<std::pair<int16_t, size_t>> used;  // material, triangles
        std::vector<int16_t> pieceMaterial;
        for (const ImportedPiece& piece : imported.pieces) {
            const int16_t m = MaterialFor(piece, e.type);
            pieceMaterial.push_back(m);
            auto it = std::find_if(used.begin(), used.end(), [&](auto& u) { return u.first == m; });
            if (it == used.end()) it = used.insert(used.end(), {m, 0});
            it->second += piece.corners.size() / 3;
        }
        if (used.empty()) used.push_back({MaterialFor(ImportedPiece{}, e.type), 0});
        std::stable_sort(used.begin(), used.end(),
                         [](auto& a, auto& b) { return a.second > b.second; });
        const int slots = std::max(1, e.MaterialCount());
        for (int i = 0; i < e.MaterialCount(); ++i)
            e.materials[static_cast<size_t>(i)] =
                used[static_cast<size_t>(i) < used.size() ? static_cast<size_t>(i) : 0].first;

        e.meshes.resize(static_cast<size_t>(std::min<int>(slots, static_cast<int>(used.size()))));
        for (size_t s = 0; s < e.meshes.size(); ++s) e.meshes[s].materialSlot = static_cast<int>(s);
        for (size_t p = 0; p < imported.pieces.size(); ++p) {
            const ImportedPiece& piece = imported.pieces[p];
            size_t slot = 0;
            for (size_t s = 0; s < e.meshes.size(); ++s)
                if (used[s].first == pieceMaterial[p]) slot = s;
            TriangleMesh& mesh = e.meshes[slot];
            const auto offset = static_cast<uint32_t>(mesh.vertices.size());
            mesh.vertices.insert(mesh.vertices.end(), piece.vertices.begin(), piece.vertices.end());
            for (uint32_t c : piece.corners) mesh.corners.push_back(offset + c);
            report_.triangles += piece.corners.size() / 3;
        }
        std::erase_if(e.meshes, [](const TriangleMesh& m) { return m.corners.empty(); });
        if (imported.untriangulated)
            report_.untriangulated.push_back(imported.ifcClass + " '" + e.id + "' " +
                                             imported.globalId);
        return e;
    }

    const ImportedModel& model_;
    IfcImportReport& report_;
    std::unique_ptr<Project> project_;
    std::vector<Layer> layers_;
    std::vector<int16_t> storeyLayer_, storeyFloor_;
    std::vector<Material> materials_;
    std::set<std::string> materialNames_;
    std::map<std::tuple<std::string, std::string, int>, int16_t> styleMaterial_;
};

}  // namespace

std::vector<std::string> IfcImportReport::Lines(const std::string& path) const {
    std::vector<std::string> lines;
    char seconds_text[32];
    std::snprintf(seconds_text, sizeof seconds_text, "%.2f", seconds);
    lines.push_back("project import " + path + ": " + std::to_string(elements) + " elements, " +
                    std::to_string(triangles) + " triangles, " + std::to_string(storeys) +
                    " storeys (" + schema + ", " + std::to_string(entities) + " entities) in " +
                    seconds_text + " s");
    std::string types = "imported";
    for (API_ElemTypeID t = APIElem::First; t <= APIElem::Last; ++t)
        if (perType[static_cast<size_t>(t)] != 0)
            types += std::string(types == "imported" ? ": " : ", ") +
                     std::to_string(perType[static_cast<size_t>(t)]) + " " +
                     ElementTypes::Of(t).name;
    lines.push_back(types);
    for (const auto& [ifcClass, count] : skipped)
        lines.push_back("skipped " + std::to_string(count) + " " + ifcClass +
                        " (no host element type)");
    if (!untriangulated.empty()) {
        std::string line = "without body " + std::to_string(untriangulated.size()) +
                           " elements (their geometry could not be triangulated):";
        for (size_t i = 0; i < untriangulated.size() && i < kNamedUntriangulated; ++i)
            line += (i == 0 ? " " : ", ") + untriangulated[i];
        if (untriangulated.size() > kNamedUntriangulated)
            line +=
                " and " + std::to_string(untriangulated.size() - kNamedUntriangulated) + " more";
        lines.push_back(line);
    }
    if (newGuids != 0)
        lines.push_back("new GUID for " + std::to_string(newGuids) +
                        " elements (their GlobalId was not valid or used twice)");
    lines.insert(lines.end(), planLines.begin(), planLines.end());
    return lines;
}

std::unique_ptr<Project> IfcImport::Build(const ImportedModel& model, IfcImportReport& report) {
    return ProjectBuilder(model, report).Build();
}

std::unique_ptr<Project> IfcImport::Read(const std::string& path, IfcImportReport& report,
                                         std::string& error) {
    const auto start = std::chrono::steady_clock::now();
    report = IfcImportReport{};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot read the file";
        return nullptr;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = path + ": cannot read the file";
        return nullptr;
    }
    ImportedModel model;
    if (!IfcFileCheck::Check(bytes, model.schema, error) ||
        !IfcReader::Read(std::move(bytes), model, error)) {
        error = path + ": " + error;
        return nullptr;
    }
    auto project = Build(model, report);
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return project;
}

}  // namespace CadHost
