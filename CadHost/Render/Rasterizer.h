#pragma once
// The software renderer: a z-buffered, flat-shaded rasterizer of a scene seen from a camera, over
// a light sky and ground.
//
// Triangles are clipped at the near plane (and at a wide guard band round the picture, so that
// screen coordinates stay small), snapped to 1/256 pixel and filled by exact integer edge tests
// with the top-left rule: two triangles sharing an edge cover each pixel centre on it exactly
// once, so there are neither cracks nor double-drawn pixels. Depth is 1/distance, evaluated per
// pixel from the triangle's plane (no running sums), and a triangle only wins a pixel when it is
// nearer by a small margin, so coplanar faces resolve the same way all over and in every picture.
// The work is shared by up to `threads` threads: set-up by ranges of triangles, filling by bands of
// rows.
//
// After the opaque faces are filled, one pass over the picture smooths the edges and draws the
// lines: every pixel remembers which triangle it shows, and where two neighbours show different
// triangles the front one's edge is found exactly between them, so the pixel on either side
// takes the other side's colour by the share of it that the edge leaves there. Where the depth
// jumps (an outline) or two faces meet at more than a set angle (a crease), the nearer pixel
// (for a crease, the left or upper one) is drawn in a dark tone: lines one pixel wide at any
// size. Then the see-through faces are blended over it, farthest first. Each pass reads what the
// one before wrote and writes each pixel once, so the picture is the same bit for bit whatever
// the number of threads.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Render/Camera.h"
#include "Render/Image.h"
#include "Render/Scene.h"

namespace CadHost::Render {

// Light: the sky's (from above, less from the ground below), the sun's (its direction comes with
// the camera) and a low light from the sky to the sun's left, so that walls facing any of the
// four ways read apart. A face's light is a fixed function of its direction alone.
struct RenderSettings {
    int threads = 2;
    double ambient = 0.5;       // sky light on a face looking straight up
    double groundLight = 0.72;  // the share of it on a face looking straight down
    double diffuse = 0.45;      // sun light on a face looking at the sun
    double fill = 0.12;         // the low light from the sky, 120 degrees round from the sun
    bool sky = true;            // sky and ground; false: a plain white background
    bool antialias = true;      // smoothed edges
    bool edges = true;          // outlines and creases drawn in a dark tone
    double creaseDegrees = 30;  // faces meeting at a sharper angle than this get a line
    uint32_t edgeColour = 0xFF26262A;
    double edgeStrength = 0.85;
    int samples = 1;  // pictures drawn this many times wider and higher and scaled down (1..4)
};

struct RenderStats {
    size_t triangles = 0;  // in the scene
    size_t visible = 0;    // reached the filling step (after culling and clipping)
};

class Rasterizer {
public:
    explicit Rasterizer(RenderSettings settings = {}) : settings_(settings) {}

    // Draws the scene into `out`, resized to width x height. False with a reason when the camera
    // sees nothing (bad camera) or the size is not a picture size.
    bool Render(const Scene& scene, const Camera& camera, int width, int height, Image& out,
                std::string& error);

    const RenderStats& Stats() const { return stats_; }
    RenderSettings& Settings() { return settings_; }

    // One triangle ready to be filled, in 1/256-pixel integer coordinates.
    struct Prepared {
        int32_t x[3], y[3];
        float zx, zy, z0;  // 1/distance = zx * px + zy * py + z0 at pixel centre (px, py)
        uint32_t colour;   // lit; its alpha is the opacity
        int32_t rowMin, rowMax;
        float normal[3];  // unit normal towards the eye, for the crease test
        float zMid;       // 1/distance of the centroid: see-through faces are drawn by it
        uint32_t order;   // place in the scene, breaking ties of zMid
    };

private:
    bool RenderAt(const Scene& scene, const Camera& camera, int width, int height, int lineWidth,
                  Image& out, std::string& error);

    RenderSettings settings_;
    RenderStats stats_;
    std::vector<float> depth_;
    // Per pixel: the opaque face it shows, as set-up worker (top bits) and 1 + index in that
    // worker's list; 0 for the sky.
    std::vector<uint32_t> ids_;
    std::vector<uint32_t> background_;   // sky and ground, then the opaque faces' colours
    std::vector<uint8_t> lines_;         // per pixel: 1 where a line is drawn
    Image large_;                        // the picture before it is scaled down
    std::vector<Prepared> seeThrough_;   // farthest first
    std::vector<std::vector<Prepared>> prepared_;  // opaque, per set-up worker, in scene order
    std::vector<std::vector<Prepared>> preparedSeeThrough_;  // likewise
};

}  // namespace CadHost::Render
