// Encoding and decoding of CHighTime, the work under every date accessor.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "Dates/CHighTime.h"

namespace {

// Dates spread over several centuries so that no branch is always taken the same way.
std::vector<CHighTime::_HighTimeFormat> SampleFields() {
    std::vector<CHighTime::_HighTimeFormat> fields;
    for (int i = 0; i < 4096; ++i) {
        const int year = 1601 + (i * 7919) % 800;
        const int month = 1 + i % 12;
        const int day = 1 + (i * 31) % 28;
        fields.push_back({year, month, day, i % 24, i % 60, (i * 7) % 60, i % 1000, (i * 3) % 1000,
                          (i % 10) * 100, 0, 0});
    }
    return fields;
}

void BM_Encode(benchmark::State& state) {
    const auto fields = SampleFields();
    size_t i = 0;
    for (auto _ : state) {
        int64_t ticks = 0;
        benchmark::DoNotOptimize(CHighTime::ConvertTimeToLongLong(fields[i++ & 4095], ticks));
        benchmark::DoNotOptimize(ticks);
    }
}
BENCHMARK(BM_Encode);

void BM_Decode(benchmark::State& state) {
    std::vector<int64_t> ticks;
    for (const auto& f : SampleFields()) {
        int64_t t = 0;
        CHighTime::ConvertTimeToLongLong(f, t);
        ticks.push_back(t);
    }
    size_t i = 0;
    for (auto _ : state) {
        CHighTime::_HighTimeFormat out;
        benchmark::DoNotOptimize(CHighTime::ConvertLongLongToTime(ticks[i++ & 4095], out));
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Decode);

// One accessor: the whole value is decoded for one field.
void BM_GetDay(benchmark::State& state) {
    const CHighTime t(2024, 2, 29, 12, 30);
    for (auto _ : state) {
        benchmark::DoNotOptimize(t);
        benchmark::DoNotOptimize(t.GetDay());
    }
}
BENCHMARK(BM_GetDay);

}  // namespace

BENCHMARK_MAIN();
