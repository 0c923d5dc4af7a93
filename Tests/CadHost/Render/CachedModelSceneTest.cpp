// The scene kept between pictures against a scene built afresh (the second, plain way): after
// every kind of change both give the same picture, pixel for pixel, and the same triangle count.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Model/Project.h"
#include "Model/SampleBuilding.h"
#include "Render/CachedModelScene.h"
#include "Render/ModelScene.h"
#include "Render/Rasterizer.h"

namespace CadHost::Render {
namespace {

struct Picture {
    Image image;
    size_t triangles = 0;
};

Picture Draw(const Scene& scene, const Bounds& model) {
    Rasterizer rasterizer;
    Picture picture;
    std::string error;
    EXPECT_TRUE(
        rasterizer.Render(scene, Camera::Framing(model, 16.0 / 9), 192, 108, picture.image, error))
        << error;
    picture.triangles = rasterizer.Stats().triangles;
    return picture;
}

// Every element with a body whose position in ForEachElement order passes `pick`.
std::vector<API_Guid> Bodies(const Project& project, const std::function<bool(int)>& pick) {
    std::vector<API_Guid> guids;
    int n = 0;
    project.ForEachElement([&](const Element& e) {
        if (!e.body.empty() && pick(n++)) guids.push_back(e.guid);
    });
    return guids;
}

TEST(CachedModelSceneTest, DrawsWhatAFreshSceneDrawsAfterEveryChange) {
    std::unique_ptr<Project> project = SampleBuilding::Make(2, 3);
    CachedModelScene cached;
    const int32_t hiddenLayer = project->AddLayer(Layer{"Hidden", 1, 0});
    const struct {
        const char* name;
        std::function<void(std::unique_ptr<Project>&)> change;
    } changes[] = {
        {"the first picture", [](auto&) {}},
        {"every other element moved to a hidden layer",
         [&](auto& p) {
             for (const API_Guid& g : Bodies(*p, [](int n) { return n % 2 == 0; }))
                 p->Edit(g)->layer = static_cast<int16_t>(hiddenLayer);
         }},
        {"some of them shown again and re-coloured",
         [](auto& p) {
             for (const API_Guid& g : Bodies(*p, [](int n) { return n % 4 == 0; })) {
                 Element* e = p->Edit(g);
                 e->layer = 1;
                 e->materials.fill(3);
             }
         }},
        {"a material's colour changed",
         [](auto& p) {
             p->EditMaterial(3)->surface = Rgb{0.9, 0.1, 0.1};
         }},
        {"the general layer hidden", [](auto& p) { p->EditLayer(1)->flags |= 1u; }},
        {"another project with as many elements",
         [](auto& p) {
             // Same count, other shapes: every body twice as tall.
             auto other = std::make_unique<Project>();
             other->ReplaceAttributes(p->Layers(), p->Pens(), p->Materials());
             p->ForEachElement([&](const Element& e) {
                 Element copy = e;
                 for (Extrusion& part : copy.body) part.top += part.top - part.bottom;
                 other->Add(std::move(copy));
             });
             p = std::move(other);
         }},
    };
    std::vector<uint32_t> before;
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        c.change(project);
        Scene fresh;
        ModelScene::Build(*project, fresh);
        const Bounds model = ModelScene::ModelBounds(*project);
        const Picture expected = Draw(fresh, model);
        const Picture got = Draw(cached.Update(*project), cached.ModelBounds(*project));
        EXPECT_EQ(got.triangles, expected.triangles);
        EXPECT_TRUE(got.image.Pixels() == expected.image.Pixels());
        // Each change shows in the picture, so the comparison above means something.
        EXPECT_TRUE(before.empty() || before != expected.image.Pixels());
        EXPECT_GT(expected.triangles, 0u);
        before = expected.image.Pixels();
    }
}

}  // namespace
}  // namespace CadHost::Render
