// Block measures of the adaptive-region binariser: contrast (difference of the half sums, both ways),
// activity (sum of neighbour differences) and mid-level ((max + min) / 2) of each 8 x 8 block, plus the
// [1 2 1] smoothing whose blocks set the thresholds of busy areas.
#include "AdaptRegion.h"

#include "OvkBits.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kBlock = 8; // pixels
constexpr int32_t kStep = 4;  // pixels between blocks

struct BlockInfo {
    uint32_t contrast;
    uint32_t activity;
    uint8_t mid;
};

BlockInfo IntegralGetBlockInfo(const unsigned char* p, ptrdiff_t lineLength) {
    int32_t quarter[2][2] = {};
    uint32_t activity = 0;
    int lo = 255;
    int hi = 0;
    for (int32_t y = 0; y < kBlock; ++y) {
        const unsigned char* line = p + lineLength * y;
        for (int32_t x = 0; x < kBlock; ++x) {
            const int v = line[x];
            quarter[y / 4][x / 4] += v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            if (x + 1 < kBlock) {
                activity += static_cast<uint32_t>(std::abs(v - line[x + 1]));
            }
            if (y + 1 < kBlock) {
                activity += static_cast<uint32_t>(std::abs(v - line[x + lineLength]));
            }
        }
    }
    const int32_t top = quarter[0][0] + quarter[0][1];
    const int32_t bottom = quarter[1][0] + quarter[1][1];
    const int32_t left = quarter[0][0] + quarter[1][0];
    const int32_t right = quarter[0][1] + quarter[1][1];
    const auto contrast = static_cast<uint32_t>(std::abs(top - bottom) + std::abs(left - right));
    return {contrast, activity, static_cast<uint8_t>((hi + lo) / 2)};
}

uint8_t IntegralGetMaxMin(const unsigned char* p, ptrdiff_t lineLength) {
    int lo = 255;
    int hi = 0;
    for (int32_t y = 0; y < kBlock; ++y) {
        const auto [min, max] = std::minmax_element(p + lineLength * y, p + lineLength * y + kBlock);
        lo = std::min<int>(lo, *min);
        hi = std::max<int>(hi, *max);
    }
    return static_cast<uint8_t>((hi + lo) / 2);
}

// Mid-levels of count blocks side by side, kStep pixels apart.
void IntegralGetMaxMinBand(unsigned char* out, const unsigned char* p, int32_t count, ptrdiff_t lineLength) {
    for (int32_t j = 0; j < count; ++j) {
        out[j] = IntegralGetMaxMin(p + kStep * j, lineLength);
    }
}

uint8_t ClassifyBlock(const BlockInfo& info, uint32_t S, uint32_t K, uint32_t T, uint32_t G) {
    if (info.contrast > 8 * S) {
        return kBlockStrongEdge;
    }
    if (info.activity > 8 * G) {
        return info.contrast > 8 * T ? kBlockBusyContrast : kBlockBusy;
    }
    return info.contrast > 8 * K ? kBlockWeakEdge : kBlockFlat;
}

// A cleared block image of bw x bh with the source's resolutions; 0 when it can't be made.
int MakeBlockImage(CImageInfoPtr& image, const CImageInfo& src, int32_t bw, int32_t bh, int32_t bps) {
    if (image.CreateImage(bw, PaddedLineBytes(int64_t{bw} * bps), bh, bps, 1, src.GetXResolution(),
                          src.GetYResolution()) == 0) {
        return 0;
    }
    std::memset(image->GetPtr(), 0, image->GetSize());
    return 1;
}

// h(x) = p(x - 1) + 2 p(x) + p(x + 1), ends replicated.
void IntegrityLine121Filter(uint16_t* out, const unsigned char* line, int32_t width) {
    for (int32_t x = 0; x < width; ++x) {
        const int left = line[std::max(x - 1, 0)];
        const int right = line[std::min(x + 1, width - 1)];
        out[x] = static_cast<uint16_t>(left + 2 * line[x] + right);
    }
}

void IntegrityFilter121(unsigned char* out, const uint16_t* above, const uint16_t* here,
                        const uint16_t* below, int32_t width) {
    for (int32_t x = 0; x < width; ++x) {
        out[x] = static_cast<unsigned char>((above[x] + 2 * here[x] + below[x]) >> 4);
    }
}

} // namespace

namespace Filter {

// Three rotating rows of horizontal sums: the sums of line y + 1 are taken before line y is overwritten,
// and those of line y - 1 were taken before line y - 1 was.
void FilterFunc(CImageInfo& image) {
    const int32_t width = image.GetWidth();
    const int32_t height = image.GetHeight();
    if (width <= 0 || height <= 0) {
        return;
    }
    std::vector<uint16_t> rows(3 * static_cast<size_t>(width));
    uint16_t* above = rows.data();
    uint16_t* here = above + width;
    uint16_t* below = here + width;
    const ptrdiff_t stride = image.GetSync();
    unsigned char* pixels = image.GetPtr();
    IntegrityLine121Filter(here, pixels, width);
    std::copy(here, here + width, above);
    for (int32_t y = 0; y < height; ++y) {
        if (y + 1 < height) {
            IntegrityLine121Filter(below, pixels + stride * (y + 1), width);
        } else {
            std::copy(here, here + width, below);
        }
        IntegrityFilter121(pixels + stride * y, above, here, below, width);
        std::swap(above, here);
        std::swap(here, below);
    }
}

} // namespace Filter

namespace AdaptRegionBin {

int IpDetectEdgeInfoAndSlice(CImageInfoPtr& edge, CImageInfoPtr& edgeSlice, CImageInfoPtr& src, uint32_t S,
                             uint32_t K, uint32_t T, uint32_t G) {
    const int32_t bw = (src->GetWidth() - 4) / kStep;
    const int32_t bh = (src->GetHeight() - 4) / kStep;
    if (bw <= 0 || bh <= 0 || MakeBlockImage(edge, *src, bw, bh, 4) == 0 ||
        MakeBlockImage(edgeSlice, *src, bw, bh, 8) == 0) {
        return 0;
    }
    const ptrdiff_t sync = src->GetSync();
    for (int32_t i = 0; i < bh; ++i) {
        const unsigned char* row = src->GetPtr() + sync * kStep * i;
        unsigned char* mids = edgeSlice->GetPtr() + static_cast<ptrdiff_t>(edgeSlice->GetSync()) * i;
        for (int32_t j = 0; j < bw; ++j) {
            const BlockInfo info = IntegralGetBlockInfo(row + kStep * j, sync);
            mids[j] = info.mid;
            SetBlockCode(*edge, j, i, ClassifyBlock(info, S, K, T, G));
        }
    }
    return 1;
}

int IpDetectAveAndSlice(CImageInfoPtr& aveMix, CImageInfoPtr& aveMixSlice, CImageInfoPtr& src) {
    if (CopyCImageInfo(aveMix, src) == 0) {
        return 0;
    }
    Filter::FilterFunc(*aveMix);
    const int32_t bw = (src->GetWidth() - 4) / kStep;
    const int32_t bh = (src->GetHeight() - 4) / kStep;
    if (MakeBlockImage(aveMixSlice, *src, bw, bh, 8) == 0) {
        return 0;
    }
    std::memset(aveMixSlice->GetPtr(), 128, aveMixSlice->GetSize());
    const ptrdiff_t sync = aveMix->GetSync();
    for (int32_t i = 0; i < bh; ++i) {
        IntegralGetMaxMinBand(aveMixSlice->GetPtr() + static_cast<ptrdiff_t>(aveMixSlice->GetSync()) * i,
                              aveMix->GetPtr() + sync * kStep * i, bw, sync);
    }
    return 1;
}

} // namespace AdaptRegionBin
