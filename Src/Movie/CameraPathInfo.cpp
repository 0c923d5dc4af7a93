#include "Movie/CameraPathInfo.h"

#include <cstring>

#include "API/Selectors.h"
#include "API/View3D.h"
#include "BM.h"
#include "Host/VTAPI.h"

CameraPathInfo::CameraPathInfo(int32_t pathIndex_) : pathIndex(pathIndex_) {
    pathElement.header.typeID = APIElem::CameraPath;
    pathElement.header.index = pathIndex;
    ok = VTAPI_Element_Get(&pathElement, 0) == ApiErr::NoError;
}

GSHandle CameraPathInfo::GetSlideShowPars() {
    GSHandle cameras = nullptr;
    if (ok) ok = VTAPI_Internal(APISelector::SlideShowCameras, this, &cameras) == ApiErr::NoError;
    if (!ok) BMKillHandle(&cameras);
    return cameras;
}

std::vector<int32_t> CameraPathInfo::IndexTable(const std::vector<int16_t>& stays, int32_t inFrames,
                                                bool openEnded, int32_t interpolated, bool& ok) {
    std::vector<int32_t> table;
    int32_t k = 0;
    for (size_t c = 0; c < stays.size(); ++c) {
        table.insert(table.end(), static_cast<size_t>(std::max<int16_t>(stays[c], 0)), k);
        if (c + 1 == stays.size() && openEnded) {
            table.push_back(k);
            continue;
        }
        for (int32_t i = 0; i < inFrames; ++i) {
            table.push_back(k);
            if (++k >= interpolated) ok = false;
        }
    }
    return table;
}

GSHandle CameraPathInfo::GetEntireMovieIndexTable() {
    GSHandle cameras = GetSlideShowPars();
    const int32_t interpolated =
        cameras != nullptr ? BMGetHandleSize(cameras) / static_cast<int32_t>(sizeof(API_PerspPars))
                           : 0;
    BMKillHandle(&cameras);
    if (!ok) return nullptr;

    // The path's cameras in path order; a chain longer than the cameras there are runs in a loop.
    int32_t cameraCount = 0;
    if (VTAPI_Element_GetNum(APIElem::Camera, &cameraCount) != ApiErr::NoError) return nullptr;
    std::vector<int16_t> stays;
    int32_t next = pathElement.camset.firstCam;
    for (int32_t walked = 0; next != 0 && ok; ++walked) {
        API_Element camera{};
        camera.header.typeID = APIElem::Camera;
        camera.header.index = next;
        if (walked > cameraCount || VTAPI_Element_Get(&camera, 0) != ApiErr::NoError) {
            ok = false;
            break;
        }
        if (camera.camera.camSetIndex == pathIndex) stays.push_back(camera.camera.stays);
        next = camera.camera.nextCam;
    }
    if (!ok) return nullptr;
    const std::vector<int32_t> frames = IndexTable(stays, pathElement.camset.inFrames,
                                                   pathElement.camset.openEnded, interpolated, ok);
    const int64_t bytes = static_cast<int64_t>(frames.size()) * sizeof(int32_t);
    GSHandle table =
        ok && bytes <= INT32_MAX ? BMAllocateHandle(static_cast<int32_t>(bytes), 0, 0) : nullptr;
    if (table == nullptr) {
        ok = false;
        return nullptr;
    }
    if (bytes > 0) std::memcpy(*table, frames.data(), static_cast<size_t>(bytes));
    return table;
}
