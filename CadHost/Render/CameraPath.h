#pragma once
// The cameras of a camera path with the in-between frames along each segment: what the movie
// flies through. A path of n cameras with s in-between frames per segment gives s positions per
// segment, the first of them at the segment's own camera, and one more at the end of the last
// segment. A closed path has n segments (the last one back to the first camera), so n s + 1
// positions; an open-ended one has n - 1 segments, so (n - 1) s + 1 positions ending at its last
// camera. With s = 0 the cameras themselves are the positions.
//
// Eye and target follow smooth curves through the cameras (Catmull-Rom, passing through every
// camera); field of view, roll and sun change evenly along each segment.
#include <string>
#include <vector>

#include "Model/Project.h"
#include "Render/Camera.h"

namespace CadHost::Render {

class CameraPath {
public:
    // The path's cameras in path order (from the path's first camera along the next links),
    // only those that say they belong to the path. False with a reason for a path that does not
    // exist, has no camera, or whose links are broken (a missing camera or a loop).
    static bool Cameras(const Project& project, int32_t pathIndex, std::vector<Camera>& cameras,
                        std::string& error);
    // The interpolated positions of the path (see above).
    static bool Interpolated(const Project& project, int32_t pathIndex,
                             std::vector<Camera>& positions, std::string& error);
    // The same from cameras already read.
    static std::vector<Camera> Interpolate(const std::vector<Camera>& cameras, int inFrames,
                                           bool openEnded);
};

}  // namespace CadHost::Render
