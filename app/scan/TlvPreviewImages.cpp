// See TlvPreviewImages.h. The raw file is read in blocks of whole rows so a 600-dpi page costs a few
// hundred reads, not one per row; the scaler hands back each finished row straight into the picture.
#include "TlvPreviewImages.h"

#include "FG_Zoom.h"
#include "ImgInfoKeys.h"
#include "TlvUtilsMethod.h"

#include <QTransform>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tlv {
namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 20; // bytes per read of the raw file

QImage::Format formatOf(int bpp) {
    return bpp == 1 ? QImage::Format_Mono : bpp == 8 ? QImage::Format_Grayscale8 : QImage::Format_RGB888;
}

QImage emptyImage(int width, int height, int bpp) {
    QImage image(width, height, formatOf(bpp));
    if (bpp == 1 && !image.isNull())
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    return image;
}

QImage noZoomImage(const char* why, const std::string& name) {
    std::fprintf(stderr, "tollivar: no zoomed view of page \"%s\": %s\n", name.c_str(), why);
    return {};
}

// Closes the descriptor on every way out.
struct FileCloser {
    int fd;
    ~FileCloser() {
        if (fd >= 0)
            ::close(fd);
    }
};

// Streams the file's rows through the open scaler into image; false when the file ends early.
bool scaleRows(int fd, FG_Zoom& zoom, QImage& image, std::size_t rowBytes, int rows) {
    const std::size_t rowsPerBlock = std::max<std::size_t>(1, kReadBlock / rowBytes);
    std::vector<std::uint8_t> block(rowsPerBlock * rowBytes);
    int out = 0;
    for (int row = 0; row < rows;) {
        const std::size_t want = std::min<std::size_t>(rowsPerBlock, static_cast<std::size_t>(rows - row));
        std::size_t have = 0;
        while (have < want * rowBytes) {
            const ssize_t n = ::read(fd, block.data() + have, want * rowBytes - have);
            if (n <= 0)
                return false;
            have += static_cast<std::size_t>(n);
        }
        for (std::size_t r = 0; r < want; ++r, ++row) {
            if (zoom.Send(block.data() + r * rowBytes) != kFGZoomDone)
                return false;
            while (zoom.ReadyCount() > 0 && out < image.height())
                if (zoom.Read(image.scanLine(out++)) != kFGZoomDone)
                    return false;
        }
    }
    return out == image.height();
}

} // namespace

QImage imageOfThumbnail(const TlvThumbnail& thumbnail) {
    const int bpp = thumbnail.bitsPerPixel;
    if (thumbnail.width <= 0 || thumbnail.height <= 0 || (bpp != 1 && bpp != 8 && bpp != 24) ||
        thumbnail.bytesPerRow < (thumbnail.width * bpp + 7) / 8 ||
        thumbnail.pixels.size() < static_cast<std::size_t>(thumbnail.bytesPerRow) * thumbnail.height)
        return {};
    QImage image = emptyImage(thumbnail.width, thumbnail.height, bpp);
    const std::size_t rowBytes = static_cast<std::size_t>(thumbnail.width * bpp + 7) / 8;
    for (int y = 0; y < thumbnail.height && !image.isNull(); ++y)
        std::memcpy(image.scanLine(y), thumbnail.pixels.data() + std::size_t(thumbnail.bytesPerRow) * y,
                    rowBytes);
    return image;
}

QSize zoomSizeOf(int width, int height, float xRes, float yRes) {
    if (width <= 0 || height <= 0 || !(xRes > 0) || !(yRes > 0))
        return {};
    const auto w = static_cast<int>(static_cast<float>(width) / xRes * kZoomResolution);
    const auto h = static_cast<int>(static_cast<float>(height) / yRes * kZoomResolution);
    return w > 0 && h > 0 ? QSize(w, h) : QSize();
}

QImage createZoomImage(const fnd::Dictionary& record) {
    const std::string* namePtr = record.get(ImgInfo_NameKey).asString();
    const std::string name = namePtr ? *namePtr : std::string();
    const int bpp = record.get(ImgInfo_bppKey).asInt32().value_or(0);
    const int width = record.get(ImgInfo_WidthKey).asInt32().value_or(0);
    const int height = record.get(ImgInfo_HeightKey).asInt32().value_or(0);
    const QSize size =
        zoomSizeOf(width, height, static_cast<float>(record.get(ImgInfo_XResKey).asDouble().value_or(0)),
                   static_cast<float>(record.get(ImgInfo_YResKey).asDouble().value_or(0)));
    if (name.empty() || size.isEmpty() || (bpp != 1 && bpp != 8 && bpp != 24))
        return noZoomImage("the page's record is not usable", name);
    const FileCloser file{TlvUtilsMethod::openTmpFile(name)};
    if (file.fd < 0)
        return noZoomImage("the raw file is gone", name);
    const std::size_t rowBytes = bpp < 8 ? (std::size_t(width) + 7) / 8 : std::size_t(bpp / 8) * width;
    struct stat st {};
    if (::fstat(file.fd, &st) != 0 ||
        static_cast<std::uint64_t>(st.st_size) < rowBytes * std::uint64_t(height))
        return noZoomImage("the raw file is shorter than its page", name);
    try {
        QImage image = emptyImage(size.width(), size.height(), bpp);
        FG_Zoom zoom;
        if (image.isNull() || zoom.Open(size.width(), size.height(), width, height, bpp, 2) != kFGZoomDone)
            return noZoomImage("no memory or scaler for it", name);
        return scaleRows(file.fd, zoom, image, rowBytes, height)
                   ? image
                   : noZoomImage("the raw file could not be read", name);
    } catch (const std::bad_alloc&) {
        return noZoomImage("no memory for it", name);
    }
}

QImage turnedImage(const QImage& image, int quarterTurns) {
    const int turns = ((quarterTurns % 4) + 4) % 4;
    // Qt's y axis points down, so a positive angle turns clockwise on screen.
    return turns == 0 ? image : image.transformed(QTransform().rotate(90.0 * turns));
}

} // namespace tlv
