#pragma once
// A view of the model: eye, target, up and horizontal field of view. Converts to and from the
// host's 224-byte camera record.
#include <string>

#include "API/View3D.h"
#include "Render/Vec3.h"

namespace CadHost::Render {

class Camera {
public:
    Vec3 eye{-30, -30, 20};
    Vec3 target{0, 0, 0};
    Vec3 up{0, 0, 1};
    double viewAngle = 50;    // horizontal field of view, degrees
    double nearDistance = 0;  // 0: chosen from the scene

    // The aerial three-quarter view from the south-west that shows the whole box in a picture of
    // this width / height, with a little margin all round.
    static Camera Framing(const Bounds& box, double aspect);

    // Forward (eye to target), right and up of the picture, all of unit length. False when the
    // camera cannot see: eye on the target, up along the line of sight, or a bad angle.
    bool Basis(Vec3& forward, Vec3& right, Vec3& upward) const;
    bool IsUsable() const;

    API_Camera ToRecord() const;
    // Reads a record; false with a reason when it describes no usable view.
    static bool FromRecord(const API_Camera& record, Camera& camera, std::string& error);

    bool operator==(const Camera&) const = default;
};

}  // namespace CadHost::Render
