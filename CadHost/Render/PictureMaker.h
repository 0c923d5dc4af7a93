#pragma once
// Pictures of the open project: the 3D window's picture or the rendered picture, from the
// current 3D view or from a given camera.
#include <string>

#include "Render/Camera.h"
#include "Render/Image.h"
#include "Render/Rasterizer.h"

namespace CadHost::Render {

enum class PictureKind { Window, Rendered };

class PictureMaker {
public:
    // Renders the current project at the size of the kind asked for, with the host's lines
    // setting (the rendered picture is drawn larger and scaled down when its samples per pixel
    // side are more than one). `camera` null: the current 3D view. `legend`: the legend's box
    // with the rows whose materials the picture shows.
    static bool Make(PictureKind kind, const Camera* camera, Image& out, std::string& error,
                     RenderStats* stats = nullptr, bool legend = false);
    // The camera of the current 3D view for a picture of this kind (the default view frames the
    // whole model at the picture's proportions).
    static Camera CurrentCamera(PictureKind kind);
};

}  // namespace CadHost::Render
