#include "Render/PictureMaker.h"

#include "Model/Project.h"
#include "Render/CachedModelScene.h"
#include "Render/Legend.h"
#include "Render/ModelScene.h"
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
                        RenderStats* stats, bool legend) {
    // Kept between pictures: their buffers are as large as the last picture's.
    static Rasterizer rasterizer;

    int width = 0, height = 0;
    SizeOf(kind, width, height);
    const ViewState& state = ViewState::Get();
    rasterizer.Settings().samples = kind == PictureKind::Rendered ? state.RenderSupersampling() : 1;
    rasterizer.Settings().edges = state.edges;

    const Camera view = camera != nullptr ? *camera : CurrentCamera(kind);
    const Project& project = CurrentProject();
    const Scene& scene = TheScene().Update(project);
    if (!rasterizer.Render(scene, view, width, height, out, error)) return false;
    if (stats != nullptr) *stats = rasterizer.Stats();
    if (legend) {
        std::vector<Legend::Row> rows;
        for (const ViewState::LegendRow& row : state.legend) {
            const bool done = row.doneMaterial > 0;
            if (!TheScene().ShowsMaterial(row.underWayMaterial) &&
                !(done && TheScene().ShowsMaterial(row.doneMaterial)))
                continue;
            Legend::Row r;
            r.name = row.name;
            r.underWay = ModelScene::MaterialColour(project, row.underWayMaterial);
            if (done) r.done = ModelScene::MaterialColour(project, row.doneMaterial);
            rows.push_back(std::move(r));
        }
        Legend::Draw(out, rows);
    }
    return true;
}

}  // namespace CadHost::Render
