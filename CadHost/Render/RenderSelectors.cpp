// The host's selector calls about the 3D view, its window and its pictures, and the camera paths
// seen from the movie's side.
#include <cstring>
#include <iterator>
#include <vector>

#include "API/Pictures.h"
#include "API/View3D.h"
#include "BM.h"
#include "DebugLog.h"
#include "Model/Project.h"
#include "Registry.h"
#include "Render/CameraPath.h"
#include "Render/PictureMaker.h"
#include "Render/ViewState.h"

namespace CadHost::Render {
namespace {

// 'GP3D': the current view, always a perspective one in this host.
GSErrCode GetProjection(void* par1, void*) {
    auto* info = static_cast<API_3DProjectionInfo*>(par1);
    if (info == nullptr) return ApiErr::BadParameter;
    std::memset(info, 0, sizeof(*info));
    info->isPersp = 1;
    info->camera = PictureMaker::CurrentCamera(PictureKind::Window).ToRecord();
    return ApiErr::NoError;
}

// 'CP3D': sets the view from a camera record.
GSErrCode SetProjection(void* par1, void*) {
    const auto* info = static_cast<const API_3DProjectionInfo*>(par1);
    if (info == nullptr || info->isPersp != 1) return ApiErr::BadParameter;
    Camera camera;
    std::string error;
    if (!Camera::FromRecord(info->camera, camera, error)) {
        DBPrintf("CadHost: 'CP3D' refused: %s\n", error.c_str());
        return ApiErr::BadParameter;
    }
    ViewState::Get().SetCamera(camera);
    return ApiErr::NoError;
}

// 'GW3D': the 3D window.
GSErrCode Get3DWindow(void* par1, void*) {
    auto* info = static_cast<API_3DWindowInfo*>(par1);
    if (info == nullptr) return ApiErr::BadParameter;
    std::memset(info, 0, sizeof(*info));
    info->hSize = static_cast<int16_t>(ViewState::Get().WindowWidth());
    info->vSize = static_cast<int16_t>(ViewState::Get().WindowHeight());
    return ApiErr::NoError;
}

// 'GREN': the rendered picture. There is one set of rendering settings; the second argument,
// which names the set, is not needed.
GSErrCode GetRendering(void* par1, void*) {
    auto* info = static_cast<API_RenderingInfo*>(par1);
    if (info == nullptr) return ApiErr::BadParameter;
    std::memset(info, 0, sizeof(*info));
    info->hSize = static_cast<int16_t>(ViewState::Get().RenderWidth());
    info->vSize = static_cast<int16_t>(ViewState::Get().RenderHeight());
    info->supersampling = static_cast<int16_t>(ViewState::Get().RenderSupersampling());
    return ApiErr::NoError;
}

// 'CIMG': a picture of the current view.
GSErrCode MakePicture(void* par1, void* par2) {
    auto* handle = static_cast<KXPixMapHandle*>(par1);
    if (handle == nullptr) return ApiErr::BadParameter;
    const auto* request = static_cast<const API_PictureRequest*>(par2);
    const PictureKind kind = request == nullptr || request->use3DWindow != 0
                                 ? PictureKind::Window
                                 : PictureKind::Rendered;
    // Kept between pictures, so that a movie's pictures reuse one buffer.
    static Image image;
    std::string error;
    if (!PictureMaker::Make(kind, nullptr, image, error, nullptr,
                            ViewState::Get().legendInPictures)) {
        DBPrintf("CadHost: no picture: %s\n", error.c_str());
        return ApiErr::NotDone;
    }
    if (!image.ToPixMap(handle)) return ApiErr::MemoryFull;
    if (ViewState::Get().seriesOpen) ++ViewState::Get().picturesInSeries;
    return ApiErr::NoError;
}

// 'PSTY': how pictures are drawn: lines and the legend.
GSErrCode PictureStyle(void* par1, void* par2) {
    ViewState& view = ViewState::Get();
    if (auto* before = static_cast<API_PictureStyle*>(par2)) {
        std::memset(before, 0, sizeof(*before));
        before->edges = view.edges ? 1 : 0;
        before->legend = view.legendInPictures ? 1 : 0;
    }
    if (const auto* style = static_cast<const API_PictureStyle*>(par1)) {
        view.edges = style->edges != 0;
        view.legendInPictures = style->legend != 0;
    }
    return ApiErr::NoError;
}

// 'LGND': the legend's rows.
GSErrCode SetLegend(void* par1, void*) {
    const auto* legend = static_cast<const API_Legend*>(par1);
    if (legend == nullptr || legend->count < 0 ||
        legend->count > static_cast<int32_t>(std::size(legend->entries)))
        return ApiErr::BadParameter;
    std::vector<ViewState::LegendRow> rows;
    for (int32_t k = 0; k < legend->count; ++k) {
        const API_LegendEntry& e = legend->entries[k];
        ViewState::LegendRow row;
        row.name.assign(e.name, ::strnlen(e.name, sizeof(e.name)));
        row.underWayMaterial = e.underWayMaterial;
        row.doneMaterial = e.doneMaterial;
        rows.push_back(std::move(row));
    }
    ViewState::Get().legend = std::move(rows);
    return ApiErr::NoError;
}

// 'SECF': a movie generator starts (1) or ends (0).
GSErrCode SeriesFlag(void* par1, void*) {
    const auto* on = static_cast<const uint8_t*>(par1);
    if (on == nullptr) return ApiErr::BadParameter;
    ViewState::Get().seriesFlag = *on != 0;
    return ApiErr::NoError;
}

// 'SLSH': the interpolated cameras of a path, 224 bytes each, in a new handle.
GSErrCode SlideShowCameras(void* par1, void* par2) {
    const auto* pathIndex = static_cast<const int32_t*>(par1);
    auto* out = static_cast<GSHandle*>(par2);
    if (pathIndex == nullptr || out == nullptr) return ApiErr::BadParameter;
    std::vector<Camera> positions;
    std::string error;
    if (!CameraPath::Interpolated(CurrentProject(), *pathIndex, positions, error)) {
        DBPrintf("CadHost: 'SLSH': %s\n", error.c_str());
        return ApiErr::BadIndex;
    }
    const size_t bytes = positions.size() * sizeof(API_PerspPars);
    if (bytes > static_cast<size_t>(INT32_MAX)) return ApiErr::MemoryFull;
    GSHandle h = BMAllocateHandle(static_cast<int32_t>(bytes), BMClearFlag, 0);
    if (h == nullptr) return ApiErr::MemoryFull;
    for (size_t i = 0; i < positions.size(); ++i) {
        const API_PerspPars record = positions[i].ToRecord();
        std::memcpy(*h + i * sizeof(API_PerspPars), &record, sizeof(record));
    }
    *out = h;
    return ApiErr::NoError;
}

// The picture series bracket round a movie's frame loop.
GSErrCode OpenSeries(void*, void*) {
    ViewState& view = ViewState::Get();
    if (view.seriesOpen) return ApiErr::NotDone;
    view.seriesOpen = true;
    view.picturesInSeries = 0;
    return ApiErr::NoError;
}

GSErrCode CloseSeries(void*, void*) {
    ViewState& view = ViewState::Get();
    if (!view.seriesOpen) return ApiErr::NotDone;
    view.seriesOpen = false;
    return ApiErr::NoError;
}

Registrar viewSelectors([](Registry& r) {
    r.SetSelector(Family::Environment, APISelector::Get3DProjection, GetProjection);
    r.SetSelector(Family::Environment, APISelector::Set3DProjection, SetProjection);
    r.SetSelector(Family::Environment, APISelector::Get3DWindow, Get3DWindow);
    r.SetSelector(Family::Environment, APISelector::GetRendering, GetRendering);
    r.SetSelector(Family::Environment, APISelector::PictureStyle, PictureStyle);
    r.SetSelector(Family::Environment, APISelector::SetLegend, SetLegend);
    r.SetSelector(Family::Internal, APISelector::MakePicture, MakePicture);
    r.SetSelector(Family::Internal, APISelector::PictureSeriesFlag, SeriesFlag);
    r.SetSelector(Family::Internal, APISelector::SlideShowCameras, SlideShowCameras);
    r.SetSelector(Family::Goodies, APISelector::PictureSeriesBegin, OpenSeries);
    r.SetSelector(Family::Goodies, APISelector::PictureSeriesEnd, CloseSeries);
});

}  // namespace
}  // namespace CadHost::Render
