#include "Render/ViewState.h"

namespace CadHost::Render {

ViewState& ViewState::Get() {
    static ViewState state;
    return state;
}

Camera ViewState::CurrentCamera(const Bounds& model, double aspect) const {
    return camera_ ? *camera_ : Camera::Framing(model, aspect);
}

bool ViewState::SetWindowSize(int width, int height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    windowWidth_ = width;
    windowHeight_ = height;
    return true;
}

bool ViewState::SetRenderSize(int width, int height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    renderWidth_ = width;
    renderHeight_ = height;
    return true;
}

bool ViewState::SetRenderSupersampling(int samples) {
    if (samples < 1 || samples > 4) return false;
    renderSupersampling_ = samples;
    return true;
}

void ViewState::Reset() { *this = ViewState{}; }

}  // namespace CadHost::Render
