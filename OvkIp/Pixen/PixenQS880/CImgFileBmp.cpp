// Windows bitmaps with the 40-byte information header. Rows are stored bottom first and padded to four
// bytes; 24-bit pixels are blue, green, red. The reader checks the header against the file's real size
// before it allocates, so a header that claims a huge image cannot exhaust memory.
#include "CImgFile.h"

#include "FileIo.h"
#include "ImageFileCommon.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <sys/types.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace Ovk::Pixen {

using namespace fileio;

namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kHeadersBytes = kFileHeaderBytes + kInfoHeaderBytes;

// Pixels per metre from dots per inch and back, both truncating (an inch is 254/10000 m).
std::uint32_t dpiToPpm(std::int32_t dpi) {
    return static_cast<std::uint32_t>(std::int64_t{dpi} * 10000 / 254);
}
std::int32_t ppmToDpi(std::uint32_t ppm) {
    return static_cast<std::int32_t>(std::int64_t{static_cast<std::int32_t>(ppm)} * 100 / 3937);
}

std::uint32_t colourCount(std::int32_t bits) {
    return bits == 1 ? 2 : bits == 8 ? 256 : 0;
}

std::vector<std::uint8_t> buildHeaders(const tagIMAGEINFO& info, std::int32_t bits, std::uint32_t rowBytes) {
    const std::uint32_t colours = colourCount(bits);
    const std::uint32_t pixelOffset = kHeadersBytes + 4 * colours;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(info.lHeight);
    std::vector<std::uint8_t> h(pixelOffset, 0);
    h[0] = 'B';
    h[1] = 'M';
    putLe32(&h[2], pixelOffset + imageBytes);
    putLe32(&h[10], pixelOffset);
    putLe32(&h[14], kInfoHeaderBytes);
    putLe32(&h[18], static_cast<std::uint32_t>(info.lWidth));
    putLe32(&h[22], static_cast<std::uint32_t>(info.lHeight));
    putLe16(&h[26], 1);
    putLe16(&h[28], static_cast<std::uint32_t>(bits));
    putLe32(&h[34], imageBytes);
    putLe32(&h[38], dpiToPpm(info.lXResolution));
    putLe32(&h[42], dpiToPpm(info.lYResolution));
    putLe32(&h[46], colours);
    putLe32(&h[50], colours);
    for (std::uint32_t i = 0; i < colours; ++i) {
        // 1 bit: 0 white, 1 black; 8 bits: a grey ramp.
        const std::uint8_t level =
            bits == 1 ? static_cast<std::uint8_t>(i == 0 ? 255 : 0) : static_cast<std::uint8_t>(i);
        std::memset(&h[kHeadersBytes + 4 * i], level, 3);
    }
    return h;
}

void fillRow(const CImg& image, std::int32_t line, std::int32_t bits, std::vector<std::uint8_t>& row) {
    std::fill(row.begin(), row.end(), 0);
    if (bits != 24) {
        const std::size_t bytes =
            std::min<std::size_t>(row.size(), static_cast<std::size_t>(image.getSync()));
        std::memcpy(row.data(), image.getLine(line), bytes);
        return;
    }
    const bool lineOrder = image.getRGBOrder() == RGBORDER_LINE;
    const std::uint8_t* red = image.getLine(line, 0);
    const std::uint8_t* green = lineOrder ? image.getLine(line, 1) : red + 1;
    const std::uint8_t* blue = lineOrder ? image.getLine(line, 2) : red + 2;
    const std::size_t step = lineOrder ? 1 : 3;
    for (std::int32_t x = 0; x < image.getWidth(); ++x) {
        row[3 * x] = blue[x * step];
        row[3 * x + 1] = green[x * step];
        row[3 * x + 2] = red[x * step];
    }
}

struct BmpHeader {
    std::int32_t width;
    std::int32_t height;
    std::int32_t bits;
    std::uint32_t pixelOffset;
    std::uint32_t xPpm;
    std::uint32_t yPpm;
};

ImageFileError parseHeaders(const std::uint8_t* h, BmpHeader& out) {
    if (h[0] != 'B' || h[1] != 'M' || getLe32(&h[14]) != kInfoHeaderBytes)
        return ImageFileError::Format;
    out.width = static_cast<std::int32_t>(getLe32(&h[18]));
    out.height = static_cast<std::int32_t>(getLe32(&h[22]));
    out.bits = static_cast<std::int32_t>(getLe16(&h[28]));
    const std::uint32_t compression = getLe32(&h[30]);
    const std::uint32_t coloursUsed = getLe32(&h[46]);
    if (out.width <= 0)
        return ImageFileError::Geometry;
    if (out.height <= 0 || compression != 0) // top-down and compressed bitmaps
        return ImageFileError::Unsupported;
    if (out.bits != 1 && out.bits != 4 && out.bits != 8 && out.bits != 24)
        return out.bits == 16 || out.bits == 32 ? ImageFileError::Unsupported : ImageFileError::Format;
    const std::uint64_t entries = coloursUsed != 0 ? coloursUsed : out.bits <= 8 ? 1u << out.bits : 0u;
    if (entries > (std::uint64_t{1} << 24))
        return ImageFileError::Format;
    out.pixelOffset = static_cast<std::uint32_t>(kHeadersBytes + 4 * entries);
    out.xPpm = getLe32(&h[38]);
    out.yPpm = getLe32(&h[42]);
    return ImageFileError::None;
}

void toImageOrder(CImg& image, std::int32_t bits) {
    const std::size_t sync = static_cast<std::size_t>(image.getSync());
    for (std::int32_t top = 0, bottom = image.getHeight() - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(image.getLine(top), image.getLine(top) + sync, image.getLine(bottom));
    if (bits != 24)
        return;
    for (std::int32_t line = 0; line < image.getHeight(); ++line) {
        std::uint8_t* p = image.getLine(line);
        for (std::int32_t x = 0; x < image.getWidth(); ++x)
            std::swap(p[3 * x], p[3 * x + 2]);
    }
}

} // namespace

std::int32_t CImgFile::calcSync(std::int32_t width, std::int32_t bitsPerPixel) const noexcept {
    const std::int64_t bytes = (std::int64_t{width} * bitsPerPixel + 31) / 32 * 4;
    if (width < 0 || bitsPerPixel < 0 || bytes > std::numeric_limits<std::int32_t>::max())
        return -1;
    return static_cast<std::int32_t>(bytes);
}

bool CImgFile::saveBmp(const char* path, ImageFileError* why) const noexcept {
    if (isNull() || !checkInfo(*this))
        return fail(why, ImageFileError::EmptyImage);
    const std::int32_t bps = getBps(), spp = getSpp();
    if (!((bps == 1 || bps == 8) && spp == 1) && !(bps == 8 && spp == 3))
        return fail(why, ImageFileError::Unsupported);
    const std::int32_t bits = bps * spp;
    const std::int32_t rowBytes = calcSync(getWidth(), bits);
    const std::uint64_t fileBytes =
        kHeadersBytes + 4 * colourCount(bits) + std::uint64_t(rowBytes) * getHeight();
    if (rowBytes < 0 || fileBytes > std::numeric_limits<std::uint32_t>::max())
        return fail(why, ImageFileError::TooLarge);
    try {
        UniqueFd fd = openForWriting(path);
        if (!fd.valid())
            return fail(why, ImageFileError::Open);
        const std::vector<std::uint8_t> headers =
            buildHeaders(m_Info, bits, static_cast<std::uint32_t>(rowBytes));
        if (!writeAll(fd.get(), headers.data(), headers.size()))
            return fail(why, ImageFileError::Write);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
        for (std::int32_t line = getHeight() - 1; line >= 0; --line) {
            fillRow(*this, line, bits, row);
            if (!writeAll(fd.get(), row.data(), row.size()))
                return fail(why, ImageFileError::Write);
        }
        return fd.close() ? succeed(why) : fail(why, ImageFileError::Write);
    } catch (const std::bad_alloc&) {
        return fail(why, ImageFileError::Memory);
    }
}

bool CImgFile::loadBmp(const char* path, ImageFileError* why) noexcept {
    deleteImg();
    UniqueFd fd = openForReading(path);
    if (!fd.valid())
        return fail(why, ImageFileError::Open);
    const std::int64_t size = fileSize(fd.get());
    std::uint8_t headers[kHeadersBytes];
    if (size < kHeadersBytes)
        return fail(why, ImageFileError::SizeMismatch);
    if (!readAll(fd.get(), headers, sizeof headers))
        return fail(why, ImageFileError::Read);
    BmpHeader bmp{};
    if (const ImageFileError error = parseHeaders(headers, bmp); error != ImageFileError::None)
        return fail(why, error);

    tagIMAGEINFO info{};
    info.ulSize = sizeof(tagIMAGEINFO);
    info.lWidth = bmp.width;
    info.lHeight = bmp.height;
    info.lSync = calcSync(bmp.width, bmp.bits);
    info.lBps = bmp.bits == 24 ? 8 : bmp.bits;
    info.lSpp = bmp.bits == 24 ? 3 : 1;
    info.ulRGBOrder = RGBORDER_PIXEL;
    info.lXResolution = ppmToDpi(bmp.xPpm);
    info.lYResolution = ppmToDpi(bmp.yPpm);
    const std::int64_t imageBytes = std::int64_t{info.lSync} * info.lHeight;
    if (info.lSync < 0 || imageBytes > kMaxFileImageBytes)
        return fail(why, ImageFileError::TooLarge);
    info.tImageSize = static_cast<std::uint32_t>(imageBytes);
    if (!checkInfo(&info))
        return fail(why, ImageFileError::Geometry);
    if (std::int64_t{bmp.pixelOffset} + imageBytes > size)
        return fail(why, ImageFileError::SizeMismatch);

    createImg(&info);
    if (isNull())
        return fail(why, ImageFileError::Memory);
    if (::lseek(fd.get(), bmp.pixelOffset, SEEK_SET) < 0 || !readAll(fd.get(), getImage(), getImageSize())) {
        deleteImg();
        return fail(why, ImageFileError::Read);
    }
    toImageOrder(*this, bmp.bits);
    return succeed(why);
}

} // namespace Ovk::Pixen
