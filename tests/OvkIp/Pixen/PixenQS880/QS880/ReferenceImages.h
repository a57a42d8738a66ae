// Test helpers: one-line 16-bit reference images (gains, black levels) and images filled from a function.
#pragma once

#include "CImg.h"
#include "ResultCodes.h"

#include <cstdint>
#include <functional>

namespace qs880test {

using Ovk::Pixen::CImg;

// One line of 16-bit samples; colour references are in line order, as the calibration builds them.
inline CImg referenceLine(std::int32_t width, std::int32_t spp, std::uint16_t value,
                          std::uint32_t order = Ovk::RGBORDER_LINE) {
    CImg image;
    image.createImg(width, 1, 16, spp, spp == 3 ? order : Ovk::RGBORDER_PIXEL, 300, 300);
    auto* samples = reinterpret_cast<std::uint16_t*>(image.getImage());
    for (std::uint32_t i = 0; i < image.getImageSize() / 2; ++i)
        samples[i] = value;
    return image;
}

inline std::uint16_t* samples16(const CImg& image) {
    return reinterpret_cast<std::uint16_t*>(image.getImage());
}

} // namespace qs880test
