// Sheets per minute, raw MB/s and peak heap per page of the page library's entry points: raw A4 sheets
// at 300 and 600 dpi, grey and colour, one or two sides, cut into the data source's bands (at most 2 MiB
// of raw data per side) and run through shading, colour gap and sRGB, then the generic chain.
// Arguments of every case: dpi, colour (0/1), sides (1/2).
#include "Bands.h"
#include "HeapPeak.h"
#include "RawSheet.h"

#include "BufferPool.h"
#include "QS880/PixenQS880.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <deque>
#include <stdexcept>

using namespace Ovk::Pixen;
using namespace Ovk::Pixen::QS880;

namespace {
// Generic-chain options of a case; the model's own steps always run.
struct Chain {
    bool skew = false;
    bool autoSize = false;
    bool blank = false;
    bool binary = false;
};

// One-line 16-bit reference of a side: gains near 1.06 (4096 is 1.0) that vary across the sensor, or a
// black level of 4.
CImg Reference(int32_t width, int32_t channels, bool gains) {
    CImg line;
    line.createImg(width, 1, 16, channels, Ovk::RGBORDER_LINE, 300, 300);
    auto* words = reinterpret_cast<uint16_t*>(line.getImage());
    for (uint32_t i = 0; i < line.getImageSize() / 2; ++i)
        words[i] = gains ? static_cast<uint16_t>(4352 + 96 * std::sin(i * 0.01)) : 4;
    return line;
}

Ovk::tagIMAGEINFO Geometry(const RawSheet& raw, uint32_t order, int32_t bps) {
    Ovk::tagIMAGEINFO info{};
    info.ulSize = sizeof info;
    info.lWidth = raw.sideWidth;
    info.lHeight = raw.lines - (raw.sides == 2 ? getOffset(raw.dpi) : 0);
    info.lSync = raw.sideWidth;
    info.lBps = bps;
    info.lSpp = bps == 1 ? 1 : raw.channels;
    info.ulRGBOrder = order;
    info.lXResolution = info.lYResolution = raw.dpi;
    return info;
}

struct Requests {
    tagSHADINGINFO shading[2];
    tagDETECT4POINTSINFO corners[2]{{sizeof(tagDETECT4POINTSINFO), {}, {}, {}, {}, {}, {}, {}, 0, 0, 0, 0},
                                    {sizeof(tagDETECT4POINTSINFO), {}, {}, {}, {}, {}, {}, {}, 0, 0, 0, 0}};
    bool findCorners = false;
    tagSRGBCONVERSIONINFO srgb{sizeof(tagSRGBCONVERSIONINFO), 0, {}}; // the feeder's matrix
    tagBLANKPAGEINFO blank{sizeof(tagBLANKPAGEINFO), 10, false};
    tagGRAYTOBINARYINFO binary{sizeof(tagGRAYTOBINARYINFO), 0, 128, 128};
    tagGRCINFO tone{}; // neutral curves: the blank-page measure needs the tone record of the page
    tagFILTERSIMPLEXINFO simplex{};
    tagFILTERDUPLEXINFO duplex{};

    Requests(const RawSheet& raw, const Chain& chain) {
        for (tagSHADINGINFO& side : shading) {
            side.imgWhite = Reference(raw.sideWidth, raw.channels, true);
            side.imgBlack = Reference(raw.sideWidth, raw.channels, false);
        }
        findCorners = chain.skew || chain.autoSize;
        tone.ulSize = sizeof tone;
        for (int level = 0; level < 256; ++level)
            tone.ucGray[level] = tone.ucRed[level] = tone.ucGreen[level] = tone.ucBlue[level] =
                static_cast<uint8_t>(level);
        tagNORMALFILTERINFO normal{};
        normal.ulSize = sizeof normal;
        normal.bSkewCorrection = chain.skew;
        normal.bAutoSize = chain.autoSize;
        normal.pBlankPageInfo = chain.blank ? &blank : nullptr;
        normal.pGRCInfo = chain.blank ? &tone : nullptr;
        normal.pGrayToBinaryInfo = chain.binary ? &binary : nullptr;
        const Ovk::tagIMAGEINFO in = Geometry(raw, Ovk::RGBORDER_LINE, 8);
        const Ovk::tagIMAGEINFO out = Geometry(raw, Ovk::RGBORDER_PIXEL, chain.binary ? 1 : 8);
        simplex = {sizeof simplex, in, out, normal, special(0)};
        duplex = {sizeof duplex, in, out, normal, normal, false, special(0), special(1)};
    }
    tagSPECIALFILTERINFO special(int side) {
        return {sizeof(tagSPECIALFILTERINFO), &shading[side], &srgb, findCorners ? &corners[side] : nullptr};
    }
};

void Check(int32_t result) {
    if (result != 0)
        throw std::runtime_error("the page library refused a band: " + std::to_string(result));
}

// One sheet through the entry points; returns the bytes of the finished sides. The finished bands are
// kept as they come, the way a memory transfer hands them on, so no copy of a growing page is timed.
int64_t RunSheet(const RawSheet& raw, Requests& requests) {
    const int32_t bandLines = BandLines(raw.sideWidth * raw.channels);
    const int32_t bandWidth = raw.sideWidth * raw.sides;
    std::deque<CImg> finished; // a deque never copies the bands it holds
    int64_t bytes = 0;
    for (int32_t y = 0; y < raw.lines; y += bandLines) {
        const int32_t count = std::min(bandLines, raw.lines - y);
        // The read from the device: raw lines land in a fresh band image, every byte of it.
        CImg in;
        const Ovk::tagIMAGEINFO record = CImg::makeInfo(0, 0, bandWidth, count, bandWidth, 8, raw.channels,
                                                        Ovk::RGBORDER_LINE, raw.dpi, raw.dpi);
        in.createImgUnfilled(&record);
        std::memcpy(in.getImage(), raw.stream.data() + raw.lineBytes() * y,
                    static_cast<size_t>(raw.lineBytes()) * count);
        const bool first = y == 0, last = y + count >= raw.lines;
        CImg frontOut, backOut;
        if (raw.sides == 1) {
            Check(first && last ? FilterSimplex(frontOut, in, &requests.simplex)
                  : first       ? FilterSimplexFirst(frontOut, in, &requests.simplex)
                  : last        ? FilterSimplexLast(frontOut, in, &requests.simplex)
                                : FilterSimplexMiddle(frontOut, in, &requests.simplex));
        } else {
            Check(first && last ? FilterDuplex(frontOut, backOut, in, &requests.duplex)
                  : first       ? FilterDuplexFirst(frontOut, backOut, in, &requests.duplex)
                  : last        ? FilterDuplexLast(frontOut, backOut, in, &requests.duplex)
                                : FilterDuplexMiddle(frontOut, backOut, in, &requests.duplex));
        }
        for (CImg* out : {&frontOut, &backOut}) {
            if (out->isNull())
                continue;
            bytes += out->getImageSize();
            finished.emplace_back();
            finished.back().attachImg(*out);
        }
    }
    return bytes;
}

// CPU seconds of this thread: the library works on the calling thread, and a busy machine would stretch
// wall time.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void Sheets(benchmark::State& state, Chain chain) {
    const auto dpi = static_cast<int32_t>(state.range(0));
    const auto sides = static_cast<int32_t>(state.range(2));
    const RawSheet& raw = A4RawSheet(dpi, state.range(1) ? 3 : 1, sides, getOffset(dpi));
    Requests requests(raw, chain);
    int64_t peak = 0, finished = 0;
    const double start = ThreadSeconds();
    for (auto _ : state) {
        // Buffers the library keeps for reuse are live but belong to the sheet's working set.
        const int64_t before = HeapPeak::Restart() - static_cast<int64_t>(BufferPool::keptBytes());
        finished = RunSheet(raw, requests);
        peak = std::max(peak, HeapPeak::Peak() - before);
    }
    const double minutes = (ThreadSeconds() - start) / 60;
    const double iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(raw.stream.size()));
    state.counters["sheets/min"] = iterations / minutes;
    // Both sides of a sheet are held together, so a page's share is half the sheet's peak.
    state.counters["peak_MiB/page"] = static_cast<double>(peak) / sides / (1 << 20);
    state.counters["peak/page"] =
        static_cast<double>(peak) / static_cast<double>(std::max<int64_t>(finished, 1));
}

void AllFormats(benchmark::internal::Benchmark* b) {
    b->ArgNames({"dpi", "colour", "sides"})->Unit(benchmark::kMillisecond);
    for (int64_t dpi : {300, 600})
        for (int64_t colour : {0, 1})
            for (int64_t sides : {1, 2})
                b->Args({dpi, colour, sides});
}

void OneSide(benchmark::internal::Benchmark* b) {
    b->ArgNames({"dpi", "colour", "sides"})->Unit(benchmark::kMillisecond);
    for (int64_t dpi : {300, 600})
        for (int64_t colour : {0, 1})
            b->Args({dpi, colour, 1});
}
} // namespace

BENCHMARK_CAPTURE(Sheets, DefaultChain, Chain{true, true, true, false})->Apply(AllFormats);
BENCHMARK_CAPTURE(Sheets, DefaultChainBinarised, Chain{true, true, true, true})->Apply(AllFormats);
BENCHMARK_CAPTURE(Sheets, ModelStepsOnly, Chain{})->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, Deskew, Chain{true, false, false, false})->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, AutomaticSize, Chain{false, true, false, false})->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, BlankPage, Chain{false, false, true, false})->Apply(OneSide);
BENCHMARK_CAPTURE(Sheets, Binarise, Chain{false, false, false, true})->Apply(OneSide);
