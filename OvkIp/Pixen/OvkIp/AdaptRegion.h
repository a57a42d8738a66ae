// Steps of the adaptive-region binariser. The page is cut into 8 x 8 blocks laid every 4 pixels; each
// block is classified (flat, weak or strong edge, busy with or without contrast), the classes are
// cleaned, each block gets a threshold, and thresholds are interpolated between block centres.
// Block (i, j) covers lines 4i..4i+7 and columns 4j..4j+7; its cell is the quarter at 4i, 4j.
#pragma once

#include "OvkImageInfoPtr.h"

#include <cstdint>

// Block codes, 4 bits each in the Edge image.
constexpr uint8_t kBlockFlat = 0;
constexpr uint8_t kBlockWeakEdge = 7;
constexpr uint8_t kBlockNextToEdge = 9;     // flat block beside an edge
constexpr uint8_t kBlockTookEdgeLevel = 11; // busy block that took an edge neighbour's threshold
constexpr uint8_t kBlockBusyContrast = 12;
constexpr uint8_t kBlockBusy = 14;
constexpr uint8_t kBlockStrongEdge = 15;

// Code of block (x, y) of a 4-bit image, two blocks a byte, even column in the high nibble.
inline uint8_t GetBlockCode(const CImageInfo& edge, int32_t x, int32_t y) {
    const uint8_t byte = edge.GetPtr()[static_cast<ptrdiff_t>(edge.GetSync()) * y + x / 2];
    return static_cast<uint8_t>(x % 2 == 0 ? byte >> 4 : byte & 0x0F);
}
inline void SetBlockCode(CImageInfo& edge, int32_t x, int32_t y, uint8_t code) {
    unsigned char& byte = edge.GetPtr()[static_cast<ptrdiff_t>(edge.GetSync()) * y + x / 2];
    byte = static_cast<unsigned char>(x % 2 == 0 ? (byte & 0x0F) | (code << 4) : (byte & 0xF0) | code);
}

namespace AdaptRegionBin {
// Binarises the 8-bit grey src into the 1-bit dst of the same size (set bit = darker than its
// threshold). 0 when src is not 8-bit grey or a working image could not be made (dst untouched).
int AdaptRegionBin(CImageInfoPtr& dst, CImageInfoPtr& src, uint32_t S, uint32_t K, uint32_t T, uint32_t G,
                   uint32_t F, uint32_t U);
// Makes Edge (block codes) and EdgeSlice (block mid-levels of src); 0 when there is no block or no memory.
int IpDetectEdgeInfoAndSlice(CImageInfoPtr& edge, CImageInfoPtr& edgeSlice, CImageInfoPtr& src, uint32_t S,
                             uint32_t K, uint32_t T, uint32_t G);
// Makes AveMix (smoothed copy of src) and AveMixSlice (its block mid-levels); 0 when out of memory.
int IpDetectAveAndSlice(CImageInfoPtr& aveMix, CImageInfoPtr& aveMixSlice, CImageInfoPtr& src);
// Run-length correction of the busy class; 1 done, 0 skipped (no memory).
int IpEdgeCorrection(CImageInfoPtr& edge);
} // namespace AdaptRegionBin

namespace Filter {
// [1 2 1] x [1 2 1] / 16 smoothing in place, edges replicated; throws (std::bad_alloc) without memory.
void FilterFunc(CImageInfo& image);
} // namespace Filter

namespace RunLenFilter {
// Removes set runs, then fills clear runs, of at most k bits, sparing the first and last run of the line.
void FilterLine(unsigned char* line, int32_t width, int32_t k);
// Four passes (k = 1..4) alternately across and along the image; 0 when a turned image can't be made.
int RunLenFilter(CImageInfoPtr& image);
} // namespace RunLenFilter

namespace ComplementEdge {
// Cleans isolated codes, then strengthens edges; returns 0.
int CompEdgeInfo(CImageInfo& edge, CImageInfo& edgeSlice, CImageInfo& aveMixSlice);
void RemoveIsolateInfo(CImageInfo& edge);
void StrainEdge(CImageInfo& edge, CImageInfo& edgeSlice, CImageInfo& aveMixSlice);
} // namespace ComplementEdge

namespace MixImage {
// Gives each block its threshold by code and pastes unsmoothed cells back into AveMix; returns 1.
int MixtureSrc(CImageInfo& aveMix, const CImageInfo& src, CImageInfo& aveMixSlice, const CImageInfo& edge,
               const CImageInfo& edgeSlice, uint32_t F, uint32_t U);
} // namespace MixImage

namespace Hokan {
// One line of width thresholds interpolated from count block thresholds offset pixels apart.
void Hokan(unsigned char* out, int32_t width, const unsigned char* slices, int32_t offset, int32_t count);
// Sets bit x of dstLine where aveLine[x] reaches the threshold between above and below at phase 0..3.
void Binalise(unsigned char* dstLine, const unsigned char* aveLine, const unsigned char* above,
              const unsigned char* below, int32_t width, int phase);
} // namespace Hokan
