// Session commands about the model: projects and their files, the sample building, the selection,
// listing elements and layers, locking, undo and redo, and the current window.
#include <charconv>
#include <cmath>
#include <csignal>
#include <ostream>
#include <span>
#include <sstream>

#include "API/ApiAttributes.h"
#include "API/Selection.h"
#include "Host.h"
#include "Ifc/IfcImport.h"
#include "Model/ElementAccess.h"
#include "Model/ElementTypes.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"
#include "Model/SampleBuilding.h"
#include "ParseInteger.h"
#include "Registry.h"
#include "Shell/Session.h"

namespace CadHost {
namespace {

template <typename T>
bool Parse(const std::string& text, T& value) {
    if constexpr (std::is_integral_v<T>) {
        return ParseInteger(text, value);
    } else {
        const char* end = text.data() + text.size();
        auto [ptr, ec] = std::from_chars(text.data(), end, value);
        return ec == std::errc() && ptr == end;
    }
}

// The open project gives way to another: the add-on hears that the old one closes first.
void Install(std::unique_ptr<Project> project, const std::string& path, bool isNew) {
    Host& host = Host::Get();
    host.RaiseProjectEvent(APINotify::Close, 0);
    ReplaceCurrentProject(std::move(project));
    host.projectPath = path;
    if (isNew) host.RaiseProjectEvent(APINotify::New, 0);
}

bool ProjectCommand(Session& s, const std::vector<std::string>& args, std::string& error) {
    const std::string what = args.empty() ? "" : args[0];
    if ((what == "new" || what == "close") && args.size() == 1) {
        Install(std::make_unique<Project>(), "", what == "new");
        s.Out() << "project " << what << "\n";
        return true;
    }
    if (what == "open" && args.size() == 2) {
        auto project = ProjectFile::Open(args[1], error);
        if (!project) return false;
        const size_t count = project->ElementCount();
        Install(std::move(project), args[1], false);
        s.Out() << "project open " << args[1] << ": " << count << " elements\n";
        return true;
    }
    if (what == "save" && args.size() == 2) {
        if (!ProjectFile::Save(CurrentProject(), args[1], error)) return false;
        Host::Get().projectPath = args[1];
        s.Out() << "project save " << args[1] << ": " << CurrentProject().ElementCount()
                << " elements\n";
        return true;
    }
    if (what == "import" && args.size() == 2) {
        IfcImportReport report;
        auto project = IfcImport::Read(args[1], report, error);
        if (!project) return false;
        Install(std::move(project), "", true);
        for (const std::string& line : report.Lines(args[1])) s.Out() << line << "\n";
        return true;
    }
    error = "usage: project new | open FILE | save FILE | import FILE.ifc | close";
    return false;
}

// Keeps the project's file up to date while the model changes, the way a host that guards against
// its own crashes does: before every Nth change of an element or attribute, the project as it
// stands goes into its file (through the same safe replacement as `project save`). Changes made
// in the middle of an add-on's command are written too, so a crash at any moment leaves a file
// that shows the model between two host calls. Lasts until the project is replaced.
// For crash tests, `crash N` makes the host kill itself (SIGKILL) just before the Nth change.
bool Autosave(Session& s, const std::vector<std::string>& args, std::string& error) {
    Project& project = CurrentProject();
    static int64_t changesSeen = 0;  // by the autosave that runs now
    if (args.size() == 1 && args[0] == "off") {
        project.SetChangeListener(nullptr);
        s.Out() << "autosave: off after " << changesSeen << " changes\n";
        return true;
    }
    int32_t every = 0, crashAt = 0;
    if (!(args.size() == 1 ||
          (args.size() == 3 && args[1] == "crash" && Parse(args[2], crashAt) && crashAt >= 1)) ||
        !Parse(args[0], every) || every < 1) {
        error =
            "usage: autosave EVERY [crash N] | autosave off (EVERY: changes from one save to "
            "the next; N: the change before which the host kills itself)";
        return false;
    }
    const std::string path = Host::Get().projectPath;
    if (path.empty()) {
        error = "the project has no file yet: save it first";
        return false;
    }
    changesSeen = 0;
    std::ostream& out = s.Out();
    project.SetChangeListener(
        [&project, &out, path, every, crashAt, count = int32_t{0}, reported = false]() mutable {
            ++changesSeen;
            if (++count >= every) {
                count = 0;
                std::string problem;
                if (!ProjectFile::Save(project, path, problem) && !reported) {
                    out << "autosave: " << problem << "\n";
                    reported = true;
                }
            }
            if (changesSeen == crashAt) {
                out << std::flush;
                ::raise(SIGKILL);
            }
        });
    s.Out() << "autosave: " << path << " before every " << every << ". change\n";
    return true;
}

bool Sample(Session& s, const std::vector<std::string>& args, std::string& error) {
    int storeys = 2, bays = 3;
    if (!(args.empty() || (args.size() == 2 && Parse(args[0], storeys) && Parse(args[1], bays))) ||
        storeys < 1 || storeys > SampleBuilding::kMaxStoreys || bays < 1 ||
        bays > SampleBuilding::kMaxBays) {
        error = "usage: sample [STOREYS BAYS], 1 to " +
                std::to_string(SampleBuilding::kMaxStoreys) + " storeys and 1 to " +
                std::to_string(SampleBuilding::kMaxBays) + " bays";
        return false;
    }
    auto project = SampleBuilding::Make(storeys, bays);
    const size_t count = project->ElementCount();
    Install(std::move(project), "", false);
    s.Out() << "sample: " << storeys << " storeys, " << bays << " bays, " << count << " elements\n";
    return true;
}

// Every element with one of the IDs, in the order of the IDs; false naming the first unknown ID.
// Whether the ID matches the pattern, where each '*' stands for any run of characters.
bool MatchesPattern(const std::string& text, const std::string& pattern) {
    size_t t = 0, p = 0, star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// The elements named by IDs or by ID patterns with '*'. A pattern passes over the elements a
// person could not select (on a hidden or locked layer); a plain ID that names none fails.
bool ElementsById(const std::vector<std::string>& ids, std::vector<const Element*>& found,
                  std::string& error) {
    const Project& project = CurrentProject();
    for (const std::string& id : ids) {
        const size_t before = found.size();
        const bool pattern = id.find('*') != std::string::npos;
        project.ForEachElement([&](const Element& e) {
            if (pattern ? MatchesPattern(e.id, id) && ElementAccess::Selectable(project, e)
                        : e.id == id)
                found.push_back(&e);
        });
        if (found.size() == before) {
            error = pattern ? "no element that can be selected matches '" + id + "'"
                            : "no element has the ID '" + id + "'";
            return false;
        }
    }
    return true;
}

// The elements of the layer with that name; the layer must be shown and unlocked.
bool ElementsOnLayer(const std::string& name, std::vector<const Element*>& found,
                     std::string& error) {
    const Project& project = CurrentProject();
    const std::vector<Layer>& layers = project.Layers();
    for (size_t i = 0; i < layers.size(); ++i) {
        if (layers[i].name != name) continue;
        if (layers[i].Hidden() || layers[i].Locked()) {
            error = "layer '" + name + "' is hidden or locked: its elements cannot be selected";
            return false;
        }
        project.ForEachElement([&](const Element& e) {
            if (e.layer == static_cast<int16_t>(i + 1)) found.push_back(&e);
        });
        return true;
    }
    error = "no layer is named '" + name + "'";
    return false;
}

// The elements the words of `command` name: `layer NAME`, or IDs and ID patterns.
bool ElementsNamedBy(const char* command, const std::vector<std::string>& args,
                     std::vector<const Element*>& found, std::string& error) {
    if (args[0] != "layer") return ElementsById(args, found, error);
    if (args.size() != 2) {
        error = std::string("usage: ") + command + " layer NAME";
        return false;
    }
    return ElementsOnLayer(args[1], found, error);
}

bool Select(Session& s, const std::vector<std::string>& args, std::string& error) {
    Project& project = CurrentProject();
    if (args.size() == 1 && args[0] == "none") {
        project.ClearSelection();
        s.Out() << "selection: none\n";
        return true;
    }
    if (args.size() == 1 && args[0] == "unlinked") {
        // The add-on alone can read its links: this is the palette's "select unlinked elements"
        // button, under the name a person looks for.
        if (!s.RunLine("palette click 5", error)) return false;
        s.Out() << "selection: " << project.Selection().size() << " elements\n";
        return true;
    }
    if (!args.empty() && args[0] == "marquee") {
        Marquee m;
        std::vector<double> v;
        for (size_t i = 1; i < args.size(); ++i) {
            double d = 0;
            if (!Parse(args[i], d) || !std::isfinite(d)) {
                error = "a marquee corner is a number: '" + args[i] + "'";
                return false;
            }
            v.push_back(d);
        }
        if (v.size() == 4) {
            m.kind = APISel::MarqueeHorBox;
            m.polygon = {{v[0], v[1]}, {v[2], v[1]}, {v[2], v[3]}, {v[0], v[3]}};
        } else if (v.size() >= 6 && v.size() % 2 == 0) {
            m.kind = APISel::MarqueePoly;
            for (size_t i = 0; i < v.size(); i += 2) m.polygon.push_back({v[i], v[i + 1]});
        } else {
            error = "usage: select marquee X1 Y1 X2 Y2 | select marquee X1 Y1 X2 Y2 X3 Y3 ...";
            return false;
        }
        const size_t inside = project.ElementsInMarquee(m).size();
        project.SetMarquee(std::move(m));
        s.Out() << "selection: marquee with " << inside << " elements\n";
        return true;
    }
    if (args.empty()) {
        error = "usage: select ID ... | select none | select marquee ...";
        return false;
    }
    std::vector<const Element*> found;
    if (!ElementsNamedBy("select", args, found, error)) return false;
    for (const Element* e : found) {
        if (!ElementAccess::Selectable(project, *e)) {
            error = "'" + e->id + "' cannot be selected: its layer is hidden or locked";
            return false;
        }
    }
    project.ClearSelection();
    for (const Element* e : found) project.Select(e->guid);
    s.Out() << "selection: " << project.Selection().size() << " elements\n";
    return true;
}

template <typename T>
std::string List(std::span<const T> values) {
    if (values.empty()) return "-";
    std::ostringstream out;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out << ',';
        out << static_cast<int>(values[i]);
    }
    return out.str();
}

void PrintElement(std::ostream& out, const Project& project, const Element& e) {
    const Layer* layer = project.LayerAt(e.layer);
    out << ElementTypes::Of(e.type).name << " " << (e.id.empty() ? "(no ID)" : e.id) << "  layer "
        << e.layer << " (" << (layer ? layer->name : "?") << ")  "
        << (e.locked ? "locked" : "unlocked") << "  pens " << List(e.Pens()) << "  materials "
        << List(e.Materials()) << "  switches " << List(e.Switches()) << "  data ";
    if (e.userData)
        out << "v" << e.userData->version << " " << e.userData->bytes.size() << " bytes";
    else
        out << "none";
    out << "\n";
}

// One indented line per property, "name = value", under the element's line.
void PrintProperties(std::ostream& out, const Element& e) {
    if (e.properties.empty()) out << "  (no properties)\n";
    for (const auto& [name, value] : e.properties) out << "  " << name << " = " << value << "\n";
}

bool Elements(Session& s, const std::vector<std::string>& words, std::string& error) {
    const Project& project = CurrentProject();
    std::vector<std::string> args = words;
    const bool properties = !args.empty() && args.back() == "--properties";
    if (properties) args.pop_back();
    auto print = [&](const Element& e) {
        PrintElement(s.Out(), project, e);
        if (properties) PrintProperties(s.Out(), e);
    };
    if (args.empty()) {
        s.Out() << project.ElementCount() << " elements\n";
        project.ForEachElement(print);
        return true;
    }
    std::vector<const Element*> found;
    if (!ElementsNamedBy("elements", args, found, error)) return false;
    for (const Element* e : found) print(*e);
    return true;
}

bool Layers(Session& s, const std::vector<std::string>&, std::string&) {
    const Project& project = CurrentProject();
    for (size_t i = 0; i < project.Layers().size(); ++i) {
        const Layer& l = project.Layers()[i];
        s.Out() << (i + 1) << "  " << l.name << (l.Hidden() ? "  hidden" : "")
                << (l.Locked() ? "  locked" : "") << "\n";
    }
    return true;
}

bool LayerCommand(Session& s, const std::vector<std::string>& args, std::string& error) {
    Project& project = CurrentProject();
    int32_t index = 0;
    if (args.size() == 2 && !Parse(args[0], index)) index = project.FindLayer(args[0]);
    const std::string& what = args.size() == 2 ? args[1] : "";
    const uint32_t bit = what == "show" || what == "hide"     ? APILayerFlag::Hidden
                         : what == "lock" || what == "unlock" ? APILayerFlag::Locked
                                                              : 0;
    if (bit == 0 || project.LayerAt(index) == nullptr) {
        error = "usage: layer INDEX|NAME show|hide|lock|unlock (of a layer that exists)";
        return false;
    }
    Layer* layer = project.EditLayer(index);
    if (what == "hide" || what == "lock")
        layer->flags |= bit;
    else
        layer->flags &= ~bit;
    s.Out() << "layer " << index << " (" << layer->name << "): " << what << "\n";
    return true;
}

bool LockCommand(Session& s, const std::vector<std::string>& args, std::string& error, bool lock) {
    std::vector<const Element*> found;
    if (args.empty()) {
        error = lock ? "usage: lock ID ..." : "usage: unlock ID ...";
        return false;
    }
    if (!ElementsById(args, found, error)) return false;
    Project& project = CurrentProject();
    for (const Element* e : found) project.Edit(e->type, e->index)->locked = lock;
    s.Out() << (lock ? "locked " : "unlocked ") << found.size() << " elements\n";
    return true;
}

bool UndoRedo(Session& s, const std::vector<std::string>& args, std::string& error, bool undo) {
    if (!args.empty()) {
        error = undo ? "usage: undo" : "usage: redo";
        return false;
    }
    std::string title;
    Project& project = CurrentProject();
    if (!(undo ? project.Undo(title) : project.Redo(title))) {
        error = project.History().IsOpen() ? "an undo step is still open"
                : undo                     ? "there is nothing to undo"
                                           : "there is nothing to redo";
        return false;
    }
    s.Out() << (undo ? "undo: " : "redo: ") << title << "\n";
    return true;
}

bool ModelStampCommand(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (args.size() != 1 || (args[0] != "on" && args[0] != "off")) {
        error = "usage: modelstamp on|off";
        return false;
    }
    Host::Get().offersModelStamp = args[0] == "on";
    s.Out() << "modelstamp " << args[0] << "\n";
    return true;
}

bool Window(Session& s, const std::vector<std::string>& args, std::string& error) {
    static const std::pair<const char*, int32_t> kinds[] = {
        {"floorplan", APIWind::FloorPlan}, {"3d", APIWind::Model3D},
        {"section", APIWind::Section},     {"detail", APIWind::Detail},
        {"elevation", APIWind::Elevation}, {"interior", APIWind::InteriorElevation},
        {"worksheet", APIWind::Worksheet}, {"layout", APIWind::Layout}};
    HostState& state = CurrentProject().State();
    if (args.empty()) {
        s.Out() << "window: " << state.CurrentWindow().title << "; database "
                << state.CurrentDatabase().title << "\n";
        return true;
    }
    for (const auto& [name, kind] : kinds) {
        if (args.size() == 1 && args[0] == name) {
            state.ChangeWindow(kind, 0);
            s.Out() << "window: " << state.CurrentWindow().title << "\n";
            return true;
        }
    }
    error = "usage: window [floorplan|3d|section|detail|elevation|interior|worksheet|layout]";
    return false;
}

Registrar modelCommands([](Registry& r) {
    r.AddCommand("project", {"project new | open FILE | save FILE | import FILE.ifc | close",
                             "starts, opens, saves, imports (IFC) or closes the host's project",
                             ProjectCommand});
    r.AddCommand("autosave",
                 {"autosave EVERY [crash N] | autosave off",
                  "writes the project into its file before every EVERYth change of "
                  "the model, also in the middle of a command (crash N: the host kills itself "
                  "before the Nth change)",
                  Autosave});
    r.AddCommand("sample",
                 {"sample [STOREYS BAYS]",
                  "opens the sample building (2 storeys, 3 bays without arguments)", Sample});
    r.AddCommand("select", {"select ID|PATTERN ... | select layer NAME | select none | "
                            "select unlinked | select marquee X1 Y1 X2 Y2 [X3 Y3 ...]",
                            "selects elements by ID ('*' matches any run of characters), all of a "
                            "layer, nothing, those linked to no task (the palette's button 5), "
                            "or a marquee (metres)",
                            Select});
    r.AddCommand("elements", {"elements [ID ...] [--properties]",
                              "lists elements: type, ID, layer, lock, pens, materials, switches, "
                              "user data (and their properties, one 'name = value' a line)",
                              Elements});
    r.AddCommand("layers", {"layers", "lists the layers with their flags", Layers});
    r.AddCommand("layer", {"layer INDEX|NAME show|hide|lock|unlock",
                           "shows, hides, locks or unlocks a layer", LayerCommand});
    r.AddCommand("lock", {"lock ID ...", "locks elements",
                          [](Session& s, const std::vector<std::string>& a, std::string& e) {
                              return LockCommand(s, a, e, true);
                          }});
    r.AddCommand("unlock", {"unlock ID ...", "unlocks elements",
                            [](Session& s, const std::vector<std::string>& a, std::string& e) {
                                return LockCommand(s, a, e, false);
                            }});
    r.AddCommand("modelstamp", {"modelstamp on|off",
                                "whether add-ons are told the model's change stamp (off: as a "
                                "host that keeps none)",
                                ModelStampCommand});
    r.AddCommand("undo", {"undo", "undoes the last undo step",
                          [](Session& s, const std::vector<std::string>& a, std::string& e) {
                              return UndoRedo(s, a, e, true);
                          }});
    r.AddCommand("redo", {"redo", "redoes the last undone step",
                          [](Session& s, const std::vector<std::string>& a, std::string& e) {
                              return UndoRedo(s, a, e, false);
                          }});
    r.AddCommand("window", {"window [floorplan|3d|section|...]",
                            "shows or changes the current window", Window});
});

}  // namespace
}  // namespace CadHost
