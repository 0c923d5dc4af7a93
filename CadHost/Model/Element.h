#pragma once
// One element of the host's building model: what the host knows of it, its body for the 3D
// window, and the user data that an add-on keeps with it.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "API/Elements.h"

namespace CadHost {

struct Point2 {
    double x = 0, y = 0;
    bool operator==(const Point2&) const = default;
};

struct Point3 {
    double x = 0, y = 0, z = 0;
    bool operator==(const Point3&) const = default;
};

// A prism: a closed outline in plan (metres, without its closing point, either orientation)
// extruded from `bottom` up to `top` (metres above the project zero).
struct Extrusion {
    std::vector<Point2> outline;
    double bottom = 0, top = 0;
    int materialSlot = 0;  // which entry of the element's material list colours it
    bool operator==(const Extrusion&) const = default;
};

// A body of triangles (metres, z up) for shapes that are no prism, as imported models bring them.
struct TriangleMesh {
    std::vector<Point3> vertices;
    std::vector<uint32_t> corners;  // three indices into `vertices` per triangle
    int materialSlot = 0;           // which entry of the element's material list colours it
    bool operator==(const TriangleMesh&) const = default;
};

// Bytes that an add-on keeps with the element, exactly as handed over.
struct UserData {
    int32_t version = 0;
    uint16_t platformSign = 0;
    std::vector<uint8_t> bytes;
    bool operator==(const UserData&) const = default;
};

// A camera (type 26) on a camera path.
struct CameraData {
    int32_t path = 0;  // index of the camera path (type 27)
    Point3 eye, target;
    double viewCone = 60;        // horizontal field of view, degrees
    double roll = 0;             // degrees
    int16_t stays = 0;           // frames the movie stays at this camera
    int32_t prev = 0, next = 0;  // camera indices along the path, 0 at either end
    bool operator==(const CameraData&) const = default;
};

// A camera path (type 27).
struct PathData {
    std::string name;        // at most 31 bytes reach the element record
    int32_t status = 0;      // 0 = may be listed
    bool openEnded = false;  // no segment back from the last camera to the first
    int32_t inFrames = 0;    // in-between frames per segment
    bool active = false;     // the current path
    int32_t firstCamera = 0;
    bool operator==(const PathData&) const = default;
};

class Element {
public:
    static constexpr int kMaxPens = 8;
    static constexpr int kMaxMaterials = 8;
    static constexpr int kMaxSwitches = 4;
    static constexpr size_t kMaxIdBytes = 63;  // the element record's ID text holds 63 bytes

    API_Guid guid{};
    API_ElemTypeID type = 0;
    int32_t index = 0;  // 1-based among the elements of the type; the project assigns it
    GSType variation = 0;
    std::string id;  // ID text, UTF-8
    int16_t layer = 1;
    bool locked = false;
    int16_t owner = 0;  // user number in a shared project; 0 = nobody
    int16_t storey = 0;
    uint32_t stamp = 0;  // grows with every change

    // The type's ordered lists; only the first PenCount() etc. entries mean anything.
    std::array<int16_t, kMaxPens> pens{};
    std::array<int16_t, kMaxMaterials> materials{};
    std::array<uint8_t, kMaxSwitches> switches{};

    int32_t libInd = 0;  // windows, doors, objects, lamps: library part index
    double angle = 0;    // windows, doors, objects, lamps: rotation, radians
    std::string text;    // texts and labels: the text; zones: the room name

    std::vector<Extrusion> body;       // empty for 2D elements
    std::vector<TriangleMesh> meshes;  // further body parts of types that have a body
    std::vector<Point2> plan;          // 2D elements: the points they are drawn through

    std::optional<UserData> userData;
    // What the element is beside its shape, as name/value texts in the order they came: its IFC
    // class, storey, materials, property-set values and quantities (an imported model brings
    // them; the sample building gives a few). A name may come more than once.
    std::vector<std::pair<std::string, std::string>> properties;
    std::optional<CameraData> camera;  // type 26
    std::optional<PathData> path;      // type 27

    int PenCount() const;
    int MaterialCount() const;
    int SwitchCount() const;
    std::span<const int16_t> Pens() const { return {pens.data(), static_cast<size_t>(PenCount())}; }
    std::span<const int16_t> Materials() const {
        return {materials.data(), static_cast<size_t>(MaterialCount())};
    }
    std::span<const uint8_t> Switches() const {
        return {switches.data(), static_cast<size_t>(SwitchCount())};
    }
    // The material attribute index that colours an extrusion (0 when the slot is out of range).
    int16_t MaterialOf(const Extrusion& extrusion) const;
    int16_t MaterialOf(const TriangleMesh& mesh) const;

    // Lowest and highest z of the body (prisms and meshes); 0 for elements without one.
    double Bottom() const;
    double Top() const;
    // Every plan point: body outlines and drawn points (for marquee selection).
    bool AnyPlanPoint(const std::function<bool(const Point2&)>& test) const;

    bool operator==(const Element&) const = default;
};

}  // namespace CadHost
