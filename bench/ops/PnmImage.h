// Netpbm pages for the comparison runs: every tool reads and writes the same uncompressed files, so a run's
// time is the operation plus the same plain I/O on both sides.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PnmImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 0; // 1 grey (P5), 3 colour (P6), 0 for a 1-bit page (P4, set bit = black)
    std::vector<uint8_t> pixels;

    int32_t stride() const { return channels == 0 ? (width + 7) / 8 : width * channels; }
};

// Reads an 8-bit P5 or P6 file; throws std::runtime_error on anything else.
PnmImage ReadPnm(const std::string& path);
// Writes P4, P5 or P6 by the image's channels; throws std::runtime_error when the file cannot be written.
void WritePnm(const std::string& path, const PnmImage& image);
