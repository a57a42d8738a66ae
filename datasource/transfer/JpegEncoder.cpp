// JPEG contents of a page through libjpeg's memory destination. libjpeg reports errors by calling
// error_exit, which here throws out of the library so that the page simply yields no contents.
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <stdexcept>

#include "ImageEncoders.h"

namespace {

struct SJpegError : std::runtime_error {
    SJpegError() : std::runtime_error("jpeg") {}
};

[[noreturn]] void ThrowOnError(j_common_ptr) {
    throw SJpegError();
}
void IgnoreMessage(j_common_ptr, int) {}

// 1-bit rows widened to 8-bit grey (0 black, 255 white).
void WidenRow(const std::uint8_t* bits, std::uint32_t width, std::vector<std::uint8_t>& grey) {
    for (std::uint32_t x = 0; x < width; ++x)
        grey[x] = (bits[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
}

class CJpegCompressor {
public:
    CJpegCompressor() {
        mInfo.err = jpeg_std_error(&mError);
        mError.error_exit = ThrowOnError;
        mError.emit_message = IgnoreMessage;
        jpeg_create_compress(&mInfo);
    }
    ~CJpegCompressor() {
        jpeg_destroy_compress(&mInfo);
        std::free(mBuffer);
    }
    CJpegCompressor(const CJpegCompressor&) = delete;
    CJpegCompressor& operator=(const CJpegCompressor&) = delete;

    std::vector<std::uint8_t> Encode(const SPageBitmap& page, int quality) {
        jpeg_mem_dest(&mInfo, &mBuffer, &mSize);
        mInfo.image_width = page.width;
        mInfo.image_height = page.height;
        mInfo.input_components = page.samplesPerPixel;
        mInfo.in_color_space = page.samplesPerPixel == 3 ? JCS_RGB : JCS_GRAYSCALE;
        jpeg_set_defaults(&mInfo);
        jpeg_set_quality(&mInfo, quality, TRUE);
        mInfo.density_unit = 1; // dots per inch
        mInfo.X_density = static_cast<UINT16>(page.xResolution);
        mInfo.Y_density = static_cast<UINT16>(page.yResolution);
        jpeg_start_compress(&mInfo, TRUE);
        std::vector<std::uint8_t> grey(page.bitsPerSample == 1 ? page.width : 0);
        for (std::uint32_t y = 0; y < page.height; ++y) {
            const std::uint8_t* source = page.Row(y);
            if (page.bitsPerSample == 1) {
                WidenRow(source, page.width, grey);
                source = grey.data();
            }
            JSAMPROW row = const_cast<JSAMPROW>(source);
            jpeg_write_scanlines(&mInfo, &row, 1);
        }
        jpeg_finish_compress(&mInfo);
        return {mBuffer, mBuffer + mSize};
    }

private:
    jpeg_compress_struct mInfo{};
    jpeg_error_mgr mError{};
    unsigned char* mBuffer = nullptr;
    unsigned long mSize = 0;
};

} // namespace

std::vector<std::uint8_t> EncodeJpeg(const SPageBitmap& page, int quality) {
    const bool supported =
        (page.samplesPerPixel == 1 && (page.bitsPerSample == 1 || page.bitsPerSample == 8)) ||
        (page.samplesPerPixel == 3 && page.bitsPerSample == 8);
    if (!page.IsValid() || !supported || page.width > JPEG_MAX_DIMENSION || page.height > JPEG_MAX_DIMENSION)
        return {};
    try {
        CJpegCompressor compressor;
        return compressor.Encode(page, quality < 1 ? 1 : (quality > 100 ? 100 : quality));
    } catch (const SJpegError&) {
        return {};
    }
}
