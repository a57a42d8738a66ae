// JPEG contents of a page through the system's one JPEG writer; 1-bit pages are widened to grey.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "ImageEncoders.h"
#include "JpegWriter.h"

namespace {

// 1-bit rows widened to 8-bit grey (0 black, 255 white).
void WidenRow(const std::uint8_t* bits, std::uint32_t width, std::vector<std::uint8_t>& grey) {
    for (std::uint32_t x = 0; x < width; ++x)
        grey[x] = (bits[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
}

} // namespace

std::vector<std::uint8_t> EncodeJpeg(const SPageBitmap& page, int quality) {
    const bool supported =
        (page.samplesPerPixel == 1 && (page.bitsPerSample == 1 || page.bitsPerSample == 8)) ||
        (page.samplesPerPixel == 3 && page.bitsPerSample == 8);
    if (!page.IsValid() || !supported || page.width > JPEG_MAX_DIMENSION || page.height > JPEG_MAX_DIMENSION)
        return {};
    std::vector<std::uint8_t> grey(page.bitsPerSample == 1 ? page.width : 0);
    jpg::SJpegImage image;
    image.width = page.width;
    image.height = page.height;
    image.components = page.samplesPerPixel;
    image.density = jpg::SJpegDensity{static_cast<std::uint16_t>(page.xResolution),
                                      static_cast<std::uint16_t>(page.yResolution)};
    image.row = [&page, &grey](std::uint32_t y) {
        if (page.bitsPerSample != 1)
            return page.Row(y);
        WidenRow(page.Row(y), page.width, grey);
        return static_cast<const std::uint8_t*>(grey.data());
    };
    std::vector<std::uint8_t> contents;
    jpg::writeJpeg(image, quality < 1 ? 1 : (quality > 100 ? 100 : quality), contents);
    return contents;
}
