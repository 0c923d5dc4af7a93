#pragma once
// What the renderer draws: coloured triangles in model coordinates (metres, z up). The host's
// model is turned into a scene when it has changed since the last picture; tests and benchmarks
// build scenes directly.
#include <cstdint>
#include <vector>

#include "Render/Vec3.h"

namespace CadHost::Render {

struct Triangle {
    float v[9];       // three corners: x, y, z each
    uint32_t colour;  // 0xAARRGGBB, unlit; alpha is the opacity (255: not see-through)
    // Part of a closed body, corners counter-clockwise seen from outside: it cannot be seen from
    // behind, so the renderer skips it when it faces away.
    bool outward = false;
    // Kept in the scene but not drawn (an element on a hidden layer, which may be shown again).
    bool hidden = false;
};

class Scene {
public:
    // A triangle seen from both sides.
    void AddTriangle(const Vec3& a, const Vec3& b, const Vec3& c, uint32_t colour,
                     bool outward = false);
    // A vertical prism: the polygon (any orientation, may be concave, no holes) extruded from
    // zBottom to zTop, with both caps. Degenerate polygons add nothing. Returns triangles added.
    int AddPrism(const std::vector<Vec2>& polygon, double zBottom, double zTop, uint32_t colour);
    // An axis-aligned box, the simplest prism.
    int AddBox(const Vec3& min, const Vec3& max, uint32_t colour);

    // Hides or shows, or recolours, the triangles [begin, end) (ranges as the Add calls made them).
    void SetHidden(size_t begin, size_t end, bool hidden);
    void SetColour(size_t begin, size_t end, uint32_t colour);

    const std::vector<Triangle>& Triangles() const { return triangles_; }
    // Triangles that are drawn (not hidden).
    size_t ShownCount() const { return triangles_.size() - hiddenCount_; }
    const Bounds& GetBounds() const { return bounds_; }
    size_t Size() const { return triangles_.size(); }
    void Reserve(size_t triangles) { triangles_.reserve(triangles); }
    void Clear();

private:
    std::vector<Triangle> triangles_;
    size_t hiddenCount_ = 0;
    Bounds bounds_;
};

// Splits a simple polygon into triangles (ear clipping). Returns index triples into the polygon;
// empty when the polygon has fewer than three corners or no area.
std::vector<int> TriangulatePolygon(const std::vector<Vec2>& polygon);

}  // namespace CadHost::Render
