// Pictures of the host's model through the selector calls the add-on makes: what is drawn (layers,
// materials), the sizes reported and made, the 3D view's camera record, camera paths, and the
// render command's PNG files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "API/Attributes.h"
#include "API/Pictures.h"
#include "API/View3D.h"
#include "AddOnLoader.h"
#include "Model/Project.h"
#include "Registry.h"
#include "Render/PictureMaker.h"
#include "Render/PngFile.h"
#include "Render/ViewState.h"
#include "Shell/Session.h"

namespace CadHost::Render {
namespace {

GSErrCode Call(Family family, const char (&code)[5], void* par1, void* par2 = nullptr) {
    return Registry::Get().Dispatch(family, FourChar(code), par1, par2);
}

bool Reddish(uint32_t p) {
    return KXPixelRed(p) > 90 && KXPixelRed(p) > 2 * KXPixelGreen(p) &&
           KXPixelRed(p) > 2 * KXPixelBlue(p);
}
bool Bluish(uint32_t p) {
    return KXPixelBlue(p) > 90 && KXPixelBlue(p) > 2 * KXPixelRed(p) &&
           KXPixelBlue(p) > 2 * KXPixelGreen(p);
}
int Count(const Image& img, bool (*test)(uint32_t)) {
    int n = 0;
    for (uint32_t p : img.Pixels()) n += test(p) ? 1 : 0;
    return n;
}

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReplaceCurrentProject(std::make_unique<Project>());
        ViewState::Get().Reset();
        ViewState::Get().SetWindowSize(320, 180);
    }
    void TearDown() override {
        ReplaceCurrentProject(std::make_unique<Project>());
        ViewState::Get().Reset();
    }

    int32_t AddMaterial(const std::string& name, Rgb colour) {
        Material m;
        m.name = name;
        m.surface = colour;
        return CurrentProject().AddMaterial(m);
    }
    // A column of the given plan box and height, one material, on a layer.
    const Element& AddColumn(double x0, double y0, double x1, double y1, double top,
                             int32_t material, int16_t layer = 1) {
        Element e;
        e.type = APIElem::Column;
        e.layer = layer;
        e.materials[0] = static_cast<int16_t>(material);
        e.body.push_back(Extrusion{{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, 0, top, 0});
        return CurrentProject().Add(e);
    }
    Image Window() {
        Image img;
        std::string error;
        EXPECT_TRUE(PictureMaker::Make(PictureKind::Window, nullptr, img, error)) << error;
        return img;
    }
};

TEST_F(PictureTest, ElementOnHiddenLayerIsNotDrawn) {
    Layer hidden;
    hidden.name = "Not yet built";
    hidden.flags = APILayerFlag::Hidden;
    const int32_t hiddenLayer = CurrentProject().AddLayer(hidden);
    const int32_t red = AddMaterial("Red", {1, 0, 0});
    AddColumn(0, 0, 2, 2, 3, AddMaterial("Blue", {0, 0, 1}));
    AddColumn(3, 0, 5, 2, 3, red, static_cast<int16_t>(hiddenLayer));

    const Image without = Window();
    EXPECT_EQ(Count(without, Reddish), 0);
    EXPECT_GT(Count(without, Bluish), 100);

    CurrentProject().EditLayer(hiddenLayer)->flags = 0;
    EXPECT_GT(Count(Window(), Reddish), 100);
}

TEST_F(PictureTest, ElementChangesColourWithItsMaterial) {
    const int32_t paint = AddMaterial("Paint", {0.9, 0.1, 0.1});
    AddColumn(0, 0, 4, 4, 4, paint);
    const Image before = Window();
    EXPECT_TRUE(Reddish(before.At(160, 90))) << std::hex << before.At(160, 90);

    CurrentProject().EditMaterial(paint)->surface = {0.1, 0.1, 0.9};
    const Image after = Window();
    EXPECT_TRUE(Bluish(after.At(160, 90))) << std::hex << after.At(160, 90);
    EXPECT_EQ(Count(after, Reddish), 0);
}

TEST_F(PictureTest, PictureAndReportedSizesFollowTheWindowAndRenderingSizes) {
    AddColumn(0, 0, 1, 1, 1, 1);
    struct Case {
        int windowW, windowH, renderW, renderH;
    };
    for (const Case c : {Case{320, 180, 640, 360}, Case{97, 55, 50, 40}}) {
        ASSERT_TRUE(ViewState::Get().SetWindowSize(c.windowW, c.windowH));
        ASSERT_TRUE(ViewState::Get().SetRenderSize(c.renderW, c.renderH));

        // The records carry the sizes as 16-bit values at fixed bytes.
        uint8_t window[328], rendering[328];
        std::memset(window, 0xAB, sizeof window);
        ASSERT_EQ(Call(Family::Environment, "GW3D", window), 0);
        int16_t w = 0, h = 0;
        std::memcpy(&w, window + 108, 2);
        std::memcpy(&h, window + 110, 2);
        EXPECT_EQ(w, c.windowW);
        EXPECT_EQ(h, c.windowH);
        ASSERT_EQ(Call(Family::Environment, "GREN", rendering, reinterpret_cast<void*>(1)), 0);
        std::memcpy(&w, rendering + 0, 2);
        std::memcpy(&h, rendering + 2, 2);
        EXPECT_EQ(w, c.renderW);
        EXPECT_EQ(h, c.renderH);

        for (uint8_t use3DWindow : {1, 0}) {
            KXPixMapHandle picture = nullptr;
            uint8_t flags[2] = {use3DWindow, 1};
            ASSERT_EQ(Call(Family::Internal, "CIMG", &picture, flags), 0);
            ASSERT_TRUE(KXPixMapIsValid(picture));
            EXPECT_EQ((*picture)->width, use3DWindow ? c.windowW : c.renderW);
            EXPECT_EQ((*picture)->height, use3DWindow ? c.windowH : c.renderH);
            KXPixMapKill(&picture);
        }
    }
    EXPECT_FALSE(ViewState::Get().SetWindowSize(0, 100));
    EXPECT_FALSE(ViewState::Get().SetWindowSize(100, ViewState::kMaxSide + 1));
}

TEST_F(PictureTest, PictureIntoAFullHandleReplacesItsContents) {
    AddColumn(0, 0, 1, 1, 1, 1);
    KXPixMapHandle picture = KXPixMapNew(3, 3);
    const int64_t live = BMLiveHandleCount();
    uint8_t flags[2] = {1, 0};
    ASSERT_EQ(Call(Family::Internal, "CIMG", &picture, flags), 0);
    EXPECT_EQ(BMLiveHandleCount(), live);  // the same handle, resized
    EXPECT_EQ((*picture)->width, 320);
    KXPixMapKill(&picture);
    EXPECT_NE(Call(Family::Internal, "CIMG", nullptr, flags), 0);
}

TEST_F(PictureTest, CameraRecordSetsTheViewAndReadsBack) {
    AddColumn(0, 0, 1, 1, 1, 1);
    API_3DProjectionInfo info;
    std::memset(&info, 0, sizeof info);
    ASSERT_EQ(Call(Family::Environment, "GP3D", &info), 0);
    EXPECT_EQ(info.isPersp, 1);
    EXPECT_GT(info.camera.viewCone, 0);

    uint8_t set[328] = {};
    set[0] = 1;
    API_PerspPars cam{};
    cam.eye = {10, -20, 5};
    cam.target = {1, 2, 1.5};
    cam.viewCone = 45;
    cam.rollAngle = 3;
    std::memcpy(set + 40, &cam, sizeof cam);
    uint8_t zero = 0;
    ASSERT_EQ(Call(Family::Environment, "CP3D", set, &zero), 0);
    std::memset(&info, 0, sizeof info);
    ASSERT_EQ(Call(Family::Environment, "GP3D", &info), 0);
    EXPECT_EQ(info.camera.eye.x, 10);
    EXPECT_EQ(info.camera.eye.y, -20);
    EXPECT_EQ(info.camera.target.z, 1.5);
    EXPECT_EQ(info.camera.viewCone, 45);
    EXPECT_EQ(info.camera.rollAngle, 3);

    // Refused: not a perspective record, no view, a field of view out of range. The view stays.
    uint8_t bad[328];
    std::memcpy(bad, set, sizeof bad);
    bad[0] = 0;
    EXPECT_NE(Call(Family::Environment, "CP3D", bad, &zero), 0);
    API_PerspPars same = cam;
    same.target = same.eye;
    std::memcpy(set + 40, &same, sizeof same);
    EXPECT_NE(Call(Family::Environment, "CP3D", set, &zero), 0);
    API_PerspPars wide = cam;
    wide.viewCone = 200;
    std::memcpy(set + 40, &wide, sizeof wide);
    EXPECT_NE(Call(Family::Environment, "CP3D", set, &zero), 0);
    ASSERT_EQ(Call(Family::Environment, "GP3D", &info), 0);
    EXPECT_EQ(info.camera.eye.x, 10);
}

// A path of cameras on the x axis, in order, with the stays given.
class CameraPathTest : public PictureTest {
protected:
    int32_t MakePath(const std::vector<int16_t>& stays, int inFrames, bool openEnded) {
        Element path;
        path.type = APIElem::CameraPath;
        PathData data;
        data.name = "Flight";
        data.inFrames = inFrames;
        data.openEnded = openEnded;
        data.firstCamera = 1;
        path.path = data;
        const int32_t pathIndex = CurrentProject().Add(path).index;
        const int n = static_cast<int>(stays.size());
        for (int i = 0; i < n; ++i) {
            Element cam;
            cam.type = APIElem::Camera;
            CameraData c;
            c.path = pathIndex;
            c.eye = {10.0 * i, -30, 10};
            c.target = {10.0 * i, 0, 2};
            c.viewCone = 50 + i;
            c.stays = stays[static_cast<size_t>(i)];
            c.prev = i;
            c.next = i + 1 < n ? i + 2 : 0;
            cam.camera = c;
            CurrentProject().Add(cam);
        }
        return pathIndex;
    }
    std::vector<API_PerspPars> Slideshow(int32_t pathIndex, GSErrCode expected = 0) {
        GSHandle h = nullptr;
        EXPECT_EQ(Call(Family::Internal, "SLSH", &pathIndex, &h), expected);
        std::vector<API_PerspPars> out;
        if (h == nullptr) return out;
        EXPECT_EQ(BMGetHandleSize(h) % 224, 0);
        out.resize(static_cast<size_t>(BMGetHandleSize(h)) / 224);
        std::memcpy(out.data(), *h, out.size() * 224);
        BMKillHandle(&h);
        return out;
    }
};

// The movie's frame table, as the movie settings describe it: stays at each camera, then the
// segment's positions; the last camera of an open-ended path once.
std::vector<int32_t> FrameTable(const std::vector<int16_t>& stays, int s, bool openEnded, size_t m,
                                bool& ok) {
    std::vector<int32_t> table;
    int32_t k = 0;
    ok = true;
    for (size_t i = 0; i < stays.size(); ++i) {
        for (int j = 0; j < stays[i]; ++j) table.push_back(k);
        const bool last = i + 1 == stays.size();
        if (last && openEnded) {
            table.push_back(k);
        } else {
            for (int j = 0; j < s; ++j) {
                table.push_back(k);
                if (static_cast<size_t>(++k) >= m) ok = ok && j + 1 == s && last;
            }
        }
    }
    return table;
}

TEST_F(CameraPathTest, OpenEndedPathOfThreeCamerasGivesThirteenFrames) {
    const std::vector<int16_t> stays = {0, 2, 0};
    const int32_t path = MakePath(stays, 5, true);
    const std::vector<API_PerspPars> cams = Slideshow(path);
    ASSERT_EQ(cams.size(), 11u);  // (3 - 1) x 5 + 1
    // The path's own cameras sit at positions 0, 5 and 10; the rest lie between them.
    EXPECT_EQ(cams[0].eye.x, 0);
    EXPECT_EQ(cams[5].eye.x, 10);
    EXPECT_EQ(cams[10].eye.x, 20);
    EXPECT_EQ(cams[5].viewCone, 51);
    for (int i = 1; i < 10; ++i) EXPECT_GT(cams[i].eye.x, cams[i - 1].eye.x) << i;

    bool ok = false;
    const std::vector<int32_t> table = FrameTable(stays, 5, true, cams.size(), ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(table, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 5, 5, 6, 7, 8, 9, 10}));
    // The frame count the settings dialog computes: (n - 1) x s + stays + 1.
    EXPECT_EQ(table.size(), static_cast<size_t>((3 - 1) * 5 + 2 + 1));
}

TEST_F(CameraPathTest, ClosedPathFliesBackToItsFirstCamera) {
    const std::vector<int16_t> stays = {1, 0, 0};
    const int32_t path = MakePath(stays, 4, false);
    const std::vector<API_PerspPars> cams = Slideshow(path);
    ASSERT_EQ(cams.size(), 13u);  // 3 x 4 + 1
    EXPECT_EQ(cams[8].eye.x, 20);
    EXPECT_EQ(cams[12].eye.x, 0);
    EXPECT_LT(cams[10].eye.x, 20);  // on the way back
    bool ok = false;
    const std::vector<int32_t> table = FrameTable(stays, 4, false, cams.size(), ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(table.size(), static_cast<size_t>(3 * 4 + 1));  // n x s + stays
}

TEST_F(CameraPathTest, BrokenPathsAreRefused) {
    const int32_t path = MakePath({0, 0}, 3, true);
    Slideshow(path + 1, ApiErr::BadIndex);                        // no such path
    CurrentProject().Edit(APIElem::Camera, 2)->camera->next = 7;  // leads nowhere
    Slideshow(path, ApiErr::BadIndex);
    CurrentProject().Edit(APIElem::Camera, 2)->camera->next = 1;  // a loop
    Slideshow(path, ApiErr::BadIndex);
}

// Width and height from a PNG file's header, read by hand: the 8-byte signature, then the IHDR
// chunk with both sizes as big-endian 32-bit values at bytes 16 and 20.
bool PngSize(const std::string& path, uint32_t& width, uint32_t& height) {
    std::ifstream f(path, std::ios::binary);
    unsigned char b[24] = {};
    if (!f.read(reinterpret_cast<char*>(b), 24)) return false;
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (std::memcmp(b, sig, 8) != 0 || std::memcmp(b + 12, "IHDR", 4) != 0) return false;
    width = (uint32_t{b[16]} << 24) | (uint32_t{b[17]} << 16) | (uint32_t{b[18]} << 8) | b[19];
    height = (uint32_t{b[20]} << 24) | (uint32_t{b[21]} << 16) | (uint32_t{b[22]} << 8) | b[23];
    return true;
}

TEST_F(PictureTest, RenderCommandWritesPngStills) {
    AddColumn(0, 0, 4, 4, 6, AddMaterial("Red", {1, 0, 0}));
    AddOnLoader noAddOn;
    std::istringstream in;
    std::ostringstream out;
    Session session(noAddOn, in, out, false);
    const std::string dir = ::testing::TempDir();
    std::string error;
    ASSERT_TRUE(session.RunLine("window3d 200 100", error)) << error;
    ASSERT_TRUE(session.RunLine("render " + dir + "pw_window.png", error)) << error;
    ASSERT_TRUE(session.RunLine("rendering 300 150 2", error)) << error;
    ASSERT_TRUE(session.RunLine("render " + dir + "pw_rendered.png rendered", error)) << error;
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(PngSize(dir + "pw_window.png", w, h));
    EXPECT_EQ(w, 200u);
    EXPECT_EQ(h, 100u);
    ASSERT_TRUE(PngSize(dir + "pw_rendered.png", w, h));
    EXPECT_EQ(w, 300u);
    EXPECT_EQ(h, 150u);
    Image still;
    ASSERT_TRUE(PngFile::Read(dir + "pw_rendered.png", still, error)) << error;
    EXPECT_GT(Count(still, Reddish), 50);

    // Each mistake is refused with a message, and no file is left behind by it.
    for (const std::string& line :
         {std::string("render"), "render " + dir + "pw_bad.png sideways",
          "render " + dir + "pw_bad.png camera 9", "render " + dir + "pw_bad.png camera x",
          std::string("render /no/such/folder/still.png"), std::string("window3d 0 100"),
          std::string("window3d 100"), std::string("rendering 100 100 9")}) {
        error.clear();
        EXPECT_FALSE(session.RunLine(line, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
    EXPECT_FALSE(std::ifstream(dir + "pw_bad.png").good());
}

}  // namespace
}  // namespace CadHost::Render
