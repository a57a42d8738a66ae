// Entry points of the colour-gap corrector: argument checks, the corrector's life behind the handle word,
// and the room check that keeps every written line inside the caller's destination.
#include "ColorGap/ColorGapCorrect.h"

#include "ColorGap/OvkColorGap.h"
#include "OvkHandles.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {
LastingHandles<COvkColorGap> g_correctors;

// 24-bit pixel-order lines of at least one pixel, inside their line length.
bool IsPixelOrderColour(const tagOVKIMAGEINFO& image) {
    return image.lBps == 8 && image.lSpp == 3 && image.ulRGBOrder == kOvkPixelOrder && image.lWidth > 0 &&
           image.lHeight >= 0 && static_cast<int64_t>(image.lSync) >= int64_t{3} * image.lWidth &&
           (image.lpImage || image.lHeight == 0);
}

bool FitsCorrector(const tagOVKIMAGEINFO& image, const COvkColorGap& corrector) {
    return IsPixelOrderColour(image) && image.lWidth == corrector.Width();
}

int Run(COvkColorGap& corrector, tagOVKIMAGEINFO& dst, const tagOVKIMAGEINFO& src, bool first, bool last) {
    if (!FitsCorrector(dst, corrector) || !FitsCorrector(src, corrector))
        return kColorGapBadArgument;
    if (corrector.OutputLines(src.lHeight, first, last) > dst.lHeight)
        return kColorGapBadArgument;
    if (first)
        corrector.FirstProcess(src);
    corrector.Process(dst, src, first);
    if (last)
        corrector.ProcessLast(dst);
    return kColorGapOk;
}

int FirstBand(tagOVKIMAGEINFO& dst, const tagOVKIMAGEINFO& src, COLORGAPINFO& info, bool last) {
    if (!IsPixelOrderColour(src) || src.lHeight < 1)
        return kColorGapBadArgument;
    COLORGAPINFO request{};
    std::memcpy(&request, &info, std::min<size_t>(info.ulSize, sizeof request));
    auto corrector = std::make_unique<COvkColorGap>();
    corrector->Initialize(src, request);
    const int code = Run(*corrector, dst, src, true, last);
    if (code != kColorGapOk)
        return code;
    info.ulHeldLines = kColorGapDelay;
    if (!last)
        info.hColorGap = g_correctors->add(std::move(corrector));
    return kColorGapOk;
}
} // namespace

int ColorGapCorrect(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, COLORGAPINFO* info) {
    if (!dst || !src || !info || info->ulSize < kColorGapInfoMinSize)
        return kColorGapBadArgument;
    const bool last = info->ulLast == 1;
    try {
        if (!info->hColorGap)
            return FirstBand(*dst, *src, *info, last);
        COvkColorGap* corrector = g_correctors->find(info->hColorGap);
        if (!corrector)
            return kColorGapBadArgument;
        const int code = Run(*corrector, *dst, *src, false, last);
        if (code == kColorGapOk && last)
            ReleaseColorGapHandle(info);
        return code;
    } catch (...) { // allocation failures
        return kColorGapNoMemory;
    }
}

void ReleaseColorGapHandle(COLORGAPINFO* info) {
    if (!info || !info->hColorGap)
        return;
    g_correctors->release(info->hColorGap);
    info->hColorGap = nullptr;
}
