// The host model at the size of a large building (about 100,000 elements): making the sample,
// saving and opening its project file, and the add-on's walk over every element reading the
// element and its user data through the function table.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "API/ApiSlots.h"
#include "API/Elements.h"
#include "BM.h"
#include "Model/Project.h"
#include "Model/ProjectFile.h"
#include "Model/SampleBuilding.h"
#include "Registry.h"

namespace {

using namespace CadHost;

constexpr int kStoreys = 16;
constexpr int kBays = 37;  // with 16 storeys, a little over 100,000 elements

const std::string& FilePath() {
    static const std::string path = "/tmp/pw_model_bench_" + std::to_string(::getpid()) + ".json";
    return path;
}

// The big sample, each element of the types the add-on links carrying an 88-byte record, as a
// fully linked schedule leaves it; made once.
Project& Big() {
    static Project* project = [] {
        ReplaceCurrentProject(SampleBuilding::Make(kStoreys, kBays));
        Project& p = CurrentProject();
        const API_ElemTypeID linked[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 17, 18, 19, 21, 22, 23, 37};
        for (API_ElemTypeID type : linked) {
            for (int32_t i = 1; i <= static_cast<int32_t>(p.ElementsOfType(type).size()); ++i) {
                UserData d{103, 0x5757, std::vector<uint8_t>(88, 0)};
                std::memcpy(d.bytes.data(), &i, sizeof(i));
                p.Edit(type, i)->userData = std::move(d);
            }
        }
        std::string error;
        if (!ProjectFile::Save(p, FilePath(), error)) std::fprintf(stderr, "%s\n", error.c_str());
        return &p;
    }();
    return *project;
}

void BM_MakeSample(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SampleBuilding::Make(kStoreys, kBays));
    state.counters["elements"] = double(SampleBuilding::ElementCount(kStoreys, kBays));
}
BENCHMARK(BM_MakeSample)->Unit(benchmark::kMillisecond);

void BM_SaveProject(benchmark::State& state) {
    const Project& p = Big();
    const std::string path = FilePath() + ".save";
    std::string error;
    for (auto _ : state)
        if (!ProjectFile::Save(p, path, error)) state.SkipWithError(error.c_str());
    state.counters["elements"] = double(p.ElementCount());
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

void BM_OpenProject(benchmark::State& state) {
    Big();
    std::string error;
    size_t count = 0;
    for (auto _ : state) {
        auto p = ProjectFile::Open(FilePath(), error);
        if (!p) state.SkipWithError(error.c_str());
        count = p ? p->ElementCount() : 0;
    }
    state.counters["elements"] = double(count);
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond);

// For every type, the list of GUIDs; for every element, Element_Get and Element_GetUserData.
void BM_WalkGetAndUserData(benchmark::State& state) {
    Big();
    const ApiFunctionTable table = Registry::Get().BuildTable();
    auto getList =
        reinterpret_cast<ApiFn_Element_GetElemList>(table.slots[ApiSlot::Element_GetElemList]);
    auto get = reinterpret_cast<ApiFn_Element_Get>(table.slots[ApiSlot::Element_Get]);
    auto getData =
        reinterpret_cast<ApiFn_Element_GetUserData>(table.slots[ApiSlot::Element_GetUserData]);
    size_t elements = 0, withData = 0;
    for (auto _ : state) {
        elements = withData = 0;
        for (API_ElemTypeID type = 1; type <= 42; ++type) {
            GSHandle list = nullptr;
            if (getList(type, &list) != 0) continue;
            const auto* guids = reinterpret_cast<const API_Guid*>(*list);
            const int32_t n = BMGetHandleSize(list) / int32_t(sizeof(API_Guid));
            for (int32_t i = 0; i < n; ++i) {
                API_Element e;
                std::memset(&e, 0, sizeof(e));
                e.header.typeID = type;
                e.header.guid = guids[i];
                if (get(&e, 0) != 0) continue;
                API_ElementUserData u{};
                u.platformSign = 0x5757;
                if (getData(&e.header, &u, 0) == 0) {
                    ++withData;
                    BMKillHandle(&u.dataHdl);
                }
                ++elements;
            }
            BMKillHandle(&list);
        }
    }
    state.counters["elements"] = double(elements);
    state.counters["withData"] = double(withData);
}
BENCHMARK(BM_WalkGetAndUserData)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(FilePath().c_str());
    return 0;
}
