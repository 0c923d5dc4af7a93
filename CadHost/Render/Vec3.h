#pragma once
// Small vector arithmetic for the renderer. Model coordinates are metres, z up.
#include <cmath>

namespace CadHost::Render {

struct Vec3 {
    double x = 0, y = 0, z = 0;

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    bool operator==(const Vec3&) const = default;
};

inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
// The zero vector stays zero.
inline Vec3 Normalized(const Vec3& a) {
    const double len = Length(a);
    return len > 0 ? a * (1.0 / len) : Vec3{};
}

struct Vec2 {
    double x = 0, y = 0;
    bool operator==(const Vec2&) const = default;
};

// Axis-aligned box; empty until a point is added.
struct Bounds {
    Vec3 min{1e300, 1e300, 1e300};
    Vec3 max{-1e300, -1e300, -1e300};

    bool IsEmpty() const { return min.x > max.x; }
    void Add(const Vec3& p) {
        min = {std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z)};
        max = {std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z)};
    }
    Vec3 Centre() const { return (min + max) * 0.5; }
};

}  // namespace CadHost::Render
