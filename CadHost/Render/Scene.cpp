#include "Render/Scene.h"

#include <algorithm>
#include <cmath>

namespace CadHost::Render {
namespace {

double SignedArea(const std::vector<Vec2>& p) {
    double twice = 0;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
        twice += p[j].x * p[i].y - p[i].x * p[j].y;
    return twice / 2;
}

double Orient(const Vec2& a, const Vec2& b, const Vec2& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Inside or on the border of the counter-clockwise triangle abc.
bool InTriangle(const Vec2& p, const Vec2& a, const Vec2& b, const Vec2& c) {
    return Orient(a, b, p) >= 0 && Orient(b, c, p) >= 0 && Orient(c, a, p) >= 0;
}

}  // namespace

std::vector<int> TriangulatePolygon(const std::vector<Vec2>& polygon) {
    std::vector<int> out;
    const int n = static_cast<int>(polygon.size());
    if (n < 3) return out;
    const double area = SignedArea(polygon);
    if (!(std::fabs(area) > 1e-12)) return out;

    // Work counter-clockwise on a list of the remaining corners.
    std::vector<int> ring(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) ring[static_cast<size_t>(i)] = area > 0 ? i : n - 1 - i;
    out.reserve(static_cast<size_t>(3 * (n - 2)));

    size_t guard = 0;
    size_t i = 0;
    while (ring.size() > 3) {
        const size_t m = ring.size();
        const int ia = ring[(i + m - 1) % m], ib = ring[i % m], ic = ring[(i + 1) % m];
        const Vec2 &a = polygon[static_cast<size_t>(ia)], &b = polygon[static_cast<size_t>(ib)],
                   &c = polygon[static_cast<size_t>(ic)];
        bool ear = Orient(a, b, c) > 0;
        for (size_t k = 0; ear && k < m; ++k) {
            const int q = ring[k];
            if (q == ia || q == ib || q == ic) continue;
            const Vec2& p = polygon[static_cast<size_t>(q)];
            // A reflex corner touching the ear's diagonal blocks it too.
            if (InTriangle(p, a, b, c) && !(p == a || p == b || p == c)) ear = false;
        }
        if (ear) {
            out.insert(out.end(), {ia, ib, ic});
            ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(i % m));
            guard = 0;
            if (i >= ring.size()) i = 0;
            continue;
        }
        i = (i + 1) % m;
        // A self-touching or badly ordered outline has no ear left: cut a fan from the rest so
        // that the cap is still closed rather than lost.
        if (++guard > m) {
            for (size_t k = 1; k + 1 < ring.size(); ++k)
                out.insert(out.end(), {ring[0], ring[k], ring[k + 1]});
            return out;
        }
    }
    out.insert(out.end(), {ring[0], ring[1], ring[2]});
    return out;
}

void Scene::AddTriangle(const Vec3& a, const Vec3& b, const Vec3& c, uint32_t colour,
                        bool outward) {
    Triangle t;
    const Vec3* corners[3] = {&a, &b, &c};
    for (int k = 0; k < 3; ++k) {
        t.v[3 * k] = static_cast<float>(corners[k]->x);
        t.v[3 * k + 1] = static_cast<float>(corners[k]->y);
        t.v[3 * k + 2] = static_cast<float>(corners[k]->z);
        bounds_.Add(*corners[k]);
    }
    t.colour = colour;
    t.outward = outward;
    triangles_.push_back(t);
}

int Scene::AddPrism(const std::vector<Vec2>& polygon, double zBottom, double zTop,
                    uint32_t colour) {
    const std::vector<int> caps = TriangulatePolygon(polygon);
    if (caps.empty() || !(zTop > zBottom)) return 0;
    const size_t before = triangles_.size();
    auto at = [&](int i, double z) {
        const Vec2& p = polygon[static_cast<size_t>(i)];
        return Vec3{p.x, p.y, z};
    };
    for (size_t k = 0; k < caps.size(); k += 3) {
        AddTriangle(at(caps[k], zTop), at(caps[k + 1], zTop), at(caps[k + 2], zTop), colour, true);
        AddTriangle(at(caps[k], zBottom), at(caps[k + 2], zBottom), at(caps[k + 1], zBottom),
                    colour, true);
    }
    // Sides run counter-clockwise round the outline so that they face outwards.
    const int n = static_cast<int>(polygon.size());
    const bool ccw = SignedArea(polygon) > 0;
    for (int k = 0; k < n; ++k) {
        const int i = ccw ? k : n - 1 - k;
        const int j = ccw ? (k + 1) % n : (2 * n - 2 - k) % n;
        if (polygon[static_cast<size_t>(i)] == polygon[static_cast<size_t>(j)]) continue;
        AddTriangle(at(i, zBottom), at(j, zBottom), at(j, zTop), colour, true);
        AddTriangle(at(i, zBottom), at(j, zTop), at(i, zTop), colour, true);
    }
    return static_cast<int>(triangles_.size() - before);
}

int Scene::AddBox(const Vec3& min, const Vec3& max, uint32_t colour) {
    return AddPrism({{min.x, min.y}, {max.x, min.y}, {max.x, max.y}, {min.x, max.y}}, min.z, max.z,
                    colour);
}

void Scene::SetHidden(size_t begin, size_t end, bool hidden) {
    end = std::min(end, triangles_.size());
    for (size_t i = begin; i < end; ++i) {
        Triangle& t = triangles_[i];
        if (t.hidden == hidden) continue;
        t.hidden = hidden;
        if (hidden)
            ++hiddenCount_;
        else
            --hiddenCount_;
    }
}

void Scene::SetColour(size_t begin, size_t end, uint32_t colour) {
    end = std::min(end, triangles_.size());
    for (size_t i = begin; i < end; ++i) triangles_[i].colour = colour;
}

void Scene::Clear() {
    triangles_.clear();
    hiddenCount_ = 0;
    bounds_ = Bounds{};
}

}  // namespace CadHost::Render
