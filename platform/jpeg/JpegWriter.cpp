// Errors leave libjpeg by longjmp to the documented setjmp point, so the function that calls setjmp
// holds no object with a destructor; the output buffer lives in its caller and is freed on every path.
#include "JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace jpg {
namespace {

struct SErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void leaveOnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<SErrorManager*>(cinfo->err)->jump, 1);
}

void stayQuiet(j_common_ptr, int) {}

void describe(const SJpegImage& image, int quality, jpeg_compress_struct& cinfo) {
    cinfo.image_width = image.width;
    cinfo.image_height = image.height;
    cinfo.input_components = image.components;
    cinfo.in_color_space = image.components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (image.density) {
        cinfo.density_unit = 1; // dots per inch
        cinfo.X_density = image.density->x;
        cinfo.Y_density = image.density->y;
    }
}

bool compress(const SJpegImage& image, int quality, unsigned char** buffer, unsigned long* size) {
    jpeg_compress_struct cinfo;
    SErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveOnError;
    errors.base.emit_message = stayQuiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    describe(image, quality, cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.row(cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

bool writeJpeg(const SJpegImage& image, int quality, std::vector<std::uint8_t>& out) {
    out.clear();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool done = compress(image, quality, &buffer, &size);
    if (done)
        out.assign(buffer, buffer + size);
    std::free(buffer);
    return done;
}

} // namespace jpg
