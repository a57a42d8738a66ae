#include "PaperUnits.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kUnitsPerInch = 1200;
constexpr float kMillimetresPerInch = 25.4f;

} // namespace

SPaperUnitInput PaperUnitInput(EPaperUnit unit) {
    switch (unit) {
    case EPaperUnit::Pixels:
        return {QStringLiteral("0123456789"), 5};
    case EPaperUnit::Inches:
        return {QStringLiteral("0123456789.,"), 5};
    case EPaperUnit::Millimetres:
        return {QStringLiteral("0123456789.,"), 7};
    }
    return {QString(), 0};
}

QString FormatPaperLength(float units, EPaperUnit unit, float resolution) {
    switch (unit) {
    case EPaperUnit::Pixels:
        return QString::number(
            resolution > 0 ? static_cast<int>(std::trunc(units * resolution / kUnitsPerInch)) : 0);
    case EPaperUnit::Inches:
        return QString::asprintf("%.02f", static_cast<double>(units / kUnitsPerInch));
    case EPaperUnit::Millimetres:
        return QString::asprintf("%.02f", static_cast<double>(units * kMillimetresPerInch / kUnitsPerInch));
    }
    return QString();
}

float ParsePaperLength(const QString& text, EPaperUnit unit, float resolution, const QLocale& locale) {
    bool ok = false;
    double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QString(text.trimmed()).replace(u',', u'.').toDouble(&ok);
    if (!ok || !std::isfinite(value))
        value = 0;
    const auto v = static_cast<float>(value);
    switch (unit) {
    case EPaperUnit::Pixels:
        return resolution > 0 ? std::trunc(kUnitsPerInch * v / resolution) : 0;
    case EPaperUnit::Inches:
        return std::trunc(kUnitsPerInch * v);
    case EPaperUnit::Millimetres:
        return std::trunc(kUnitsPerInch * v / kMillimetresPerInch);
    }
    return 0;
}

float ClampPaperLength(float units, float physical, float minimum) {
    return std::max(std::min(units, physical), minimum);
}
