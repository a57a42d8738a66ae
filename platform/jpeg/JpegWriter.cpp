// Errors leave libjpeg by longjmp to the documented setjmp point, so the function that calls setjmp
// holds no object with a destructor; the output buffer lives in its caller and is freed on every path.
#include "JpegWriter.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <jerror.h>
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

// A destination that hands each filled buffer to a file descriptor, so the file is never held whole.
struct SFileDestination {
    jpeg_destination_mgr base;
    int fd = -1;
    std::array<JOCTET, 65536> buffer;
};

bool writeAll(int fd, const JOCTET* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void startFile(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SFileDestination*>(cinfo->dest);
    dest->base.next_output_byte = dest->buffer.data();
    dest->base.free_in_buffer = dest->buffer.size();
}

boolean emptyToFile(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SFileDestination*>(cinfo->dest);
    if (!writeAll(dest->fd, dest->buffer.data(), dest->buffer.size()))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    startFile(cinfo);
    return TRUE;
}

void finishFile(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SFileDestination*>(cinfo->dest);
    if (!writeAll(dest->fd, dest->buffer.data(), dest->buffer.size() - dest->base.free_in_buffer))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

// Where the compressed bytes go: a growing memory buffer or a file.
struct SDestination {
    unsigned char** buffer = nullptr;
    unsigned long* size = nullptr;
    SFileDestination* file = nullptr;
};

bool compress(const SJpegImage& image, int quality, const SDestination& destination) {
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
    if (destination.file) {
        destination.file->base.init_destination = startFile;
        destination.file->base.empty_output_buffer = emptyToFile;
        destination.file->base.term_destination = finishFile;
        cinfo.dest = &destination.file->base;
    } else {
        jpeg_mem_dest(&cinfo, destination.buffer, destination.size);
    }
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
    const bool done = compress(image, quality, SDestination{&buffer, &size, nullptr});
    if (done)
        out.assign(buffer, buffer + size);
    std::free(buffer);
    return done;
}

bool writeJpeg(const SJpegImage& image, int quality, int fd) {
    // 64 KiB of buffer: kept off the stack of the threads that write pages.
    const auto destination = std::make_unique<SFileDestination>();
    destination->fd = fd;
    return compress(image, quality, SDestination{nullptr, nullptr, destination.get()});
}

} // namespace jpg
