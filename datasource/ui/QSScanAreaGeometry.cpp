#include "QSScanAreaGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kMinCropPixels = 64;
constexpr double kMillimetresPerInch = 25.4;
constexpr int kZoomStep = 2;
constexpr int kMaxZoom = 8;

float UsableResolution(float xResolution) {
    return xResolution > 0 ? xResolution : kScanAreaUnitsPerInch;
}

} // namespace

bool ExchangesSides(int orientation) {
    return orientation == 2 || orientation == 4;
}

QSizeF NativeSize(QSizeF baseSize, int orientation) {
    return ExchangesSides(orientation) ? baseSize.transposed() : baseSize;
}

QRectF ShownAreaFromStored(QRectF s, int orientation, QSizeF base) {
    const double bw = base.width(), bh = base.height();
    switch (orientation) {
    case 2:
        return QRectF(bw - (s.y() + s.height()), s.x(), s.height(), s.width());
    case 3:
        return QRectF(bw - (s.x() + s.width()), bh - (s.y() + s.height()), s.width(), s.height());
    case 4:
        return QRectF(s.y(), bh - (s.x() + s.width()), s.height(), s.width());
    default:
        return s;
    }
}

std::optional<QRectF> StoredAreaFromShown(QRectF s, int orientation, QSizeF base) {
    const double bw = base.width(), bh = base.height();
    switch (orientation) {
    case 1:
        return s;
    case 2:
        return QRectF(s.y(), bw - (s.x() + s.width()), s.height(), s.width());
    case 3:
        return QRectF(bw - (s.x() + s.width()), bh - (s.y() + s.height()), s.width(), s.height());
    case 4:
        return QRectF(bh - (s.y() + s.height()), s.x(), s.height(), s.width());
    default:
        return std::nullopt;
    }
}

QRectF AreaWithinPage(QRectF stored, QSizeF nativeSize) {
    const QRectF page(QPointF(0, 0), nativeSize);
    return page.intersected(stored) == stored ? stored : page;
}

float MinCropLength(float xResolution) {
    return std::trunc(kMinCropPixels * kScanAreaUnitsPerInch / UsableResolution(xResolution));
}

QString FormatScanLength(float units, EPaperUnit unit, float xResolution) {
    if (unit != EPaperUnit::Pixels)
        return FormatPaperLength(units, unit, xResolution);
    const float pixels = std::trunc(units * UsableResolution(xResolution) / kScanAreaUnitsPerInch);
    return QString::number(static_cast<int>(std::max(pixels, kMinCropPixels)));
}

float ScanLengthFromShown(double shown, EPaperUnit unit, float xResolution) {
    switch (unit) {
    case EPaperUnit::Pixels:
        return static_cast<float>(shown * kScanAreaUnitsPerInch / UsableResolution(xResolution));
    case EPaperUnit::Inches:
        return static_cast<float>(shown * kScanAreaUnitsPerInch);
    case EPaperUnit::Millimetres:
        return static_cast<float>(shown * kScanAreaUnitsPerInch / kMillimetresPerInch);
    }
    return 0;
}

float NextZoomRatio(float zoom, int direction) {
    const int result = static_cast<int>(zoom) + kZoomStep * direction;
    return result < kZoomStep ? 1.0f : static_cast<float>(std::min(result - result % kZoomStep, kMaxZoom));
}
