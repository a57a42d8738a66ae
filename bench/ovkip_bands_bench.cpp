// Throughput of the band-wise colour filters on a 600-dpi letter-width colour page: colour-gap correction
// and pixel-order edge emphasis, each over 256-line bands in place, as the page pipeline calls them.
#include "ColorGap/ColorGapCorrect.h"
#include "EdgeEmphasis/OvkEdgeFunc.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {
constexpr int32_t kWidth = 5100; // 8.5 inch at 600 dpi
constexpr int32_t kBand = 256;   // lines

struct Band {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t{kWidth} * 3 * (kBand + kColorGapDelay));
    Band() {
        std::mt19937 rng(1);
        for (auto& p : pixels)
            p = static_cast<uint8_t>(rng() % 3 ? 230 : rng());
    }
    tagOVKIMAGEINFO record(int32_t lines) {
        tagOVKIMAGEINFO r{};
        r.ulSize = sizeof r;
        r.lpImage = pixels.data();
        r.lWidth = kWidth;
        r.lHeight = lines;
        r.lSync = kWidth * 3;
        r.lBps = 8;
        r.lSpp = 3;
        r.lXResolution = r.lYResolution = 600;
        return r;
    }
};

void ColorGapBands(benchmark::State& state) {
    Band band;
    COLORGAPINFO info{};
    info.ulSize = sizeof info;
    for (auto _ : state) {
        tagOVKIMAGEINFO image = band.record(kBand);
        ColorGapCorrect(&image, &image, &info);
    }
    ReleaseColorGapHandle(&info);
    state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * 3 * kBand);
}
BENCHMARK(ColorGapBands);

void EdgeEmphasisBands(benchmark::State& state) {
    Band band;
    tagEDGEINFO info{kEdgeInfoSize, 0x205, 0, kEdgeKindPixelOrder};
    bool first = true;
    for (auto _ : state) {
        tagOVKIMAGEINFO image = band.record(kBand);
        (first ? EdgeFuncStartEx : EdgeFuncContEx)(&image, &image, &info);
        first = false;
    }
    ReleaseEdgeFuncHandle(&info);
    state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * 3 * kBand);
}
BENCHMARK(EdgeEmphasisBands);
} // namespace
