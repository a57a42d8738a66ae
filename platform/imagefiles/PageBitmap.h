// One whole page in memory, as the transfers and the image encoders exchange it: rows of whole bytes,
// top row first, 1-bit pixels most significant bit first with 0 black, 8-bit grey with 0 black, and
// colour as interleaved R, G, B bytes.
#pragma once

#include <cstdint>
#include <vector>

struct SPageBitmap {
    std::uint32_t width = 0;  // pixels
    std::uint32_t height = 0; // rows
    std::uint16_t samplesPerPixel = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t bytesPerRow = 0;
    float xResolution = 0; // dots per inch
    float yResolution = 0;
    std::vector<std::uint8_t> pixels; // bytesPerRow x height bytes

    // Bytes a row of the width needs at the depth; rows may be longer, never shorter.
    std::uint64_t MinimumBytesPerRow() const {
        return (std::uint64_t{width} * samplesPerPixel * bitsPerSample + 7) / 8;
    }
    bool IsValid() const {
        return width && height && samplesPerPixel && bitsPerSample && bytesPerRow >= MinimumBytesPerRow() &&
               pixels.size() >= std::uint64_t{bytesPerRow} * height;
    }
    const std::uint8_t* Row(std::uint32_t y) const { return pixels.data() + std::size_t{bytesPerRow} * y; }
};
