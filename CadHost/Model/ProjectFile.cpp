#include "Model/ProjectFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string_view>

#include "IO/ReplacementFile.h"
#include "Ifc/IsoTime.h"
#include "Model/ElementTypes.h"
#include "Model/Project.h"

namespace CadHost {
namespace {

using nlohmann::json;
using OJson = nlohmann::ordered_json;

// ---- Small codings -------------------------------------------------------------------------

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = (uint32_t(bytes[i]) << 16) |
                           (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? uint32_t(bytes[i + 2]) : 0);
        out += kBase64[(n >> 18) & 63];
        out += kBase64[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
    }
    return out;
}

bool FromBase64(const std::string& text, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (text.size() % 4 != 0) return false;
    auto value = [](char c) -> int {
        const char* p = c != '\0' ? std::strchr(kBase64, c) : nullptr;
        return p != nullptr ? static_cast<int>(p - kBase64) : -1;
    };
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int pad = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        if (pad == 1 && text[i + 2] == '=') return false;  // "x=y=" is no padding
        int v[4];
        for (int k = 0; k < 4 - pad; ++k)
            if ((v[k] = value(text[i + size_t(k)])) < 0) return false;
        for (int k = 4 - pad; k < 4; ++k) v[k] = 0;
        const uint32_t n = (uint32_t(v[0]) << 18) | (uint32_t(v[1]) << 12) | (uint32_t(v[2]) << 6) |
                           uint32_t(v[3]);
        bytes.push_back(uint8_t(n >> 16));
        if (pad < 2) bytes.push_back(uint8_t(n >> 8));
        if (pad < 1) bytes.push_back(uint8_t(n));
    }
    return true;
}

// GUIDs as "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", the bytes in order.
std::string GuidText(const API_Guid& g) {
    char s[37];
    int p = 0;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) s[p++] = '-';
        std::snprintf(s + p, 3, "%02X", g.bytes[i]);
        p += 2;
    }
    return std::string(s, 36);
}

bool GuidFromText(const std::string& s, API_Guid& g) {
    if (s.size() != 36) return false;
    int b = 0;
    for (size_t i = 0; i < s.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (s[i++] != '-') return false;
            continue;
        }
        unsigned v = 0;
        for (int k = 0; k < 2; ++k, ++i) {
            const char c = s[i];
            const int d = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : -1;
            if (d < 0) return false;
            v = v * 16 + unsigned(d);
        }
        g.bytes[b++] = static_cast<uint8_t>(v);
    }
    return true;
}

// ---- Writing -------------------------------------------------------------------------------

OJson Colour(const Rgb& c) { return OJson::array({c.r, c.g, c.b}); }

OJson Points(const std::vector<Point2>& points) {
    OJson a = OJson::array();
    for (const Point2& p : points) {
        a.push_back(p.x);
        a.push_back(p.y);
    }
    return a;
}

OJson ElementJson(const Element& e) {
    OJson j;
    j["type"] = e.type;
    j["guid"] = GuidText(e.guid);
    if (!e.id.empty()) j["id"] = e.id;
    if (e.variation != 0) j["variation"] = e.variation;
    j["layer"] = e.layer;
    if (e.locked) j["locked"] = true;
    if (e.owner != 0) j["owner"] = e.owner;
    if (e.storey != 0) j["storey"] = e.storey;
    if (e.PenCount() > 0) j["pens"] = OJson(std::vector<int16_t>(e.Pens().begin(), e.Pens().end()));
    if (e.MaterialCount() > 0)
        j["materials"] = OJson(std::vector<int16_t>(e.Materials().begin(), e.Materials().end()));
    if (e.SwitchCount() > 0)
        j["switches"] = OJson(std::vector<int>(e.Switches().begin(), e.Switches().end()));
    if (e.libInd != 0) j["libInd"] = e.libInd;
    if (e.angle != 0) j["angle"] = e.angle;
    if (!e.text.empty()) j["text"] = e.text;
    if (!e.body.empty()) {
        OJson body = OJson::array();
        for (const Extrusion& x : e.body) {
            OJson xj{{"outline", Points(x.outline)}, {"bottom", x.bottom}, {"top", x.top}};
            if (x.materialSlot != 0) xj["material"] = x.materialSlot;
            body.push_back(std::move(xj));
        }
        j["body"] = std::move(body);
    }
    if (!e.meshes.empty()) {
        OJson meshes = OJson::array();
        for (const TriangleMesh& m : e.meshes) {
            OJson vertices = OJson::array();
            for (const Point3& p : m.vertices) {
                vertices.push_back(p.x);
                vertices.push_back(p.y);
                vertices.push_back(p.z);
            }
            OJson mj{{"vertices", std::move(vertices)}, {"triangles", m.corners}};
            if (m.materialSlot != 0) mj["material"] = m.materialSlot;
            meshes.push_back(std::move(mj));
        }
        j["meshes"] = std::move(meshes);
    }
    if (!e.plan.empty()) j["plan"] = Points(e.plan);
    if (e.userData)
        j["userData"] = {{"version", e.userData->version},
                         {"platform", e.userData->platformSign},
                         {"bytes", Base64(e.userData->bytes)}};
    if (e.camera) {
        const CameraData& c = *e.camera;
        j["camera"] = {{"path", c.path},
                       {"eye", OJson::array({c.eye.x, c.eye.y, c.eye.z})},
                       {"target", OJson::array({c.target.x, c.target.y, c.target.z})},
                       {"viewCone", c.viewCone},
                       {"roll", c.roll},
                       {"stays", c.stays},
                       {"prev", c.prev},
                       {"next", c.next}};
    }
    if (e.path) {
        const PathData& p = *e.path;
        j["path"] = {{"name", p.name},           {"status", p.status},
                     {"openEnded", p.openEnded}, {"inFrames", p.inFrames},
                     {"active", p.active},       {"firstCamera", p.firstCamera}};
    }
    return j;
}

// The work schedules the model came with: one line per schedule, its tasks in order.
OJson ScheduleJson(const PlanSchedule& s) {
    OJson tasks = OJson::array();
    for (const PlanTask& t : s.tasks) {
        OJson tj{{"globalId", t.globalId}, {"name", t.name}};
        if (!t.description.empty()) tj["description"] = t.description;
        if (!t.predefinedType.empty()) tj["type"] = t.predefinedType;
        if (t.parent >= 0) tj["parent"] = t.parent;
        if (t.summary) tj["summary"] = true;
        if (t.hasDates) tj["dated"] = true;
        if (t.start.year != 0) tj["start"] = t.start.Text();
        if (t.finish.year != 0) tj["finish"] = t.finish.Text();
        if (t.problems != 0) tj["problems"] = t.problems;
        if (!t.badText.empty()) tj["badText"] = t.badText;
        if (!t.outputs.empty()) tj["outputs"] = t.outputs;
        if (!t.inputs.empty()) tj["inputs"] = t.inputs;
        tasks.push_back(std::move(tj));
    }
    return OJson{{"globalId", s.globalId}, {"name", s.name}, {"tasks", std::move(tasks)}};
}

template <typename List>
void WriteProperties(const std::vector<const Element*>& elements, List& list) {
    std::vector<const Element*> with;
    for (const Element* e : elements)
        if (!e->properties.empty()) with.push_back(e);
    if (with.empty()) return;
    list("properties", with.size(), [&](size_t i) {
        OJson pairs = OJson::array();
        for (const auto& [name, value] : with[i]->properties)
            pairs.push_back(OJson::array({name, value}));
        return OJson{{"guid", GuidText(with[i]->guid)}, {"list", std::move(pairs)}};
    });
}

// ---- Reading -------------------------------------------------------------------------------

struct Bad : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where a value sits, for the message; put together only when something is wrong.
struct Where {
    Where(std::string_view base, const char* key = nullptr) : base(base), key(key) {}
    Where(const std::string& base, const char* key = nullptr) : base(base), key(key) {}
    Where(const char* base, const char* key = nullptr) : base(base), key(key) {}
    std::string Text() const { return std::string(base) + (key ? std::string(": ") + key : ""); }
    std::string_view base;
    const char* key;
};

const json& Need(const json& j, const char* key, const std::string& where) {
    auto it = j.find(key);
    if (it == j.end()) throw Bad(where + ": \"" + key + "\" is missing");
    return *it;
}

int64_t Int(const json& v, int64_t lo, int64_t hi, const Where& what) {
    if (!v.is_number_integer()) throw Bad(what.Text() + " is not a whole number");
    const int64_t n = v.is_number_unsigned() && v.get<uint64_t>() > uint64_t(INT64_MAX)
                          ? INT64_MAX
                          : v.get<int64_t>();
    if (n < lo || n > hi)
        throw Bad(what.Text() + " is " + v.dump() + ", outside " + std::to_string(lo) + ".." +
                  std::to_string(hi));
    return n;
}

int64_t IntOr(const json& j, const char* key, int64_t fallback, int64_t lo, int64_t hi,
              const std::string& where) {
    auto it = j.find(key);
    return it == j.end() ? fallback : Int(*it, lo, hi, Where{where, key});
}

double Number(const json& v, const Where& what) {
    if (!v.is_number()) throw Bad(what.Text() + " is not a number");
    const double d = v.get<double>();
    if (!std::isfinite(d)) throw Bad(what.Text() + " is not a finite number");
    return d;
}

bool Bool(const json& v, const Where& what) {
    if (!v.is_boolean()) throw Bad(what.Text() + " is not true or false");
    return v.get<bool>();
}

std::string Text(const json& v, const Where& what) {
    if (!v.is_string()) throw Bad(what.Text() + " is not a text");
    return v.get<std::string>();
}

const json& Array(const json& v, const Where& what) {
    if (!v.is_array()) throw Bad(what.Text() + " is not a list");
    return v;
}

Rgb ColourFrom(const json& v, const Where& what) {
    if (!v.is_array() || v.size() != 3) throw Bad(what.Text() + " is not a colour [r, g, b]");
    Rgb c{Number(v[0], what), Number(v[1], what), Number(v[2], what)};
    for (double x : {c.r, c.g, c.b})
        if (x < 0 || x > 1) throw Bad(what.Text() + " has a channel outside 0..1");
    return c;
}

std::vector<Point2> PointsFrom(const json& v, size_t minimum, const Where& what) {
    Array(v, what);
    if (v.size() % 2 != 0) throw Bad(what.Text() + " has an odd count of coordinates");
    if (v.size() / 2 < minimum)
        throw Bad(what.Text() + " has fewer than " + std::to_string(minimum) + " points");
    std::vector<Point2> points(v.size() / 2);
    for (size_t i = 0; i < points.size(); ++i)
        points[i] = {Number(v[2 * i], what), Number(v[2 * i + 1], what)};
    return points;
}

template <typename T, size_t N>
void ListFrom(const json& j, const char* key, int count, int64_t lo, int64_t hi,
              std::array<T, N>& out, const std::string& where) {
    if (count == 0) {
        if (j.contains(key)) throw Bad(where + ": this type has no " + key);
        return;
    }
    const json& list = Array(Need(j, key, where), Where{where, key});
    if (list.size() != static_cast<size_t>(count))
        throw Bad(where + ": " + key + " has " + std::to_string(list.size()) +
                  " entries, the type has " + std::to_string(count));
    for (int i = 0; i < count; ++i)
        out[size_t(i)] = static_cast<T>(Int(list[size_t(i)], lo, hi, Where{where, key}));
}

// The prisms of an element's body; each names one of the element's material slots.
std::vector<Extrusion> BodyFrom(const json& v, int materialCount, const std::string& w) {
    std::vector<Extrusion> body;
    for (const json& xj : Array(v, Where{w, "body"})) {
        const std::string xw = w + ": body part " + std::to_string(body.size() + 1);
        if (!xj.is_object()) throw Bad(xw + " is not an object");
        Extrusion x;
        x.outline = PointsFrom(Need(xj, "outline", xw), 3, Where{xw, "outline"});
        x.bottom = Number(Need(xj, "bottom", xw), Where{xw, "bottom"});
        x.top = Number(Need(xj, "top", xw), Where{xw, "top"});
        if (x.top < x.bottom) throw Bad(xw + ": top is below bottom");
        x.materialSlot =
            static_cast<int>(IntOr(xj, "material", 0, 0, std::max(0, materialCount - 1), xw));
        body.push_back(std::move(x));
    }
    return body;
}

// The triangle meshes of an element's body: x, y, z triples of corners and triples of indexes.
std::vector<TriangleMesh> MeshesFrom(const json& v, int materialCount, const std::string& w) {
    std::vector<TriangleMesh> meshes;
    for (const json& mj : Array(v, Where{w, "meshes"})) {
        const std::string mw = w + ": mesh " + std::to_string(meshes.size() + 1);
        if (!mj.is_object()) throw Bad(mw + " is not an object");
        TriangleMesh m;
        const json& vj = Array(Need(mj, "vertices", mw), Where{mw, "vertices"});
        if (vj.size() % 3 != 0) throw Bad(mw + ": vertices are not x, y, z triples");
        m.vertices.resize(vj.size() / 3);
        for (size_t i = 0; i < m.vertices.size(); ++i)
            m.vertices[i] = {Number(vj[3 * i], Where{mw, "vertices"}),
                             Number(vj[3 * i + 1], Where{mw, "vertices"}),
                             Number(vj[3 * i + 2], Where{mw, "vertices"})};
        const json& tj = Array(Need(mj, "triangles", mw), Where{mw, "triangles"});
        if (tj.size() % 3 != 0) throw Bad(mw + ": triangles are not index triples");
        if (!tj.empty() && m.vertices.empty()) throw Bad(mw + ": triangles without vertices");
        m.corners.reserve(tj.size());
        for (const json& c : tj)
            m.corners.push_back(static_cast<uint32_t>(
                Int(c, 0, static_cast<int64_t>(m.vertices.size()) - 1, Where{mw, "triangles"})));
        m.materialSlot =
            static_cast<int>(IntOr(mj, "material", 0, 0, std::max(0, materialCount - 1), mw));
        meshes.push_back(std::move(m));
    }
    return meshes;
}

// An add-on's user data: its version, its platform sign and its bytes in base64.
UserData UserDataFrom(const json& v, const std::string& w) {
    const std::string uw = w + ": userData";
    if (!v.is_object()) throw Bad(uw + " is not an object");
    UserData d;
    d.version = static_cast<int32_t>(
        Int(Need(v, "version", uw), INT32_MIN, INT32_MAX, Where{uw, "version"}));
    d.platformSign =
        static_cast<uint16_t>(Int(Need(v, "platform", uw), 0, UINT16_MAX, Where{uw, "platform"}));
    if (!FromBase64(Text(Need(v, "bytes", uw), Where{uw, "bytes"}), d.bytes))
        throw Bad(uw + ": bytes are not base64");
    return d;
}

CameraData CameraFrom(const json& cj, const std::string& w) {
    const std::string cw = w + ": camera";
    if (!cj.is_object()) throw Bad(cw + " is not an object");
    CameraData c;
    c.path = static_cast<int32_t>(Int(Need(cj, "path", cw), 0, INT32_MAX, Where{cw, "path"}));
    auto point = [&](const char* key) {
        const json& v = Need(cj, key, cw);
        if (!v.is_array() || v.size() != 3) throw Bad(cw + ": " + key + " is not [x, y, z]");
        return Point3{Number(v[0], cw), Number(v[1], cw), Number(v[2], cw)};
    };
    c.eye = point("eye");
    c.target = point("target");
    c.viewCone = Number(Need(cj, "viewCone", cw), Where{cw, "viewCone"});
    if (c.viewCone <= 0 || c.viewCone >= 180) throw Bad(cw + ": viewCone is outside 0..180");
    c.roll = Number(Need(cj, "roll", cw), Where{cw, "roll"});
    c.stays = static_cast<int16_t>(Int(Need(cj, "stays", cw), 0, INT16_MAX, Where{cw, "stays"}));
    c.prev = static_cast<int32_t>(Int(Need(cj, "prev", cw), 0, INT32_MAX, Where{cw, "prev"}));
    c.next = static_cast<int32_t>(Int(Need(cj, "next", cw), 0, INT32_MAX, Where{cw, "next"}));
    return c;
}

PathData PathFrom(const json& pj, const std::string& w) {
    const std::string pw = w + ": path";
    if (!pj.is_object()) throw Bad(pw + " is not an object");
    PathData d;
    d.name = Text(Need(pj, "name", pw), Where{pw, "name"});
    d.status = static_cast<int32_t>(
        Int(Need(pj, "status", pw), INT32_MIN, INT32_MAX, Where{pw, "status"}));
    d.openEnded = Bool(Need(pj, "openEnded", pw), Where{pw, "openEnded"});
    d.inFrames =
        static_cast<int32_t>(Int(Need(pj, "inFrames", pw), 0, INT32_MAX, Where{pw, "inFrames"}));
    d.active = Bool(Need(pj, "active", pw), Where{pw, "active"});
    d.firstCamera = static_cast<int32_t>(
        Int(Need(pj, "firstCamera", pw), 0, INT32_MAX, Where{pw, "firstCamera"}));
    return d;
}

// One element: its header fields, its attribute lists sized by its type, then its body, plan,
// user data and, for cameras and camera paths, their own records.
Element ElementFrom(const json& j, const Project& p, const std::string& where) {
    if (!j.is_object()) throw Bad(where + " is not an object");
    Element e;
    e.type = static_cast<API_ElemTypeID>(
        Int(Need(j, "type", where), APIElem::First, APIElem::Last, Where{where, "type"}));
    const std::string w = where + " (" + ElementTypes::Of(e.type).name + ")";
    if (!GuidFromText(Text(Need(j, "guid", w), Where{w, "guid"}), e.guid) || e.guid.IsNull())
        throw Bad(w + ": guid is not a GUID");
    if (auto it = j.find("id"); it != j.end()) e.id = Text(*it, Where{w, "id"});
    e.variation = static_cast<GSType>(IntOr(j, "variation", 0, 0, UINT32_MAX, w));
    e.layer = static_cast<int16_t>(
        Int(Need(j, "layer", w), 1, static_cast<int64_t>(p.Layers().size()), Where{w, "layer"}));
    if (auto it = j.find("locked"); it != j.end()) e.locked = Bool(*it, Where{w, "locked"});
    e.owner = static_cast<int16_t>(IntOr(j, "owner", 0, 0, INT16_MAX, w));
    e.storey = static_cast<int16_t>(IntOr(j, "storey", 0, INT16_MIN, INT16_MAX, w));
    ListFrom(j, "pens", e.PenCount(), 1, static_cast<int64_t>(p.Pens().size()), e.pens, w);
    ListFrom(j, "materials", e.MaterialCount(), 1, static_cast<int64_t>(p.Materials().size()),
             e.materials, w);
    ListFrom(j, "switches", e.SwitchCount(), 0, 1, e.switches, w);
    e.libInd = static_cast<int32_t>(IntOr(j, "libInd", 0, 0, INT32_MAX, w));
    if (auto it = j.find("angle"); it != j.end()) e.angle = Number(*it, Where{w, "angle"});
    if (auto it = j.find("text"); it != j.end()) e.text = Text(*it, Where{w, "text"});

    const bool hasBody = ElementTypes::Of(e.type).hasBody;
    if (auto it = j.find("body"); it != j.end()) {
        if (!hasBody) throw Bad(w + ": this type has no body");
        e.body = BodyFrom(*it, e.MaterialCount(), w);
    }
    if (auto it = j.find("meshes"); it != j.end()) {
        if (!hasBody) throw Bad(w + ": this type has no body");
        e.meshes = MeshesFrom(*it, e.MaterialCount(), w);
    }
    if (auto it = j.find("plan"); it != j.end()) e.plan = PointsFrom(*it, 1, Where{w, "plan"});
    if (auto it = j.find("userData"); it != j.end()) e.userData = UserDataFrom(*it, w);

    const bool isCamera = e.type == APIElem::Camera, isPath = e.type == APIElem::CameraPath;
    if (j.contains("camera") != isCamera)
        throw Bad(w + (isCamera ? ": \"camera\" is missing" : ": only cameras have \"camera\""));
    if (j.contains("path") != isPath)
        throw Bad(w + (isPath ? ": \"path\" is missing" : ": only camera paths have \"path\""));
    if (isCamera) e.camera = CameraFrom(j["camera"], w);
    if (isPath) e.path = PathFrom(j["path"], w);
    return e;
}

std::vector<std::string> TextsFrom(const json& j, const char* key, const std::string& w) {
    std::vector<std::string> texts;
    if (auto it = j.find(key); it != j.end())
        for (const json& v : Array(*it, Where{w, key})) texts.push_back(Text(v, Where{w, key}));
    return texts;
}

PlanSchedule ScheduleFrom(const json& sj, const std::string& w) {
    if (!sj.is_object()) throw Bad(w + " is not an object");
    PlanSchedule s;
    s.globalId = Text(Need(sj, "globalId", w), Where{w, "globalId"});
    s.name = Text(Need(sj, "name", w), Where{w, "name"});
    for (const json& tj : Array(Need(sj, "tasks", w), Where{w, "tasks"})) {
        const std::string tw = w + ", task " + std::to_string(s.tasks.size() + 1);
        if (!tj.is_object()) throw Bad(tw + " is not an object");
        PlanTask t;
        t.globalId = Text(Need(tj, "globalId", tw), Where{tw, "globalId"});
        t.name = Text(Need(tj, "name", tw), Where{tw, "name"});
        if (auto it = tj.find("description"); it != tj.end())
            t.description = Text(*it, Where{tw, "description"});
        if (auto it = tj.find("type"); it != tj.end())
            t.predefinedType = Text(*it, Where{tw, "type"});
        // A task is nested only in one that comes before it.
        t.parent = static_cast<int32_t>(
            IntOr(tj, "parent", -1, -1, static_cast<int64_t>(s.tasks.size()) - 1, tw));
        if (auto it = tj.find("summary"); it != tj.end())
            t.summary = Bool(*it, Where{tw, "summary"});
        if (auto it = tj.find("dated"); it != tj.end()) t.hasDates = Bool(*it, Where{tw, "dated"});
        for (auto [key, into] : {std::pair{"start", &t.start}, std::pair{"finish", &t.finish}})
            if (auto it = tj.find(key); it != tj.end())
                if (!IsoTime::ParseDateTime(Text(*it, Where{tw, key}), *into))
                    throw Bad(tw + ": " + key + " is not a date and time");
        if (t.hasDates && (t.start.year == 0 || t.finish.year == 0 || t.finish < t.start))
            throw Bad(tw + ": its dates are not a start and a finish in order");
        t.problems = static_cast<uint32_t>(IntOr(tj, "problems", 0, 0, 31, tw));
        if (auto it = tj.find("badText"); it != tj.end())
            t.badText = Text(*it, Where{tw, "badText"});
        t.outputs = TextsFrom(tj, "outputs", tw);
        t.inputs = TextsFrom(tj, "inputs", tw);
        s.tasks.push_back(std::move(t));
    }
    return s;
}

// Camera and path references must name elements that exist.
void CheckCameraLinks(const Project& p) {
    const auto cameras = static_cast<int32_t>(p.ElementsOfType(APIElem::Camera).size());
    const auto paths = static_cast<int32_t>(p.ElementsOfType(APIElem::CameraPath).size());
    for (const Element& c : p.ElementsOfType(APIElem::Camera)) {
        const std::string w = "camera " + std::to_string(c.index);
        if (c.camera->path > paths)
            throw Bad(w + ": path " + std::to_string(c.camera->path) + " does not exist");
        if (c.camera->next > cameras || c.camera->prev > cameras)
            throw Bad(w + ": its neighbour camera does not exist");
    }
    for (const Element& path : p.ElementsOfType(APIElem::CameraPath))
        if (path.path->firstCamera > cameras)
            throw Bad("camera path " + std::to_string(path.index) + ": first camera " +
                      std::to_string(path.path->firstCamera) + " does not exist");
}

// ---- Element properties: a section of their own, one line per element that has any --------

// "properties": [{"guid": G, "list": [[NAME, VALUE], ...]}, ...]; left out when no element has
// any, so that files of models without properties stay as they were.
using PropertyList = std::vector<std::pair<std::string, std::string>>;

std::map<API_Guid, PropertyList> ReadProperties(const json& root) {
    std::map<API_Guid, PropertyList> byGuid;
    auto it = root.find("properties");
    if (it == root.end()) return byGuid;
    size_t n = 0;
    for (const json& pj : Array(*it, "properties")) {
        const std::string w = "properties " + std::to_string(++n);
        if (!pj.is_object()) throw Bad(w + " is not an object");
        API_Guid guid{};
        if (!GuidFromText(Text(Need(pj, "guid", w), Where{w, "guid"}), guid))
            throw Bad(w + ": guid is not a GUID");
        PropertyList list;
        for (const json& pair : Array(Need(pj, "list", w), Where{w, "list"})) {
            if (!pair.is_array() || pair.size() != 2)
                throw Bad(w + ": a property is no [name, value] pair");
            list.emplace_back(Text(pair[0], Where{w, "list"}), Text(pair[1], Where{w, "list"}));
        }
        if (!byGuid.emplace(guid, std::move(list)).second)
            throw Bad(w + ": the GUID " + GuidText(guid) + " has properties twice");
    }
    return byGuid;
}

std::unique_ptr<Project> ProjectFrom(const json& root) {
    if (!root.is_object() || root.value("format", json()) != ProjectFile::kFormat)
        throw Bad("this is not a CadHost project file");
    const int64_t version = Int(Need(root, "version", "the file"), 0, INT32_MAX, "version");
    if (version != ProjectFile::kVersion)
        throw Bad("the file is of version " + std::to_string(version) + "; this host reads " +
                  std::to_string(ProjectFile::kVersion));
    auto p = std::make_unique<Project>();
    // The file's attributes replace the standard ones.
    std::vector<Layer> layers;
    std::vector<Pen> pens;
    std::vector<Material> materials;
    std::set<std::string> names;
    for (const json& lj : Array(Need(root, "layers", "the file"), "layers")) {
        const std::string w = "layer " + std::to_string(layers.size() + 1);
        if (!lj.is_object()) throw Bad(w + " is not an object");
        Layer l;
        l.name = Text(Need(lj, "name", w), Where{w, "name"});
        l.flags = static_cast<uint32_t>(Int(Need(lj, "flags", w), 0, 3, Where{w, "flags"}));
        l.conClass = static_cast<int32_t>(IntOr(lj, "class", 0, INT32_MIN, INT32_MAX, w));
        layers.push_back(std::move(l));
    }
    for (const json& pj : Array(Need(root, "pens", "the file"), "pens")) {
        const std::string w = "pen " + std::to_string(pens.size() + 1);
        if (!pj.is_object()) throw Bad(w + " is not an object");
        pens.push_back(Pen{ColourFrom(Need(pj, "colour", w), Where{w, "colour"}),
                           Number(Need(pj, "width", w), Where{w, "width"})});
    }
    for (const json& mj : Array(Need(root, "materials", "the file"), "materials")) {
        const std::string w = "material " + std::to_string(materials.size() + 1);
        if (!mj.is_object()) throw Bad(w + " is not an object");
        Material m;
        m.name = Text(Need(mj, "name", w), Where{w, "name"});
        auto i16 = [&](const char* key) {
            return static_cast<int16_t>(Int(Need(mj, key, w), INT16_MIN, INT16_MAX, Where{w, key}));
        };
        m.kind = i16("kind");
        m.ambient = i16("ambient");
        m.diffuse = i16("diffuse");
        m.specular = i16("specular");
        m.transparency = i16("transparency");
        m.shine = i16("shine");
        m.transparencyAttenuation = i16("transparencyAttenuation");
        m.emissionAttenuation = i16("emissionAttenuation");
        m.surface = ColourFrom(Need(mj, "surface", w), Where{w, "surface"});
        m.specularColour = ColourFrom(Need(mj, "specularColour", w), Where{w, "specularColour"});
        m.emission = ColourFrom(Need(mj, "emission", w), Where{w, "emission"});
        materials.push_back(std::move(m));
    }
    if (layers.empty()) throw Bad("the file has no layer");
    p->ReplaceAttributes(std::move(layers), std::move(pens), std::move(materials));
    for (int32_t i = 1; i <= static_cast<int32_t>(p->Layers().size()); ++i)
        if (p->FindLayer(p->LayerAt(i)->name) != i || p->LayerAt(i)->name.empty())
            throw Bad("layer " + std::to_string(i) + ": its name is empty or used twice");
    for (int32_t i = 1; i <= static_cast<int32_t>(p->Materials().size()); ++i)
        if (p->FindMaterial(p->MaterialAt(i)->name) != i || p->MaterialAt(i)->name.empty())
            throw Bad("material " + std::to_string(i) + ": its name is empty or used twice");

    const json& elements = Array(Need(root, "elements", "the file"), "elements");
    std::array<size_t, APIElem::Last + 1> perType{};
    for (const json& ej : elements) {
        auto it = ej.is_object() ? ej.find("type") : ej.end();
        if (it != ej.end() && it->is_number_integer() && ElementTypes::Valid(it->get<int32_t>()))
            ++perType[size_t(it->get<int32_t>())];
    }
    for (API_ElemTypeID type = APIElem::First; type <= APIElem::Last; ++type)
        p->Reserve(type, perType[size_t(type)]);
    std::map<API_Guid, PropertyList> properties = ReadProperties(root);
    size_t n = 0;
    for (const json& ej : elements) {
        Element e = ElementFrom(ej, *p, "element " + std::to_string(++n));
        if (auto it = properties.find(e.guid); it != properties.end()) e.properties = it->second;
        if (p->Find(e.guid) != nullptr)
            throw Bad("element " + std::to_string(n) + ": its GUID " + GuidText(e.guid) +
                      " is used twice");
        p->Add(std::move(e));
    }
    CheckCameraLinks(*p);
    if (auto it = root.find("workSchedules"); it != root.end())
        for (const json& sj : Array(*it, "workSchedules"))
            p->plan.schedules.push_back(
                ScheduleFrom(sj, "work schedule " + std::to_string(p->plan.schedules.size() + 1)));
    for (const auto& [guid, list] : properties)
        if (p->Find(guid) == nullptr)
            throw Bad("properties: no element has the GUID " + GuidText(guid));
    return p;
}

}  // namespace

// One line per attribute and per element: a file a person can read and compare line by line.
std::string ProjectFile::ToText(const Project& project) {
    // Invalid UTF-8 in a text is replaced rather than failing the whole save.
    auto dump = [](const OJson& j) {
        return j.dump(-1, ' ', false, OJson::error_handler_t::replace);
    };
    std::string out =
        "{\"format\": " + dump(kFormat) + ", \"version\": " + std::to_string(kVersion);
    auto list = [&](const char* name, size_t count, const auto& item) {
        out += ",\n\"";
        out += name;
        out += "\": [";
        for (size_t i = 0; i < count; ++i) {
            out += i == 0 ? "\n" : ",\n";
            out += dump(item(i));
        }
        out += "\n]";
    };
    list("layers", project.Layers().size(), [&](size_t i) {
        const Layer& l = project.Layers()[i];
        OJson lj{{"name", l.name}, {"flags", l.flags}};
        if (l.conClass != 0) lj["class"] = l.conClass;
        return lj;
    });
    list("pens", project.Pens().size(), [&](size_t i) {
        const Pen& p = project.Pens()[i];
        return OJson{{"colour", Colour(p.colour)}, {"width", p.width}};
    });
    list("materials", project.Materials().size(), [&](size_t i) {
        const Material& m = project.Materials()[i];
        return OJson{{"name", m.name},
                     {"kind", m.kind},
                     {"ambient", m.ambient},
                     {"diffuse", m.diffuse},
                     {"specular", m.specular},
                     {"transparency", m.transparency},
                     {"shine", m.shine},
                     {"transparencyAttenuation", m.transparencyAttenuation},
                     {"emissionAttenuation", m.emissionAttenuation},
                     {"surface", Colour(m.surface)},
                     {"specularColour", Colour(m.specularColour)},
                     {"emission", Colour(m.emission)}};
    });
    std::vector<const Element*> elements;
    elements.reserve(project.ElementCount());
    project.ForEachElement([&](const Element& e) { elements.push_back(&e); });
    list("elements", elements.size(), [&](size_t i) { return ElementJson(*elements[i]); });
    if (!project.plan.Empty())
        list("workSchedules", project.plan.schedules.size(),
             [&](size_t i) { return ScheduleJson(project.plan.schedules[i]); });
    WriteProperties(elements, list);
    out += "\n}\n";
    return out;
}

std::unique_ptr<Project> ProjectFile::FromText(const std::string& text, std::string& error) {
    try {
        return ProjectFrom(json::parse(text));
    } catch (const json::parse_error& e) {
        error = "this is not a CadHost project file (no JSON: error at byte " +
                std::to_string(e.byte) + ")";
    } catch (const Bad& e) {
        error = e.what();
    } catch (const json::exception& e) {
        error = std::string("the project file is damaged: ") + e.what();
    }
    return nullptr;
}

bool ProjectFile::Save(const Project& project, const std::string& path, std::string& error) {
    const std::string text = ToText(project);
    IO::ReplacementFile file{IO::Location(path)};
    bool saved = file.Open();
    // One write takes at most 2 GiB.
    constexpr size_t kChunk = size_t{1} << 30;
    for (size_t done = 0; saved && done < text.size(); done += kChunk) {
        const size_t count = std::min(kChunk, text.size() - done);
        saved = file.Output().WriteBin(text.data() + done, static_cast<int32_t>(count)) ==
                IO::Err::NoError;
    }
    if (saved && file.Commit()) return true;
    if (file.MayHaveDamagedTarget())
        error = "writing " + path + " over in place failed; the project file may be damaged";
    else if (file.GetError() == IO::Err::AccessDenied)
        error = "cannot save " + path + ": it may not be written; it is left as it was";
    else
        error = "cannot save " + path + "; a file that was there is left as it was";
    return false;
}

std::unique_ptr<Project> ProjectFile::Open(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return nullptr;
    }
    in.seekg(0, std::ios::end);
    std::string text(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
    in.seekg(0, std::ios::beg);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!in) {
        error = "cannot read " + path;
        return nullptr;
    }
    auto project = FromText(text, error);
    if (!project) error = path + ": " + error;
    return project;
}

}  // namespace CadHost
