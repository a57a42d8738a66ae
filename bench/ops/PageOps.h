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
