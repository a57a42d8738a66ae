// Time of text-direction detection for one A4 page of printed text at 300 dpi, as the page pipeline
// calls it (open, detect, close), upright and turned, grey and colour.
#include "test_pages.h"
#include "vellumv2.h"

#include <benchmark/benchmark.h>

namespace {

const vlmtest::Page& a4Grey() {
    static const vlmtest::Page page = [] {
        std::vector<std::string> lines;
        for (int i = 0; i < 40; ++i)
            lines.push_back("Line " + std::to_string(i + 1) +
                            ": scanned letters, invoices and forms carry ordinary printed text.");
        return vlmtest::renderText(lines, 300);
    }();
    return page;
}

void detectPage(benchmark::State& state, const vlmtest::Page& page, int32_t expected) {
    const PdfPageImageDesc desc = page.desc();
    for (auto _ : state) {
        VLMC_exmodeset(VLM_MODE_DETECT, 3, 0);
        VLMC_exopen(nullptr, VLM_OPEN_DETECT, 0);
        int32_t degrees = -1;
        double radians = 0;
        const int32_t result = VLMD_spdetect(&desc, &degrees, &radians);
        VLMC_exclose(0);
        if (result != VLM_OK || degrees != expected)
            state.SkipWithError("wrong direction");
        benchmark::DoNotOptimize(degrees);
    }
}

void BM_DetectA4Grey300(benchmark::State& state) {
    detectPage(state, a4Grey(), 0);
}

void BM_DetectA4Grey300Turned(benchmark::State& state) {
    static const vlmtest::Page turned = vlmtest::rotateClockwise(a4Grey());
    detectPage(state, turned, 90);
}

void BM_DetectA4Colour300(benchmark::State& state) {
    static const vlmtest::Page colour = vlmtest::toBgr(a4Grey());
    detectPage(state, colour, 0);
}

} // namespace

BENCHMARK(BM_DetectA4Grey300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetectA4Grey300Turned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetectA4Colour300)->Unit(benchmark::kMillisecond);
