#include "Render/Rasterizer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <thread>

namespace CadHost::Render {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kSub = 256;          // sub-pixel steps per pixel
constexpr double kGuard = 4096;        // pixels beyond the picture before we clip at the sides
constexpr double kDefaultNear = 0.05;  // metres
constexpr int kStripeShift = 4;        // rows are shared out in stripes of 16
constexpr int kMaxClipped = 16;
constexpr int32_t kSmallWidth = 8;  // triangles up to this many pixels across skip the divisions
// A triangle takes a pixel only when it is nearer than what is there by this factor of 1/distance
// (0.5 mm at 25 m). Faces that touch, like a slab's edge in a wall's face, then keep the one drawn
// first everywhere instead of speckling where rounding decides.
constexpr float kNearerBy = 1.00002f;

// A corner in homogeneous picture coordinates: pixel x = X / W, y = Y / W, W = distance.
struct HVert {
    double X, Y, W;
};

struct Frame {
    Vec3 a, b, c;  // X = a.p + oa, Y = b.p + ob, W = c.p + oc
    double oa, ob, oc;
    double width, height, nearW;
    Vec3 eye, light, fillLight;
    double ambient, groundLight, diffuse, fill;
};

// Distance inside each clipping plane (>= 0 means inside): near, then the guard band sides.
inline double PlaneValue(const Frame& f, const HVert& v, int plane) {
    switch (plane) {
        case 0:
            return v.W - f.nearW;
        case 1:
            return v.X + kGuard * v.W;
        case 2:
            return (f.width + kGuard) * v.W - v.X;
        case 3:
            return v.Y + kGuard * v.W;
        default:
            return (f.height + kGuard) * v.W - v.Y;
    }
}

// One Sutherland-Hodgman pass. The crossing point is always computed from the inside corner
// towards the outside one, so two triangles sharing an edge get exactly the same new corner.
int ClipAgainst(const Frame& f, const HVert* in, int n, HVert* out, int plane) {
    int m = 0;
    for (int i = 0; i < n; ++i) {
        const HVert& p = in[i];
        const HVert& q = in[(i + 1) % n];
        const double dp = PlaneValue(f, p, plane), dq = PlaneValue(f, q, plane);
        if (dp >= 0) out[m++] = p;
        if ((dp >= 0) != (dq >= 0)) {
            const HVert& inside = dp >= 0 ? p : q;
            const HVert& outside = dp >= 0 ? q : p;
            const double di = dp >= 0 ? dp : dq, dout = dp >= 0 ? dq : dp;
            const double t = di / (di - dout);
            out[m++] = {inside.X + (outside.X - inside.X) * t,
                        inside.Y + (outside.Y - inside.Y) * t,
                        inside.W + (outside.W - inside.W) * t};
        }
    }
    return m;
}

// floor(num / den) for den > 0, exact: the double quotient is corrected by integer checks.
inline int64_t FloorDiv(int64_t num, int64_t den) {
    int64_t q =
        static_cast<int64_t>(std::floor(static_cast<double>(num) / static_cast<double>(den)));
    while (q * den > num) --q;
    while ((q + 1) * den <= num) ++q;
    return q;
}
inline int64_t CeilDiv(int64_t num, int64_t den) { return -FloorDiv(-num, den); }

inline uint8_t AlphaOf(uint32_t colour) { return static_cast<uint8_t>(colour >> 24); }

uint32_t Shade(uint32_t colour, double light) {
    auto ch = [light](uint32_t v) {
        const double s = std::round(static_cast<double>(v & 0xFF) * light);
        return static_cast<uint8_t>(std::clamp(s, 0.0, 255.0));
    };
    return KXPixel(ch(colour >> 16), ch(colour >> 8), ch(colour), AlphaOf(colour));
}

// `top` over `under` by `share` (0..1), each channel rounded to the nearest value.
inline uint32_t Mix(uint32_t under, uint32_t top, float share) {
    auto ch = [&](int shift) {
        const float a = static_cast<float>((under >> shift) & 0xFF);
        const float b = static_cast<float>((top >> shift) & 0xFF);
        return static_cast<uint32_t>(a + (b - a) * share + 0.5f) << shift;
    };
    return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

// Turns one clipped polygon (corners in homogeneous coordinates, all in front of the eye) into
// fan triangles ready for filling.
void EmitPolygon(const Frame& f, const HVert* poly, int n, uint32_t colour, const Vec3& normal,
                 uint32_t order, std::vector<Rasterizer::Prepared>& out) {
    int32_t sx[kMaxClipped], sy[kMaxClipped];
    double z[kMaxClipped];
    for (int i = 0; i < n; ++i) {
        const double inv = 1.0 / poly[i].W;
        sx[i] = static_cast<int32_t>(std::llround(poly[i].X * inv * kSub));
        sy[i] = static_cast<int32_t>(std::llround(poly[i].Y * inv * kSub));
        z[i] = inv;
    }
    const int32_t rowsMax = static_cast<int32_t>(f.height) - 1;
    const int32_t colsMax = static_cast<int32_t>(f.width) - 1;
    for (int i = 1; i + 1 < n; ++i) {
        int k0 = 0, k1 = i, k2 = i + 1;
        const int64_t area = static_cast<int64_t>(sx[k1] - sx[k0]) * (sy[k2] - sy[k0]) -
                             static_cast<int64_t>(sx[k2] - sx[k0]) * (sy[k1] - sy[k0]);
        if (area == 0) continue;
        if (area < 0) std::swap(k1, k2);
        const int32_t minY = std::min({sy[k0], sy[k1], sy[k2]});
        const int32_t maxY = std::max({sy[k0], sy[k1], sy[k2]});
        const int32_t minX = std::min({sx[k0], sx[k1], sx[k2]});
        const int32_t maxX = std::max({sx[k0], sx[k1], sx[k2]});
        // Rows and columns whose pixel centres (256 k + 128) lie within the triangle's box. The
        // shifts are floor divisions by 256 (arithmetic shifts of signed values).
        static_assert(kSub == 256);
        const int32_t rowMin = std::max<int32_t>(0, -((kSub / 2 - minY) >> 8));
        const int32_t rowMax = std::min<int32_t>(rowsMax, (maxY - kSub / 2) >> 8);
        const int32_t colMin = std::max<int32_t>(0, -((kSub / 2 - minX) >> 8));
        const int32_t colMax = std::min<int32_t>(colsMax, (maxX - kSub / 2) >> 8);
        if (rowMin > rowMax || colMin > colMax) continue;

        // The plane of 1/distance over the picture, in pixel units with centres at +0.5.
        const double x0 = sx[k0] / double(kSub), y0 = sy[k0] / double(kSub);
        const double x1 = sx[k1] / double(kSub) - x0, y1 = sy[k1] / double(kSub) - y0;
        const double x2 = sx[k2] / double(kSub) - x0, y2 = sy[k2] / double(kSub) - y0;
        const double z1 = z[k1] - z[k0], z2 = z[k2] - z[k0];
        const double det = x1 * y2 - x2 * y1;
        const double zx = (z1 * y2 - z2 * y1) / det;
        const double zy = (x1 * z2 - x2 * z1) / det;
        const double z0 = z[k0] + zx * (0.5 - x0) + zy * (0.5 - y0);

        Rasterizer::Prepared p;
        p.x[0] = sx[k0], p.x[1] = sx[k1], p.x[2] = sx[k2];
        p.y[0] = sy[k0], p.y[1] = sy[k1], p.y[2] = sy[k2];
        p.zx = static_cast<float>(zx);
        p.zy = static_cast<float>(zy);
        p.z0 = static_cast<float>(z0);
        p.colour = colour;
        p.rowMin = rowMin;
        p.rowMax = rowMax;
        p.normal[0] = static_cast<float>(normal.x);
        p.normal[1] = static_cast<float>(normal.y);
        p.normal[2] = static_cast<float>(normal.z);
        p.zMid = static_cast<float>((z[k0] + z[k1] + z[k2]) / 3);
        p.order = order;
        out.push_back(p);
    }
}

void PrepareRange(const Frame& f, const std::vector<Triangle>& tris, size_t begin, size_t end,
                  std::vector<Rasterizer::Prepared>& opaque,
                  std::vector<Rasterizer::Prepared>& seeThrough) {
    opaque.clear();
    seeThrough.clear();
    HVert bufA[kMaxClipped], bufB[kMaxClipped];
    for (size_t t = begin; t < end; ++t) {
        const Triangle& tri = tris[t];
        if (tri.hidden) continue;
        std::vector<Rasterizer::Prepared>& out = AlphaOf(tri.colour) == 0xFF ? opaque : seeThrough;
        HVert v[3];
        Vec3 p[3];
        unsigned allOut = 0x1F;  // bits of the picture's planes that every corner is outside of
        unsigned anyClip = 0;    // bits of the clipping planes some corner is outside of
        for (int k = 0; k < 3; ++k) {
            p[k] = {tri.v[3 * k], tri.v[3 * k + 1], tri.v[3 * k + 2]};
            v[k] = {Dot(f.a, p[k]) + f.oa, Dot(f.b, p[k]) + f.ob, Dot(f.c, p[k]) + f.oc};
            unsigned out = 0;
            if (v[k].W < f.nearW) out |= 1;
            if (v[k].X < 0) out |= 2;
            if (v[k].X > f.width * v[k].W) out |= 4;
            if (v[k].Y < 0) out |= 8;
            if (v[k].Y > f.height * v[k].W) out |= 16;
            allOut &= out;
            if (out != 0) {  // only a corner outside the picture can be outside the guard band
                for (int plane = 0; plane < 5; ++plane)
                    if (PlaneValue(f, v[k], plane) < 0) anyClip |= 1u << plane;
            }
        }
        if (allOut != 0) continue;  // wholly behind the eye or beside the picture

        // Flat shading, lit from whichever side faces the eye.
        Vec3 n = Cross(p[1] - p[0], p[2] - p[0]);
        if (Dot(n, f.eye - p[0]) <= 0) {
            if (tri.outward) continue;  // the back of a closed body
            n = -n;
        }
        const double len = Length(n);
        if (!(len > 0)) continue;
        n = n * (1.0 / len);
        const double sky = f.groundLight + (1 - f.groundLight) * (1 + n.z) / 2;
        const double light = f.ambient * sky + f.diffuse * std::max(0.0, Dot(n, f.light)) +
                             f.fill * std::max(0.0, Dot(n, f.fillLight));
        const uint32_t colour = Shade(tri.colour, light);
        const auto order = static_cast<uint32_t>(t);

        if (anyClip == 0) {
            EmitPolygon(f, v, 3, colour, n, order, out);
            continue;
        }
        int count = 3;
        const HVert* src = v;
        HVert* dst = bufA;
        for (int plane = 0; plane < 5 && count >= 3; ++plane) {
            if ((anyClip & (1u << plane)) == 0) continue;
            count = ClipAgainst(f, src, count, dst, plane);
            src = dst;
            dst = dst == bufA ? bufB : bufA;
        }
        if (count >= 3) EmitPolygon(f, src, count, colour, n, order, out);
    }
}

bool OwnsRow(int row, int worker, int workers) {
    return ((row >> kStripeShift) % workers) == worker;
}

// Calls plot(pixel index, 1/distance) for every pixel centre the triangle covers in the rows
// this worker owns.
template <typename Plot>
void Cover(const Rasterizer::Prepared& p, int worker, int workers, int width, const Plot& plot) {
    // Edge k runs from corner k to corner k+1; inside is where every edge function is >= 0.
    // A pixel centre exactly on an edge belongs to the triangle only for edges going up, or
    // going right along a row: of two triangles sharing an edge, exactly one takes it.
    int64_t dx[3], dy[3], k0[3];
    for (int e = 0; e < 3; ++e) {
        const int n = (e + 1) % 3;
        dx[e] = p.x[n] - p.x[e];
        dy[e] = p.y[n] - p.y[e];
        const int64_t bias = (dy[e] < 0 || (dy[e] == 0 && dx[e] > 0)) ? 0 : -1;
        // E(x, y) = dx * (Py - Ye) - dy * (Px - Xe) + bias, with Px = 256 x + 128:
        // E = -256 dy x + K(y), K(y) = dx * (256 y + 128 - Ye) - dy * (128 - Xe) + bias.
        k0[e] = dx[e] * (kSub / 2 - p.y[e]) - dy[e] * (kSub / 2 - p.x[e]) + bias;
    }
    const int32_t stripe = 1 << kStripeShift;
    const int32_t colMin = std::max(0, std::min({p.x[0], p.x[1], p.x[2]}) / kSub - 1);
    const int32_t colMax = std::min(width - 1, std::max({p.x[0], p.x[1], p.x[2]}) / kSub + 1);
    if (colMax - colMin <= kSmallWidth && p.rowMax - p.rowMin <= kSmallWidth) {
        // Small triangles: every pixel of the box, edge functions stepped by additions.
        for (int32_t y = p.rowMin; y <= p.rowMax; ++y) {
            if (!OwnsRow(y, worker, workers)) continue;
            int64_t e[3];
            for (int k = 0; k < 3; ++k) e[k] = k0[k] + dx[k] * kSub * y - dy[k] * kSub * colMin;
            const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
            const float zRow = p.z0 + p.zy * static_cast<float>(y);
            for (int32_t x = colMin; x <= colMax; ++x) {
                if ((e[0] | e[1] | e[2]) >= 0) plot(row + x, zRow + p.zx * static_cast<float>(x));
                for (int k = 0; k < 3; ++k) e[k] -= dy[k] * kSub;
            }
        }
        return;
    }
    for (int32_t s = p.rowMin >> kStripeShift; s <= (p.rowMax >> kStripeShift); ++s) {
        if (s % workers != worker) continue;
        const int32_t yBegin = std::max(p.rowMin, s * stripe);
        const int32_t yEnd = std::min(p.rowMax, s * stripe + stripe - 1);
        for (int32_t y = yBegin; y <= yEnd; ++y) {
            int64_t lo = 0, hi = width - 1;
            bool empty = false;
            for (int e = 0; e < 3; ++e) {
                const int64_t k = k0[e] + dx[e] * kSub * y;
                if (dy[e] < 0) {
                    lo = std::max(lo, CeilDiv(-k, -dy[e] * kSub));
                } else if (dy[e] > 0) {
                    hi = std::min(hi, FloorDiv(k, dy[e] * kSub));
                } else if (k < 0) {
                    empty = true;
                }
            }
            if (empty || lo > hi) continue;
            const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
            const float zRow = p.z0 + p.zy * static_cast<float>(y);
            for (int64_t x = lo; x <= hi; ++x)
                plot(row + static_cast<size_t>(x), zRow + p.zx * static_cast<float>(x));
        }
    }
}

// Light sky above the horizon, ground below, by the height of each pixel's line of sight: the
// colour depends only on the sine of its elevation, looked up in a table.
class Backdrop {
public:
    static constexpr int kSteps = 2048;
    Backdrop() {
        struct Rgb {
            double r, g, b;
        };
        const Rgb zenith{96, 150, 212}, horizon{222, 234, 245};
        const Rgb haze{200, 206, 196}, ground{146, 158, 128};
        auto mix = [](const Rgb& a, const Rgb& b, double t) {
            return KXPixel(static_cast<uint8_t>(a.r + (b.r - a.r) * t),
                           static_cast<uint8_t>(a.g + (b.g - a.g) * t),
                           static_cast<uint8_t>(a.b + (b.b - a.b) * t));
        };
        for (int i = 0; i <= kSteps; ++i) {
            const double s = 2.0 * i / kSteps - 1;  // [-1, 1]
            table_[i] = s >= 0 ? mix(horizon, zenith, std::pow(s, 0.7))
                               : mix(haze, ground, std::min(1.0, -s * 6));
        }
    }
    uint32_t At(double sine) const {
        const int i = static_cast<int>((sine + 1) * 0.5 * kSteps + 0.5);
        return table_[std::clamp(i, 0, kSteps)];
    }

private:
    uint32_t table_[kSteps + 1];
};

void FillBackground(const Camera& cam, const RenderSettings& settings, int width, int height,
                    int worker, int workers, uint32_t* colour, float* depth, uint32_t* ids) {
    static const Backdrop backdrop;
    Vec3 f, r, u;
    cam.Basis(f, r, u);
    const double k = width / (2 * std::tan(cam.viewAngle * kPi / 360));
    const double cx = width / 2.0, cy = height / 2.0;
    for (int y = 0; y < height; ++y) {
        if (!OwnsRow(y, worker, workers)) continue;
        uint32_t* c = colour + static_cast<size_t>(y) * width;
        float* d = depth + static_cast<size_t>(y) * width;
        std::fill(d, d + width, 0.0f);
        std::fill(ids + static_cast<size_t>(y) * width, ids + static_cast<size_t>(y + 1) * width, 0u);
        if (!settings.sky) {
            std::fill(c, c + width, KXPixel(255, 255, 255));
            continue;
        }
        // Along a row the line of sight is d0 + x s: its height is linear in x and its squared
        // length quadratic, so each pixel costs a few float operations and a square root.
        const Vec3 d0 = f - u * ((y + 0.5 - cy) / k) + r * ((0.5 - cx) / k);
        const Vec3 s = r * (1 / k);
        const float z0 = static_cast<float>(d0.z), zs = static_cast<float>(s.z);
        const float q0 = static_cast<float>(Dot(d0, d0)), q1 = static_cast<float>(2 * Dot(d0, s));
        const float q2 = static_cast<float>(Dot(s, s));
        for (int x = 0; x < width; ++x) {
            const float fx = static_cast<float>(x);
            c[x] = backdrop.At(
                static_cast<double>((z0 + zs * fx) / std::sqrt(q0 + (q1 + q2 * fx) * fx)));
        }
    }
}

// ---- Smoothing and lines -----------------------------------------------------------------------

// A neighbour's depth that differs from the plane of this pixel's face, carried on to it, by more
// than this share is a jump: the two faces do not touch there, so the nearer one's outline runs
// between them.
constexpr float kDepthJump = 0.01f;
// A pixel's face: the set-up worker's number above this many bits, 1 + its place in the
// worker's list below them.
constexpr int kMaxWorkers = 8;
constexpr int kIdShift = 28;
constexpr uint32_t kIdMask = (1u << kIdShift) - 1;
static_assert(kMaxWorkers <= (1 << (32 - kIdShift)));

struct Resolve {
    int width = 0, height = 0;
    const uint32_t* ids = nullptr;
    const float* depth = nullptr;
    const uint32_t* background = nullptr;
    const Rasterizer::Prepared* lists[kMaxWorkers] = {};  // the opaque faces, per set-up worker
    bool antialias = false, edges = false;
    float creaseCos = 0;

    const Rasterizer::Prepared& Face(uint32_t id) const {
        return lists[id >> kIdShift][(id & kIdMask) - 1];
    }
    uint32_t ColourAt(size_t i) const {
        return ids[i] == 0 ? background[i] : Face(ids[i]).colour;
    }
};

inline float PlaneAt(const Rasterizer::Prepared& p, float x, float y) {
    return p.z0 + p.zx * x + p.zy * y;
}

// Edge function of edge e at a point in 1/256 pixel: >= 0 inside the triangle.
inline double EdgeAt(const Rasterizer::Prepared& p, int e, double px, double py) {
    const int n = (e + 1) % 3;
    const double dx = static_cast<double>(p.x[n]) - p.x[e];
    const double dy = static_cast<double>(p.y[n]) - p.y[e];
    return dx * (py - p.y[e]) - dy * (px - p.x[e]);
}

// Where, on the way from the centre of pixel (x, y) to that of its neighbour one step along
// (ax, ay), the front face f begins or ends: 0 at the pixel, 1 at the neighbour. -1 when none of
// f's edges crosses the way, or when the edge that does runs more along the step than across it
// (the neighbour on the other axis smooths that edge).
double Crossing(const Rasterizer::Prepared& f, int x, int y, int ax, int ay) {
    const double px = x * 256.0 + 128, py = y * 256.0 + 128;
    const double qx = px + ax * 256.0, qy = py + ay * 256.0;
    double ep[3], eq[3];
    bool inside = true;
    for (int e = 0; e < 3; ++e) {
        ep[e] = EdgeAt(f, e, px, py);
        eq[e] = EdgeAt(f, e, qx, qy);
        if (ep[e] < 0) inside = false;
    }
    double best = inside ? 2.0 : -1.0;
    int edge = -1;
    for (int e = 0; e < 3; ++e) {
        if (inside ? (ep[e] >= 0 && eq[e] < 0) : (ep[e] < 0 && eq[e] >= 0)) {
            const double t = ep[e] / (ep[e] - eq[e]);
            if (inside ? t < best : t > best) {
                best = t;
                edge = e;
            }
        }
    }
    if (edge < 0) return -1;
    const int n = (edge + 1) % 3;
    const int64_t dx = std::abs(static_cast<int64_t>(f.x[n]) - f.x[edge]);
    const int64_t dy = std::abs(static_cast<int64_t>(f.y[n]) - f.y[edge]);
    if (ax != 0 ? dy < dx : dx <= dy) return -1;
    return best;
}

// One pixel: its colour with the edges between it and its four neighbours smoothed, and whether
// it carries a line.
void ResolvePixel(const Resolve& r, int x, int y, uint32_t& colour, bool& line) {
    const size_t i = static_cast<size_t>(y) * r.width + x;
    const uint32_t id = r.ids[i];
    const uint32_t own = r.ColourAt(i);
    colour = own;
    line = false;
    static constexpr int kSteps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    const Rasterizer::Prepared* p = id != 0 ? &r.Face(id) : nullptr;
    float share[4] = {};
    uint32_t other[4] = {};
    float total = 0;
    for (int k = 0; k < 4; ++k) {
        const int nx = x + kSteps[k][0], ny = y + kSteps[k][1];
        if (nx < 0 || ny < 0 || nx >= r.width || ny >= r.height) continue;
        const size_t j = static_cast<size_t>(ny) * r.width + nx;
        const uint32_t nid = r.ids[j];
        if (nid == id) continue;
        const Rasterizer::Prepared* q = nid != 0 ? &r.Face(nid) : nullptr;
        const float fx = static_cast<float>(x), fy = static_cast<float>(y);
        const float gx = static_cast<float>(nx), gy = static_cast<float>(ny);
        bool jump = true;
        if (p != nullptr && q != nullptr)
            jump = std::fabs(PlaneAt(*p, gx, gy) - r.depth[j]) > kDepthJump * r.depth[j] &&
                   std::fabs(PlaneAt(*q, fx, fy) - r.depth[i]) > kDepthJump * r.depth[i];
        const bool afterThis = k == 1 || k == 3;  // the neighbour is to the right or below
        if (r.edges && !line) {
            if (jump) {
                line = r.depth[i] > r.depth[j] || (r.depth[i] == r.depth[j] && afterThis);
            } else {
                const float cosine = p->normal[0] * q->normal[0] + p->normal[1] * q->normal[1] +
                                     p->normal[2] * q->normal[2];
                line = cosine < r.creaseCos && afterThis;
            }
        }
        if (!r.antialias) continue;
        const uint32_t theirs = r.ColourAt(j);
        if (theirs == own) continue;
        // The face in front where the two pixels meet owns the edge between them.
        const float mx = (fx + gx) / 2, my = (fy + gy) / 2;
        const Rasterizer::Prepared* front = p;
        if (p == nullptr || (q != nullptr && PlaneAt(*q, mx, my) > PlaneAt(*p, mx, my))) front = q;
        const double t = Crossing(*front, x, y, kSteps[k][0], kSteps[k][1]);
        if (t < 0 || t >= 0.5) continue;
        share[k] = static_cast<float>(0.5 - t);
        other[k] = theirs;
        total += share[k];
    }
    if (total <= 0) return;
    // A pixel narrower than the edges round it: the shares are scaled to fill it.
    const float scale = total > 1 ? 1 / total : 1;
    float rgb[3] = {static_cast<float>(KXPixelRed(own)), static_cast<float>(KXPixelGreen(own)),
                    static_cast<float>(KXPixelBlue(own))};
    const float keep = 1 - total * scale;
    for (float& c : rgb) c *= keep;
    for (int k = 0; k < 4; ++k) {
        if (share[k] <= 0) continue;
        const float w = share[k] * scale;
        rgb[0] += w * KXPixelRed(other[k]);
        rgb[1] += w * KXPixelGreen(other[k]);
        rgb[2] += w * KXPixelBlue(other[k]);
    }
    auto ch = [](float v) { return static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f)); };
    colour = KXPixel(ch(rgb[0]), ch(rgb[1]), ch(rgb[2]));
}

// Runs work(0..workers-1), the calling thread taking share 0. A share whose thread cannot be
// started is done by the calling thread; a share that throws sets `failed`.
template <typename Work>
void RunWorkers(int workers, std::atomic<bool>& failed, const Work& work) {
    auto guarded = [&](int w) {
        try {
            work(w);
        } catch (const std::exception&) {
            failed = true;
        }
    };
    std::vector<std::thread> helpers;
    std::vector<int> leftOver;
    helpers.reserve(static_cast<size_t>(workers));
    for (int w = 1; w < workers; ++w) {
        try {
            helpers.emplace_back(guarded, w);
        } catch (const std::exception&) {
            leftOver.push_back(w);
        }
    }
    guarded(0);
    for (int w : leftOver) guarded(w);
    for (auto& t : helpers) t.join();
}

}  // namespace

bool Rasterizer::Render(const Scene& scene, const Camera& camera, int width, int height, Image& out,
                        std::string& error) {
    stats_ = {};
    stats_.triangles = scene.ShownCount();
    if (KXPixMapByteSize(width, height) < 0) {
        error = "a picture must be between 1 and " + std::to_string(kKXPixMapMaxSide) +
                " pixels wide and high";
        return false;
    }
    int samples = std::clamp(settings_.samples, 1, 4);
    while (samples > 1 && KXPixMapByteSize(width * samples, height * samples) < 0) --samples;
    if (samples == 1) return RenderAt(scene, camera, width, height, 1, out, error);
    // Lines as wide as the scaling-down narrows them, so that they stay one pixel wide.
    if (!RenderAt(scene, camera, width * samples, height * samples, samples, large_, error))
        return false;
    large_.DownsampleInto(samples, out);
    return true;
}

bool Rasterizer::RenderAt(const Scene& scene, const Camera& camera, int width, int height,
                          int lineWidth, Image& out, std::string& error) {
    Vec3 fw, rt, up;
    if (!camera.IsUsable() || !camera.Basis(fw, rt, up)) {
        error =
            "the camera does not make a view (eye on the target, looking straight up or down, "
            "or a field of view outside 0 to 180 degrees)";
        return false;
    }
    Frame f;
    const double k = width / (2 * std::tan(camera.viewAngle * kPi / 360));
    const double cx = width / 2.0, cy = height / 2.0;
    f.a = fw * cx + rt * k;
    f.b = fw * cy - up * k;
    f.c = fw;
    f.oa = -Dot(f.a, camera.eye);
    f.ob = -Dot(f.b, camera.eye);
    f.oc = -Dot(f.c, camera.eye);
    f.width = width;
    f.height = height;
    f.nearW = camera.nearDistance > 0 ? camera.nearDistance : kDefaultNear;
    f.eye = camera.eye;
    f.light = camera.TowardsSun();
    {
        Camera fillSun = camera;
        fillSun.sunAzimuth = camera.sunAzimuth + 120;
        fillSun.sunAltitude = 25;
        f.fillLight = fillSun.TowardsSun();
    }
    f.ambient = settings_.ambient;
    f.groundLight = settings_.groundLight;
    f.diffuse = settings_.diffuse;
    f.fill = settings_.fill;

    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    out.Resize(width, height);
    depth_.resize(pixels);
    ids_.resize(pixels);
    background_.resize(pixels);
    const bool edges = settings_.edges;
    if (edges && lineWidth > 1) lines_.resize(pixels);
    const int workers = std::clamp(settings_.threads, 1, kMaxWorkers);
    prepared_.resize(static_cast<size_t>(workers));
    preparedSeeThrough_.resize(static_cast<size_t>(workers));

    const std::vector<Triangle>& tris = scene.Triangles();
    std::atomic<bool> failed{false};
    RunWorkers(workers, failed, [&](int w) {
        const size_t begin = tris.size() * w / workers;
        const size_t end = tris.size() * (w + 1) / workers;
        PrepareRange(f, tris, begin, end, prepared_[static_cast<size_t>(w)],
                     preparedSeeThrough_[static_cast<size_t>(w)]);
        FillBackground(camera, settings_, width, height, w, workers, background_.data(),
                       depth_.data(), ids_.data());
    });
    if (failed) {
        error = "out of memory while drawing the picture";
        return false;
    }
    // See-through faces farthest first (ties in scene order).
    size_t opaqueCount = 0;
    try {
        seeThrough_.clear();
        for (size_t w = 0; w < prepared_.size(); ++w) {
            if (prepared_[w].size() >= kIdMask) {
                error = "too many faces for one picture";
                return false;
            }
            opaqueCount += prepared_[w].size();
            seeThrough_.insert(seeThrough_.end(), preparedSeeThrough_[w].begin(),
                               preparedSeeThrough_[w].end());
        }
    } catch (const std::exception&) {
        error = "out of memory while drawing the picture";
        return false;
    }
    std::stable_sort(seeThrough_.begin(), seeThrough_.end(),
                     [](const Prepared& a, const Prepared& b) {
                         return a.zMid < b.zMid || (a.zMid == b.zMid && a.order < b.order);
                     });

    uint32_t* colour = out.Pixels().data();
    float* depth = depth_.data();
    uint32_t* ids = ids_.data();
    RunWorkers(workers, failed, [&](int w) {
        // Every worker fills its rows with the faces of every set-up worker, in scene order.
        for (size_t list = 0; list < prepared_.size(); ++list) {
            const std::vector<Prepared>& faces = prepared_[list];
            const uint32_t tag = static_cast<uint32_t>(list) << kIdShift;
            for (size_t n = 0; n < faces.size(); ++n) {
                const uint32_t id = tag | static_cast<uint32_t>(n + 1);
                Cover(faces[n], w, workers, width, [&](size_t i, float z) {
                    if (z > depth[i] * kNearerBy) {
                        depth[i] = z;
                        ids[i] = id;
                    }
                });
            }
        }
    });
    if (failed) {
        error = "out of memory while drawing the picture";
        return false;
    }

    Resolve r;
    r.width = width;
    r.height = height;
    r.ids = ids;
    r.depth = depth;
    r.background = background_.data();
    for (size_t list = 0; list < prepared_.size(); ++list) r.lists[list] = prepared_[list].data();
    r.antialias = settings_.antialias;
    r.edges = edges;
    r.creaseCos = static_cast<float>(std::cos(settings_.creaseDegrees * kPi / 180));
    const auto strength = static_cast<float>(std::clamp(settings_.edgeStrength, 0.0, 1.0));
    const uint32_t ink = settings_.edgeColour;
    RunWorkers(workers, failed, [&](int w) {
        for (int y = 0; y < height; ++y) {
            if (!OwnsRow(y, w, workers)) continue;
            const size_t row = static_cast<size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                const size_t i = row + x;
                const uint32_t id = ids[i];
                // Most pixels lie inside one face: nothing to smooth, no line.
                if ((x == 0 || ids[i - 1] == id) && (x + 1 == width || ids[i + 1] == id) &&
                    (y == 0 || ids[i - width] == id) && (y + 1 == height || ids[i + width] == id)) {
                    colour[i] = r.ColourAt(i);
                    if (lineWidth > 1 && edges) lines_[i] = 0;
                    continue;
                }
                uint32_t c = 0;
                bool line = false;
                ResolvePixel(r, x, y, c, line);
                if (lineWidth > 1) {
                    if (edges) lines_[i] = line ? 1 : 0;
                } else if (line) {
                    c = Mix(c, ink, strength);
                }
                colour[i] = c;
            }
        }
    });
    if (edges && lineWidth > 1) {
        // A line fills the whole block of samples that becomes its pixel, so that it is one
        // pixel wide, and crisp, once the picture is scaled down.
        RunWorkers(workers, failed, [&](int w) {
            for (int y = 0; y < height; ++y) {
                if (!OwnsRow(y, w, workers)) continue;
                const int top = y - y % lineWidth;
                for (int x = 0; x < width; ++x) {
                    const int left = x - x % lineWidth;
                    bool any = false;
                    for (int by = top; by < std::min(top + lineWidth, height) && !any; ++by) {
                        const uint8_t* row = lines_.data() + static_cast<size_t>(by) * width;
                        for (int bx = left; bx < std::min(left + lineWidth, width); ++bx)
                            if (row[bx] != 0) {
                                any = true;
                                break;
                            }
                    }
                    if (any) {
                        uint32_t& c = colour[static_cast<size_t>(y) * width + x];
                        c = Mix(c, ink, strength);
                    }
                }
            }
        });
    }
    // See-through faces over what lies behind them, farthest first, each pixel in the same order
    // whichever worker draws it.
    if (!seeThrough_.empty()) {
        RunWorkers(workers, failed, [&](int w) {
            for (const Prepared& p : seeThrough_) {
                const float share = static_cast<float>(AlphaOf(p.colour)) / 255.0f;
                Cover(p, w, workers, width, [&](size_t i, float z) {
                    if (z > depth[i] * kNearerBy) colour[i] = Mix(colour[i], p.colour, share);
                });
            }
        });
    }
    if (failed) {
        error = "out of memory while drawing the picture";
        return false;
    }
    stats_.visible = opaqueCount + seeThrough_.size();
    return true;
}

}  // namespace CadHost::Render
