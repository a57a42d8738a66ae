// Command interface on the single-side paper detector: one record carries the detector between band calls
// and receives corners, bounding rectangle and slant. Also the conversion of the layer's image record into
// the detectors' image description and the corner order shared with DetectSlantAndSizeEx.
#pragma once

#include "DetectSize/DetectSizeGeometry.h"
#include "DetectSize/Img.h"
#include "OvkImageInfo.h"

#include <cstddef>
#include <cstdint>

// Record of DetectSlantAndSize; the caller owns it, the detector in pDetector belongs to the library.
struct tagSLANTSIZEREQ {
    uint32_t ulSize;        // sizeof(tagSLANTSIZEREQ)
    void* pDetector;        // empty before command 0, emptied by command 4 and by any failure
    uint32_t ulCommand;     // 0 create, 1 first band, 2 middle band, 3 last band, 4 release, 5 result
    int32_t lCorner[8];     // four corners (x, y): left-top, right-top, left-bottom, right-bottom
    int32_t lRect[4];       // left, top, right, bottom of the bounding rectangle
    int32_t lSlant[2];      // slant pair (a, b)
    int32_t lRefPoint[4];   // points A and B on the paper's upper edge (x, y); any negative: not checked
    int32_t lPaperSize[2];  // kept, and the paper length in lines (0 = unknown)
    int32_t lTopMargin;     // lines, for the fallback rectangle
    int32_t lReserved;      // kept
    int32_t lSideMargin[2]; // left and right margins in columns, for the fallback rectangle
};
static_assert(sizeof(void*) != 8 ||
              (offsetof(tagSLANTSIZEREQ, ulCommand) == 16 && offsetof(tagSLANTSIZEREQ, lSideMargin) == 108 &&
               sizeof(tagSLANTSIZEREQ) == 120));

// Record of DetectSlantAndSize2 and DetectSlantAndSize3: the same head, with every detector option.
struct tagSLANTSIZEINFO2 {
    uint32_t ulSize;
    void* pDetector;
    uint32_t ulCommand;
    int32_t lCorner[8];
    int32_t lRect[4];
    int32_t lSlant[2];
    int32_t lRefPoint[4];     // option words 1-4
    int32_t lResultOption[2]; // option words 5-6
    int32_t lOption[8];       // option words 7-14 (7-10 are also read for the result)
    int32_t lReserved[4];
};
static_assert(sizeof(void*) != 8 || sizeof(tagSLANTSIZEINFO2) == 16 + 33 * 4 + 4);

extern "C" {
// Status 0, or negative: 0x80000008 bad record or no detector, 0x80000003 bad argument, 0x80000002 no memory.
int32_t DetectSlantAndSize(tagOVKIMAGEINFO* image, tagSLANTSIZEREQ* req);
// As DetectSlantAndSize, with the detector's thresholds, margin and distance from the record; the corner
// order ignores the pixel aspect.
int32_t DetectSlantAndSize2(tagOVKIMAGEINFO* image, tagSLANTSIZEINFO2* req);
// Whole page without the detector: corners where the four straight paper edges meet. Also 0x80000002 when
// the image cannot be read, or 1, 3, 4, 5 from the line geometry.
int32_t DetectSlantAndSize3(tagOVKIMAGEINFO* image, tagSLANTSIZEINFO2* req);
}

namespace Ovk::DetectSize {

// Zeroes nothing: callers clear set first, so a null image leaves an all-zero set.
void Convert_OVKIMAGEINFOtoIMGSET(const tagOVKIMAGEINFO* image, CImg::tagIMGSET& set);

// Corners in the order left-top, right-top, left-bottom, right-bottom. Which detector corner is which
// depends on whether the slant is steeper than the pixel aspect: q = a * ydpi / xdpi against b.
void order_corners(const tagDETECTSIZEINFO& info, std::int32_t xdpi, std::int32_t ydpi, std::int32_t out[8]);

} // namespace Ovk::DetectSize
