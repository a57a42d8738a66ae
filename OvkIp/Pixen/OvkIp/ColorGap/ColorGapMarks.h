// Row work of the colour-gap corrector on its marks (0 none, else marked). Most rows of a page hold no
// mark at all, so both skip unmarked stretches eight marks at a time.
#pragma once

#include <cstdint>
#include <cstring>

// Removes lone marks along the row of `width` marks and fills lone holes in a marked stretch.
void SideCheckRow(uint8_t* marks, int32_t width);
// Calls greyPixel(x) for each x in [0, width) where any of the three rows holds a mark.
template <class F>
void ForEachMarked(const uint8_t* here, const uint8_t* above, const uint8_t* below, int32_t width,
                   F greyPixel);

// Whether the eight marks of the row from x on are all 0.
inline bool NoMarks8(const uint8_t* row, int32_t x) {
    uint64_t eight;
    std::memcpy(&eight, row + x, sizeof eight);
    return eight == 0;
}

template <class F>
void ForEachMarked(const uint8_t* here, const uint8_t* above, const uint8_t* below, int32_t width,
                   F greyPixel) {
    int32_t x = 0;
    while (x < width) {
        if (x + 8 <= width && NoMarks8(here, x) && NoMarks8(above, x) && NoMarks8(below, x)) {
            x += 8;
            continue;
        }
        if (here[x] | above[x] | below[x])
            greyPixel(x);
        ++x;
    }
}
