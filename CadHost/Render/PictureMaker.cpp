#include "Render/PictureMaker.h"

#include "Model/Project.h"
#include "Render/CachedModelScene.h"
#include "Render/ViewState.h"

namespace CadHost::Render {
namespace {

// Kept between pictures: a movie draws one model many times, changing only what is shown.
CachedModelScene& TheScene() {
    static CachedModelScene scene;
    return scene;
}

void SizeOf(PictureKind kind, int& width, int& height) {
    const ViewState& view = ViewState::Get();
    width = kind == PictureKind::Window ? view.WindowWidth() : view.RenderWidth();
    height = kind == PictureKind::Window ? view.WindowHeight() : view.RenderHeight();
}

}  // namespace

Camera PictureMaker::CurrentCamera(PictureKind kind) {
    int width = 0, height = 0;
    SizeOf(kind, width, height);
    // Only the default view needs the model's box; a set camera does not walk the model.
    const ViewState& view = ViewState::Get();
    const Bounds model = view.HasCamera() ? Bounds{} : TheScene().ModelBounds(CurrentProject());
    return view.CurrentCamera(model, static_cast<double>(width) / height);
}

bool PictureMaker::Make(PictureKind kind, const Camera* camera, Image& out, std::string& error,
                        RenderStats* stats) {
    // Kept between pictures: their buffers are as large as the last picture's.
    static Rasterizer rasterizer;
    static Image large;  // the rendered picture before it is scaled down

    int width = 0, height = 0;
    SizeOf(kind, width, height);
    int samples = kind == PictureKind::Rendered ? ViewState::Get().RenderSupersampling() : 1;
    while (samples > 1 && KXPixMapByteSize(width * samples, height * samples) < 0) --samples;

    const Camera view = camera != nullptr ? *camera : CurrentCamera(kind);
    const Scene& scene = TheScene().Update(CurrentProject());
    if (!rasterizer.Render(scene, view, width * samples, height * samples,
                           samples > 1 ? large : out, error))
        return false;
    if (samples > 1) large.DownsampleInto(samples, out);
    if (stats != nullptr) *stats = rasterizer.Stats();
    return true;
}

}  // namespace CadHost::Render
