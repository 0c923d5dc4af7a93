// The default view. Corners are projected here with the plain pinhole formula (offset across and
// up over depth along the line of sight), not with the renderer. (The camera record is checked
// through the 3D view's selectors in PictureTest.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "Render/Camera.h"

namespace CadHost::Render {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct FramingCase {
    const char* what;
    Vec3 min, max;
    double aspect;
};

class CameraFramingTest : public ::testing::TestWithParam<FramingCase> {};

TEST_P(CameraFramingTest, WholeBoxFitsTheTightlyWithSkyAbove) {
    const FramingCase c = GetParam();
    Bounds b;
    b.Add(c.min);
    b.Add(c.max);
    const Camera cam = Camera::Framing(b, c.aspect);
    ASSERT_TRUE(cam.IsUsable());
    const Vec3 f = Normalized(cam.target - cam.eye);
    const Vec3 r = Normalized(Cross(f, {0, 0, 1}));
    const Vec3 u = Cross(r, f);
    const double tanH = std::tan(cam.viewAngle * kPi / 360), tanV = tanH / c.aspect;
    double widest = 0;
    for (int k = 0; k < 8; ++k) {
        const Vec3 p{(k & 1) ? c.max.x : c.min.x, (k & 2) ? c.max.y : c.min.y,
                     (k & 4) ? c.max.z : c.min.z};
        const Vec3 d = p - cam.eye;
        const double depth = Dot(d, f);
        ASSERT_GT(depth, 0) << c.what;
        const double x = Dot(d, r) / depth / tanH, y = Dot(d, u) / depth / tanV;
        EXPECT_LE(std::fabs(x), 1.0) << c.what << " corner " << k;
        EXPECT_LE(std::fabs(y), 1.0) << c.what << " corner " << k;
        widest = std::max({widest, std::fabs(x), std::fabs(y)});
    }
    EXPECT_GT(widest, 0.8) << c.what << ": the model should fill the picture";
    // The top edge of the picture looks above the horizon: there is sky.
    const double topRayZ = f.z + u.z * tanV;
    EXPECT_GT(topRayZ, 0) << c.what;
    // Seen from the south-west, looking down.
    EXPECT_LT(cam.eye.x, b.Centre().x);
    EXPECT_LT(cam.eye.y, b.Centre().y);
    EXPECT_GT(cam.eye.z, b.Centre().z);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, CameraFramingTest,
    ::testing::Values(FramingCase{"tower", {0, 0, 0}, {10, 10, 120}, 16.0 / 9},
                      FramingCase{"long and deep site", {0, 0, -2}, {300, 20, 4}, 4.0 / 3},
                      FramingCase{"small hut, wide picture", {100, 100, 0}, {102, 101, 2}, 3},
                      FramingCase{"long house seen from its end, cellar below ground",
                                  {-0.24, -22.18, -1.55},
                                  {9.04, 4.38, 6.63},
                                  16.0 / 9}));

TEST(CameraFramingTest, EmptyModelStillGivesAUsableView) {
    EXPECT_TRUE(Camera::Framing(Bounds{}, 16.0 / 9).IsUsable());
    EXPECT_TRUE(Camera::Framing(Bounds{}, 0).IsUsable());
}

}  // namespace
}  // namespace CadHost::Render
