// Images are read through Qt's image readers, which render an SVG at any requested pixel size.
#include "ViewImage.h"

#include "Bundle.h"

#include <QImageReader>

#include <cmath>

std::shared_ptr<const ViewImage> ViewImage::named(std::string_view name) {
    for (const char* ext : {"svg", "png"})
        if (const auto path = fnd::Bundle::main().pathForResource(name, ext))
            return fromFile(QString::fromStdString(path->string()));
    return nullptr;
}

std::shared_ptr<const ViewImage> ViewImage::fromFile(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!reader.canRead() || size.isEmpty())
        return nullptr;
    return std::shared_ptr<const ViewImage>(new ViewImage(path, size));
}

QImage ViewImage::render(QSize pixels) const {
    QImageReader reader(mPath);
    if (pixels != mSize)
        reader.setScaledSize(pixels);
    return reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPixmap ViewImage::pixmap(qreal dpr, QSize pointSize) const {
    if (pointSize.isEmpty())
        pointSize = mSize;
    const QSize pixels(static_cast<int>(std::lround(pointSize.width() * dpr)),
                       static_cast<int>(std::lround(pointSize.height() * dpr)));
    if (pixels.isEmpty())
        return {};
    auto& cached = mRendered[{pixels.width(), pixels.height()}];
    if (cached.isNull()) {
        cached = QPixmap::fromImage(render(pixels));
        cached.setDevicePixelRatio(dpr);
    }
    return cached;
}
