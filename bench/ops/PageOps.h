// Our page operations as the comparison runs them: each takes a whole page, feeds it to the library in
// bands of at most 2 MiB (as the data source cuts a side) and returns what the library made of it.
#pragma once

#include "PnmImage.h"

#include <string>

// Fixed-slice binarisation at level 128 (colour through the weighted-grey method); a 1-bit page.
PnmImage Binarise(const PnmImage& page, int32_t dpi);
// Resolution reduction with the moire filter from dpi to outDpi.
PnmImage Reduce(const PnmImage& page, int32_t dpi, int32_t outDpi);
// Blank-page measure (share of dark pixels at level 128 against 1 %): "blank" or "content" and the ratio.
std::string Blank(const PnmImage& page, int32_t dpi);
// Paper slant and corners found on the page against its dark backing, as text.
std::string Slant(const PnmImage& page, int32_t dpi);

// What the paper detector finds: corners (x, y) left-top, right-top, left-bottom, right-bottom, and slant.
struct PaperCorners {
    int32_t corner[8];
    int32_t slant[2];
    int32_t rect[4];
};
PaperCorners FindPaper(const PnmImage& page, int32_t dpi);

// The page library's filters (LibraryOps.cpp); each takes the page over to reuse its buffer.
PnmImage ToGrey(PnmImage page, int32_t dpi);
// Caller's curve 255 * (v / 255)^(1 / gamma) on every channel.
PnmImage ToneCurve(PnmImage page, int32_t dpi, double gamma);
// Paper found as above, then straightened and cropped to it.
PnmImage Deskew(PnmImage page, int32_t dpi);
