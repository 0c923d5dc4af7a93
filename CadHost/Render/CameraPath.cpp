#include "Render/CameraPath.h"

#include <set>

namespace CadHost::Render {
namespace {

Camera FromElement(const CameraData& c) {
    Camera cam;
    cam.eye = {c.eye.x, c.eye.y, c.eye.z};
    cam.target = {c.target.x, c.target.y, c.target.z};
    cam.viewAngle = c.viewCone;
    cam.roll = c.roll;
    return cam;
}

// Centripetal parameters are not needed for building walk-throughs; the uniform curve through
// p1 and p2 with neighbours p0 and p3 is smooth and passes through every camera.
Vec3 CatmullRom(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3, double t) {
    const double t2 = t * t, t3 = t2 * t;
    return (p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 +
            (p3 - p0 + p1 * 3 - p2 * 3) * t3) *
           0.5;
}

double Mix(double a, double b, double t) { return a + (b - a) * t; }

}  // namespace

bool CameraPath::Cameras(const Project& project, int32_t pathIndex, std::vector<Camera>& cameras,
                         std::string& error) {
    cameras.clear();
    const Element* path = project.At(APIElem::CameraPath, pathIndex);
    if (path == nullptr || !path->path) {
        error = "there is no camera path " + std::to_string(pathIndex);
        return false;
    }
    std::set<int32_t> seen;
    for (int32_t index = path->path->firstCamera; index != 0;) {
        const Element* cam = project.At(APIElem::Camera, index);
        if (cam == nullptr || !cam->camera) {
            error = "camera path " + std::to_string(pathIndex) + " leads to camera " +
                    std::to_string(index) + ", which does not exist";
            return false;
        }
        if (!seen.insert(index).second) {
            error = "the cameras of path " + std::to_string(pathIndex) + " run in a loop";
            return false;
        }
        if (cam->camera->path == pathIndex) cameras.push_back(FromElement(*cam->camera));
        index = cam->camera->next;
    }
    if (cameras.empty()) {
        error = "camera path " + std::to_string(pathIndex) + " has no camera";
        return false;
    }
    return true;
}

std::vector<Camera> CameraPath::Interpolate(const std::vector<Camera>& cameras, int inFrames,
                                            bool openEnded) {
    const int n = static_cast<int>(cameras.size());
    if (n == 0 || inFrames <= 0) return cameras;
    const int segments = openEnded ? n - 1 : n;
    auto at = [&](int i) -> const Camera& {
        if (openEnded) return cameras[static_cast<size_t>(std::clamp(i, 0, n - 1))];
        return cameras[static_cast<size_t>(((i % n) + n) % n)];
    };
    std::vector<Camera> out;
    out.reserve(static_cast<size_t>(segments * inFrames + 1));
    for (int s = 0; s < segments; ++s) {
        const Camera &c0 = at(s - 1), &c1 = at(s), &c2 = at(s + 1), &c3 = at(s + 2);
        for (int j = 0; j < inFrames; ++j) {
            const double t = static_cast<double>(j) / inFrames;
            Camera c = c1;
            if (j > 0) {
                c.eye = CatmullRom(c0.eye, c1.eye, c2.eye, c3.eye, t);
                c.target = CatmullRom(c0.target, c1.target, c2.target, c3.target, t);
                c.viewAngle = Mix(c1.viewAngle, c2.viewAngle, t);
                c.roll = Mix(c1.roll, c2.roll, t);
                c.sunAzimuth = Mix(c1.sunAzimuth, c2.sunAzimuth, t);
                c.sunAltitude = Mix(c1.sunAltitude, c2.sunAltitude, t);
            }
            out.push_back(c);
        }
    }
    // The end of the last segment: the last camera, or the first again on a closed path. Frame
    // tables step one past the last segment's positions, so this one must exist.
    out.push_back(openEnded ? cameras.back() : cameras.front());
    return out;
}

bool CameraPath::Interpolated(const Project& project, int32_t pathIndex,
                              std::vector<Camera>& positions, std::string& error) {
    std::vector<Camera> cameras;
    if (!Cameras(project, pathIndex, cameras, error)) return false;
    const PathData& path = *project.At(APIElem::CameraPath, pathIndex)->path;
    positions = Interpolate(cameras, path.inFrames, path.openEnded);
    return true;
}

}  // namespace CadHost::Render
