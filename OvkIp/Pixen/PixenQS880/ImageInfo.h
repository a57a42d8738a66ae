// The image record that every image of the library carries and that crosses into the analysis layer.
// Fields keep their order; the pixel pointer is native width, so the record is larger than 52 bytes here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Ovk {

struct tagIMAGEINFO {
    std::uint32_t ulSize;      // sizeof(tagIMAGEINFO) when valid, 0 in an empty image
    std::uint8_t* lpImage;     // first pixel byte, owned by the CImg that embeds the record
    std::int32_t lXpos;        // first column within a larger image (pixels)
    std::int32_t lYpos;        // first line within a larger image (lines)
    std::int32_t lWidth;       // pixels
    std::int32_t lHeight;      // lines
    std::int32_t lSync;        // bytes from one line to the next (one single-colour line in line order)
    std::uint32_t tImageSize;  // bytes of the whole buffer
    std::int32_t lBps;         // bits per sample
    std::int32_t lSpp;         // samples per pixel
    std::uint32_t ulRGBOrder;  // 0 pixel order, 1 line order
    std::int32_t lXResolution; // dots per inch
    std::int32_t lYResolution; // dots per inch
};

static_assert(offsetof(tagIMAGEINFO, lpImage) == sizeof(void*));
static_assert(offsetof(tagIMAGEINFO, lXpos) == 2 * sizeof(void*));
static_assert(offsetof(tagIMAGEINFO, lYResolution) == offsetof(tagIMAGEINFO, lXpos) + 40);
static_assert(sizeof(tagIMAGEINFO) == (sizeof(void*) == 8 ? 64 : 52));

// Pixel layouts of ulRGBOrder.
inline constexpr std::uint32_t RGBORDER_PIXEL = 0;
inline constexpr std::uint32_t RGBORDER_LINE = 1;

} // namespace Ovk
