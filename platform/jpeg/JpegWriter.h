// JPEG file contents from rows of 8-bit samples, for every writer of JPEG in the system.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace jpg {

struct SJpegDensity {
    std::uint16_t x = 0; // dots per inch
    std::uint16_t y = 0;
};

struct SJpegImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int components = 1; // 1 grey, 3 RGB
    // The 8-bit samples of row y; the pointer stays valid until the next call.
    std::function<const std::uint8_t*(std::uint32_t y)> row;
    std::optional<SJpegDensity> density; // none: the format's default aspect ratio only
};

// The compressed file; false (and out empty) when libjpeg refuses the image or runs out of memory.
bool writeJpeg(const SJpegImage& image, int quality, std::vector<std::uint8_t>& out);
// The same bytes streamed into the open file fd through a fixed buffer; false when libjpeg refuses the
// image or a write fails (what was written stays, the caller discards the file).
bool writeJpeg(const SJpegImage& image, int quality, int fd);

} // namespace jpg
