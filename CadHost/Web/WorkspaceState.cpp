#include "Web/WorkspaceState.h"

#include <cstdio>
#include <sstream>

#include "Model/ElementTypes.h"
#include "RS.h"
#include "Render/ModelScene.h"
#include "Shell/Session.h"
#include "TI.h"
#include "Web/GltfModel.h"

namespace CadHost::Web {

namespace {

// The add-on's lists of its task types' display names and their materials' names.
constexpr int16_t kTaskTypeNames = 32512;
constexpr int16_t kTaskTypeMaterials = 32511;

std::vector<std::string> Split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, by)) parts.push_back(part);
    return parts;
}

// Runs a read command of the session and gives its lines; the tap's own keep is left as it was.
bool ReadLines(Session& session, OutputTap& tap, const std::string& line,
               std::vector<std::string>& lines) {
    std::string before = tap.Take();
    std::string error;
    const bool ok = session.RunLine(line, error);
    session.Out().flush();
    lines = Split(tap.Take(), '\n');
    session.Out() << before;
    return ok;
}

bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

}  // namespace

std::string WorkspaceState::IsoDate(const std::string& text) {
    // Where year, month and day stand in the host's short date text, from a date whose three
    // numbers differ.
    static const std::vector<int> order = [] {
        KXTimeRecord r{};
        r.year = 2033;
        r.month = 11;
        r.day = 22;
        KXTime probe = 0;
        char shown[TITimeStringSize] = {};
        if (TIGetKXTime(&r, &probe, TIConvertPlain) != TIErr::NoError ||
            TIGetTimeString(probe, shown, TIShortDate) != TIErr::NoError)
            return std::vector<int>{1, 2, 3};
        const std::string s = shown;
        std::vector<std::pair<size_t, int>> at = {
            {s.find("2033"), 1}, {s.find("11"), 2}, {s.find("22"), 3}};
        std::sort(at.begin(), at.end());
        return std::vector<int>{at[0].second, at[1].second, at[2].second};
    }();
    std::vector<long> numbers;
    std::string digits;
    for (char c : text + " ") {
        if (c >= '0' && c <= '9') {
            digits += c;
        } else if (!digits.empty()) {
            numbers.push_back(std::strtol(digits.c_str(), nullptr, 10));
            digits.clear();
        }
    }
    if (numbers.size() != 3) return {};
    long y = 0, m = 0, d = 0;
    for (size_t i = 0; i < 3; ++i) (order[i] == 1 ? y : order[i] == 2 ? m : d) = numbers[i];
    if (y < 1000 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return {};
    char iso[16];
    std::snprintf(iso, sizeof iso, "%04ld-%02ld-%02ld", y, m, d);
    return iso;
}

std::string WorkspaceState::ModelKey() const {
    return std::to_string(identity_) + "-" + std::to_string(elementCount_);
}

void WorkspaceState::FollowModel() {
    const Project& project = CurrentProject();
    const bool newModel =
        identity_ != project.Identity() || elementCount_ != project.ElementCount();
    // Looks change only with the project's elements or attributes, which move its generation on.
    if (!newModel && generation_ == project.Generation()) return;
    generation_ = project.Generation();
    ++version_;
    if (newModel) {
        identity_ = project.Identity();
        elementCount_ = project.ElementCount();
        looks_.assign(project.ElementCount(), Look{});
        order_.clear();
    }
    size_t i = 0;
    project.ForEachElement([&](const Element& e) {
        if (newModel) order_[e.guid] = i;
        Look now;
        now.colours = GltfModel::PartColours(project, e);
        now.shown = !now.colours.empty() && !project.LayerHidden(e.layer);
        Look& was = looks_[i++];
        if (newModel || !(now == was)) {
            now.changedAt = version_;
            was = std::move(now);
        }
    });
}

std::shared_ptr<const std::string> WorkspaceState::ModelGlb() {
    FollowModel();
    if (!glb_ || glbKey_ != ModelKey()) {
        glb_ = std::make_shared<const std::string>(GltfModel::Build(CurrentProject()));
        glbKey_ = ModelKey();
    }
    return glb_;
}

nlohmann::json WorkspaceState::Palette(Session& session, OutputTap& tap) {
    using nlohmann::json;
    std::vector<std::string> lines;
    if (!ReadLines(session, tap, "palette", lines)) return nullptr;
    json palette = {
        {"buttons", json::array()}, {"headers", json::array()}, {"rows", json::array()}};
    for (const std::string& line : lines) {
        if (StartsWith(line, "palette: ")) palette["title"] = line.substr(9);
        if (StartsWith(line, "visible: ")) palette["visible"] = line.substr(9) == "yes";
        if (StartsWith(line, "date: ")) palette["date"] = IsoDate(line.substr(6));
        const bool button = StartsWith(line, "button "), header = StartsWith(line, "header ");
        const size_t colon = line.find(": ");
        if ((button || header) && colon != std::string::npos) {
            std::string text = line.substr(colon + 2);
            const bool disabled = text.size() > 11 && text.ends_with(" (disabled)");
            if (disabled) text.resize(text.size() - 11);
            palette[button ? "buttons" : "headers"].push_back(
                {{"item", std::atoi(line.c_str() + 7)}, {"text", text}, {"enabled", !disabled}});
        }
    }
    if (!ReadLines(session, tap, "palette list", lines)) return nullptr;
    for (const std::string& line : lines) {
        const std::vector<std::string> f = Split(line, '\t');
        if (f.size() < 7) continue;
        const std::string states = f.size() > 7 ? f[7] : "";
        palette["rows"].push_back({{"row", std::atoi(f[0].c_str())},
                                   {"id", std::atol(f[1].c_str())},
                                   {"name", f[2]},
                                   {"type", f[3]},
                                   {"done", f[4]},
                                   {"start", f[5]},
                                   {"end", f[6]},
                                   {"startIso", IsoDate(f[5])},
                                   {"endIso", IsoDate(f[6])},
                                   {"selected", states.find("selected") != std::string::npos},
                                   {"marked", states.find("marked") != std::string::npos},
                                   {"editing", states.find("editing") != std::string::npos}});
    }
    // The colour of each task type: the material the add-on paints its elements with, once the
    // add-on has made it.
    json types = json::array();
    const Project& project = CurrentProject();
    for (int16_t i = 1; i <= 16; ++i) {
        char name[256] = {}, material[256] = {};
        if (!RSGetIndString(name, kTaskTypeNames, i, session.AddOn().Resources()) || !*name) break;
        RSGetIndString(material, kTaskTypeMaterials, i, session.AddOn().Resources());
        const int32_t index = *material ? project.FindMaterial(material) : 0;
        json type = {{"name", name}};
        if (index > 0)
            type["colour"] = Render::ModelScene::MaterialColour(project, index) & 0xFFFFFF;
        types.push_back(std::move(type));
    }
    palette["types"] = std::move(types);
    return palette;
}

nlohmann::json WorkspaceState::Collect(Session& session, OutputTap& tap, uint64_t since,
                                       const std::string& model) {
    using nlohmann::json;
    FollowModel();
    const Project& project = CurrentProject();
    const bool whole = since == 0 || model != ModelKey();
    json looks = json::array();
    for (size_t i = 0; i < looks_.size(); ++i) {
        const Look& look = looks_[i];
        if (look.colours.empty() || (!whole && look.changedAt <= since)) continue;
        looks.push_back({{"i", i}, {"v", look.shown ? 1 : 0}, {"c", look.colours}});
    }
    json layers = json::array();
    for (const Layer& l : project.Layers())
        layers.push_back({{"name", l.name}, {"hidden", l.Hidden()}, {"locked", l.Locked()}});
    json selection = json::array();
    for (const API_Guid& g : project.Selection()) {
        const auto it = order_.find(g);
        if (it != order_.end()) selection.push_back(it->second);
    }
    return {{"version", version_},
            {"model", ModelKey()},
            {"whole", whole},
            {"looks", std::move(looks)},
            {"layers", std::move(layers)},
            {"selection", selection},
            {"elements", project.ElementCount()},
            {"palette", Palette(session, tap)}};
}

}  // namespace CadHost::Web
