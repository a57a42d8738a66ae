// One scanned page as the writers take it: read from its raw file (rows without a header), turned by the
// page's quarter turns, and brought into the form the output format wants (1-bit pages with set bits
// black for PDF and TIFF, colour as blue-green-red for the PDF maker).
#pragma once

#include "PageBitmap.h"
#include "Value.h"

#include <cstdint>
#include <filesystem>

namespace tlv {

struct TlvPageImage {
    SPageBitmap bitmap;      // the pixels and their layout, after turning
    int bpp = 0;             // 1, 8 or 24
    int rotation = 0;        // the quarter turns that were applied
    bool oneIsBlack = false; // 1-bit only: set bits are black (else 0 is black, as scanned)
};

// Bytes of one row: (width + 7) / 8 below 8 bits per pixel, else bits per pixel / 8 x width.
std::uint64_t bytesPerRowByImgSetting(int bpp, std::uint64_t width);

// Reads the raw file that the record names inside the temporary folder and turns it by the record's quarter
// turns. Fails with "NoErr_OnlyThrow" when the file is gone, "Err_FileDecodeFailed" when the record is not
// usable (no name, size or resolution, an unknown depth) or the file holds fewer bytes than it says,
// "Err_MemFullError" when memory runs out.
TlvPageImage readPageImage(const fnd::Dictionary& record);

// Turns the page clockwise by quarter turns (0..3); width and height, and the resolutions, swap with
// an odd count.
void rotateImageRep(TlvPageImage& page, int quarterTurns);

// 1-bit pages get their bits inverted, so that set bits are black; deeper pages stay.
void reversalImageBW(TlvPageImage& page);

// 24-bit pages swap red and blue; others stay.
void conversionRGBToBGRImage(TlvPageImage& page);

} // namespace tlv
