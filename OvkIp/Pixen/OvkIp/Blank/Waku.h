// Where the content of a page lies: the document area (bright paper against the dark backing) by
// run tables over rows and columns, the content frame of a reduced copy, and the content extent
// of single lines.
#pragma once

#include "Blank/RunTable.h"
#include "OvkImageInfo.h"

#include <cstdint>

// Document area into words 1 to 4; null when the image is not 1, 8 or 24 bits a pixel or memory
// runs out (code 8 in the last-error cell).
extern "C" int32_t* DetectWidth(tagOVKIMAGEINFO* image, tagDETWAKUINFO* info);
// Content frame of an 8-bit grey page; null when none is found or on failure (last-error cell).
extern "C" int32_t* DetectWaku(tagOVKIMAGEINFO* image, tagDETWAKUINFO* info);
// Content extent of the first line: word 1 first column, word 3 last column.
int32_t* DetectLineWidth(tagOVKIMAGEINFO* image, tagDETWAKUINFO* info);
// Union of the extents of the lines at 1/6, 3/6 and 5/6 of the height.
int32_t* DetectLinesWidth(tagOVKIMAGEINFO* image, tagDETWAKUINFO* info);
// Bit k is set when sample k is below level (most significant bit first; unused bits clear).
void Gray2Bin(uint8_t* bits, const uint8_t* samples, int32_t n, uint8_t level);

// Minimum run lengths in pixels from a record's minimum size in micrometres.
struct MinimumRun {
    int32_t x;
    int32_t y;
};
MinimumRun MinimumRunOf(const tagDETWAKUINFO& info, int32_t xResolution, int32_t yResolution);
