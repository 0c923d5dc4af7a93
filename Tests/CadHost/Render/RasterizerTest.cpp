// Pixel tests of the software renderer on tiny scenes built here. Expected pixels come from the
// pinhole projection worked out by hand: for a camera at (0, -10, 1) looking along +y with a
// horizontal field of view of 60 degrees, a point (x, y, z) lands at column
// W/2 + x / (y + 10) * k and row H/2 - (z - 1) / (y + 10) * k, with k = W / (2 tan 30deg).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "Render/Rasterizer.h"

namespace CadHost::Render {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;

class RasterizerTest : public ::testing::Test {
protected:
    static constexpr int W = 320, H = 200;

    Camera LookAlongY() const {
        Camera c;
        c.eye = {0, -10, 1};
        c.target = {0, 0, 1};
        c.viewAngle = 60;
        return c;
    }
    double K() const { return W / (2 * std::tan(30 * 3.14159265358979 / 180)); }
    int Column(double x, double y) const { return static_cast<int>(W / 2.0 + x / (y + 10) * K()); }
    int Row(double z, double y) const {
        return static_cast<int>(H / 2.0 - (z - 1) / (y + 10) * K());
    }

    Image Draw(const Scene& scene, const Camera& cam, int threads = 2, bool sky = false) {
        RenderSettings s;
        s.threads = threads;
        s.sky = sky;
        s.ambient = 1;  // unlit colours, so that tests can compare them exactly
        s.groundLight = 1;
        s.diffuse = 0;
        s.fill = 0;
        s.antialias = false;  // every pixel one face's colour or the background's
        s.edges = false;
        Rasterizer r(s);
        Image img;
        std::string error;
        EXPECT_TRUE(r.Render(scene, cam, W, H, img, error)) << error;
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

TEST_F(RasterizerTest, OutlinesOfEitherOrientationGiveOutwardFaces) {
    for (bool clockwise : {false, true}) {
        std::vector<Vec2> outline = {{-1, -3}, {1, -3}, {1, -2}, {0, -1.5}, {-1, -2}};
        if (clockwise) std::reverse(outline.begin(), outline.end());
        Scene scene;
        EXPECT_EQ(scene.AddPrism(outline, 0, 2, kRed), 2 * 3 + 2 * 5);
        const Image img = Draw(scene, LookAlongY());
        EXPECT_EQ(img.At(W / 2, H / 2), kRed) << clockwise;
        // The top is seen from above: looking down from a raised eye shows it too.
        Camera above = LookAlongY();
        above.eye.z = 6;
        above.target = {0, -2.5, 2};
        const Image top = Draw(scene, above);
        EXPECT_EQ(top.At(W / 2, H / 2), kRed) << clockwise;
    }
}

TEST_F(RasterizerTest, PictureHasTheSizeAskedForOrARefusal) {
    Scene scene;
    scene.AddBox({-1, -1, 0}, {1, 1, 2}, kRed);
    for (auto [w, h] : {std::pair{1, 1}, {64, 48}, {1280, 720}, {7, 333}, {0, 10}}) {
        Rasterizer r;
        Image img;
        std::string error;
        ASSERT_EQ(r.Render(scene, LookAlongY(), w, h, img, error), w > 0) << error;
        EXPECT_EQ(error.empty(), w > 0) << w << "x" << h;
        EXPECT_TRUE(w == 0 || (img.Width() == w && img.Height() == h)) << w << "x" << h;
    }
}

// A square mesh of many jittered triangles: every pixel centre well inside its outline is covered,
// so neighbouring triangles leave no crack between them.
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
    for (int threads : {1, 2}) {
        const Image img = Draw(scene, LookAlongY(), threads);
        int holes = 0;
        for (int y = Row(4, 0) + 2; y <= Row(-2, 0) - 2; ++y)
            for (int x = Column(-3, 0) + 2; x <= Column(3, 0) - 2; ++x)
                holes += img.At(x, y) != kBlue;
        EXPECT_EQ(holes, 0) << threads << " threads";
        EXPECT_EQ(img.At(Column(-3, 0) - 3, H / 2), kWhite);
    }
}

// A floor reaching from behind the eye to far ahead must be clipped at the near plane: every row
// below the horizon shows floor and nothing spills above it.
TEST_F(RasterizerTest, FloorThroughTheEyeIsClippedAtTheNearPlane) {
    Scene scene;
    scene.AddTriangle({-1000, -1000, 0}, {1000, -1000, 0}, {1000, 1000, 0}, kGreen);
    scene.AddTriangle({-1000, -1000, 0}, {1000, 1000, 0}, {-1000, 1000, 0}, kGreen);
    const Image img = Draw(scene, LookAlongY());
    int wrongBelow = 0, wrongAbove = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (y >= H / 2 + 3) wrongBelow += img.At(x, y) != kGreen;
            if (y < H / 2) wrongAbove += img.At(x, y) != kWhite;
        }
    EXPECT_EQ(wrongBelow, 0);
    EXPECT_EQ(wrongAbove, 0);
}

// A room round the eye made of two-sided faces hides everything beyond its walls; the same box as
// a closed body is seen from inside as nothing (its faces look away), so what lies beyond shows.
TEST_F(RasterizerTest, RoomAroundTheEyeIsClippedAtTheNearPlaneAndClosedBodiesAreCulled) {
    Scene closed;
    closed.AddBox({-4, -14, -2}, {4, -6, 4}, kRed);  // the eye (0, -10, 1) is inside
    closed.AddBox({-1, 10, 0}, {1, 11, 2}, kGreen);  // beyond the far wall
    Scene room;
    for (const Triangle& t : closed.Triangles())
        room.AddTriangle({t.v[0], t.v[1], t.v[2]}, {t.v[3], t.v[4], t.v[5]},
                         {t.v[6], t.v[7], t.v[8]}, t.colour);
    const Image inside = Draw(room, LookAlongY());
    int notRed = 0;
    for (uint32_t p : inside.Pixels()) notRed += p != kRed;
    EXPECT_EQ(notRed, 0);

    const Image through = Draw(closed, LookAlongY());
    EXPECT_EQ(through.At(W / 2, H / 2), kGreen);
    EXPECT_EQ(through.At(2, 2), kWhite);
}

TEST_F(RasterizerTest, CoplanarFacesResolveTheSameWayEveryTime) {
    Scene scene;
    scene.AddBox({-2, 0, 0}, {1, 1, 2}, kRed);
    scene.AddBox({-1, 0, 0}, {2, 1, 2}, kGreen);  // same front face plane y = 0
    const Image one = Draw(scene, LookAlongY(), 1);
    const Image two = Draw(scene, LookAlongY(), 2);
    const Image again = Draw(scene, LookAlongY(), 2);
    EXPECT_EQ(one.Pixels(), two.Pixels());
    EXPECT_EQ(two.Pixels(), again.Pixels());
    EXPECT_EQ(one.At(Column(0, 0), Row(1, 0)), kRed);  // the first drawn keeps the tie
}

TEST_F(RasterizerTest, LightingShadesFacesDifferentlyAndSkyIsAboveGround) {
    Scene scene;
    scene.AddBox({-1, -1, 0}, {1, 1, 2}, 0xFFC0C0C0);
    Camera cam = Camera::Framing(scene.GetBounds(), double(W) / H);
    Rasterizer r;  // default light, sky and ground
    Image img;
    std::string error;
    ASSERT_TRUE(r.Render(scene, cam, W, H, img, error)) << error;
    // Top-left corner is sky (blue strongest), bottom-left ground (green strongest).
    const uint32_t sky = img.At(2, 2), ground = img.At(2, H - 3);
    EXPECT_GT(KXPixelBlue(sky), KXPixelRed(sky));
    EXPECT_GT(KXPixelGreen(ground), KXPixelBlue(ground));
    // The box shows at least two faces of different brightness.
    std::set<uint32_t> shades;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const uint32_t p = img.At(x, y);
            if (KXPixelRed(p) == KXPixelGreen(p) && KXPixelGreen(p) == KXPixelBlue(p))
                shades.insert(p);
        }
    EXPECT_GE(shades.size(), 2u);
}

TEST_F(RasterizerTest, UnusableCameraIsRefusedWithAReason) {
    Scene scene;
    scene.AddBox({-1, -1, 0}, {1, 1, 2}, kRed);
    Camera onTarget = LookAlongY(), straightUp = LookAlongY(), wide = LookAlongY();
    onTarget.target = onTarget.eye;
    straightUp.target = {0, -10, 50};  // the picture's up would be undefined
    wide.viewAngle = 180;
    for (const Camera& c : {onTarget, straightUp, wide}) {
        Rasterizer r;
        Image img;
        std::string error;
        EXPECT_FALSE(r.Render(scene, c, W, H, img, error));
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace CadHost::Render
