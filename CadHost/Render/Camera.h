#pragma once
// A view of the model: eye, target, roll and horizontal field of view, and the sun that lights
// it. Converts to and from the host's 224-byte camera record (API_PerspPars).
#include <string>

#include "API/View3D.h"
#include "Render/Vec3.h"

namespace CadHost::Render {

class Camera {
public:
    Vec3 eye{-30, -30, 20};
    Vec3 target{0, 0, 0};
    double viewAngle = 50;    // horizontal field of view, degrees
    double roll = 0;          // degrees, counter-clockwise as seen from the eye
    double sunAzimuth = 211;  // degrees from +x, counter-clockwise: the south-west
    double sunAltitude = 55;  // degrees above the horizon
    double nearDistance = 0;  // 0: the renderer's choice (not part of the record)

    // The aerial three-quarter view from the south-west that shows the whole box in a picture of
    // this width / height, with a little margin all round.
    static Camera Framing(const Bounds& box, double aspect);

    // Forward (eye to target), right and up of the picture, all of unit length. False when the
    // camera cannot see: eye on the target, looking straight up or down, or a bad angle.
    bool Basis(Vec3& forward, Vec3& right, Vec3& upward) const;
    bool IsUsable() const;
    // Unit vector pointing at the sun.
    Vec3 TowardsSun() const;

    API_PerspPars ToRecord() const;
    // Reads a record; false with a reason when it describes no usable view. A record whose sun
    // is all zero gets the default sun.
    static bool FromRecord(const API_PerspPars& record, Camera& camera, std::string& error);

    bool operator==(const Camera&) const = default;
};

}  // namespace CadHost::Render
