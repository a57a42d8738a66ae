// Area finders over 1-bit rows: each row (or column of row marks) is reduced to its longest
// stretch of content once specks and gaps shorter than the minimum run are absorbed.
#include "Blank/Waku.h"

#include "Blank/ImageDetect.h"
#include "OvkError.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace {
constexpr int32_t kNoContentFirst = 134217727;
constexpr uint8_t kDefaultLineLevel = 80;

bool recordHolds(const tagDETWAKUINFO& info, int word) {
    return info.ulSize >= 4u * (word + 1);
}

uint32_t levelOf(const tagDETWAKUINFO& info) {
    return recordHolds(info, 9) ? info.ulLevel : 0;
}

// The image as 1-bit with set bits dark; grey and colour are binarised into `owned` first.
CImageInfo* darkBits(CImageInfo& image, std::unique_ptr<CImageInfo>& owned, uint32_t level) {
    const int32_t depth = image.GetBps() * image.GetSpp();
    if (depth == 1)
        return &image;
    if (depth != 8 && depth != 24)
        return nullptr;
    owned = std::make_unique<CImageInfo>(image.GetWidth(), image.GetHeight(), 1, 1, kOvkPixelOrder);
    OnAssertThrow(owned->GetInfo() && owned->GetPtr(), 8);
    owned->SetResolution(image.GetXResolution(), image.GetYResolution());
    Binalise(*owned, image, 0, static_cast<int32_t>(level));
    owned->Reverse();
    return owned.get();
}

// Left (or, from the right, last) column at which the rows' content reaches a run of rows.
int32_t edgeColumn(const std::vector<int32_t>& ends, int32_t width, bool fromLeft, tagBWT* runs,
                   uint8_t* column, MinimumRun minimum) {
    const auto rows = static_cast<int32_t>(ends.size());
    for (int32_t i = 0; i < width; ++i) {
        const int32_t x = fromLeft ? i : width - 1 - i;
        if (fromLeft)
            MemLSmall2Bin(column, ends.data(), rows, x);
        else
            MemLLarge2Bin(column, ends.data(), rows, x);
        for (int32_t b = 0; b < (rows + 7) / 8; ++b)
            column[b] = static_cast<uint8_t>(~column[b]);
        tagDETWAKUINFO found = {};
        DetectWidthBin(runs, column, rows, &found, minimum.x, minimum.y);
        if (found.lWidth > 0)
            return x;
    }
    return fromLeft ? width : -1;
}

void findArea(CImageInfo& bits, tagDETWAKUINFO& info, MinimumRun minimum) {
    const int32_t width = bits.GetWidth();
    const int32_t height = bits.GetHeight();
    std::vector<tagBWT> runs(std::max(width, height) + 1);
    std::vector<int32_t> first(height, kNoContentFirst);
    std::vector<int32_t> last(height, 0);
    std::vector<uint8_t> rowMarks((height + 7) / 8, 0xFF);
    for (int32_t y = 0; y < height; ++y) {
        tagDETWAKUINFO found = {};
        DetectWidthBin(runs.data(), bits.GetPtr() + bits.GetStride() * y, width, &found, minimum.x,
                       minimum.y);
        if (found.lWidth > 0) {
            first[y] = found.lX;
            last[y] = found.lX + found.lWidth - 1;
            rowMarks[y / 8] &= static_cast<uint8_t>(~(0x80 >> (y & 7)));
        }
    }
    std::vector<uint8_t> column((height + 7) / 8);
    const int32_t left = edgeColumn(first, width, true, runs.data(), column.data(), minimum);
    const int32_t right = edgeColumn(last, width, false, runs.data(), column.data(), minimum);
    if (left < width && left < right) {
        info.lX = left;
        info.lWidth = right - left + 1;
    } else {
        info.lX = 0;
        info.lWidth = 0;
    }
    tagDETWAKUINFO vertical = {};
    DetectWidthBin(runs.data(), rowMarks.data(), height, &vertical, minimum.x, minimum.y);
    info.lY = vertical.lX;
    info.lHeight = vertical.lWidth;
}
} // namespace

MinimumRun MinimumRunOf(const tagDETWAKUINFO& info, int32_t xResolution, int32_t yResolution) {
    const int64_t minWidth = recordHolds(info, 8) && info.ulMinWidth ? info.ulMinWidth : 2000;
    const int64_t minHeight = recordHolds(info, 8) && info.ulMinHeight ? info.ulMinHeight : 2000;
    return {static_cast<int32_t>(std::max(xResolution * minWidth / 25400, minWidth / 254)),
            static_cast<int32_t>(std::max(yResolution * minHeight / 25400, minHeight / 254))};
}

extern "C" int32_t* DetectWidth(tagOVKIMAGEINFO* image, tagDETWAKUINFO* info) {
    IpSetLastError(kIpSuccess);
    if (!image || !info || info->ulSize < 20) {
        IpSetLastError(kIpBadParameter);
        return nullptr;
    }
    try {
        CImageInfo view(image);
        OnAssertThrow(view.IsValidLayout(), kIpBadParameter);
        std::unique_ptr<CImageInfo> owned;
        CImageInfo* bits = darkBits(view, owned, levelOf(*info));
        if (!bits)
            return nullptr;
        OnAssertThrow(bits->GetWidth() <= kMaxRunBits && bits->GetHeight() <= kMaxRunBits, kIpBadParameter);
        findArea(*bits, *info, MinimumRunOf(*info, view.GetXResolution(), view.GetYResolution()));
        return &info->lX;
    } catch (...) {
        IpSetLastError(IpCaughtCode());
        return nullptr;
    }
}

void Gray2Bin(uint8_t* bits, const uint8_t* samples, int32_t n, uint8_t level) {
    std::fill_n(bits, (n + 7) / 8, 0);
    for (int32_t k = 0; k < n; ++k)
        if (samples[k] < level)
            bits[k / 8] |= static_cast<uint8_t>(0x80 >> (k & 7));
}

extern "C" int32_t* DetectWaku(tagOVKIMAGEINFO* image, tagDETWAKUINFO* info) {
    IpSetLastError(kIpSuccess);
    if (!image || !info || info->ulSize < 28) {
        IpSetLastError(kIpBadParameter);
        return nullptr;
    }
    try {
        const uint32_t level = levelOf(*info);
        CImageInfo page(image);
        const int32_t f = ReductionSize(page.GetXResolution());
        if (page.GetBps() != 8 || page.GetSpp() != 1 || !page.IsValidLayout())
            throw -1;
        CImageInfo reduced((page.GetWidth() + f - 1) / f, (page.GetHeight() + f - 1) / f, 8, 1,
                           kOvkPixelOrder);
        OnAssertThrow(reduced.GetInfo() && reduced.GetPtr(), 8);
        Reduct(reduced, page, f);
        CImageInfoDetect detector(reduced.GetWidth(), reduced.GetHeight());
        OnAssertThrow(detector.GetInfo() && detector.GetPtr(), 8);
        Binalise(detector, reduced, 0, static_cast<int32_t>(level));
        detector.Filter();
        Ovk::tagRECT r = {0, 0, detector.GetWidth(), detector.GetHeight()};
        detector.GetRect(&r);
        if (r.width > 0 && r.height > 0) {
            info->lX = std::max(0, r.x * f + f / 2);
            info->lY = std::max(0, r.y * f + f / 2);
            info->lWidth = std::min((r.width - 1) * f, page.GetWidth());
            info->lHeight = std::min((r.height - 1) * f, page.GetHeight());
            info->lReserved5 = info->lReserved6 = 0;
            return &info->lX;
        }
        info->lX = info->lY = info->lWidth = info->lHeight = info->lReserved5 = info->lReserved6 = 0;
        return nullptr;
    } catch (...) {
        IpSetLastError(IpCaughtCode());
        return nullptr;
    }
}

namespace {
// Bits of line y of a one-sample image, read in place for 1-bit, else sliced at the level.
const uint8_t* lineBits(const CImageInfo& image, int32_t y, uint8_t level, std::vector<uint8_t>& buffer) {
    const uint8_t* line = image.GetPtr() + image.GetStride() * y;
    if (image.GetBps() == 1)
        return line;
    buffer.resize((image.GetWidth() + 7) / 8);
    Gray2Bin(buffer.data(), line, image.GetWidth(), level);
    return buffer.data();
}

// Extent (first, last column) of the content of line y; first > last when there is none.
std::pair<int32_t, int32_t> lineExtent(const CImageInfo& image, int32_t y, const tagDETWAKUINFO& info) {
    const MinimumRun minimum = MinimumRunOf(info, image.GetXResolution(), image.GetYResolution());
    const uint32_t level = levelOf(info);
    std::vector<uint8_t> buffer;
    const uint8_t* bits = lineBits(
        image, y, level >= 1 && level <= 255 ? static_cast<uint8_t>(level) : kDefaultLineLevel, buffer);
    std::vector<tagBWT> runs(image.GetWidth() + 1);
    tagDETWAKUINFO found = {};
    DetectWidthBin(runs.data(), bits, image.GetWidth(), &found, minimum.x, minimum.y);
    return {found.lX, found.lWidth > 0 ? found.lX + found.lWidth - 1 : -1};
}

bool usableLines(const CImageInfo& image) {
    return image.GetSpp() == 1 && (image.GetBps() == 1 || image.GetBps() == 8) && image.IsValidLayout() &&
           image.GetWidth() <= kMaxRunBits && image.GetHeight() > 0;
}

// Common entry of the line finders: checks the arguments, runs measure on a usable image and
// turns every failure into a null result.
template <typename Measure> int32_t* onLines(tagOVKIMAGEINFO* image, tagDETWAKUINFO* info, Measure measure) {
    if (!image || !info || info->ulSize < 16)
        return nullptr;
    try {
        CImageInfo view(image);
        return usableLines(view) ? measure(view) : nullptr;
    } catch (...) {
        return nullptr;
    }
}
} // namespace

int32_t* DetectLineWidth(tagOVKIMAGEINFO* image, tagDETWAKUINFO* info) {
    return onLines(image, info, [info](const CImageInfo& view) {
        const auto [first, last] = lineExtent(view, 0, *info);
        if (first <= last) {
            info->lX = first;
            info->lWidth = last;
        }
        return &info->lX;
    });
}

int32_t* DetectLinesWidth(tagOVKIMAGEINFO* image, tagDETWAKUINFO* info) {
    return onLines(image, info, [info](const CImageInfo& view) -> int32_t* {
        int32_t first = INT32_MAX;
        int32_t last = -1;
        for (const int32_t sixth : {1, 3, 5}) {
            const auto [s, e] = lineExtent(view, view.GetHeight() * sixth / 6, *info);
            if (s < e) {
                first = std::min(first, s);
                last = std::max(last, e);
            }
        }
        if (first >= last)
            return nullptr;
        info->lX = std::max(first, 0);
        info->lWidth = std::min(last, view.GetWidth() - 1);
        return &info->lX;
    });
}
