// Colour-gap correction lags its input by a few lines, so every later filter sees only the lines it has
// released; the side's last band flushes them.
#include "SideChain.h"

#include "Bands.h"
#include "Blank/IsBlank.h"
#include "ColorGap/ColorGapCorrect.h"
#include "DetectColor/DetectColor.h"
#include "DetectSize/OvkDetectSlantAndSize.h"
#include "OvkBinalize.h"
#include "Reducer.h"

#include <cstring>
#include <memory>

struct SideChain::Page {
    std::vector<uint8_t> held; // the side as filtered so far
    int32_t written = 0;       // lines in held
    bool first = true;
    COLORGAPINFO gap{sizeof(COLORGAPINFO), 0, 0, nullptr, nullptr, nullptr, 0, nullptr, 0};
    tagSLANTSIZEREQ slant{};
    tagISBLANKINFO blank{};
    tagDETECT_COLOR_INFO colour{};
    std::unique_ptr<Reducer> reducer;

    tagOVKIMAGEINFO lines(const SheetSide& raw, int32_t y, int32_t count) {
        return BandRecord(held.data() + static_cast<size_t>(raw.stride()) * y, raw.width, count, raw.stride(),
                          8, raw.channels, raw.dpi);
    }
};

namespace {
uint32_t BandCommand(bool first, bool last) {
    return first ? 1 : last ? 3 : 2;
}
} // namespace

int64_t SideChain::run(const SheetSide& raw) {
    Page page;
    page.held.resize(static_cast<size_t>(raw.bytes()));
    tagOVKIMAGEINFO whole = page.lines(raw, 0, raw.height);
    if (m_filters & kFilterSlantSize) {
        page.slant.ulSize = sizeof page.slant;
        std::fill(std::begin(page.slant.lRefPoint), std::end(page.slant.lRefPoint), -1);
        DetectSlantAndSize(&whole, &page.slant);
    }
    page.blank.ulSize = sizeof page.blank;
    page.blank.ulLevel = 128;
    page.blank.lThreshold = 1; // percent
    page.colour = {};
    page.colour.ulSize = sizeof page.colour;
    page.colour.lWidth = raw.width;
    page.colour.lHeight = raw.height;
    page.colour.lXResolution = page.colour.lYResolution = raw.dpi;
    if ((m_filters & kFilterColourDetect) && raw.channels == 3)
        IsColorImage(nullptr, &page.colour);
    if (m_filters & kFilterReduce)
        page.reducer = std::make_unique<Reducer>(raw.width, raw.height, raw.channels, raw.dpi, raw.dpi / 2);

    const int32_t bandLines = BandLines(raw.stride());
    std::vector<uint8_t> band(static_cast<size_t>(raw.stride()) * bandLines);
    for (int32_t y = 0; y < raw.height; y += bandLines) {
        const int32_t count = std::min(bandLines, raw.height - y);
        // The read from the device: raw lines land in the band buffer.
        std::memcpy(band.data(), raw.pixels.data() + static_cast<size_t>(raw.stride()) * y,
                    static_cast<size_t>(raw.stride()) * count);
        addBand(raw, page, band.data(), count, y + count >= raw.height);
    }
    return finish(raw, page);
}

void SideChain::addBand(const SheetSide& raw, Page& page, const uint8_t* band, int32_t count, bool last) {
    int32_t added = count;
    if ((m_filters & kFilterColourGap) && raw.channels == 3) {
        tagOVKIMAGEINFO in =
            BandRecord(const_cast<uint8_t*>(band), raw.width, count, raw.stride(), 8, 3, raw.dpi);
        tagOVKIMAGEINFO out = page.lines(raw, page.written, raw.height - page.written);
        page.gap.ulLast = last ? 1 : 0;
        ColorGapCorrect(&out, &in, &page.gap);
        added = out.lHeight;
    } else {
        std::memcpy(page.held.data() + static_cast<size_t>(raw.stride()) * page.written, band,
                    static_cast<size_t>(raw.stride()) * count);
    }
    if (added <= 0)
        return;
    tagOVKIMAGEINFO fresh = page.lines(raw, page.written, added);
    if (m_filters & kFilterSlantSize) {
        page.slant.ulCommand = BandCommand(page.first, last);
        DetectSlantAndSize(&fresh, &page.slant);
    }
    if (m_filters & kFilterBlank) {
        page.blank.rcArea = {0, 0, raw.width, added};
        IsBlankPageEx2(&fresh, &page.blank);
    }
    if ((m_filters & kFilterColourDetect) && raw.channels == 3) {
        page.colour.lCommand = static_cast<int32_t>(BandCommand(page.first, last));
        IsColorImage(&fresh, &page.colour);
    }
    if (page.reducer)
        page.reducer->band(&fresh);
    page.first = false;
    page.written += added;
}

// Binarisation follows deskew, which needs the whole side, so it reads the held page band by band.
int64_t SideChain::finish(const SheetSide& raw, Page& page) {
    if (m_filters & kFilterSlantSize) {
        tagOVKIMAGEINFO whole = page.lines(raw, 0, page.written);
        page.slant.ulCommand = 5;
        DetectSlantAndSize(&whole, &page.slant);
        page.slant.ulCommand = 4;
        DetectSlantAndSize(&whole, &page.slant);
    }
    if ((m_filters & kFilterColourDetect) && raw.channels == 3) {
        page.colour.lCommand = kColorRelease;
        IsColorImage(nullptr, &page.colour);
    }
    if (page.reducer) {
        page.reducer->end();
        return static_cast<int64_t>(page.reducer->lines()) * page.reducer->width() * raw.channels;
    }
    if (!(m_filters & kFilterBinarise))
        return static_cast<int64_t>(page.held.size());
    const int32_t bitStride = (raw.width + 31) / 32 * 4;
    std::vector<uint8_t> bits(static_cast<size_t>(bitStride) * raw.height);
    tagBINFUNCINFO info{kBinFuncInfoHandleSize, 0, 0, 0, 0, nullptr};
    InitBINFUNCINFO(&info);
    info.lMode = raw.channels == 3 ? kBinWeightedGrey : kBinFixedSlice;
    const int32_t bandLines = BandLines(raw.stride());
    for (int32_t y = 0; y < page.written; y += bandLines) {
        const int32_t count = std::min(bandLines, page.written - y);
        tagOVKIMAGEINFO src = page.lines(raw, y, count);
        tagOVKIMAGEINFO dst = BandRecord(bits.data() + static_cast<size_t>(bitStride) * y, raw.width, count,
                                         bitStride, 1, 1, raw.dpi);
        BinalizeRectEx(&dst, &src, &info);
    }
    ReleaseBinalizeHandle(&info);
    return static_cast<int64_t>(bits.size());
}
