// Blank-page measure: counts set bits, black/white edges or dark grey levels inside an area of the
// page, adds them to the record's running count and total, and compares their ratio with a
// threshold given as a percentage or as an exact fraction.
#pragma once

#include "OvkImageInfo.h"

#include <cstdint>

// Eighteen words; a caller may pass a shorter record, whose missing words read as zero and are
// never written.
struct tagISBLANKINFO {
    uint32_t ulSize;
    uint32_t ulCount;     // in/out: the measure adds its count
    uint32_t ulTotal;     // in/out: the measure adds what it measured
    uint32_t ulLevel;     // binarisation level; dark levels counted by the histogram measure
    uint32_t ulRatio;     // out: a percentage, or a short fraction (numerator high, denominator low)
    int32_t lThreshold;   // 0..100 a percentage, anything else a short fraction packed like ulRatio
    int32_t lInverted;    // reverses the verdict; frame of set bits in the bit measure
    Ovk::tagRECT rcArea;  // in/out: x, y, width, height of the measured area
    uint32_t ulFindArea;  // non-zero: the area is found on the page
    uint32_t ulMinWidth;  // micrometres, for the area finder (0 means 2000)
    uint32_t ulMinHeight; // micrometres (0 means 2000)
    uint32_t ulAreaLevel; // binarisation level of the area finder
    uint32_t ulOptions;   // low byte 1: edge measure; next byte 1: frame exclusion
    uint32_t ulHorzEdges; // out
    uint32_t ulVertEdges; // out
};
static_assert(sizeof(tagISBLANKINFO) == 72);

// The words size, count and total that the bit measure updates.
struct tagBITNUMRATIOINFO {
    uint32_t ulSize;
    uint32_t ulCount;
    uint32_t ulTotal;
};

constexpr uint32_t kBlankEdgeMeasure = 0x0001;
constexpr uint32_t kBlankFrameExclusion = 0x0100;

// Verdict 1 (content above the threshold) or 0, also on failure (code in the last-error cell).
extern "C" int IsBlankPageEx2(tagOVKIMAGEINFO* image, tagISBLANKINFO* info);

int IsBlankPageEx2Binary(CImageInfo* image, tagISBLANKINFO* info);
int IsBlankPageEx2GrayScale(CImageInfo* image, tagISBLANKINFO* info);
inline int IsBlankPageEx2Color(CImageInfo* image, tagISBLANKINFO* info) {
    return IsBlankPageEx2GrayScale(image, info);
}
// Writes the ratio and returns the verdict.
int IsBlankResult(tagISBLANKINFO* info);

// Binarises src into the 1-bit dst with set bits black (grey: slice at level, default 90, or between
// the histogram's two peaks when automatic; colour: weighted grey, default 75).
void Binarize(CImageInfo* dst, CImageInfo* src, int automatic, int32_t level);

uint32_t GetBitNum(CImageInfo* image, tagBITNUMRATIOINFO* info, const Ovk::tagRECT* area, int inverted,
                   int frame);
uint32_t GetEdgeNum(CImageInfo* image, tagISBLANKINFO* info, const Ovk::tagRECT* area, int frame);
