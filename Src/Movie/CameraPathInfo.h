#pragma once
// A camera path of the host, read for the movie: the interpolated cameras along it and, for every
// frame of the movie, the number of the camera that frame is seen from.
#include <cstdint>
#include <vector>

#include "API/ApiTypes.h"
#include "API/Elements.h"

class CameraPathInfo {
public:
    // Reads the path element; not ok when there is none.
    explicit CameraPathInfo(int32_t pathIndex);

    bool GetErr() const { return !ok; }
    // A new handle of the path's interpolated cameras (224 bytes each); null when it cannot.
    GSHandle GetSlideShowPars();
    // A new handle of 32-bit camera numbers, one per frame; null when it cannot.
    GSHandle GetEntireMovieIndexTable();

    // The frames of a walk along cameras with these stay counts, `inFrames` frames per segment:
    // each camera's stays, then its segment's positions; an open path ends at its last camera.
    // Clears ok when the walk runs past the `interpolated` cameras there are.
    static std::vector<int32_t> IndexTable(const std::vector<int16_t>& stays, int32_t inFrames,
                                           bool openEnded, int32_t interpolated, bool& ok);

    int32_t pathIndex;  // first: the host's 'SLSH' reads the path number from here
    bool ok = true;
    API_Element pathElement{};
};
