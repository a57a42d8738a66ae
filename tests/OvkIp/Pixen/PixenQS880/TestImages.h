// Helpers shared by the page-library tests: images filled with a recognisable byte pattern.
#pragma once

#include "CImg.h"

#include <cstdint>
#include <vector>

namespace pixentest {

// Creates an image and fills byte i with (seed + i * 7) mod 256, so any misplaced byte shows.
inline Ovk::Pixen::CImg patterned(std::int32_t width, std::int32_t height, std::int32_t bps, std::int32_t spp,
                                  std::uint32_t order, std::uint8_t seed = 1) {
    Ovk::Pixen::CImg image;
    image.createImg(width, height, bps, spp, order, 300, 300);
    for (std::uint32_t i = 0; i < image.getImageSize(); ++i)
        image.getImage()[i] = static_cast<std::uint8_t>(seed + i * 7);
    return image;
}

inline std::vector<std::uint8_t> bytesOf(const Ovk::Pixen::CImg& image) {
    return {image.getImage(), image.getImage() + image.getImageSize()};
}

} // namespace pixentest
