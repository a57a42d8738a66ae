// Level measurement of calibration scans. The first sample wins a tie, as the scan order is left to right.
#include "QS880/LevelMeasure.h"

#include "QS880/ResultImage.h"

#include <algorithm>

namespace Ovk::Pixen::QS880 {

namespace {

std::int32_t extreme(const std::uint16_t* samples, std::int64_t count, bool maxima) {
    const std::uint16_t* end = samples + count;
    return maxima ? *std::max_element(samples, end) : *std::min_element(samples, end);
}

const std::uint16_t* plane(const CImg& image, std::int32_t c) {
    return reinterpret_cast<const std::uint16_t*>(image.getLine(0, c));
}

} // namespace

bool measureLevels(const CImg& image, bool maxima, tagLEVELS& levels) {
    if (!isReadable(image) || image.getBps() != 16)
        return false;
    levels = {};
    if (image.getSpp() == 3 && image.getRGBOrder() == RGBORDER_LINE) {
        levels.red = extreme(plane(image, 0), image.getWidth(), maxima);
        levels.green = extreme(plane(image, 1), image.getWidth(), maxima);
        levels.blue = extreme(plane(image, 2), image.getWidth(), maxima);
        levels.all = maxima ? std::max({levels.red, levels.green, levels.blue})
                            : std::min({levels.red, levels.green, levels.blue});
        return true;
    }
    levels.all = extreme(plane(image, 0), std::int64_t{image.getWidth()} * image.getSpp(), maxima);
    return true;
}

bool measureAll(const CImg& image, bool maxima, std::int32_t& level) {
    if (!isReadable(image) || image.getBps() != 16)
        return false;
    level =
        extreme(reinterpret_cast<const std::uint16_t*>(image.getImage()), image.getImageSize() / 2, maxima);
    return true;
}

} // namespace Ovk::Pixen::QS880
