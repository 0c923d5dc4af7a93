// Rendering speed: ms per 1280 x 720 picture of sample buildings of about 1,000, 10,000 and
// 100,000 elements, on one thread and on two, with the triangle count and the triangle rate.
// Also the cost of turning the model into triangles before each picture.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "BuildingOf.h"
#include "Model/Project.h"
#include "Render/ModelScene.h"
#include "Render/Rasterizer.h"

using namespace CadHost;
using namespace CadHost::Render;

namespace {

struct Fixture {
    std::unique_ptr<Project> project;
    Scene scene;
    Camera camera;
};

Fixture& FixtureOf(int target) {
    static std::map<int, Fixture> cache;
    Fixture& f = cache[target];
    if (!f.project) {
        f.project = BuildingOf(target);
        ModelScene::Build(*f.project, f.scene);
        f.camera = Camera::Framing(ModelScene::ModelBounds(*f.project), 1280.0 / 720.0);
    }
    return f;
}

void BM_Render(benchmark::State& state) {
    Fixture& f = FixtureOf(static_cast<int>(state.range(0)));
    RenderSettings settings;
    settings.threads = static_cast<int>(state.range(1));
    Rasterizer r(settings);
    Image image;
    std::string error;
    for (auto _ : state) {
        if (!r.Render(f.scene, f.camera, 1280, 720, image, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(image.Pixels().data());
    }
    state.counters["elements"] = static_cast<double>(f.project->ElementCount());
    state.counters["triangles"] = static_cast<double>(f.scene.Size());
    state.counters["tri/s"] = benchmark::Counter(static_cast<double>(f.scene.Size()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Render)
    ->ArgsProduct({{1000, 10000, 100000}, {1, 2}})
    ->ArgNames({"elements", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_BuildScene(benchmark::State& state) {
    Fixture& f = FixtureOf(static_cast<int>(state.range(0)));
    Scene scene;
    for (auto _ : state) {
        ModelScene::Build(*f.project, scene);
        benchmark::DoNotOptimize(scene.Triangles().data());
    }
    state.counters["triangles"] = static_cast<double>(scene.Size());
}
BENCHMARK(BM_BuildScene)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
