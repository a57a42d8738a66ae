// Line kernels of edge emphasis. Each finishes one line from its upper and lower neighbour lines (null at
// the page's top or bottom): it measures how far a pixel stands out from its neighbours and adds the level
// table's entry for that measure, so a kernel is additions plus two lookups per sample.
#pragma once

#include <cstdint>

// Four neighbours (left, right, above, below, those that exist): d = k * p - their sum.
// BytesPerPixel 3 works on each channel of pixel-order colour alone; Sign -1 uses e = -d, to smooth.
template <int BytesPerPixel, int Sign> struct FourNeighbourKernel {
    static constexpr int32_t kBytesPerPixel = BytesPerPixel;
    static constexpr int32_t kLevelRange = 1024; // |d| <= 4 * 255
    static void Line(uint8_t* out, const uint8_t* above, const uint8_t* line, const uint8_t* below,
                     int32_t width, const int32_t* level);
};
using GreyKernel = FourNeighbourKernel<1, 1>;
using ChannelKernel = FourNeighbourKernel<3, 1>;
using ChannelAverageKernel = FourNeighbourKernel<3, -1>;

// Five columns by three lines of grey, weights summing to 0 with +12 at the centre inside the page; lines
// narrower than four pixels pass unchanged, as does a page of one line.
struct FiveByThreeKernel {
    static constexpr int32_t kBytesPerPixel = 1;
    static constexpr int32_t kLevelRange = 4096; // |d| <= 16 * 255
    static void Line(uint8_t* out, const uint8_t* above, const uint8_t* line, const uint8_t* below,
                     int32_t width, const int32_t* level);
};
