// JPEG through libjpeg-turbo into memory. Errors leave libjpeg by longjmp, so the function that calls
// setjmp holds no object with a destructor; the output buffer is freed by hand on every path.
#include "image_encoders.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace vlm {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void leaveOnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void stayQuiet(j_common_ptr, int) {}

bool compress(const ImageView& view, int quality, unsigned char** buffer, unsigned long* size) {
    jpeg_compress_struct cinfo;
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveOnError;
    errors.base.emit_message = stayQuiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = static_cast<JDIMENSION>(view.width);
    cinfo.image_height = static_cast<JDIMENSION>(view.height);
    cinfo.input_components = view.kind == VLM_KIND_GRAY ? 1 : 3;
    cinfo.in_color_space = view.kind == VLM_KIND_GRAY ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(view.data + cinfo.next_scanline * view.stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

int32_t encodeJpeg(const ImageView& view, int32_t quality, std::vector<uint8_t>& out) {
    out.clear();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool done = compress(view, quality, &buffer, &size);
    if (done)
        out.assign(buffer, buffer + size);
    std::free(buffer);
    return done ? VLM_OK : VLM_ERR_NOMEMORY;
}

} // namespace vlm
