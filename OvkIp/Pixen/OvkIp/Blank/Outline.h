// Outline of a bright document on the dark backing, as a left and a right chain of points, and
// the mask that paints everything outside it white.
#pragma once

#include "Blank/OutlineChain.h"
#include "OvkImageInfo.h"

#include <cstdint>

struct tagDETOUTLINEINFO {
    uint32_t ulSize;
    uint32_t ulMinWidth;  // micrometres (0 means 2)
    uint32_t ulMinHeight; // micrometres (0 means 2)
    int32_t lDetected;    // 0 before a detection, 1 once chains are stored
    Ovk::tagPOINT* pLeft; // owned by the record: free with ReleaseOutline
    int32_t lLeftCount;
    Ovk::tagPOINT* pRight; // owned by the record
    int32_t lRightCount;
    int32_t lLevel;   // binarisation level for grey and colour
    int32_t lMargin;  // micrometres; negative moves the mask into the document
    uint32_t ulFlags; // bit 0: smooth the chains before taking their hulls
};

constexpr uint32_t kOutlineSmooth = 0x1;

// 0 found, -1 not found or refused (code in the last-error cell), 8 when the work image cannot be made.
int DetectOutline(tagOVKIMAGEINFO* image, tagDETOUTLINEINFO* info);
// 1-bit images only; 0 found, -1 otherwise (87 bad argument, 8 memory, 0 no document).
int DetectOutlineBin(tagOVKIMAGEINFO* image, tagDETOUTLINEINFO* info);
void ReleaseOutline(tagDETOUTLINEINFO* info);
// Paints white everything outside the outline (detected first when the record holds none).
// 0 done, or the failure of the detection.
int ImageMask(tagOVKIMAGEINFO* image, tagDETOUTLINEINFO* info);

// Fills the rows between the horizontal edges tl-tr and bl-br; 0 (nothing drawn) when an edge is
// not horizontal.
int FillTrapezoid(CImageInfo& image, Ovk::tagPOINT tl, Ovk::tagPOINT tr, Ovk::tagPOINT br, Ovk::tagPOINT bl,
                  int value);
// x of the line p1-p2 at row y.
void GetMiddlePoint(Ovk::tagPOINT* out, Ovk::tagPOINT p1, Ovk::tagPOINT p2, int32_t y);
void FillBits(uint8_t* line, int32_t first, int32_t count, int on);
inline void SETPOINT(Ovk::tagPOINT* out, int32_t x, int32_t y) {
    *out = {x, y};
}
int IsInside(const CImageInfo& image, Ovk::tagPOINT p);
