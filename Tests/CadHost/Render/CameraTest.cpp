// The default view and the camera record. Corners are projected here with the plain pinhole
// formula (offset across and up over depth along the line of sight), not with the renderer.
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
    ::testing::Values(FramingCase{"flat block", {0, 0, 0}, {60, 30, 12}, 16.0 / 9},
                      FramingCase{"tower", {0, 0, 0}, {10, 10, 120}, 16.0 / 9},
                      FramingCase{"cube, square picture", {-5, -5, -5}, {5, 5, 5}, 1},
                      FramingCase{"long and deep site", {0, 0, -2}, {300, 20, 4}, 4.0 / 3},
                      FramingCase{"small hut, wide picture", {100, 100, 0}, {102, 101, 2}, 3},
                      FramingCase{"long house seen from its end, cellar below ground",
                                  {-0.24, -22.18, -1.55},
                                  {9.04, 4.38, 6.63},
                                  16.0 / 9},
                      FramingCase{
                          "far from the origin", {5e4, -3e4, 0}, {5.02e4, -2.99e4, 30}, 16.0 / 9}));

TEST(CameraFramingTest, EmptyModelStillGivesAUsableView) {
    EXPECT_TRUE(Camera::Framing(Bounds{}, 16.0 / 9).IsUsable());
    EXPECT_TRUE(Camera::Framing(Bounds{}, 0).IsUsable());
}

TEST(CameraRecordTest, RecordKeepsEveryFieldAndRefusesImpossibleViews) {
    Camera c;
    c.eye = {1, 2, 3};
    c.target = {4, 6, 3};
    c.viewAngle = 42;
    c.roll = -7;
    c.sunAzimuth = 90;
    c.sunAltitude = 30;
    const API_PerspPars rec = c.ToRecord();
    uint8_t bytes[224];
    std::memcpy(bytes, &rec, sizeof bytes);
    double viewCone = 0;
    std::memcpy(&viewCone, bytes + 48, 8);
    EXPECT_EQ(viewCone, 42);

    Camera back;
    std::string error;
    ASSERT_TRUE(Camera::FromRecord(rec, back, error)) << error;
    EXPECT_EQ(back, c);

    API_PerspPars noSun = rec;
    noSun.sunAzimuth = noSun.sunAltitude = 0;
    ASSERT_TRUE(Camera::FromRecord(noSun, back, error));
    EXPECT_EQ(back.sunAltitude, Camera{}.sunAltitude);

    struct Bad {
        const char* what;
        API_PerspPars rec;
    };
    API_PerspPars onTarget = rec, down = rec, narrow = rec, nan = rec;
    onTarget.target = onTarget.eye;
    down.target = {1, 2, -10};
    narrow.viewCone = 0;
    nan.eye.x = std::nan("");
    for (const Bad& bad : {Bad{"eye on target", onTarget}, Bad{"straight down", down},
                           Bad{"no field of view", narrow}, Bad{"not a number", nan}}) {
        Camera untouched = c;
        error.clear();
        EXPECT_FALSE(Camera::FromRecord(bad.rec, untouched, error)) << bad.what;
        EXPECT_FALSE(error.empty()) << bad.what;
        EXPECT_EQ(untouched, c) << bad.what;
    }
}

}  // namespace
}  // namespace CadHost::Render
