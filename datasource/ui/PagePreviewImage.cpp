#include "PagePreviewImage.h"

#include <algorithm>
#include <cstring>

namespace {

QImage::Format FormatOf(const SPageBitmap& page) {
    if (page.samplesPerPixel == 1 && page.bitsPerSample == 1)
        return QImage::Format_Mono; // most significant bit first, as the page's rows
    if (page.samplesPerPixel == 1 && page.bitsPerSample == 8)
        return QImage::Format_Grayscale8;
    if (page.samplesPerPixel == 3 && page.bitsPerSample == 8)
        return QImage::Format_RGB888;
    return QImage::Format_Invalid;
}

} // namespace

QImage PreviewImageFromPage(const SPageBitmap& page) {
    const QImage::Format format = FormatOf(page);
    if (!page.IsValid() || format == QImage::Format_Invalid)
        return QImage();
    QImage image(static_cast<int>(page.width), static_cast<int>(page.height), format);
    if (image.isNull())
        return QImage();
    if (format == QImage::Format_Mono)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)}); // 0 is black
    const auto rowBytes = static_cast<std::size_t>(page.MinimumBytesPerRow());
    for (std::uint32_t y = 0; y < page.height; ++y)
        std::memcpy(image.scanLine(static_cast<int>(y)), page.Row(y),
                    std::min(rowBytes, static_cast<std::size_t>(image.bytesPerLine())));
    return image;
}
