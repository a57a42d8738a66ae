// Driver of the adaptive-region binariser and its output stage: block thresholds are interpolated
// along each block row (every 4 pixels) and between two block rows (every line of 4), and each pixel of
// the mixed image (unsmoothed at edges and flat areas, smoothed in busy ones) is compared with its own.
#include "AdaptRegion.h"

#include "OvkBits.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kStep = 4;    // pixels between block centres
constexpr int32_t kMinSide = 8; // pixels of one block

// Copies the 4 x 4 cell of block (i, j) from src into dst, both 8-bit images of equal size.
void CopyCell(CImageInfo& dst, const CImageInfo& src, int32_t j, int32_t i) {
    for (int32_t y = kStep * i; y < kStep * (i + 1); ++y) {
        std::memcpy(dst.PixelPtr(kStep * j, y), src.PixelPtr(kStep * j, y), kStep);
    }
}

// Thresholds and output of every line; aveMix is compared with the thresholds, dst must be cleared.
// lines: two lines of width bytes for the thresholds above and below the current line.
void Threshold(CImageInfo& dst, const CImageInfo& aveMix, const CImageInfo& slices, unsigned char* lines) {
    const int32_t width = aveMix.GetWidth();
    const int32_t bw = slices.GetWidth();
    const int32_t bh = slices.GetHeight();
    unsigned char* upper = lines;
    unsigned char* lower = upper + width;
    auto sliceRow = [&slices](int32_t row) { return slices.PixelPtr(0, row); };
    Hokan::Hokan(upper, width, sliceRow(0), kStep, bw);
    std::copy(upper, upper + width, lower);
    for (int32_t y = 0; y < aveMix.GetHeight(); ++y) {
        if (y >= kStep && y % kStep == 0) {
            std::swap(upper, lower);
            Hokan::Hokan(lower, width, sliceRow(std::min((y - kStep) / kStep + 1, bh - 1)), kStep, bw);
        }
        Hokan::Binalise(dst.PixelPtr(0, y), aveMix.PixelPtr(0, y), upper, lower, width,
                        y < kStep ? 0 : y % kStep);
    }
}

// Bands too small for one block: the method runs on a copy grown to 8 x 8 by repeating the last line
// and column, and the caller's part of the result is copied back.
int BinariseSmall(CImageInfoPtr& dst, CImageInfoPtr& src, const uint32_t (&levels)[6]) {
    const int32_t width = src->GetWidth();
    const int32_t height = src->GetHeight();
    const int32_t grownWidth = std::max(width, kMinSide);
    const int32_t grownHeight = std::max(height, kMinSide);
    CImageInfoPtr grown;
    CImageInfoPtr grownDst;
    if (width <= 0 || height <= 0 ||
        grown.CreateImage(grownWidth, PaddedLineBytes(grownWidth * 8), grownHeight, 8, 1,
                          src->GetXResolution(), src->GetYResolution()) == 0 ||
        grownDst.CreateImage(grownWidth, PaddedLineBytes(grownWidth), grownHeight, 1, 1,
                             src->GetXResolution(), src->GetYResolution()) == 0) {
        return 0;
    }
    for (int32_t y = 0; y < grownHeight; ++y) {
        const unsigned char* from = src->PixelPtr(0, std::min(y, height - 1));
        unsigned char* to = grown->PixelPtr(0, y);
        std::memcpy(to, from, static_cast<size_t>(width));
        std::memset(to + width, from[width - 1], static_cast<size_t>(grownWidth - width));
    }
    const auto [S, K, T, G, F, U] = levels;
    if (AdaptRegionBin::AdaptRegionBin(grownDst, grown, S, K, T, G, F, U) == 0) {
        return 0;
    }
    for (int32_t y = 0; y < height; ++y) {
        unsigned char* line = dst->PixelPtr(0, y);
        CopyMemBit(line, grownDst->PixelPtr(0, y), width);
        // As on the main path, the bits after the last pixel come out set.
        BitSet(line, width, 1, dst->GetSync() * 8 - width);
    }
    return 1;
}

} // namespace

namespace MixImage {

int MixtureSrc(CImageInfo& aveMix, const CImageInfo& src, CImageInfo& aveMixSlice, const CImageInfo& edge,
               const CImageInfo& edgeSlice, uint32_t F, uint32_t U) {
    for (int32_t i = 0; i < edge.GetHeight(); ++i) {
        unsigned char* slices = aveMixSlice.PixelPtr(0, i);
        const unsigned char* mids = edgeSlice.PixelPtr(0, i);
        for (int32_t j = 0; j < edge.GetWidth(); ++j) {
            switch (GetBlockCode(edge, j, i)) {
            case kBlockFlat:
                slices[j] = static_cast<unsigned char>(F);
                CopyCell(aveMix, src, j, i);
                break;
            case kBlockBusy:
                slices[j] = static_cast<unsigned char>(U);
                break;
            case kBlockStrongEdge:
            case kBlockWeakEdge:
            case kBlockNextToEdge:
                slices[j] = mids[j];
                CopyCell(aveMix, src, j, i);
                break;
            default:
                break;
            }
        }
    }
    return 1;
}

} // namespace MixImage

namespace Hokan {

void Hokan(unsigned char* out, int32_t width, const unsigned char* slices, int32_t offset, int32_t count) {
    count = std::min(count, (width + 2) / offset);
    if (count <= 1) {
        std::memset(out, count == 0 ? 128 : slices[0], static_cast<size_t>(width));
        return;
    }
    std::memset(out, slices[0], static_cast<size_t>(std::min(offset, width)));
    for (int32_t l = 0; l + 1 < count; ++l) {
        for (int32_t i = 0; i < offset; ++i) {
            const int32_t x = offset + offset * l + i;
            if (x < width) {
                out[x] = static_cast<unsigned char>(((offset - 1 - i) * slices[l] + i * slices[l + 1]) /
                                                    (offset - 1));
            }
        }
    }
    if (offset * count < width) {
        std::memset(out + offset * count, slices[count - 1], static_cast<size_t>(width - offset * count));
    }
}

void Binalise(unsigned char* dstLine, const unsigned char* aveLine, const unsigned char* above,
              const unsigned char* below, int32_t width, int phase) {
    for (int32_t x = 0; x < width; ++x) {
        const int a = above[x];
        const int b = below[x];
        const int half = (a + b + 1) >> 1;
        int t = a;
        if (phase == 1) {
            t = (half + a + 1) >> 1;
        } else if (phase == 2) {
            t = half;
        } else if (phase == 3) {
            t = (half + b + 1) >> 1;
        }
        if (aveLine[x] >= t) {
            dstLine[x >> 3] = static_cast<unsigned char>(dstLine[x >> 3] | bBitMask[x & 7]);
        }
    }
}

} // namespace Hokan

namespace AdaptRegionBin {

int AdaptRegionBin(CImageInfoPtr& dst, CImageInfoPtr& src, uint32_t S, uint32_t K, uint32_t T, uint32_t G,
                   uint32_t F, uint32_t U) {
    if (src->GetBps() != 8 || src->GetSpp() != 1) {
        return 0;
    }
    if (src->GetWidth() < kMinSide || src->GetHeight() < kMinSide) {
        const uint32_t levels[6] = {S, K, T, G, F, U};
        return BinariseSmall(dst, src, levels);
    }
    CImageInfoPtr edge;
    CImageInfoPtr edgeSlice;
    CImageInfoPtr aveMix;
    CImageInfoPtr aveMixSlice;
    if (IpDetectEdgeInfoAndSlice(edge, edgeSlice, src, S, K, T, G) == 0) {
        return 0;
    }
    IpEdgeCorrection(edge);
    if (IpDetectAveAndSlice(aveMix, aveMixSlice, src) == 0) {
        return 0;
    }
    ComplementEdge::CompEdgeInfo(*edge, *edgeSlice, *aveMixSlice);
    MixImage::MixtureSrc(*aveMix, *src, *aveMixSlice, *edge, *edgeSlice, F, U);
    // Allocated before the destination is touched, so a failure leaves it as it was.
    std::vector<unsigned char> lines(2 * static_cast<size_t>(src->GetWidth()));
    std::memset(dst->GetPtr(), 0, dst->GetSize());
    Threshold(*dst, *aveMix, *aveMixSlice, lines.data());
    dst->Reverse();
    return 1;
}

} // namespace AdaptRegionBin
