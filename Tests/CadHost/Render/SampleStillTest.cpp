// Stills of the sample building, checked for what a person must see: the building in the middle
// of the picture and sky above it. "Building" pixels are those that differ from a picture of the
// same view with the model taken away.
#include <gtest/gtest.h>

#include "Model/Project.h"
#include "Model/SampleBuilding.h"
#include "Render/Camera.h"
#include "Render/CameraPath.h"
#include "Render/PictureMaker.h"
#include "Render/ViewState.h"

namespace CadHost::Render {
namespace {

class SampleStillTest : public ::testing::Test {
protected:
    static constexpr int W = 480, H = 270;

    void SetUp() override {
        ViewState::Get().Reset();
        ViewState::Get().SetWindowSize(W, H);
        ReplaceCurrentProject(SampleBuilding::Make(3, 5));
    }
    void TearDown() override {
        ReplaceCurrentProject(std::make_unique<Project>());
        ViewState::Get().Reset();
    }

    // The picture from `camera`, and the same view of an empty model.
    void Stills(const Camera& camera, Image& withModel, Image& empty) {
        std::string error;
        ASSERT_TRUE(PictureMaker::Make(PictureKind::Window, &camera, withModel, error)) << error;
        auto model = ReplaceCurrentProject(std::make_unique<Project>());
        ASSERT_TRUE(PictureMaker::Make(PictureKind::Window, &camera, empty, error)) << error;
        ReplaceCurrentProject(std::move(model));
    }

    static double ShareChanged(const Image& a, const Image& b, int x0, int y0, int x1, int y1) {
        int changed = 0, all = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x, ++all) changed += a.At(x, y) != b.At(x, y);
        return static_cast<double>(changed) / all;
    }
    static bool SkyColoured(uint32_t p) {
        return KXPixelBlue(p) > KXPixelRed(p) && KXPixelBlue(p) >= KXPixelGreen(p);
    }
};

// The default view: the middle tenth of the picture is building, the top rows are sky untouched
// by the model, and the building reaches a good way out from the middle. The first camera of the
// sample's path shows the building too.
TEST_F(SampleStillTest, DefaultViewAndPathCameraShowTheBuilding) {
    Image still, empty;
    Stills(PictureMaker::CurrentCamera(PictureKind::Window), still, empty);
    EXPECT_GT(ShareChanged(still, empty, W * 9 / 20, H * 9 / 20, W * 11 / 20, H * 11 / 20), 0.95);
    EXPECT_EQ(ShareChanged(still, empty, 0, 0, W, H / 40), 0.0);
    for (int x = 0; x < W; x += 16) EXPECT_TRUE(SkyColoured(still.At(x, 1))) << x;
    EXPECT_GT(ShareChanged(still, empty, 0, 0, W, H), 0.2);

    std::vector<Camera> cameras;
    std::string error;
    ASSERT_TRUE(CameraPath::Cameras(CurrentProject(), 1, cameras, error)) << error;
    Stills(cameras.front(), still, empty);
    EXPECT_GT(ShareChanged(still, empty, W * 2 / 5, H * 2 / 5, W * 3 / 5, H * 3 / 5), 0.9);
    EXPECT_GT(ShareChanged(still, empty, 0, 0, W, H), 0.1);
}

}  // namespace
}  // namespace CadHost::Render
