// The watermark preview's redraw work on the cached pixels of the largest admitted image:
// one frame (16 ms) is the budget of a whole redraw.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "docpages/watermark_geometry.h"

namespace {

void BM_WatermarkBrightnessLargestImage(benchmark::State& state) {
    const size_t size = static_cast<size_t>(krv::kLargestWatermarkImageBytes);  // 10,485,760
    std::vector<uint8_t> cached(size);
    for (size_t i = 0; i < size; ++i)
        cached[i] = static_cast<uint8_t>(i * 131 + 7);
    std::vector<uint8_t> copy(size);
    uint8_t brightness = 50;
    for (auto _ : state) {
        krv::AddBrightness(cached.data(), copy.data(), size, brightness);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        brightness = static_cast<uint8_t>(brightness + 1);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * int64_t(size));
}
BENCHMARK(BM_WatermarkBrightnessLargestImage)->Unit(benchmark::kMillisecond);

void BM_WatermarkPlacementTiled(benchmark::State& state) {
    for (auto _ : state) {
        auto placement = krv::PlaceWatermarkPreview({9, 20, 138, 264, 1870, 1869});
        benchmark::DoNotOptimize(placement);
    }
}
BENCHMARK(BM_WatermarkPlacementTiled)->Unit(benchmark::kMicrosecond);

}  // namespace

// krv_bench gathers every bench/*.cpp into one program. Should another of them bring its own
// main (BENCHMARK_MAIN), that one is taken and this weak one is dropped.
__attribute__((weak)) int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
