// Blank-page measure. Areas are read everywhere as x, y, width, height and clipped to the image,
// so no caller-given area can reach outside the pixels.
#include "Blank/IsBlank.h"

#include "Blank/BitCount.h"
#include "Blank/Hist.h"
#include "Blank/Rational.h"
#include "Blank/RunTable.h"
#include "Blank/Waku.h"
#include "OvkBinalize.h"
#include "OvkBits.h"
#include "OvkError.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {
// Does a record of this size hold the 32-bit word with this index?
constexpr bool holds(uint32_t size, int word) {
    return size >= 4u * (word + 1);
}

Ovk::tagRECT wholeImage(const CImageInfo& image) {
    return {0, 0, image.GetWidth(), image.GetHeight()};
}

// The part of the area that lies inside the image, in bits from the start of a line.
struct Span {
    int64_t startBit = 0;
    uint32_t columns = 0;
    int32_t firstRow = 0;
    uint32_t rows = 0;
};

Span clip(const CImageInfo& image, const Ovk::tagRECT& area) {
    Span s;
    const int64_t xOffset = image.GetInfo()->lXpos;
    const int64_t lineBits = int64_t{image.GetSync()} * 8;
    const int64_t x = std::max<int64_t>(area.x, 0);
    const int64_t y = std::max<int64_t>(area.y, 0);
    s.startBit = xOffset + x;
    const int64_t columns =
        std::min<int64_t>({int64_t{area.width} - (x - area.x), image.GetWidth() - x, lineBits - s.startBit});
    const int64_t rows = std::min<int64_t>(int64_t{area.height} - (y - area.y), image.GetHeight() - y);
    if (columns <= 0 || rows <= 0 || s.startBit < 0)
        return {};
    s.columns = static_cast<uint32_t>(columns);
    s.rows = static_cast<uint32_t>(rows);
    s.firstRow = static_cast<int32_t>(y);
    return s;
}

const uint8_t* rowPtr(const CImageInfo& image, int64_t y) {
    return image.GetPtr() + image.GetStride() * y;
}

// The area finder's result, shrunk by a tenth on each side unless the frame is excluded anyway.
// The whole image when nothing is found (a finder failure leaves its code in the last-error cell).
Ovk::tagRECT FindBlankArea(CImageInfo& image, const tagISBLANKINFO& info) {
    tagDETWAKUINFO finder = {};
    finder.ulSize = sizeof(finder);
    finder.ulMinWidth = info.ulMinWidth;
    finder.ulMinHeight = info.ulMinHeight;
    if (holds(info.ulSize, 14))
        finder.ulLevel = info.ulAreaLevel;
    const Ovk::tagRECT whole = wholeImage(image);
    Ovk::tagRECT area = whole;
    if (DetectWidth(image.GetInfo(), &finder))
        area = {finder.lX, finder.lY, finder.lWidth, finder.lHeight};
    if ((info.ulOptions & 0xFF00) != kBlankFrameExclusion) {
        const int32_t dx = static_cast<int32_t>(int64_t{area.width} * 10 / 100);
        const int32_t dy = static_cast<int32_t>(int64_t{area.height} * 10 / 100);
        area = {area.x + dx, area.y + dy, area.width - 2 * dx, area.height - 2 * dy};
        if (area.width < 0 || area.height < 0)
            area = whole;
    }
    return area;
}
} // namespace

uint32_t GetBitNum(CImageInfo* image, tagBITNUMRATIOINFO* info, const Ovk::tagRECT* area, int inverted,
                   int frame) {
    const Span s = clip(*image, *area);
    uint32_t count = 0;
    uint64_t frameBits = 0;
    for (uint32_t i = 0; i < s.rows; ++i) {
        const uint8_t* row = rowPtr(*image, s.firstRow + int64_t{i});
        if (frame) {
            uint32_t rowFrame = 0;
            count += GetBitNumFrame(row, s.startBit, s.columns, inverted != 0, &rowFrame);
            frameBits += rowFrame;
        } else {
            count += GetBitNumBit(row, s.startBit, s.columns);
        }
    }
    info->ulCount += count;
    info->ulTotal += static_cast<uint32_t>(uint64_t{s.columns} * s.rows - frameBits);
    return count;
}

uint32_t GetEdgeNum(CImageInfo* image, tagISBLANKINFO* info, const Ovk::tagRECT* area, int frame) {
    const Span s = clip(*image, *area);
    std::vector<tagEDGENUMCOUNTINFO> columns(s.columns);
    EdgeCount sum;
    uint64_t frameBits = 0;
    const uint8_t* above = nullptr;
    for (uint32_t i = 0; i < s.rows; ++i) {
        const uint8_t* row = rowPtr(*image, s.firstRow + int64_t{i});
        const EdgeCount e = GetEdgeNumRow(row, above, s.startBit, s.columns, columns.data(), frame != 0);
        above = row;
        sum.horizontal += e.horizontal;
        sum.vertical += e.vertical;
        frameBits += e.frame;
    }
    if (frame)
        for (const tagEDGENUMCOUNTINFO& c : columns)
            frameBits += c.leadingRun + c.pendingRun;
    const int64_t measured = 2 * int64_t{s.columns} * s.rows - static_cast<int64_t>(frameBits);
    info->ulHorzEdges = sum.horizontal;
    info->ulVertEdges = sum.vertical;
    info->ulCount += sum.horizontal + sum.vertical;
    info->ulTotal += static_cast<uint32_t>(std::max<int64_t>(measured, 0));
    return sum.horizontal + sum.vertical;
}

int IsBlankResult(tagISBLANKINFO* info) {
    const int32_t t = info->lThreshold;
    const bool inverted = info->lInverted != 0;
    if (t >= 0 && t <= 100) {
        const uint64_t ratio =
            info->ulTotal == 0 ? 0 : RoundDiv(uint64_t{info->ulCount} * 100, info->ulTotal);
        info->ulRatio = static_cast<uint32_t>(ratio);
        return inverted ? (100 - static_cast<int64_t>(ratio)) > t : static_cast<int64_t>(ratio) > t;
    }
    // Counts above 31 bits are halved together first, which keeps their ratio.
    uint32_t count = info->ulCount;
    uint32_t total = info->ulTotal;
    while (count > INT32_MAX || total > INT32_MAX) {
        count >>= 1;
        total >>= 1;
    }
    const tagSHORTRAT ratio = ToSHORTRAT({static_cast<int32_t>(count), static_cast<int32_t>(total)});
    const tagSHORTRAT threshold = {static_cast<int16_t>(static_cast<uint32_t>(t) >> 16),
                                   static_cast<int16_t>(t & 0xFFFF)};
    info->ulRatio = (static_cast<uint32_t>(static_cast<uint16_t>(ratio.numerator)) << 16) |
                    static_cast<uint16_t>(ratio.denominator);
    return inverted ? ratio < threshold : ratio > threshold;
}

int IsBlankPageEx2Binary(CImageInfo* image, tagISBLANKINFO* info) {
    Ovk::tagRECT area = wholeImage(*image);
    const Ovk::tagRECT& given = info->rcArea;
    if (holds(info->ulSize, 10) && given.width > 0 && given.height > 0 && given.x <= image->GetWidth() &&
        given.y <= image->GetHeight())
        area = given;
    if ((info->ulOptions & 0xFF) == kBlankEdgeMeasure) {
        // 5 mm margins keep the sheet's own edges out of the count.
        const int32_t mX = image->GetXResolution() * 50 / 254;
        const int32_t mY = image->GetYResolution() * 50 / 254;
        if (mX > 0 && mY > 0) {
            if (area.width > 2 * mX) {
                area.x += mX;
                area.width -= 2 * mX;
            }
            if (area.height > 2 * mY) {
                area.y += mY;
                area.height -= 2 * mY;
            }
        }
        GetEdgeNum(image, info, &area, (info->ulOptions & 0xFF00) == kBlankFrameExclusion);
    } else {
        tagBITNUMRATIOINFO bits = {info->ulSize, info->ulCount, info->ulTotal};
        GetBitNum(image, &bits, &area, info->lInverted, (info->ulOptions & 0xFF00) == kBlankFrameExclusion);
        info->ulCount = bits.ulCount;
        info->ulTotal = bits.ulTotal;
    }
    return IsBlankResult(info);
}

int IsBlankPageEx2GrayScale(CImageInfo* image, tagISBLANKINFO* info) {
    if ((info->ulOptions & 0xFF) == kBlankEdgeMeasure || (info->ulOptions & 0xFF00) == kBlankFrameExclusion) {
        CImageInfo binary(image->GetWidth(), image->GetHeight(), 1, 1, kOvkPixelOrder);
        if (!binary.GetInfo() || !binary.GetPtr())
            throw 8;
        binary.SetResolution(image->GetXResolution(), image->GetYResolution());
        Binarize(&binary, image, 0, static_cast<int32_t>(info->ulLevel));
        return IsBlankPageEx2Binary(&binary, info);
    }
    tagHISTOGRAMINFO hist = {};
    hist.ulSize = sizeof(hist);
    GetHistogram(image->GetInfo(), &hist);
    const uint32_t levels = std::min<uint32_t>(info->ulLevel, 256);
    info->ulCount += static_cast<uint32_t>(MemSum(hist.ulHist, static_cast<int32_t>(levels)));
    info->ulTotal += hist.ulCount;
    return IsBlankResult(info);
}

void Binarize(CImageInfo* dst, CImageInfo* src, int automatic, int32_t level) {
    tagBINFUNCINFO request = {};
    request.ulSize = sizeof(request);
    if (src->GetSpp() == 1) {
        level = level >= 1 && level <= 255 ? level : 90;
        if (automatic) {
            CHist hist;
            OnAssertThrow(hist.bins() != nullptr, 8);
            hist.Add(src->GetInfo());
            level = (hist.Peek1() + hist.Peek2()) / 2;
        }
        request.lMode = 0;
    } else if (src->GetSpp() == 3) {
        level = level >= 1 && level <= 255 ? level : 75;
        request.lMode = 4;
    } else {
        return;
    }
    request.lSliceLevel = level;
    request.lSliceLevel2 = level;
    const int result = BinalizeRectEx(dst->GetInfo(), src->GetInfo(), &request);
    ReleaseBinalizeHandle(&request);
    OnAssertThrow(result == 0, 8);
    dst->AssignBlackIs(1);
}

extern "C" int IsBlankPageEx2(tagOVKIMAGEINFO* image, tagISBLANKINFO* info) {
    IpSetLastError(kIpSuccess);
    if (!image || !info || info->ulSize < sizeof(uint32_t)) {
        IpSetLastError(kIpBadParameter);
        return 0;
    }
    try {
        CImageInfo view(image);
        if (!view.GetPtr()) {
            IpSetLastError(kIpNotEnoughMemory);
            return 0;
        }
        tagISBLANKINFO local = {};
        std::memcpy(&local, info, std::min<size_t>(info->ulSize, sizeof(local)));
        if (!holds(local.ulSize, 15))
            local.ulOptions = 0;
        if (local.ulFindArea)
            local.rcArea = FindBlankArea(view, local);
        int verdict = 0;
        switch (view.GetBps() * view.GetSpp()) {
        case 1:
            verdict = IsBlankPageEx2Binary(&view, &local);
            break;
        case 8:
            verdict = IsBlankPageEx2GrayScale(&view, &local);
            break;
        case 24:
            verdict = IsBlankPageEx2Color(&view, &local);
            break;
        default:
            break;
        }
        // Only the words the caller's record holds are written back.
        if (holds(info->ulSize, 1))
            info->ulCount = local.ulCount;
        if (holds(info->ulSize, 2))
            info->ulTotal = local.ulTotal;
        if (holds(info->ulSize, 4))
            info->ulRatio = local.ulRatio;
        if (holds(info->ulSize, 10))
            info->rcArea = local.rcArea;
        if (holds(info->ulSize, 17)) {
            info->ulHorzEdges = local.ulHorzEdges;
            info->ulVertEdges = local.ulVertEdges;
        }
        return verdict;
    } catch (...) {
        IpSetLastError(IpCaughtCode());
        return 0;
    }
}
