// Drives the analysis library band by band, the way the page pipeline calls it: streamed from the file for
// the band operations, over the page in memory for the paper detector.
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

} // namespace

void Binarise(const std::string& in, const std::string& out, int32_t dpi) {
    PnmReader reader(in);
    const PnmImage& page = reader.shape();
    PnmWriter writer(out, page.width, page.height, 0);
    const int32_t lines = BandLines(page.stride());
    PnmImage band = NewImage(page.width, lines, page.channels);
    PnmImage bits = NewImage(page.width, lines, 0);
    tagBINFUNCINFO info{kBinFuncInfoHandleSize, 0, 0, 0, 0, nullptr};
    InitBINFUNCINFO(&info);
    info.lMode = page.channels == 3 ? kBinWeightedGrey : kBinFixedSlice;
    ForEachBand(page.stride(), page.height, [&](int32_t, int32_t count) {
        reader.read(band.pixels.data(), count);
        tagOVKIMAGEINFO src = Record(band, 0, count, dpi);
        tagOVKIMAGEINFO dst = Record(bits, 0, count, dpi);
        if (BinalizeRectEx(&dst, &src, &info) != 0)
            throw std::runtime_error("binarisation refused the page");
        writer.write(bits.pixels.data(), static_cast<size_t>(bits.stride()) * count);
    });
    ReleaseBinalizeHandle(&info);
}

void Reduce(const std::string& in, const std::string& out, int32_t dpi, int32_t outDpi) {
    PnmReader reader(in);
    const PnmImage& page = reader.shape();
    Reducer reducer(page.width, page.height, page.channels, dpi, outDpi);
    PnmImage band = NewImage(page.width, BandLines(page.stride()), page.channels);
    ForEachBand(page.stride(), page.height, [&](int32_t, int32_t count) {
        reader.read(band.pixels.data(), count);
        tagOVKIMAGEINFO src = Record(band, 0, count, dpi);
        reducer.band(&src);
    });
    reducer.end();
    PnmWriter(out, reducer.width(), reducer.lines(), page.channels)
        .write(reducer.pixels().data(),
               static_cast<size_t>(reducer.width()) * std::max(page.channels, 1) * reducer.lines());
}

std::string Blank(const std::string& in, int32_t dpi) {
    PnmReader reader(in);
    const PnmImage& page = reader.shape();
    PnmImage band = NewImage(page.width, BandLines(page.stride()), page.channels);
    tagISBLANKINFO info{};
    info.ulSize = sizeof info;
    info.ulLevel = 128;
    info.lThreshold = 1; // percent of dark pixels
    int verdict = 0;
    ForEachBand(page.stride(), page.height, [&](int32_t, int32_t count) {
        reader.read(band.pixels.data(), count);
        tagOVKIMAGEINFO record = Record(band, 0, count, dpi);
        info.rcArea = {0, 0, page.width, count};
        verdict = IsBlankPageEx2(&record, &info);
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
    ForEachBand(page.stride(), page.height, [&](int32_t y, int32_t lines) {
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
