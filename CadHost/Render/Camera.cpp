#include "Render/Camera.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace CadHost::Render {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kAzimuthDeg = -135;  // eye to the south-west of the model
constexpr double kPitchDeg = 16;      // looking down on it, leaving a band of sky at the top
constexpr double kFramingAngle = 66;  // horizontal field of view of the default view
constexpr double kMargin = 0.92;      // share of the half-picture the model may fill

}  // namespace

bool Camera::Basis(Vec3& forward, Vec3& right, Vec3& upward) const {
    if (!(viewAngle > 0 && viewAngle < 180)) return false;
    forward = Normalized(target - eye);
    if (Length(forward) == 0) return false;
    const Vec3 level = Cross(forward, Vec3{0, 0, 1});
    if (Length(level) < 1e-9) return false;
    const Vec3 r0 = Normalized(level);
    const Vec3 u0 = Cross(r0, forward);
    // Rolling counter-clockwise turns the picture's up towards its left.
    const double a = roll * kPi / 180;
    upward = u0 * std::cos(a) - r0 * std::sin(a);
    right = r0 * std::cos(a) + u0 * std::sin(a);
    return true;
}

bool Camera::IsUsable() const {
    Vec3 f, r, u;
    const bool finite = std::isfinite(eye.x) && std::isfinite(eye.y) && std::isfinite(eye.z) &&
                        std::isfinite(target.x) && std::isfinite(target.y) &&
                        std::isfinite(target.z) && std::isfinite(roll) &&
                        std::isfinite(nearDistance) && nearDistance >= 0;
    return finite && Basis(f, r, u);
}

Vec3 Camera::TowardsSun() const {
    const double az = sunAzimuth * kPi / 180, alt = sunAltitude * kPi / 180;
    return {std::cos(alt) * std::cos(az), std::cos(alt) * std::sin(az), std::sin(alt)};
}

Camera Camera::Framing(const Bounds& box, double aspect) {
    Bounds b = box;
    if (b.IsEmpty()) {
        b.Add({-10, -10, 0});
        b.Add({10, 10, 10});
    }
    if (!(aspect > 0)) aspect = 16.0 / 9.0;
    Camera cam;
    cam.viewAngle = kFramingAngle;
    const double tanH = std::tan(cam.viewAngle * kPi / 360) * kMargin;
    const double tanV = tanH / aspect;
    // The dip must stay inside the vertical angle, or there would be no sky in a wide picture.
    const double vHalf = std::atan(std::tan(kFramingAngle * kPi / 360) / aspect);
    const double pitch = std::min(kPitchDeg * kPi / 180, 0.75 * vHalf);
    const double az = kAzimuthDeg * kPi / 180;
    const Vec3 f{-std::cos(pitch) * std::cos(az), -std::cos(pitch) * std::sin(az),
                 -std::sin(pitch)};
    const Vec3 centre = b.Centre();
    cam.eye = centre - f;
    cam.target = centre;
    Vec3 fw, r, u;
    cam.Basis(fw, r, u);

    // With the line of sight fixed, "corner p is inside the picture" is linear in the eye's
    // position: in the picture's own axes (right, up, forward) it reads
    // |p_r - e_r| <= tanH (p_f - e_f), and the same with up and tanV. The eye that puts the
    // outermost corners on the picture's edges follows directly, centred in both directions;
    // the direction with more room then keeps a margin.
    double right = -1e300, left = -1e300, top = -1e300, bottom = -1e300;
    for (int k = 0; k < 8; ++k) {
        const Vec3 p{(k & 1) ? b.max.x : b.min.x, (k & 2) ? b.max.y : b.min.y,
                     (k & 4) ? b.max.z : b.min.z};
        const double pr = Dot(p, r), pu = Dot(p, u), pf = Dot(p, fw);
        right = std::max(right, pr - tanH * pf);
        left = std::max(left, -pr - tanH * pf);
        top = std::max(top, pu - tanV * pf);
        bottom = std::max(bottom, -pu - tanV * pf);
    }
    const double alongH = -(right + left) / (2 * tanH), alongV = -(top + bottom) / (2 * tanV);
    cam.eye = r * ((right - left) / 2) + u * ((top - bottom) / 2) + fw * std::min(alongH, alongV);
    // Far enough that the nearest corner is in front of the eye in any case.
    cam.target = cam.eye + fw * std::max(Dot(centre - cam.eye, fw), 1.0);
    return cam;
}

API_PerspPars Camera::ToRecord() const {
    API_PerspPars rec;
    std::memset(&rec, 0, sizeof(rec));
    rec.eye = {eye.x, eye.y, eye.z};
    rec.target = {target.x, target.y, target.z};
    rec.viewCone = viewAngle;
    rec.rollAngle = roll;
    rec.sunAzimuth = sunAzimuth;
    rec.sunAltitude = sunAltitude;
    return rec;
}

bool Camera::FromRecord(const API_PerspPars& record, Camera& camera, std::string& error) {
    Camera c;
    c.eye = {record.eye.x, record.eye.y, record.eye.z};
    c.target = {record.target.x, record.target.y, record.target.z};
    c.viewAngle = record.viewCone;
    c.roll = record.rollAngle;
    if (record.sunAzimuth != 0 || record.sunAltitude != 0) {
        c.sunAzimuth = record.sunAzimuth;
        c.sunAltitude = record.sunAltitude;
    }
    if (!(c.viewAngle > 0 && c.viewAngle < 180)) {
        error = "the camera's field of view must lie between 0 and 180 degrees";
        return false;
    }
    if (!std::isfinite(c.sunAzimuth) || !std::isfinite(c.sunAltitude)) {
        error = "the camera's sun is not a direction";
        return false;
    }
    if (!c.IsUsable()) {
        error =
            "the camera's eye and target do not make a view (the same point, or straight up "
            "or down)";
        return false;
    }
    camera = c;
    return true;
}

}  // namespace CadHost::Render
