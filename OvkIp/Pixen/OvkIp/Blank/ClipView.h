// Copies a rectangle between images of the same format, clamped to both images; positions that
// leave nothing to copy are refused rather than read outside the source.
#pragma once

#include "OvkImageInfo.h"

#include <cstdint>

struct tagCLIPVIEWINFO {
    uint32_t ulSize;
    int32_t lDstX;
    int32_t lDstY;
    int32_t lSrcX;
    int32_t lSrcY;
    int32_t lWidth;  // written back clamped
    int32_t lHeight; // written back clamped
};
static_assert(sizeof(tagCLIPVIEWINFO) == 28);

// 1 done, 0 refused. 1-bit images are copied bit-exactly, 8-bit grey and colour by rows.
int ClipView(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagCLIPVIEWINFO* info);
// Crops an 8-bit image (not line-order colour) in its own buffer; 0 done, -1 refused.
int ClipViewOwnBuffer(tagOVKIMAGEINFO* image, tagCLIPVIEWINFO* info);
int Clip(CImageInfo& dst, CImageInfo& src, const Ovk::tagRECT* r);
