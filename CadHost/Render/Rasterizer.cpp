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
    Vec3 eye, light;
    double ambient, diffuse;
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

uint32_t Shade(uint32_t colour, double light) {
    auto ch = [light](uint32_t v) {
        const double s = std::round(static_cast<double>(v & 0xFF) * light);
        return static_cast<uint8_t>(std::clamp(s, 0.0, 255.0));
    };
    return KXPixel(ch(colour >> 16), ch(colour >> 8), ch(colour));
}

// Turns one clipped polygon (corners in homogeneous coordinates, all in front of the eye) into
// fan triangles ready for filling.
void EmitPolygon(const Frame& f, const HVert* poly, int n, uint32_t colour,
                 std::vector<Rasterizer::Prepared>& out) {
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
        out.push_back(p);
    }
}

void PrepareRange(const Frame& f, const std::vector<Triangle>& tris, size_t begin, size_t end,
                  std::vector<Rasterizer::Prepared>& out) {
    out.clear();
    HVert bufA[kMaxClipped], bufB[kMaxClipped];
    for (size_t t = begin; t < end; ++t) {
        const Triangle& tri = tris[t];
        if (tri.hidden) continue;
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
        const double light = f.ambient + f.diffuse * std::max(0.0, Dot(n, f.light));
        const uint32_t colour = Shade(tri.colour, light);

        if (anyClip == 0) {
            EmitPolygon(f, v, 3, colour, out);
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
        if (count >= 3) EmitPolygon(f, src, count, colour, out);
    }
}

bool OwnsRow(int row, int worker, int workers) {
    return ((row >> kStripeShift) % workers) == worker;
}

void FillTriangle(const Rasterizer::Prepared& p, int worker, int workers, int width,
                  uint32_t* colour, float* depth) {
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
                if ((e[0] | e[1] | e[2]) >= 0) {
                    const float z = zRow + p.zx * static_cast<float>(x);
                    if (z > depth[row + x] * kNearerBy) {
                        depth[row + x] = z;
                        colour[row + x] = p.colour;
                    }
                }
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
            float* d = depth + row;
            uint32_t* c = colour + row;
            const float zRow = p.z0 + p.zy * static_cast<float>(y);
            for (int64_t x = lo; x <= hi; ++x) {
                const float z = zRow + p.zx * static_cast<float>(x);
                if (z > d[x] * kNearerBy) {
                    d[x] = z;
                    c[x] = p.colour;
                }
            }
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
                    int worker, int workers, uint32_t* colour, float* depth) {
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
    f.ambient = settings_.ambient;
    f.diffuse = settings_.diffuse;

    out.Resize(width, height);
    depth_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const int workers = std::clamp(settings_.threads, 1, 8);
    prepared_.resize(static_cast<size_t>(workers));

    const std::vector<Triangle>& tris = scene.Triangles();
    std::atomic<bool> failed{false};
    RunWorkers(workers, failed, [&](int w) {
        const size_t begin = tris.size() * w / workers;
        const size_t end = tris.size() * (w + 1) / workers;
        PrepareRange(f, tris, begin, end, prepared_[static_cast<size_t>(w)]);
        FillBackground(camera, settings_, width, height, w, workers, out.Pixels().data(),
                       depth_.data());
    });
    if (!failed) {
        RunWorkers(workers, failed, [&](int w) {
            for (const auto& list : prepared_)
                for (const Prepared& p : list)
                    FillTriangle(p, w, workers, width, out.Pixels().data(), depth_.data());
        });
    }
    if (failed) {
        error = "out of memory while drawing the picture";
        return false;
    }
    for (const auto& list : prepared_) stats_.visible += list.size();
    return true;
}

}  // namespace CadHost::Render
