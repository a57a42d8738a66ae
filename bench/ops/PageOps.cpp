// Drives the analysis library band by band over an in-memory page, the way the page pipeline calls it.
#include "PageOps.h"

#include "Bands.h"
#include "Blank/IsBlank.h"
#include "DetectSize/OvkDetectSlantAndSize.h"
#include "OvkBinalize.h"
#include "Reducer.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace {
// Record over lines [y, y + lines) of an image; the library writes through it for outputs.
tagOVKIMAGEINFO Record(const PnmImage& image, int32_t y, int32_t lines, int32_t dpi) {
    auto* first = const_cast<uint8_t*>(image.pixels.data()) + static_cast<size_t>(image.stride()) * y;
    return BandRecord(first, image.width, lines, image.stride(), image.channels == 0 ? 1 : 8,
                      std::max(image.channels, 1), dpi);
}

PnmImage NewImage(int32_t width, int32_t height, int32_t channels) {
    PnmImage image{width, height, channels, {}};
    image.pixels.resize(static_cast<size_t>(image.stride()) * height);
    return image;
}

// Calls body(y, lines) for each band of the page.
template <typename Body> void ForEachBand(const PnmImage& page, Body body) {
    const int32_t band = BandLines(page.stride());
    for (int32_t y = 0; y < page.height; y += band)
        body(y, std::min(band, page.height - y));
}

} // namespace

PnmImage Binarise(const PnmImage& page, int32_t dpi) {
    PnmImage out = NewImage(page.width, page.height, 0);
    tagBINFUNCINFO info{kBinFuncInfoHandleSize, 0, 0, 0, 0, nullptr};
    InitBINFUNCINFO(&info);
    info.lMode = page.channels == 3 ? kBinWeightedGrey : kBinFixedSlice;
    ForEachBand(page, [&](int32_t y, int32_t lines) {
        tagOVKIMAGEINFO src = Record(page, y, lines, dpi);
        tagOVKIMAGEINFO dst = Record(out, y, lines, dpi);
        if (BinalizeRectEx(&dst, &src, &info) != 0)
            throw std::runtime_error("binarisation refused the page");
    });
    ReleaseBinalizeHandle(&info);
    return out;
}

PnmImage Reduce(const PnmImage& page, int32_t dpi, int32_t outDpi) {
    Reducer reducer(page.width, page.height, page.channels, dpi, outDpi);
    ForEachBand(page, [&](int32_t y, int32_t lines) {
        tagOVKIMAGEINFO src = Record(page, y, lines, dpi);
        reducer.band(&src);
    });
    reducer.end();
    PnmImage out{reducer.width(), reducer.lines(), page.channels, std::move(reducer.pixels())};
    out.pixels.resize(static_cast<size_t>(out.stride()) * out.height);
    return out;
}

std::string Blank(const PnmImage& page, int32_t dpi) {
    tagISBLANKINFO info{};
    info.ulSize = sizeof info;
    info.ulLevel = 128;
    info.lThreshold = 1; // percent of dark pixels
    int verdict = 0;
    ForEachBand(page, [&](int32_t y, int32_t lines) {
        tagOVKIMAGEINFO band = Record(page, y, lines, dpi);
        info.rcArea = {0, 0, page.width, lines};
        verdict = IsBlankPageEx2(&band, &info);
    });
    std::ostringstream text;
    text << (verdict ? "content" : "blank") << " ratio " << info.ulRatio << '\n';
    return text.str();
}

PaperCorners FindPaper(const PnmImage& page, int32_t dpi) {
    tagSLANTSIZEREQ req{};
    req.ulSize = sizeof req;
    std::fill(std::begin(req.lRefPoint), std::end(req.lRefPoint), -1);
    tagOVKIMAGEINFO whole = Record(page, 0, page.height, dpi);
    req.ulCommand = 0;
    if (DetectSlantAndSize(&whole, &req) != 0)
        throw std::runtime_error("slant detector refused the page");
    const int32_t band = BandLines(page.stride());
    ForEachBand(page, [&](int32_t y, int32_t lines) {
        tagOVKIMAGEINFO part = Record(page, y, lines, dpi);
        req.ulCommand = y == 0 ? 1 : y + band >= page.height ? 3 : 2;
        DetectSlantAndSize(&part, &req);
    });
    req.ulCommand = 5;
    DetectSlantAndSize(&whole, &req);
    PaperCorners found{};
    std::copy(std::begin(req.lCorner), std::end(req.lCorner), found.corner);
    std::copy(std::begin(req.lSlant), std::end(req.lSlant), found.slant);
    std::copy(std::begin(req.lRect), std::end(req.lRect), found.rect);
    req.ulCommand = 4;
    DetectSlantAndSize(&whole, &req);
    return found;
}

std::string Slant(const PnmImage& page, int32_t dpi) {
    const PaperCorners found = FindPaper(page, dpi);
    std::ostringstream text;
    text << "slant " << found.slant[0] << ' ' << found.slant[1] << " rect";
    for (int32_t v : found.rect)
        text << ' ' << v;
    text << '\n';
    return text.str();
}
