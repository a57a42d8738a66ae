// TIFF contents of a page through libtiff's client I/O, either into a growing byte vector (no temporary
// file needed) or straight into an open file. Strips of about 64 KiB are handed to libtiff from the page's
// own rows: for the sample sizes written here it neither swaps nor reverses bits in the caller's buffer.
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
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

// The file forms: the descriptor travels in the handle; its owner closes it.
int FileOf(thandle_t handle) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}

tmsize_t FileRead(thandle_t handle, void* buffer, tmsize_t size) {
    return ::read(FileOf(handle), buffer, static_cast<std::size_t>(size));
}

tmsize_t FileWrite(thandle_t handle, void* buffer, tmsize_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    tmsize_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(FileOf(handle), bytes + done, static_cast<std::size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return -1;
        done += n;
    }
    return done;
}

toff_t FileSeek(thandle_t handle, toff_t offset, int whence) {
    return static_cast<toff_t>(::lseek(FileOf(handle), static_cast<off_t>(offset), whence));
}

toff_t FileSize(thandle_t handle) {
    struct stat status {};
    return ::fstat(FileOf(handle), &status) == 0 ? static_cast<toff_t>(status.st_size) : 0;
}

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

std::uint32_t RowsPerStrip(const SPageBitmap& page) {
    return std::max<std::uint32_t>(1, 65536 / page.bytesPerRow);
}

bool WriteTags(TIFF* tiff, const SPageBitmap& page, ETiffCompression compression, EBilevelSense sense) {
    const std::uint16_t photometric = Photometric(page, sense);
    return TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, page.width) &&
           TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, page.height) &&
           TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel) &&
           TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample) &&
           TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric) &&
           TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
           TIFFSetField(tiff, TIFFTAG_COMPRESSION, CompressionTag(page, compression)) &&
           TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, RowsPerStrip(page)) &&
           TIFFSetField(tiff, TIFFTAG_XRESOLUTION, page.xResolution) &&
           TIFFSetField(tiff, TIFFTAG_YRESOLUTION, page.yResolution) &&
           TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
}

bool Writable(const SPageBitmap& page) {
    return page.IsValid() && (page.samplesPerPixel == 1 || page.samplesPerPixel == 3);
}

using TiffOptions = std::unique_ptr<TIFFOpenOptions, decltype(&TIFFOpenOptionsFree)>;

TiffOptions QuietOptions() {
    TiffOptions options(TIFFOpenOptionsAlloc(), &TIFFOpenOptionsFree);
    if (options) {
        TIFFOpenOptionsSetErrorHandlerExtR(options.get(), QuietHandler, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(options.get(), QuietHandler, nullptr);
    }
    return options;
}

// Tags, strips and directory of the page; false when libtiff refused any of them.
bool WritePage(TIFF* tiff, const SPageBitmap& page, ETiffCompression compression, EBilevelSense sense) {
    if (!tiff || !WriteTags(tiff, page, compression, sense))
        return false;
    // libtiff takes the rows as writable, but reads them only (see the head of this file).
    auto* const pixels = const_cast<std::uint8_t*>(page.Row(0));
    if (static_cast<std::uint64_t>(TIFFScanlineSize64(tiff)) == page.bytesPerRow) {
        const std::uint32_t rowsPerStrip = RowsPerStrip(page);
        for (std::uint32_t y = 0, strip = 0; y < page.height; y += rowsPerStrip, ++strip) {
            const std::uint32_t rows = std::min(rowsPerStrip, page.height - y);
            const tmsize_t bytes = static_cast<tmsize_t>(std::size_t{rows} * page.bytesPerRow);
            if (TIFFWriteEncodedStrip(tiff, strip, pixels + std::size_t{y} * page.bytesPerRow, bytes) < 0)
                return false;
        }
    } else {
        for (std::uint32_t y = 0; y < page.height; ++y) // padded rows: libtiff takes the row's first bytes
            if (TIFFWriteScanline(tiff, pixels + std::size_t{y} * page.bytesPerRow, y, 0) < 0)
                return false;
    }
    return TIFFWriteDirectory(tiff);
}

} // namespace

std::vector<std::uint8_t> EncodeTiff(const SPageBitmap& page, ETiffCompression compression,
                                     EBilevelSense sense) {
    const TiffOptions options = QuietOptions();
    if (!Writable(page) || !options)
        return {};
    SMemoryStream stream;
    std::unique_ptr<TIFF, TiffClose> tiff(TIFFClientOpenExt("page", "w", &stream, StreamRead, StreamWrite,
                                                            StreamSeek, StreamClose, StreamSize, StreamMap,
                                                            StreamUnmap, options.get()));
    if (!WritePage(tiff.get(), page, compression, sense))
        return {};
    tiff.reset();
    return std::move(stream.bytes);
}

bool WriteTiff(const SPageBitmap& page, int fd, ETiffCompression compression, EBilevelSense sense) {
    const TiffOptions options = QuietOptions();
    if (!Writable(page) || !options)
        return false;
    auto* const handle = reinterpret_cast<thandle_t>(static_cast<std::intptr_t>(fd));
    std::unique_ptr<TIFF, TiffClose> tiff(TIFFClientOpenExt("page", "w", handle, FileRead, FileWrite,
                                                            FileSeek, StreamClose, FileSize, StreamMap,
                                                            StreamUnmap, options.get()));
    if (!WritePage(tiff.get(), page, compression, sense))
        return false;
    return true; // the directory is written after every strip, so closing writes nothing more
}
