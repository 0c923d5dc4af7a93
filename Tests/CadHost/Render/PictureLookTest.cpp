// What the renderer makes of faces beyond their colour, read from the pixels of tiny scenes:
// smoothed edges, outlines and creases, light by direction, see-through faces in the right order,
// and the same picture on any number of threads. Expected values come from the blending formula
// and the scenes' layout worked out by hand (camera at (0, -10, 1) looking along +y, 60 degrees).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "Render/Rasterizer.h"

namespace CadHost::Render {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kWhite = 0xFFFFFFFF;
constexpr uint32_t kGrey = 0xFFC8C8C8;

int Luma(uint32_t p) {
    return (299 * KXPixelRed(p) + 587 * KXPixelGreen(p) + 114 * KXPixelBlue(p)) / 1000;
}

// `top` over `under` by `share`, as a person would blend two paints.
int Blend(int under, int top, double share) {
    return static_cast<int>(std::lround(under + (top - under) * share));
}

class PictureLookTest : public ::testing::Test {
protected:
    static constexpr int W = 320, H = 200;

    static Camera LookAlongY() {
        Camera c;
        c.eye = {0, -10, 1};
        c.target = {0, 0, 1};
        c.viewAngle = 60;
        return c;
    }
    // Unlit colours on white, smoothing and lines as asked.
    static RenderSettings Plain(bool antialias, bool edges) {
        RenderSettings s;
        s.ambient = 1;
        s.groundLight = 1;
        s.diffuse = 0;
        s.fill = 0;
        s.sky = false;
        s.antialias = antialias;
        s.edges = edges;
        return s;
    }
    static Image Draw(const Scene& scene, const Camera& cam, const RenderSettings& s, int w = W,
                      int h = H) {
        Rasterizer r(s);
        Image img;
        std::string error;
        EXPECT_TRUE(r.Render(scene, cam, w, h, img, error)) << error;
        return img;
    }
};

// Two flat areas of one plane meeting along a slanted line: where the line crosses a pixel, the
// pixel is a mix of the two colours (red and green adding up to full), not one or the other, and
// being one plane they get no line between them. Without smoothing every pixel is pure.
TEST_F(PictureLookTest, EdgeBetweenTwoFlatAreasIsABlendOfBoth) {
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
TEST_F(PictureLookTest, CornerOfTwoFacesAt90DegreesIsADarkLineOnePixelWide) {
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
TEST_F(PictureLookTest, StackedBoxesWithOneFrontPlaneHaveNoLineBetween) {
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
TEST_F(PictureLookTest, ElementBehindGlassShowsThroughAndPanesBlendFarthestFirst) {
    constexpr uint32_t kGlass = 0x660000FF;   // blue, alpha 0x66 = 102 of 255
    constexpr uint32_t kYellow = 0x66FFFF00;  // yellow, the same opacity
    const double a = 102 / 255.0;
    Scene alone;
    alone.AddBox({-0.5, 2, 0.5}, {0.5, 3, 1.5}, kRed);
    alone.AddBox({-1.5, -1, 0}, {1.5, -0.9, 2}, kGlass);
    const Image img = Draw(alone, LookAlongY(), Plain(false, false));
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
TEST_F(PictureLookTest, WallsFacingTheFourWaysReadApart) {
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
TEST_F(PictureLookTest, SamePictureOnAnyNumberOfThreads) {
    Scene scene;
    for (int i = 0; i < 6; ++i)
        scene.AddBox({-3.0 + i, static_cast<double>(i % 3), 0}, {-2.3 + i, i % 3 + 0.8, 1.0 + i * 0.3},
                     0xFF000000u | (0x204060u * (i + 1)));
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
