// Reduction, binarisation and the content-rectangle detector.
#include "Blank/ImageDetect.h"

#include "Blank/BitCount.h"
#include "Blank/Hist.h"
#include "OvkBinalize.h"
#include "OvkError.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {
constexpr int32_t kBusyBits = 6;      // fewer set pixels in a line are noise
constexpr int32_t kBlockListSize = 4; // only the longest runs matter

// Rows or columns with at least kBusyBits set bits, as runs collected into list.
template <typename CountLine>
void collectBusyRuns(CBlockLen* list, int32_t n, int32_t first, int32_t count, CountLine countLine) {
    CBlockLen& current = list[n - 1];
    for (int32_t i = first; i < first + count; ++i) {
        if (countLine(i) >= kBusyBits) {
            if (current.length == 0)
                current.start = i;
            ++current.length;
        } else if (current.length != 0) {
            SortBlockLen(list, n);
            current = {0, 0};
        }
    }
    SortBlockLen(list, n);
}

CBlockLen unionSpan(const CBlockLen& a, const CBlockLen& b) {
    const int32_t start = std::min(a.start, b.start);
    const int32_t end = std::max(a.start + a.length, b.start + b.length);
    return {start, end - start};
}
} // namespace

int32_t ReductionSize(int32_t resolution) {
    static constexpr std::array<int32_t, 10> kResolutions = {0, 75, 100, 150, 200, 240, 300, 400, 600, 1200};
    static constexpr std::array<int32_t, 10> kFactors = {48, 12, 16, 24, 32, 40, 48, 64, 96, 192};
    const auto* found = std::find(kResolutions.begin(), kResolutions.end(), resolution);
    if (found == kResolutions.end())
        throw 2;
    return kFactors[found - kResolutions.begin()];
}

void Reduct(CImageInfo& dst, CImageInfo& src, int32_t factor) {
    for (int32_t y = 0; y < dst.GetHeight(); ++y)
        for (int32_t x = 0; x < dst.GetWidth(); ++x) {
            const Ovk::tagRECT square = {x * factor, y * factor, factor, factor};
            *dst.PixelPtr(x, y) = src.RectAve(&square);
        }
}

void Binalise(CImageInfo& dst, CImageInfo& src, int automatic, int32_t level) {
    tagBINFUNCINFO request = {};
    request.ulSize = sizeof(request);
    if (src.GetSpp() == 1) {
        CHist hist;
        OnAssertThrow(hist.bins() != nullptr, 8);
        hist.Add(src.GetInfo());
        level = level >= 1 && level <= 255 ? level : 90;
        if (automatic)
            level = (hist.Peek1() + hist.Peek2()) / 2;
        request.lMode = 0;
        request.lSliceLevel = level;
    } else if (src.GetSpp() == 3) {
        level = level >= 1 && level <= 255 ? level : 75;
        request.lMode = 6;
        request.lSliceLevel = level;
        request.lSliceLevel2 = level;
    } else {
        return;
    }
    const int result = BinalizeRectEx(dst.GetInfo(), src.GetInfo(), &request);
    ReleaseBinalizeHandle(&request);
    OnAssertThrow(result == 0, 8);
    dst.AssignBlackIs(0);
    dst.SetWhiteIs(0);
}

void SortBlockLen(CBlockLen* list, int32_t n) {
    for (int32_t i = n - 1; i > 0; --i)
        if (list[i].length > list[i - 1].length)
            std::swap(list[i], list[i - 1]);
}

void MargeBlockList(CBlockLen* list, int32_t n) {
    if (n <= 2)
        return;
    const int32_t nearlyLongest = 3 * list[0].length / 4;
    if (nearlyLongest < list[2].length) {
        list[0] = unionSpan(unionSpan(list[0], list[1]), list[2]);
        list[1] = list[2] = {0, 0};
    } else if (nearlyLongest < list[1].length) {
        list[0] = unionSpan(list[0], list[1]);
        list[1] = {0, 0};
    }
}

CImageInfoDetect::CImageInfoDetect(int32_t width, int32_t height)
    : CImageInfo(width, height, 1, 1, kOvkPixelOrder) {}

void CImageInfoDetect::GetHBlockList(CBlockLen* list, int32_t n, const Ovk::tagRECT* r) const {
    collectBusyRuns(list, n, r->y, r->height, [&](int32_t y) {
        return static_cast<int32_t>(GetBitNumBit(GetPtr() + GetStride() * y, r->x, r->width));
    });
}

void CImageInfoDetect::GetVBlockList(CBlockLen* list, int32_t n, const Ovk::tagRECT* r) const {
    collectBusyRuns(list, n, r->x, r->width, [&](int32_t x) {
        return static_cast<int32_t>(GetBitNumBit(GetPtr() + GetStride() * r->y, x, r->height, GetStride()));
    });
}

Ovk::tagRECT* CImageInfoDetect::GetRect(Ovk::tagRECT* r) {
    DetectH(r);
    return r;
}

int CImageInfoDetect::DetectH(Ovk::tagRECT* r) {
    ++m_depth;
    std::array<CBlockLen, kBlockListSize> list = {};
    GetHBlockList(list.data(), kBlockListSize, r);
    MargeBlockList(list.data(), kBlockListSize);
    if (!(m_depth > 1 && list[0].length >= r->height)) {
        r->y = list[0].start;
        r->height = list[0].length;
        DetectV(r);
    }
    --m_depth;
    return 0;
}

int CImageInfoDetect::DetectV(Ovk::tagRECT* r) {
    ++m_depth;
    std::array<CBlockLen, kBlockListSize> list = {};
    GetVBlockList(list.data(), kBlockListSize, r);
    MargeBlockList(list.data(), kBlockListSize);
    if (!(m_depth > 1 && list[0].length >= r->width)) {
        r->x = list[0].start;
        r->width = list[0].length;
        DetectH(r);
    }
    --m_depth;
    return 0;
}

namespace {
// Slides windows of n + 1 pixels over a line read as it was before the pass; mode 0 closes gaps
// between set ends, mode 1 opens runs between clear ends.
template <typename Get, typename Set>
int32_t filterLine(int32_t length, int32_t n, int mode, Get get, Set set) {
    std::vector<uint8_t> line(length + n + 1, 0);
    for (int32_t i = 0; i < length; ++i)
        line[i] = get(i) ? 1 : 0;
    const uint8_t end = mode == 0 ? 1 : 0;
    int32_t changed = 0;
    for (int32_t i = 0; i < length; ++i) {
        if (line[i] != end || line[i + n] != end)
            continue;
        bool uniform = true;
        for (int32_t k = 1; k < n && uniform; ++k)
            uniform = line[i + k] == end;
        if (uniform)
            continue;
        for (int32_t k = 1; k < n; ++k)
            set(i + k, end);
        ++changed;
    }
    return changed;
}
} // namespace

int32_t CImageInfoDetect::HFilter(int32_t y, int32_t n, int mode) {
    return filterLine(
        GetWidth(), n, mode, [&](int32_t x) { return PGET2(x, y); },
        [&](int32_t x, int on) { PSET2(x, y, on); });
}

int32_t CImageInfoDetect::VFilter(int32_t x, int32_t n, int mode) {
    return filterLine(
        GetHeight(), n, mode, [&](int32_t y) { return PGET2(x, y); },
        [&](int32_t y, int on) { PSET2(x, y, on); });
}

int32_t CImageInfoDetect::HFilter(int32_t n, int mode) {
    int32_t rows = 0;
    for (int32_t y = 0; y < GetHeight(); ++y)
        rows += HFilter(y, n, mode) > 0;
    return rows;
}

int32_t CImageInfoDetect::VFilter(int32_t n, int mode) {
    int32_t columns = 0;
    for (int32_t x = 0; x < GetWidth(); ++x)
        columns += VFilter(x, n, mode) > 0;
    return columns;
}

void CImageInfoDetect::Filter() {
    for (const int32_t n : {2, 3})
        for (const int mode : {0, 1})
            do {
                while (HFilter(n, mode) != 0) {
                }
            } while (VFilter(n, mode) != 0);
}
