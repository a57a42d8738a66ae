// Sheets per minute, raw megabytes per second and peak heap per page of the page filters on A4 sides at
// 300 and 600 dpi, grey and colour, simplex and duplex, fed in the data source's 2 MiB bands.
// Arguments of every case: dpi, colour (0/1), sides (1/2).
#include "HeapPeak.h"
#include "SideChain.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {
void Sheets(benchmark::State& state, uint32_t filters) {
    const auto dpi = static_cast<int32_t>(state.range(0));
    const SheetSide& raw = A4Side(dpi, state.range(1) ? 3 : 1);
    const int64_t sides = state.range(2);
    int64_t peak = 0, finished = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int64_t side = 0; side < sides; ++side) {
            const int64_t before = HeapPeak::Restart();
            finished = SideChain(filters).run(raw);
            peak = std::max(peak, HeapPeak::Peak() - before);
        }
    }
    const std::chrono::duration<double, std::ratio<60>> took = std::chrono::steady_clock::now() - start;
    const double iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(iterations) * sides * raw.bytes());
    state.counters["sheets/min"] = iterations / took.count();
    state.counters["peak_MiB"] = static_cast<double>(peak) / (1 << 20);
    state.counters["peak/page"] =
        static_cast<double>(peak) / static_cast<double>(std::max<int64_t>(finished, 1));
}

void AllFormats(benchmark::internal::Benchmark* b) {
    b->ArgNames({"dpi", "colour", "sides"})->Unit(benchmark::kMillisecond)->UseRealTime();
    for (int64_t dpi : {300, 600})
        for (int64_t colour : {0, 1})
            for (int64_t sides : {1, 2})
                b->Args({dpi, colour, sides});
}

// Filters alone: one side is enough, the cost per side is what they add to a chain.
void OneSide(benchmark::internal::Benchmark* b) {
    b->ArgNames({"dpi", "colour", "sides"})->Unit(benchmark::kMillisecond)->UseRealTime();
    for (int64_t dpi : {300, 600})
        for (int64_t colour : {0, 1})
            b->Args({dpi, colour, 1});
}
} // namespace

BENCHMARK_CAPTURE(Sheets, DefaultChain, kDefaultChain)->Apply(AllFormats);
BENCHMARK_CAPTURE(Sheets, DefaultChainBinarised, kDefaultChain | kFilterBinarise)->Apply(AllFormats);
BENCHMARK_CAPTURE(Sheets, BandsOnly, 0u)->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, ColourGap, uint32_t{kFilterColourGap})->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, SlantSize, uint32_t{kFilterSlantSize})->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, BlankMeasure, uint32_t{kFilterBlank})->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, Binarise, uint32_t{kFilterBinarise})->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, ReduceToHalf, uint32_t{kFilterReduce})->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, ColourDetect, uint32_t{kFilterColourDetect})->Apply(OneSide);
