#include "QSCropGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFrameInset = 20;      // points around the page at zoom 1
constexpr double kHandleSize = 9;       // points
constexpr double kHandleOffset = 4;     // from the handle point to its square's top-left corner
constexpr double kSnapDistance = 4;     // points within which a drawn image fills the frame
constexpr double kMessageMinWidth = 18; // points: a narrower layout means the text did not fit at all

QRectF Integral(QRectF r) {
    const double left = std::floor(r.left());
    const double top = std::floor(r.top());
    return QRectF(left, top, std::ceil(r.right()) - left, std::ceil(r.bottom()) - top);
}

double Ratio(double numerator, double denominator) {
    return denominator > 0 ? numerator / denominator : 0;
}

} // namespace

QRectF CalcImageFrame(QRectF bounds, QSizeF baseSize, double zoom) {
    const QRectF area =
        zoom > 1 ? bounds : bounds.adjusted(kFrameInset, kFrameInset, -kFrameInset, -kFrameInset);
    if (baseSize.width() <= 0 || baseSize.height() <= 0 || area.width() <= 0 || area.height() <= 0)
        return QRectF(area.center(), QSizeF(0, 0));
    const double aspect = baseSize.height() / baseSize.width();
    double width = area.width();
    double height = aspect * width;
    if (height > area.height()) {
        height = area.height();
        width = height / aspect;
    }
    return Integral(QRectF(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2,
                           width, height));
}

QPointF CropScale(QRectF imageFrame, QSizeF baseSize) {
    return QPointF(Ratio(imageFrame.width(), baseSize.width()),
                   Ratio(imageFrame.height(), baseSize.height()));
}

QRectF CropBoundsFromRect(QRectF cropRect, QRectF imageFrame, QSizeF baseSize) {
    const QPointF scale = CropScale(imageFrame, baseSize);
    return QRectF(cropRect.x() * scale.x() + imageFrame.x(), cropRect.y() * scale.y() + imageFrame.y(),
                  cropRect.width() * scale.x(), cropRect.height() * scale.y());
}

QRectF ClampCropRect(QRectF rect, QSizeF baseSize, QSizeF minCropSize) {
    auto clamp = [](double origin, double length, double base, double minimum) {
        length = origin + length > base ? base - origin : std::max(length, minimum);
        return std::round(length);
    };
    return QRectF(std::round(rect.x()), std::round(rect.y()),
                  clamp(rect.x(), rect.width(), baseSize.width(), minCropSize.width()),
                  clamp(rect.y(), rect.height(), baseSize.height(), minCropSize.height()));
}

std::array<QRectF, kCropRegionCount> CalcMouseRegions(QRectF b) {
    const std::array<QPointF, 8> points{
        QPointF(b.x(), b.y()),
        QPointF(b.x() + b.width(), b.y()),
        QPointF(b.x() + b.width(), b.y() + b.height()),
        QPointF(b.x(), b.y() + b.height()),
        QPointF(b.x() + b.width() / 2, b.y()),
        QPointF(b.x() + b.width(), b.y() + b.height() / 2),
        QPointF(b.x() + b.width() / 2, b.y() + b.height()),
        QPointF(b.x(), b.y() + b.height() / 2),
    };
    std::array<QRectF, kCropRegionCount> regions;
    for (std::size_t i = 0; i < points.size(); ++i)
        regions[i] =
            QRectF(points[i].x() - kHandleOffset, points[i].y() - kHandleOffset, kHandleSize, kHandleSize);
    regions[kInsideCropRegion] = b;
    return regions;
}

int TestMouseRegion(QRectF cropBounds, QPointF point) {
    const std::array<QRectF, kCropRegionCount> regions = CalcMouseRegions(cropBounds);
    for (int i = 0; i < kCropRegionCount; ++i) {
        const QRectF& r = regions[static_cast<std::size_t>(i)];
        // Half-open like a view's hit test: the right and bottom edges belong to the neighbour.
        if (point.x() >= r.left() && point.x() < r.right() && point.y() >= r.top() && point.y() < r.bottom())
            return i;
    }
    return kNoCropRegion;
}

int CropRegionEdges(int region) {
    static constexpr std::array<int, kCropRegionCount> edges{kCropTopEdge | kCropLeftEdge,
                                                             kCropTopEdge | kCropRightEdge,
                                                             kCropBottomEdge | kCropRightEdge,
                                                             kCropBottomEdge | kCropLeftEdge,
                                                             kCropTopEdge,
                                                             kCropRightEdge,
                                                             kCropBottomEdge,
                                                             kCropLeftEdge,
                                                             0};
    return region >= 0 && region < kCropRegionCount ? edges[static_cast<std::size_t>(region)] : 0;
}

QRectF DragCropBounds(int region, QRectF start, QPointF delta, QRectF f, QSizeF baseSize,
                      QSizeF minCropSize) {
    const QPointF scale = CropScale(f, baseSize);
    if (region < 0 || region >= kCropRegionCount || scale.x() <= 0 || scale.y() <= 0)
        return start;
    const double minWidth = minCropSize.width() * scale.x();
    const double minHeight = minCropSize.height() * scale.y();
    const double x0 = start.x(), y0 = start.y(), w0 = start.width(), h0 = start.height();
    double x = x0, y = y0, w = w0, h = h0;
    const int edges = CropRegionEdges(region);
    if (edges & kCropTopEdge) {
        y = std::max(y0 + delta.y(), f.y());
        h = y0 - y + h0;
        if (h < minHeight) {
            h = minHeight;
            y = y0 + h0 - h;
        }
    }
    if (edges & kCropLeftEdge) {
        x = std::max(x0 + delta.x(), f.x());
        w = x0 - x + w0;
        if (w < minWidth) {
            w = minWidth;
            x = x0 + w0 - w;
        }
    }
    if (edges & kCropRightEdge)
        w = std::max(std::min(f.x() + f.width() - x, w0 + delta.x()), minWidth);
    if (edges & kCropBottomEdge)
        h = std::max(std::min(f.y() + f.height() - y, h0 + delta.y()), minHeight);
    if (edges == 0) {
        x = std::min(f.x() + f.width() - w0, std::max(x0 + delta.x(), f.x()));
        y = std::min(f.y() + f.height() - h0, std::max(y0 + delta.y(), f.y()));
    }
    return QRectF(x, y, w, h);
}

QRectF CropRectFromBounds(QRectF bounds, QRectF previousBounds, QRectF previousRect, QRectF f,
                          QSizeF baseSize) {
    const QPointF scale = CropScale(f, baseSize);
    auto convert = [](double now, double before, double kept, double offset, double perUnit) {
        return now != before && perUnit > 0 ? (now - offset) / perUnit : kept;
    };
    return QRectF(
        std::round(convert(bounds.x(), previousBounds.x(), previousRect.x(), f.x(), scale.x())),
        std::round(convert(bounds.y(), previousBounds.y(), previousRect.y(), f.y(), scale.y())),
        std::round(convert(bounds.width(), previousBounds.width(), previousRect.width(), 0, scale.x())),
        std::round(convert(bounds.height(), previousBounds.height(), previousRect.height(), 0, scale.y())));
}

QSizeF ZoomedFrameSize(QSizeF clip, QSizeF baseSize, double zoom) {
    double width = zoom * clip.width();
    double height = zoom * clip.height();
    if (zoom > 1 && baseSize.width() > 0 && baseSize.height() > 0) {
        const double aspect = baseSize.height() / baseSize.width();
        if (height < aspect * width)
            width = height / aspect;
        else
            height = aspect * width;
        width = std::max(width, clip.width());
        height = std::max(height, clip.height());
    }
    return QSizeF(std::ceil(width), std::ceil(height));
}

QSizeF DrawnImageSize(QSize pixels, QRectF f, QSizeF baseSize, double imageResolution,
                      double baseResolution) {
    if (pixels.width() <= 0 || pixels.height() <= 0)
        return QSizeF(0, 0);
    const double baseInImagePixels =
        imageResolution > 0 && baseResolution > 0 ? baseSize.width() * imageResolution / baseResolution : 0;
    double width = baseInImagePixels > 0 ? pixels.width() * f.width() / baseInImagePixels : f.width() + 1;
    double height = width * pixels.height() / pixels.width();
    if (std::abs(width - (f.width() + 1)) <= kSnapDistance)
        width = f.width() + 1;
    if (std::abs(height - (f.height() + 1)) <= kSnapDistance)
        height = f.height() + 1;
    return QSizeF(width, height);
}

int FitMessagePointSize(const std::function<QSizeF(int, double)>& layout, QRectF imageFrame) {
    for (int size = kMessageLargestPointSize; size > kMessageSmallestPointSize; --size) {
        const QSizeF available = imageFrame.adjusted(size, size, -size, -size).size();
        const QSizeF text = layout(size, available.width());
        if (text.width() > kMessageMinWidth && text.width() <= available.width() &&
            text.height() <= available.height())
            return size;
    }
    return kMessageSmallestPointSize;
}
