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

bool Encodable(const SPageBitmap& page) {
    const bool supported =
        (page.samplesPerPixel == 1 && (page.bitsPerSample == 1 || page.bitsPerSample == 8)) ||
        (page.samplesPerPixel == 3 && page.bitsPerSample == 8);
    return page.IsValid() && supported && page.width <= JPEG_MAX_DIMENSION &&
           page.height <= JPEG_MAX_DIMENSION;
}

// The page as the JPEG writer reads it; 1-bit rows are widened into grey, which must outlive the image.
jpg::SJpegImage ImageOf(const SPageBitmap& page, std::vector<std::uint8_t>& grey) {
    grey.resize(page.bitsPerSample == 1 ? page.width : 0);
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
    return image;
}

int ClampedQuality(int quality) {
    return quality < 1 ? 1 : (quality > 100 ? 100 : quality);
}

} // namespace

std::vector<std::uint8_t> EncodeJpeg(const SPageBitmap& page, int quality) {
    if (!Encodable(page))
        return {};
    std::vector<std::uint8_t> grey;
    std::vector<std::uint8_t> contents;
    jpg::writeJpeg(ImageOf(page, grey), ClampedQuality(quality), contents);
    return contents;
}

bool WriteJpeg(const SPageBitmap& page, int fd, int quality) {
    std::vector<std::uint8_t> grey;
    return Encodable(page) && jpg::writeJpeg(ImageOf(page, grey), ClampedQuality(quality), fd);
}
