// Outline detection: each row's longest bright run gives a left and a right point; the chains
// are cut to the rows the document spans and reduced to their convex boundary.
#include "Blank/Outline.h"

#include "Blank/ImageDetect.h"
#include "Blank/RunTable.h"
#include "OvkBits.h"
#include "OvkError.h"

#include <algorithm>
#include <cmath>
#include <vector>

using Ovk::tagPOINT;

namespace {
// Keeps entries [start, start + length) of the chain.
void cutChain(OutlineChain& chain, int32_t start, int32_t length) {
    for (int32_t i = 0; i < length; ++i)
        chain[i] = chain[start + i];
    chain.Resize(length);
}

// 0 when no document was found, the point count otherwise; throws its failures.
int32_t traceChains(const CImageInfo& image, const tagDETOUTLINEINFO& info, OutlineChain& left,
                    OutlineChain& right) {
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    OnAssertThrow(width <= kMaxRunBits && height <= kMaxRunBits, kIpBadParameter);
    const int32_t mx = static_cast<int32_t>(int64_t{image.GetXResolution()} *
                                            (info.ulMinWidth ? info.ulMinWidth : 2) / 25400);
    const int32_t my = static_cast<int32_t>(int64_t{image.GetYResolution()} *
                                            (info.ulMinHeight ? info.ulMinHeight : 2) / 25400);
    std::vector<tagBWT> runs(std::max(width, height) + 1);
    std::vector<uint8_t> rowMarks((height + 7) / 8, 0xFF);
    OnAssertThrow(left.GetSize() == height && right.GetSize() == height, kIpNotEnoughMemory);
    for (int32_t y = 0; y < height; ++y) {
        tagDETWAKUINFO found = {};
        found.ulSize = sizeof(found);
        DetectWidthBin(runs.data(), image.PixelPtr(0, y), width, &found, mx, my);
        if (found.lWidth > 0) {
            left[y] = {found.lX, y};
            right[y] = {found.lX + found.lWidth - 1, y};
            rowMarks[y / 8] &= static_cast<uint8_t>(~(0x80 >> (y & 7)));
        } else {
            left[y] = right[y] = {-1, -1};
        }
    }
    tagDETWAKUINFO extent = {};
    DetectWidthBin(runs.data(), rowMarks.data(), height, &extent, mx, my);
    if (extent.lWidth <= 0)
        return 0;
    cutChain(left, extent.lX, extent.lWidth);
    cutChain(right, extent.lX, extent.lWidth);
    const int32_t count = PackOutline(left);
    PackOutline(right);
    if (count == 0)
        return 0;
    left.Resize(count);
    right.Resize(count);
    if (info.ulFlags & kOutlineSmooth) {
        int32_t w = (image.GetXResolution() * 600 + 12700) / 25400; // 0.6 mm
        if (w < 4)
            w = 3;
        MedianOutline(left, w);
        MedianOutline(right, w);
    }
    if (left.GetSize() == 0 || right.GetSize() == 0)
        return 0;
    TraceOutline(left, 0);
    TraceOutline(right, 1);
    return left.GetSize();
}
} // namespace

int DetectOutlineBin(tagOVKIMAGEINFO* image, tagDETOUTLINEINFO* info) {
    IpSetLastError(kIpSuccess);
    // The record must be able to hold the chains it will own.
    if (!image || !info || info->ulSize < sizeof(tagDETOUTLINEINFO) || info->lDetected != 0) {
        IpSetLastError(kIpBadParameter);
        return -1;
    }
    try {
        CImageInfo view(image);
        if (view.GetBps() != 1 || view.GetSpp() != 1 || !view.IsValidLayout()) {
            IpSetLastError(kIpBadParameter);
            return -1;
        }
        tagDETOUTLINEINFO local = *info;
        OutlineChain left(view.GetHeight());
        OutlineChain right(view.GetHeight());
        if (traceChains(view, local, left, right) == 0)
            return -1;
        local.lLeftCount = left.GetSize();
        local.lRightCount = right.GetSize();
        local.pLeft = left.Detach();
        local.pRight = right.Detach();
        local.lDetected = 1;
        *info = local;
        return 0;
    } catch (...) {
        IpSetLastError(IpCaughtCode());
        return -1;
    }
}

int DetectOutline(tagOVKIMAGEINFO* image, tagDETOUTLINEINFO* info) {
    if (!image || !info) {
        IpSetLastError(kIpBadParameter);
        return -1;
    }
    if (image->lBps == 1 && image->lSpp == 1)
        return DetectOutlineBin(image, info);
    try {
        CImageInfo view(image);
        if (!view.IsValidLayout()) {
            IpSetLastError(kIpBadParameter);
            return -1;
        }
        CImageInfo binary(view.GetWidth(), view.GetHeight(), 1, 1, kOvkLineOrder);
        if (!binary.GetInfo() || !binary.GetPtr())
            return 8;
        binary.SetResolution(view.GetXResolution(), view.GetYResolution());
        Binalise(binary, view, 0, info->ulSize >= sizeof(tagDETOUTLINEINFO) ? info->lLevel : 0);
        binary.Reverse();
        return DetectOutlineBin(binary.GetInfo(), info);
    } catch (...) {
        IpSetLastError(IpCaughtCode());
        return -1;
    }
}

void ReleaseOutline(tagDETOUTLINEINFO* info) {
    if (!info || info->ulSize < sizeof(*info))
        return;
    delete[] info->pLeft;
    delete[] info->pRight;
    info->lDetected = 0;
    info->pLeft = info->pRight = nullptr;
    info->lLeftCount = info->lRightCount = 0;
}
