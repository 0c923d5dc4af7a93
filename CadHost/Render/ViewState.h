#pragma once
// The host's 3D view and 3D window: the current view (a camera, or the default framing of the
// whole model while nobody has set one), the 3D window's picture size, the rendered picture's size
// and whether a series of pictures (a movie) is being made.
#include <optional>
#include <string>
#include <vector>

#include "Render/Camera.h"

namespace CadHost::Render {

class ViewState {
public:
    static ViewState& Get();

    static constexpr int kDefaultWindowWidth = 1280;
    static constexpr int kDefaultWindowHeight = 720;
    static constexpr int kDefaultRenderWidth = 1920;
    static constexpr int kDefaultRenderHeight = 1080;
    static constexpr int kMaxSide = 8192;  // also fits the 16-bit sizes of the host's records

    // The camera of the current view; without one set, the default view framing `model`.
    Camera CurrentCamera(const Bounds& model, double aspect) const;
    bool HasCamera() const { return camera_.has_value(); }
    void SetCamera(const Camera& camera) { camera_ = camera; }
    // Back to the default view that frames the whole model.
    void ResetCamera() { camera_.reset(); }

    int WindowWidth() const { return windowWidth_; }
    int WindowHeight() const { return windowHeight_; }
    int RenderWidth() const { return renderWidth_; }
    int RenderHeight() const { return renderHeight_; }
    // Samples per pixel side of the rendered picture; edges are smoothed without them.
    int RenderSupersampling() const { return renderSupersampling_; }

    // False when the size is outside 1..kMaxSide.
    bool SetWindowSize(int width, int height);
    bool SetRenderSize(int width, int height);
    bool SetRenderSupersampling(int samples);

    // Outlines and creases in every picture (`rendering edges on|off`, a movie's setting).
    bool edges = true;
    // The legend in the pictures the add-on asks for (a movie's setting).
    bool legendInPictures = false;
    // The legend's rows, as the add-on gave them: a name and the materials that stand for it.
    struct LegendRow {
        std::string name;
        int32_t underWayMaterial = 0;
        int32_t doneMaterial = 0;  // 0: the elements keep their own materials when done
    };
    std::vector<LegendRow> legend;

    bool seriesFlag = false;  // set by 'SECF' while a movie generator lives
    bool seriesOpen = false;  // between the opening and the closing goodies call
    int picturesInSeries = 0;

    // Everything back to the defaults (new session, tests).
    void Reset();

private:
    std::optional<Camera> camera_;
    int windowWidth_ = kDefaultWindowWidth;
    int windowHeight_ = kDefaultWindowHeight;
    int renderWidth_ = kDefaultRenderWidth;
    int renderHeight_ = kDefaultRenderHeight;
    int renderSupersampling_ = 1;
};

}  // namespace CadHost::Render
