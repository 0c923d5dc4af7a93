// Pictures of the host's model through the selector calls the add-on makes and the render command.
// (The sizes of the 3D window's and the rendering's pictures are read back from the demo's movies
// in ModuleTest.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "API/ApiAttributes.h"
#include "API/Pictures.h"
#include "API/View3D.h"
#include "AddOnLoader.h"
#include "CadHost/HostApi.h"
#include "Model/Project.h"
#include "Render/PictureMaker.h"
#include "Render/PngFile.h"
#include "Render/ViewState.h"
#include "Shell/Session.h"

namespace CadHost::Render {
namespace {

using CadHostTest::Call;

// Pixels with red (or blue) well above the other two channels.
int Count(const Image& img, bool red) {
    int n = 0;
    for (uint32_t p : img.Pixels()) {
        const int main = red ? KXPixelRed(p) : KXPixelBlue(p),
                  other = red ? KXPixelBlue(p) : KXPixelRed(p);
        n += main > 90 && main > 2 * KXPixelGreen(p) && main > 2 * other;
    }
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
    void AddColumn(double x0, double y0, double x1, double y1, double top, int32_t material,
                   int32_t layer = 1) {
        Element e;
        e.type = APIElem::Column;
        e.layer = int16_t(layer);
        e.materials[0] = int16_t(material);
        e.body.push_back({{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, 0, top, 0});
        CurrentProject().Add(e);
    }
    Image Window() {
        Image img;
        std::string error;
        EXPECT_TRUE(PictureMaker::Make(PictureKind::Window, nullptr, img, error)) << error;
        return img;
    }
};

// What is drawn follows the layers and the materials: a hidden layer's element is left out, a
// changed material changes the element's colour.
TEST_F(PictureTest, HiddenLayersAndMaterialColoursShow) {
    const int32_t hiddenLayer =
        CurrentProject().AddLayer({"Not yet built", APILayerFlag::Hidden, 0});
    const int32_t paint = AddMaterial("Paint", {0.1, 0.1, 0.9});
    AddColumn(-1, -1, 1, 1, 3, paint);
    AddColumn(3, 0, 5, 2, 3, AddMaterial("Red", {1, 0, 0}), hiddenLayer);
    const Image without = Window();
    EXPECT_EQ(Count(without, true), 0);
    EXPECT_GT(Count(without, false), 100);

    CurrentProject().EditLayer(hiddenLayer)->flags = 0;
    EXPECT_GT(Count(Window(), true), 100);
    CurrentProject().EditLayer(hiddenLayer)->flags = APILayerFlag::Hidden;
    CurrentProject().EditMaterial(paint)->surface = {0.9, 0.1, 0.1};
    const Image after = Window();
    EXPECT_EQ(Count(after, false), 0);
    EXPECT_GT(Count(after, true), 100);
}

// The camera record sets the view and reads back; a record that is not a perspective view, a
// field of view out of range, the eye on the target, a view straight down or a number that is
// none is refused and the view stays.
TEST_F(PictureTest, CameraRecordSetsTheViewAndReadsBack) {
    AddColumn(0, 0, 1, 1, 1, 1);
    API_3DProjectionInfo set{}, info{};
    set.isPersp = 1;
    set.camera.eye = {10, -20, 5};
    set.camera.target = {1, 2, 1.5};
    set.camera.viewCone = 45;
    set.camera.rollAngle = 3;
    uint8_t zero = 0;
    ASSERT_EQ(Call(Family::Environment, "CP3D", &set, &zero), 0);
    const API_PerspPars cam = set.camera;
    API_PerspPars wide = cam, onTarget = cam, down = cam, nan = cam;
    wide.viewCone = 200;
    onTarget.target = onTarget.eye;
    down.target = {10, -20, -10};
    nan.eye.x = std::nan("");
    for (auto [persp, pars] : {std::pair{uint8_t(0), cam},
                               {uint8_t(1), wide},
                               {uint8_t(1), onTarget},
                               {uint8_t(1), down},
                               {uint8_t(1), nan}}) {
        set.isPersp = persp;
        set.camera = pars;
        EXPECT_NE(Call(Family::Environment, "CP3D", &set, &zero), 0) << int(persp);
    }
    ASSERT_EQ(Call(Family::Environment, "GP3D", &info), 0);
    EXPECT_EQ(info.isPersp, 1);
    const API_PerspPars& c = info.camera;
    EXPECT_EQ((std::vector<double>{c.eye.x, c.eye.y, c.eye.z, c.target.x, c.target.y, c.target.z,
                                   c.viewCone, c.rollAngle}),
              (std::vector<double>{10, -20, 5, 1, 2, 1.5, 45, 3}));
}

// A path of two cameras that leads nowhere or round in a loop is refused, as is a path that is
// not there. (The positions along a sound path are checked in the movies of the add-on's tests.)
TEST_F(PictureTest, BrokenCameraPathsAreRefused) {
    Element path;
    path.type = APIElem::CameraPath;
    PathData& flight = path.path.emplace();
    flight.firstCamera = 1;
    flight.inFrames = 3;
    flight.openEnded = true;
    int32_t pathIndex = CurrentProject().Add(path).index;
    for (int i = 0; i < 2; ++i) {
        Element cam;
        cam.type = APIElem::Camera;
        CameraData& c = cam.camera.emplace();
        c.path = pathIndex;
        c.eye = {10.0 * i, -30, 10};
        c.target = {10.0 * i, 0, 2};
        c.viewCone = 50;
        c.prev = i;
        c.next = i == 0 ? 2 : 0;
        CurrentProject().Add(cam);
    }
    GSHandle h = nullptr;
    ASSERT_EQ(Call(Family::Internal, "SLSH", &pathIndex, &h), 0);
    EXPECT_GT(BMGetHandleSize(h), 0);
    BMKillHandle(&h);
    for (int32_t next : {0, 7, 1}) {  // no such path; a camera that leads nowhere; a loop
        int32_t asked = next == 0 ? pathIndex + 1 : pathIndex;
        if (next != 0) CurrentProject().Edit(APIElem::Camera, 2)->camera->next = next;
        EXPECT_EQ(Call(Family::Internal, "SLSH", &asked, &h), ApiErr::BadIndex) << next;
        EXPECT_EQ(h, nullptr);
    }
}

// Width and height from a PNG file's header, read by hand: the 8-byte signature, then the IHDR
// chunk with both sizes as big-endian 32-bit values at bytes 16 and 20; nothing for another file.
std::pair<uint32_t, uint32_t> PngSize(const std::string& path) {
    unsigned char b[24] = {};
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(b), 24);
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (std::memcmp(b, sig, 8) != 0 || std::memcmp(b + 12, "IHDR", 4) != 0) return {};
    auto big = [&](int at) {
        return uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
    };
    return {big(16), big(20)};
}

// The render command writes PNG stills of the sizes set; the lines and the sun are the host's
// settings: turning the lines off or moving the sun changes the still, turning the lines on again
// gives the first still back bit for bit.
TEST_F(PictureTest, RenderCommandWritesPngStillsOfTheSettings) {
    AddColumn(0, 0, 4, 4, 6, AddMaterial("Red", {1, 0, 0}));
    AddOnLoader noAddOn;
    std::istringstream in;
    std::ostringstream out;
    Session session(noAddOn, in, out, false);
    const std::string dir = ::testing::TempDir();
    std::string error;
    auto still = [&](const std::string& name) {
        Image image;
        EXPECT_TRUE(session.RunLine("render " + dir + name, error)) << error;
        EXPECT_TRUE(PngFile::Read(dir + name, image, error)) << error;
        return image.Pixels();
    };
    ASSERT_TRUE(session.RunLine("window3d 200 100", error)) << error;
    const auto lined = still("pw_window.png");
    ASSERT_TRUE(session.RunLine("rendering edges off", error)) << error;
    const auto bare = still("pw_bare.png");
    ASSERT_TRUE(session.RunLine("rendering edges on", error)) << error;
    EXPECT_EQ(still("pw_again.png"), lined);
    EXPECT_NE(bare, lined);
    ASSERT_TRUE(session.RunLine("view3d sun 30 20", error)) << error;
    EXPECT_NE(still("pw_sun.png"), lined);
    ASSERT_TRUE(session.RunLine("rendering 300 150 2", error)) << error;
    ASSERT_TRUE(session.RunLine("render " + dir + "pw_rendered.png rendered", error)) << error;
    EXPECT_EQ(PngSize(dir + "pw_window.png"), std::pair(200u, 100u));
    EXPECT_EQ(PngSize(dir + "pw_rendered.png"), std::pair(300u, 150u));
    Image rendered;
    ASSERT_TRUE(PngFile::Read(dir + "pw_rendered.png", rendered, error)) << error;
    EXPECT_GT(Count(rendered, true), 50);

    // Each mistake is refused with a message, and no file is left behind by it.
    for (const std::string& line :
         {std::string("render"), "render " + dir + "pw_bad.png sideways",
          std::string("render /no/such/folder/still.png"), std::string("window3d 0 100"),
          std::string("rendering 100 100 9"), std::string("rendering edges maybe"),
          std::string("view3d sun 30 95")}) {
        error.clear();
        EXPECT_FALSE(session.RunLine(line, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
    EXPECT_FALSE(std::ifstream(dir + "pw_bad.png").good());
}

}  // namespace
}  // namespace CadHost::Render
