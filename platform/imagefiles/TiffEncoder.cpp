// TIFF contents of a page, written by libtiff into a growing byte vector through its client I/O, so no
// temporary file is needed. The whole page goes out as one strip per row group of about 64 KiB.
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "ImageEncoders.h"

namespace {

struct SMemoryStream {
    std::vector<std::uint8_t> bytes;
    toff_t position = 0;
};

tmsize_t StreamRead(thandle_t handle, void* buffer, tmsize_t size) {
    auto* stream = static_cast<SMemoryStream*>(handle);
    if (size <= 0 || stream->position >= stream->bytes.size())
        return 0;
    const auto count = std::min<toff_t>(static_cast<toff_t>(size), stream->bytes.size() - stream->position);
    std::memcpy(buffer, stream->bytes.data() + stream->position, count);
    stream->position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t StreamWrite(thandle_t handle, void* buffer, tmsize_t size) {
    auto* stream = static_cast<SMemoryStream*>(handle);
    if (size < 0)
        return -1;
    try {
        const toff_t end = stream->position + static_cast<toff_t>(size);
        if (end > stream->bytes.size())
            stream->bytes.resize(end);
        std::memcpy(stream->bytes.data() + stream->position, buffer, static_cast<std::size_t>(size));
        stream->position = end;
        return size;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

toff_t StreamSeek(thandle_t handle, toff_t offset, int whence) {
    auto* stream = static_cast<SMemoryStream*>(handle);
    switch (whence) {
    case SEEK_SET:
        stream->position = offset;
        break;
    case SEEK_CUR:
        stream->position += offset;
        break;
    case SEEK_END:
        stream->position = stream->bytes.size() + offset;
        break;
    default:
        return static_cast<toff_t>(-1);
    }
    return stream->position;
}

int StreamClose(thandle_t) {
    return 0;
}
toff_t StreamSize(thandle_t handle) {
    return static_cast<SMemoryStream*>(handle)->bytes.size();
}
int StreamMap(thandle_t, void**, toff_t*) {
    return 0;
}
void StreamUnmap(thandle_t, void*, toff_t) {}

// Encoding errors surface as an empty result; libtiff's own messages would only clutter stderr.
int QuietHandler(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffClose {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

std::uint16_t CompressionTag(const SPageBitmap& page, ETiffCompression compression) {
    if (compression == ETiffCompression::kNone)
        return COMPRESSION_NONE;
    return page.bitsPerSample == 1 ? COMPRESSION_CCITTFAX4 : COMPRESSION_ADOBE_DEFLATE;
}

std::uint16_t Photometric(const SPageBitmap& page, EBilevelSense sense) {
    if (page.samplesPerPixel == 3)
        return PHOTOMETRIC_RGB;
    const bool whiteIsZero = page.bitsPerSample == 1 && sense == EBilevelSense::kOneIsBlack;
    return whiteIsZero ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK;
}

bool WriteTags(TIFF* tiff, const SPageBitmap& page, ETiffCompression compression, EBilevelSense sense) {
    const std::uint16_t photometric = Photometric(page, sense);
    const std::uint32_t rowsPerStrip = std::max<std::uint32_t>(1, 65536 / page.bytesPerRow);
    return TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, page.width) &&
           TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, page.height) &&
           TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel) &&
           TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample) &&
           TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric) &&
           TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
           TIFFSetField(tiff, TIFFTAG_COMPRESSION, CompressionTag(page, compression)) &&
           TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip) &&
           TIFFSetField(tiff, TIFFTAG_XRESOLUTION, page.xResolution) &&
           TIFFSetField(tiff, TIFFTAG_YRESOLUTION, page.yResolution) &&
           TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
}

} // namespace

std::vector<std::uint8_t> EncodeTiff(const SPageBitmap& page, ETiffCompression compression,
                                     EBilevelSense sense) {
    if (!page.IsValid() || (page.samplesPerPixel != 1 && page.samplesPerPixel != 3))
        return {};
    SMemoryStream stream;
    std::unique_ptr<TIFFOpenOptions, decltype(&TIFFOpenOptionsFree)> options(TIFFOpenOptionsAlloc(),
                                                                             &TIFFOpenOptionsFree);
    if (!options)
        return {};
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), QuietHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), QuietHandler, nullptr);
    std::unique_ptr<TIFF, TiffClose> tiff(TIFFClientOpenExt("page", "w", &stream, StreamRead, StreamWrite,
                                                            StreamSeek, StreamClose, StreamSize, StreamMap,
                                                            StreamUnmap, options.get()));
    if (!tiff || !WriteTags(tiff.get(), page, compression, sense))
        return {};
    std::vector<std::uint8_t> row(page.bytesPerRow);
    for (std::uint32_t y = 0; y < page.height; ++y) {
        // libtiff may encode in place, so it gets a copy of the caller's row.
        std::memcpy(row.data(), page.Row(y), row.size());
        if (TIFFWriteScanline(tiff.get(), row.data(), y, 0) < 0)
            return {};
    }
    if (!TIFFWriteDirectory(tiff.get()))
        return {};
    tiff.reset();
    return std::move(stream.bytes);
}
