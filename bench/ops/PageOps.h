// Our page operations as the comparison runs them, on the library's band interfaces as the data source
// feeds them.
#pragma once

#include "Bands.h"
#include "PnmImage.h"

#include <algorithm>
#include <string>

// Calls body(y, lines) for each band of a page of `height` lines of `stride` bytes, at most 2 MiB a band.
template <typename Body> void ForEachBand(int32_t stride, int32_t height, Body body) {
    const int32_t band = BandLines(stride);
    for (int32_t y = 0; y < height; y += band)
        body(y, std::min(band, height - y));
}

// Streamed operations: the page is read band by band, as the data source hands it on, and each band's
// result is written out at once, so no operation holds a whole page (neither does vips).

// Fixed-slice binarisation at level 128 (colour through the weighted-grey method); a 1-bit page.
void Binarise(const std::string& in, const std::string& out, int32_t dpi);
// Resolution reduction with the moire filter from dpi to outDpi.
void Reduce(const std::string& in, const std::string& out, int32_t dpi, int32_t outDpi);
// Blank-page measure (share of dark pixels at level 128 against 1 %): "blank" or "content" and the ratio.
std::string Blank(const std::string& in, int32_t dpi);
// The page library's filters (LibraryOps.cpp).
void ToGrey(const std::string& in, const std::string& out, int32_t dpi);
// Caller's curve 255 * (v / 255)^(1 / gamma) on every channel.
void ToneCurve(const std::string& in, const std::string& out, int32_t dpi, double gamma);

// Whole-page operations.

// What the paper detector finds: corners (x, y) left-top, right-top, left-bottom, right-bottom, and slant.
struct PaperCorners {
    int32_t corner[8];
    int32_t slant[2];
    int32_t rect[4];
};
PaperCorners FindPaper(const PnmImage& page, int32_t dpi);
// Paper slant and corners found on the page against its dark backing, as text.
std::string Slant(const PnmImage& page, int32_t dpi);
// Paper found as above, then straightened and cropped to it (LibraryOps.cpp).
PnmImage Deskew(PnmImage page, int32_t dpi);
