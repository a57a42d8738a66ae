// Smallest or largest sample of a one-line 16-bit calibration image, overall and per colour line.
#pragma once

#include "CImg.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

struct tagLEVELS {
    std::int32_t all;
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
};

// Line-order colour: each colour line gives its own level, `all` the extreme of the three; otherwise
// the first line's lWidth x lSpp samples give `all` alone. False for an image that is empty, not 16-bit
// or does not hold the samples its record names.
bool measureLevels(const CImg& image, bool maxima, tagLEVELS& levels);
// Extreme of every sample in the buffer; false as above.
bool measureAll(const CImg& image, bool maxima, std::int32_t& level);

} // namespace Ovk::Pixen::QS880
