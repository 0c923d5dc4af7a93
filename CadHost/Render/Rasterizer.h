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
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Render/Camera.h"
#include "Render/Image.h"
#include "Render/Scene.h"

namespace CadHost::Render {

// The sun comes from the camera.
struct RenderSettings {
    int threads = 2;
    double ambient = 0.52;
    double diffuse = 0.48;
    bool sky = true;  // sky and ground; false: a plain white background
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
        uint32_t colour;   // lit
        int32_t rowMin, rowMax;
    };

private:
    RenderSettings settings_;
    RenderStats stats_;
    std::vector<float> depth_;
    std::vector<std::vector<Prepared>> prepared_;  // per set-up worker, in scene order
};

}  // namespace CadHost::Render
