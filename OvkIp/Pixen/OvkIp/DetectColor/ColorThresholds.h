// Thresholds of colourfulness by brightness: a pixel is colour when its largest minus smallest
// sample exceeds the entry of its largest sample. Each table equals its index at the dark end, so
// dark pixels never count as colour.
#pragma once

#include <array>
#include <cstdint>

using ColorThresholdTable = std::array<uint8_t, 256>;

extern const ColorThresholdTable g_threshold_table1;
extern const ColorThresholdTable g_threshold_table2; // the default
extern const ColorThresholdTable g_threshold_table3;

inline bool IsColorPixel(const ColorThresholdTable& table, const uint8_t* rgb) {
    const uint8_t hi =
        rgb[0] > rgb[1] ? (rgb[0] > rgb[2] ? rgb[0] : rgb[2]) : (rgb[1] > rgb[2] ? rgb[1] : rgb[2]);
    const uint8_t lo =
        rgb[0] < rgb[1] ? (rgb[0] < rgb[2] ? rgb[0] : rgb[2]) : (rgb[1] < rgb[2] ? rgb[1] : rgb[2]);
    return hi - lo > table[hi];
}
