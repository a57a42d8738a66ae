// Where the edge searches read their one sample per pixel in a line: grey as is, colour from the second
// (green) sample, which carries most of the brightness.
#pragma once

#include "DetectSize/Img.h"

#include <cstdint>

namespace Ovk::DetectSize {

struct SampleLayout {
    std::int32_t offset; // bytes from the start of a line
    std::int32_t stride; // bytes from one pixel's sample to the next
};

// False for depths the searches cannot read or a line length too short for the width.
inline bool sample_layout(const CImg::tagIMGSET& band, SampleLayout& layout) {
    std::int32_t needed = 0;
    if (band.bpp == 8) {
        layout = {0, 1};
        needed = band.width;
    } else if (band.bpp == 24 && band.pixelorder == 1) {
        layout = {band.sync / 3, 1};
        needed = band.sync / 3 + band.width;
    } else if (band.bpp == 24) {
        layout = {1, 3};
        needed = 3 * band.width;
    } else {
        return false;
    }
    return band.width > 0 && band.sync >= needed;
}

} // namespace Ovk::DetectSize
