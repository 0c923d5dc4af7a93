// Pixel tests of the software renderer on tiny scenes built here. Expected pixels come from the
// pinhole projection worked out by hand: for a camera at (0, -10, 1) looking along +y with a
// horizontal field of view of 60 degrees, a point (x, y, z) lands at column
// W/2 + x / (y + 10) * k and row H/2 - (z - 1) / (y + 10) * k, with k = W / (2 tan 30deg); blended
// pixels from the blending formula as a person would mix two paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "Render/Rasterizer.h"

namespace CadHost::Render {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// `top` over `under` by `share`.
int Blend(int under, int top, double share) {
    return static_cast<int>(std::lround(under + (top - under) * share));
}

class RasterizerTest : public ::testing::Test {
protected:
    static constexpr int W = 320, H = 200;

    static Camera LookAlongY() {
        Camera c;
        c.eye = {0, -10, 1};
        c.target = {0, 0, 1};
        c.viewAngle = 60;
        return c;
    }
    static double K() { return W / (2 * std::tan(30 * 3.14159265358979 / 180)); }
    static int Column(double x, double y) { return static_cast<int>(W / 2.0 + x / (y + 10) * K()); }
    static int Row(double z, double y) {
        return static_cast<int>(H / 2.0 - (z - 1) / (y + 10) * K());
    }

    // Unlit colours on white, so that tests can compare them exactly; smoothing and lines as asked.
    static RenderSettings Plain(bool antialias = false, bool edges = false) {
        RenderSettings s;
        s.threads = 2;
        s.ambient = 1;
        s.groundLight = 1;
        s.diffuse = 0;
        s.fill = 0;
        s.sky = false;
        s.antialias = antialias;
        s.edges = edges;
        return s;
    }
    static Image Draw(const Scene& scene, const Camera& cam, const RenderSettings& s = Plain(),
                      int w = W, int h = H) {
        Rasterizer r(s);
        Image img;
        std::string error;
        EXPECT_TRUE(r.Render(scene, cam, w, h, img, error)) << error;
        return img;
    }
};

TEST_F(RasterizerTest, NearerBoxCoversFartherWhereTheyOverlap) {
    Scene scene;
    scene.AddBox({0.5, 0, 0}, {3, 1, 2}, kGreen);  // far, to the right
    scene.AddBox({-1, -3, 0}, {1, -2, 2}, kRed);   // near, in the middle, drawn second
    Scene reversed;                                // same boxes, other drawing order
    reversed.AddBox({-1, -3, 0}, {1, -2, 2}, kRed);
    reversed.AddBox({0.5, 0, 0}, {3, 1, 2}, kGreen);
    for (const Scene* s : {&scene, &reversed}) {
        const Image img = Draw(*s, LookAlongY());
        EXPECT_EQ(img.At(Column(0.8, 0), Row(1, 0)), kRed) << "overlap";
        EXPECT_EQ(img.At(Column(2.5, 0), Row(1, 0)), kGreen) << "beside";
        EXPECT_EQ(img.At(Column(-2, 0), Row(1, 0)), kWhite) << "background";
        EXPECT_EQ(img.At(Column(0, -3), Row(2.5, -3)), kWhite) << "above the boxes";
    }
}

// A square mesh of many jittered triangles: every pixel centre well inside its outline is covered,
// so neighbouring triangles leave no crack between them. (Other numbers of threads give the same
// picture: SamePictureOnAnyNumberOfThreads.)
TEST_F(RasterizerTest, MeshOfNeighbouringTrianglesHasNoCracks) {
    const int n = 37;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(-0.4, 0.4);
    std::vector<Vec3> grid;
    for (int j = 0; j <= n; ++j) {
        for (int i = 0; i <= n; ++i) {
            const bool border = i == 0 || j == 0 || i == n || j == n;
            const double u = i + (border ? 0 : jitter(random));
            const double v = j + (border ? 0 : jitter(random));
            grid.push_back({-3 + 6.0 * u / n, 0, 1 - 3 + 6.0 * v / n});
        }
    }
    Scene scene;
    auto at = [&](int i, int j) { return grid[static_cast<size_t>(j * (n + 1) + i)]; };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            scene.AddTriangle(at(i, j), at(i + 1, j), at(i + 1, j + 1), kBlue);
            scene.AddTriangle(at(i, j), at(i + 1, j + 1), at(i, j + 1), kBlue);
        }
    const Image img = Draw(scene, LookAlongY());
    int holes = 0;
    for (int y = Row(4, 0) + 2; y <= Row(-2, 0) - 2; ++y)
        for (int x = Column(-3, 0) + 2; x <= Column(3, 0) - 2; ++x) holes += img.At(x, y) != kBlue;
    EXPECT_EQ(holes, 0);
    EXPECT_EQ(img.At(Column(-3, 0) - 3, H / 2), kWhite);
}

// An opaque red box behind a see-through blue pane (40 % opaque): where both lie, the pixel is
// blue over red by 0.4. Two panes give the same picture whichever the scene lists first: the
// farther is drawn first.
TEST_F(RasterizerTest, ElementBehindGlassShowsThroughAndPanesBlendFarthestFirst) {
    constexpr uint32_t kGlass = 0x660000FF;   // blue, alpha 0x66 = 102 of 255
    constexpr uint32_t kYellow = 0x66FFFF00;  // yellow, the same opacity
    const double a = 102 / 255.0;
    Scene alone;
    alone.AddBox({-0.5, 2, 0.5}, {0.5, 3, 1.5}, kRed);
    alone.AddBox({-1.5, -1, 0}, {1.5, -0.9, 2}, kGlass);
    const Image img = Draw(alone, LookAlongY());
    const uint32_t both = img.At(W / 2, H / 2);
    EXPECT_NEAR(KXPixelRed(both), Blend(255, 0, a), 1);
    EXPECT_NEAR(KXPixelGreen(both), 0, 1);
    EXPECT_NEAR(KXPixelBlue(both), Blend(0, 255, a), 1);

    Scene farFirst = alone, nearFirst;
    farFirst.AddBox({-1.5, -2, 0}, {1.5, -1.9, 2}, kYellow);
    nearFirst.AddBox({-1.5, -2, 0}, {1.5, -1.9, 2}, kYellow);
    nearFirst.AddBox({-0.5, 2, 0.5}, {0.5, 3, 1.5}, kRed);
    nearFirst.AddBox({-1.5, -1, 0}, {1.5, -0.9, 2}, kGlass);
    const Image one = Draw(farFirst, LookAlongY(), Plain(true, true));
    const Image two = Draw(nearFirst, LookAlongY(), Plain(true, true));
    const uint32_t p = one.At(W / 2, H / 2);
    const int r = Blend(Blend(255, 0, a), 255, a), g = Blend(0, 255, a);
    const int b = Blend(Blend(0, 255, a), 0, a);
    EXPECT_NEAR(KXPixelRed(p), r, 2);
    EXPECT_NEAR(KXPixelGreen(p), g, 2);
    EXPECT_NEAR(KXPixelBlue(p), b, 2);
    EXPECT_EQ(one.Pixels(), two.Pixels());
}

// Everything on (sky, light, smoothing, lines, glass): the same picture bit for bit on one to
// four threads and again.
TEST_F(RasterizerTest, SamePictureOnAnyNumberOfThreads) {
    Scene scene;
    for (int i = 0; i < 6; ++i)
        scene.AddBox({-3.0 + i, static_cast<double>(i % 3), 0},
                     {-2.3 + i, i % 3 + 0.8, 1.0 + i * 0.3}, 0xFF000000u | (0x204060u * (i + 1)));
    scene.AddBox({-2, -1, 0}, {2, -0.9, 2.5}, 0x808CC0D8);
    scene.AddTriangle({-4, -2, 0}, {4, -2, 0}, {0, 5, 0}, 0xFFA0A0A0);
    Camera cam = Camera::Framing(scene.GetBounds(), double(W) / H);
    RenderSettings s;
    s.threads = 1;
    const Image first = Draw(scene, cam, s);
    for (int threads : {2, 3, 4, 1}) {
        s.threads = threads;
        EXPECT_EQ(Draw(scene, cam, s).Pixels(), first.Pixels()) << threads << " threads";
    }
}

}  // namespace
}  // namespace CadHost::Render
