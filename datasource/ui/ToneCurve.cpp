#include "ToneCurve.h"

#include "FixedPoint.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kOrigin = 1.0;

int InputAt(double x, double width) {
    return static_cast<int>(std::trunc((x - kOrigin) * 256 / width));
}

int OutputAt(double y, double height) {
    return static_cast<int>(std::trunc((height - y) * 256 / height));
}

} // namespace

ToneTable IdentityToneTable() {
    ToneTable table{};
    MakeLinearTable(table);
    return table;
}

QPointF ClampCurvePoint(QPointF point, QSizeF inner) {
    const double x = std::clamp(point.x(), kOrigin, kOrigin + inner.width());
    double y = point.y();
    if (y <= kOrigin)
        y = kOrigin - 1;
    else if (y >= kOrigin + inner.height())
        y = kOrigin + inner.height() - 1;
    return {x, y};
}

void DrawCurveSegment(std::span<std::uint8_t, 256> table, QPointF previous, QPointF current, QSizeF inner) {
    const bool leftwards = previous.x() > current.x();
    const QPointF& from = leftwards ? current : previous;
    const QPointF& to = leftwards ? previous : current;
    const int start = InputAt(from.x(), inner.width());
    const int end = std::min(InputAt(to.x(), inner.width()), 256);
    const int startValue = std::min(OutputAt(from.y(), inner.height()), 255);
    const int delta = static_cast<int>(std::trunc((from.y() - to.y()) * 256 / inner.height()));
    const int count = end - start + 1;
    for (int k = 0; start + k < end; ++k)
        table[static_cast<std::size_t>(start + k)] =
            static_cast<std::uint8_t>(std::clamp(startValue + k * delta / count, 0, 255));
}

ToneTable CurveThroughPoints(ToneTable table, std::span<const QPointF> points, QSizeF inner) {
    if (points.empty())
        return table;
    QPointF previous = ClampCurvePoint(points.front(), inner);
    for (const QPointF& point : points) {
        const QPointF current = ClampCurvePoint(point, inner);
        DrawCurveSegment(table, previous, current, inner);
        previous = current;
    }
    return table;
}

float GammaAtPoint(QPointF point, QSizeF inner) {
    const int u = std::clamp(InputAt(point.x(), inner.width()), 0, 255);
    const int v = std::clamp(OutputAt(point.y(), inner.height()), 0, 255);
    const double gamma = 1.0 / (std::log(v / 255.0) / std::log(u / 255.0));
    // Both ends of the diagonal (0/0) lie on every curve: the straight one stands for them.
    if (std::isnan(gamma))
        return 1.0f;
    if (std::isinf(gamma))
        return kMaximumGamma;
    return std::clamp(static_cast<float>(gamma), kMinimumGamma, kMaximumGamma);
}
