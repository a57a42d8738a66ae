// One side of a sheet as the scanner delivers it after unpacking: an A4 page tilted by about one degree on
// the dark backing, with lines of dark strokes for text and, on colour pages, coloured blocks.
#pragma once

#include <cstdint>
#include <vector>

struct SheetSide {
    int32_t width = 0;    // pixels
    int32_t height = 0;   // lines
    int32_t channels = 0; // 1 grey, 3 colour (pixel order)
    int32_t dpi = 0;
    std::vector<uint8_t> pixels;

    int32_t stride() const { return width * channels; }
    int64_t bytes() const { return int64_t{stride()} * height; }
};

// Drawn once per format and kept: drawing a 600-dpi page takes longer than processing it.
const SheetSide& A4Side(int32_t dpi, int32_t channels);
