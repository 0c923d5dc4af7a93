// Pixel tests of the software renderer on tiny scenes built here. Expected pixels come from the
// pinhole projection worked out by hand: for a camera at (0, -10, 1) looking along +y with a
// horizontal field of view of 60 degrees, a point (x, y, z) lands at column
// W/2 + x / (y + 10) * k and row H/2 - (z - 1) / (y + 10) * k, with k = W / (2 tan 30deg); blended
// pixels from the blending formula as a person would mix two paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "Render/Rasterizer.h"

namespace CadHost::Render {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF, kGrey = 0xFFC8C8C8;

int Luma(uint32_t p) {
    return (299 * KXPixelRed(p) + 587 * KXPixelGreen(p) + 114 * KXPixelBlue(p)) / 1000;
}

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
    static RenderSettings Plain(bool antialias = false, bool edges = false, int threads = 2) {
        RenderSettings s;
        s.threads = threads;
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
        const Image img = Draw(scene, LookAlongY(), Plain(false, false, threads));
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
    const Image one = Draw(scene, LookAlongY(), Plain(false, false, 1));
    const Image two = Draw(scene, LookAlongY(), Plain(false, false, 2));
    const Image again = Draw(scene, LookAlongY(), Plain(false, false, 2));
    EXPECT_EQ(one.Pixels(), two.Pixels());
    EXPECT_EQ(two.Pixels(), again.Pixels());
    EXPECT_EQ(one.At(Column(0, 0), Row(1, 0)), kRed);  // the first drawn keeps the tie
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

// Two flat areas of one plane meeting along a slanted line: where the line crosses a pixel, the
// pixel is a mix of the two colours (red and green adding up to full), not one or the other, and
// being one plane they get no line between them. Without smoothing every pixel is pure.
TEST_F(RasterizerTest, EdgeBetweenTwoFlatAreasIsABlendOfBoth) {
    Scene scene;
    scene.AddTriangle({-2, 0, 0}, {2, 0, 0}, {2, 0, 2}, kRed);
    scene.AddTriangle({-2, 0, 0}, {2, 0, 2}, {-2, 0, 2}, kGreen);
    for (bool antialias : {true, false}) {
        const Image img = Draw(scene, LookAlongY(), Plain(antialias, true));
        int columnsWithBlend = 0, columns = 0, impure = 0;
        for (int x = W / 2 - 40; x <= W / 2 + 40; ++x) {
            ++columns;
            bool blend = false;
            for (int y = 76; y <= 124; ++y) {  // inside the square (rows 72 to 128)
                const uint32_t p = img.At(x, y);
                if (p == kWhite || p == kRed || p == kGreen) continue;
                ++impure;
                const int r = KXPixelRed(p), g = KXPixelGreen(p);
                if (KXPixelBlue(p) == 0 && r > 8 && g > 8 && std::abs(r + g - 255) <= 2)
                    blend = true;
            }
            if (blend) ++columnsWithBlend;
        }
        if (antialias) {
            EXPECT_EQ(columnsWithBlend, columns) << "every column crosses the edge in a blend";
        } else {
            EXPECT_EQ(impure, 0);
        }
    }
}

// A box seen across its corner: two faces of one colour meeting at 90 degrees. With lines, the
// corner is drawn dark, one pixel wide, at any size and with scaling down; without, nothing there
// is dark; the middle of a face is never dark.
TEST_F(RasterizerTest, CornerOfTwoFacesAt90DegreesIsADarkLineOnePixelWide) {
    Scene scene;
    scene.AddBox({-1, -1, 0}, {1, 1, 2}, kGrey);
    Camera cam;
    cam.eye = {6, -6, 1};
    cam.target = {0, 0, 1};  // the corner (1, -1) lies in the middle column
    cam.viewAngle = 40;
    struct Case {
        int scale, samples;
    };
    for (const Case c : {Case{1, 1}, Case{4, 1}, Case{1, 2}}) {
        const int w = W * c.scale, h = H * c.scale;
        RenderSettings s = Plain(true, true);
        s.samples = c.samples;
        const Image lined = Draw(scene, cam, s, w, h);
        const Image bare = Draw(scene, cam, Plain(true, false), w, h);
        for (int y = h / 2 - 10 * c.scale; y <= h / 2 + 10 * c.scale; y += c.scale) {
            int dark = 0, darkBare = 0;
            for (int x = w / 2 - 10 * c.scale; x <= w / 2 + 10 * c.scale; ++x) {
                if (Luma(lined.At(x, y)) < 110) ++dark;
                if (Luma(bare.At(x, y)) < 110) ++darkBare;
            }
            EXPECT_GE(dark, 1) << "scale " << c.scale << " samples " << c.samples << " row " << y;
            EXPECT_LE(dark, 2) << "scale " << c.scale << " samples " << c.samples << " row " << y;
            EXPECT_EQ(darkBare, 0);
        }
        // The middle of the right-hand face.
        const int fx = w / 2 + w / 10, fy = h / 2;
        for (int y = fy - 5; y <= fy + 5; ++y)
            for (int x = fx - 5; x <= fx + 5; ++x) EXPECT_EQ(lined.At(x, y), kGrey);
    }
}

// Two boxes stacked with their fronts in one plane, seen from above: one flat face to the eye,
// so no line where they meet.
TEST_F(RasterizerTest, StackedBoxesWithOneFrontPlaneHaveNoLineBetween) {
    Scene scene;
    scene.AddBox({-2, 0, 0}, {2, 1, 1}, kGrey);
    scene.AddBox({-2, 0, 1}, {2, 1, 1.3}, kGrey);
    Camera cam = LookAlongY();
    cam.eye = {0.7, -10, 4};
    cam.target = {0, 0, 1};
    const Image img = Draw(scene, cam, Plain(true, true));
    int dark = 0;
    for (int y = 0; y < H; ++y)
        for (int x = W / 2 - 40; x <= W / 2 + 40; ++x)
            if (Luma(img.At(x, y)) < 110) ++dark;
    // The outlines: left and right sides are outside these columns; the top and bottom edges
    // cross them once each (81 columns, at most two pixels each where they step), the edge
    // between the front and the top face once more.
    EXPECT_LE(dark, 3 * 81 * 2);
    for (int x = W / 2 - 40; x <= W / 2 + 40; ++x) {
        int runs = 0;
        for (int y = 1; y < H; ++y)
            if (Luma(img.At(x, y)) < 110 && Luma(img.At(x, y - 1)) >= 110) ++runs;
        EXPECT_LE(runs, 3) << "column " << x;
    }
}

// An opaque red box behind a see-through blue pane (40 % opaque): where both lie, the pixel is
// blue over red by 0.4; where the pane lies over the white background, blue over white. Two
// panes give the same picture whichever the scene lists first: the farther is drawn first.
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
    const uint32_t overWhite = img.At(W / 2 + 40, H / 2);  // x = 1.6 m at the pane: no box
    EXPECT_NEAR(KXPixelRed(overWhite), Blend(255, 0, a), 1);
    EXPECT_NEAR(KXPixelBlue(overWhite), 255, 1);

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

// Walls facing the four ways: four different brightnesses under the default light.
TEST_F(RasterizerTest, WallsFacingTheFourWaysReadApart) {
    Scene scene;
    scene.AddBox({-1, -1, 0}, {1, 1, 2}, kGrey);
    std::set<uint32_t> shades;
    for (const Vec3 eye : {Vec3{6, -6, 1}, Vec3{-6, 6, 1}}) {
        Camera cam;
        cam.eye = eye;
        cam.target = {0, 0, 1};
        cam.viewAngle = 40;
        RenderSettings s;
        s.sky = false;
        const Image img = Draw(scene, cam, s);
        shades.insert(img.At(W / 2 - W / 10, H / 2));
        shades.insert(img.At(W / 2 + W / 10, H / 2));
    }
    EXPECT_EQ(shades.size(), 4u);
    int lowest = 255, highest = 0;
    for (uint32_t p : shades) {
        lowest = std::min(lowest, Luma(p));
        highest = std::max(highest, Luma(p));
    }
    EXPECT_GE(highest - lowest, 30) << "the sunlit and the shaded sides differ clearly";
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
