// CCITT group 4 through libtiff's fax codec: the page is written as a one-strip TIFF into memory and the
// strip's bytes are taken out again. The codec codes 0 bits as white runs, which matches 1 = black.
#include "image_encoders.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <tiffio.h>

namespace vlm {
namespace {

struct MemoryFile {
    std::vector<uint8_t> bytes;
    uint64_t position = 0;
};

tmsize_t readMemory(thandle_t h, void* buf, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(h);
    const uint64_t available = f->position < f->bytes.size() ? f->bytes.size() - f->position : 0;
    const auto n = static_cast<size_t>(std::min<uint64_t>(available, static_cast<uint64_t>(size)));
    std::memcpy(buf, f->bytes.data() + f->position, n);
    f->position += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t writeMemory(thandle_t h, void* buf, tmsize_t size) {
    auto* f = static_cast<MemoryFile*>(h);
    const uint64_t end = f->position + static_cast<uint64_t>(size);
    if (end > f->bytes.size())
        f->bytes.resize(end);
    std::memcpy(f->bytes.data() + f->position, buf, static_cast<size_t>(size));
    f->position = end;
    return size;
}

toff_t seekMemory(thandle_t h, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    const uint64_t base = whence == SEEK_CUR ? f->position : whence == SEEK_END ? f->bytes.size() : 0;
    f->position = base + offset;
    return f->position;
}

int closeMemory(thandle_t) {
    return 0;
}
toff_t sizeOfMemory(thandle_t h) {
    return static_cast<MemoryFile*>(h)->bytes.size();
}
int mapNothing(thandle_t, void**, toff_t*) {
    return 0;
}
void unmapNothing(thandle_t, void*, toff_t) {}

// Messages stay inside: this library never prints, and other users of libtiff keep their own handlers.
int ignoreMessage(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

TIFF* openMemoryTiff(MemoryFile& file) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, ignoreMessage, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreMessage, nullptr);
    // "m": never map the memory file.
    TIFF* tif = TIFFClientOpenExt("page", "wm", &file, readMemory, writeMemory, seekMemory, closeMemory,
                                  sizeOfMemory, mapNothing, unmapNothing, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

bool writeStrip(TIFF* tif, const ImageView& view) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(view.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(view.height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(view.height));
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    const auto size = static_cast<tmsize_t>(view.stride * static_cast<size_t>(view.height));
    return TIFFWriteEncodedStrip(tif, 0, const_cast<uint8_t*>(view.data), size) == size;
}

} // namespace

int32_t encodeG4(const ImageView& view, std::vector<uint8_t>& out) {
    out.clear();
    MemoryFile file;
    std::unique_ptr<TIFF, TiffCloser> tif(openMemoryTiff(file));
    if (!tif || !writeStrip(tif.get(), view))
        return VLM_ERR_NOMEMORY;
    const uint64_t offset = TIFFGetStrileOffset(tif.get(), 0);
    const uint64_t count = TIFFGetStrileByteCount(tif.get(), 0);
    if (offset + count > file.bytes.size())
        return VLM_ERR_NOMEMORY;
    out.assign(file.bytes.begin() + static_cast<ptrdiff_t>(offset),
               file.bytes.begin() + static_cast<ptrdiff_t>(offset + count));
    return VLM_OK;
}

} // namespace vlm
