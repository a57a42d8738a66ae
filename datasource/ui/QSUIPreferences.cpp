#include "QSUIPreferences.h"

#include <QApplication>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The integers the pattern's groups capture in the whole of text; none where it does not match or a
// number does not fit.
std::optional<std::vector<int>> CapturedIntegers(const QRegularExpression& pattern, const QString& text) {
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    std::vector<int> values;
    for (int group = 1; group <= pattern.captureCount(); ++group) {
        bool ok = false;
        values.push_back(match.captured(group).toInt(&ok));
        if (!ok)
            return std::nullopt;
    }
    return values;
}

} // namespace

QString FrameString(const QRect& frame) {
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.width())
        .arg(frame.height());
}

std::optional<QRect> ParseFrameString(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\{\{\s*(-?\d+)\s*,\s*(-?\d+)\s*\}\s*,\s*\{\s*(\d+)\s*,\s*(\d+)\s*\}\}$)"));
    const std::optional<std::vector<int>> v = CapturedIntegers(pattern, text);
    const QRect frame = v ? QRect((*v)[0], (*v)[1], (*v)[2], (*v)[3]) : QRect();
    return frame.isEmpty() ? std::nullopt : std::optional<QRect>(frame);
}

QRect ScreenOf(const QRect& frame, const QList<QRect>& screens) {
    if (screens.isEmpty())
        return {};
    const QRect* best = &screens.front();
    qint64 bestArea = 0;
    for (const QRect& screen : screens) {
        const QRect overlap = screen.intersected(frame);
        const qint64 area = overlap.isEmpty() ? 0 : qint64(overlap.width()) * overlap.height();
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    return *best;
}

QRect ClampToScreens(const QRect& frame, const QList<QRect>& screens) {
    if (screens.isEmpty())
        return frame;
    const QRect best = ScreenOf(frame, screens);
    QRect clamped(frame.topLeft(), frame.size().boundedTo(best.size()));
    clamped.moveLeft(std::clamp(clamped.left(), best.left(), best.right() + 1 - clamped.width()));
    clamped.moveTop(std::clamp(clamped.top(), best.top(), best.bottom() + 1 - clamped.height()));
    return clamped;
}

QString PointString(const QPoint& point) {
    return QStringLiteral("{%1, %2}").arg(point.x()).arg(point.y());
}

std::optional<QPoint> ParsePointString(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(R"(^\{\s*(-?\d+)\s*,\s*(-?\d+)\s*\}$)"));
    const std::optional<std::vector<int>> v = CapturedIntegers(pattern, text);
    return v ? std::optional<QPoint>(QPoint((*v)[0], (*v)[1])) : std::nullopt;
}

QString MarginsString(const QMargins& margins) {
    return QStringLiteral("{%1, %2, %3, %4}")
        .arg(margins.left())
        .arg(margins.top())
        .arg(margins.right())
        .arg(margins.bottom());
}

std::optional<QMargins> ParseMarginsString(const QString& text) {
    // No window manager draws a frame of 10,000 pixels: a larger one would push every place past the
    // coordinates' range.
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\{\s*(\d{1,4})\s*,\s*(\d{1,4})\s*,\s*(\d{1,4})\s*,\s*(\d{1,4})\s*\}$)"));
    const std::optional<std::vector<int>> v = CapturedIntegers(pattern, text);
    return v ? std::optional<QMargins>(QMargins((*v)[0], (*v)[1], (*v)[2], (*v)[3])) : std::nullopt;
}

QList<QRect> AvailableScreenFrames() {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    return screens;
}

namespace {

// None while the window is not on the screen or not framed (yet): a window manager that gives no frame
// at all is taken as one whose frame is not known.
std::optional<QMargins> ShownFrameMargins(const QWidget* window) {
    if (!window || !window->isVisible() || !window->windowHandle() || !window->windowHandle()->handle())
        return std::nullopt;
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    if (outer == inner)
        return std::nullopt;
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

} // namespace

QMargins WindowFrameMargins(const QWidget* window) {
    if (const std::optional<QMargins> margins = ShownFrameMargins(window))
        return *margins;
    // Window managers frame dialogs without the handle below that other windows get.
    std::optional<QMargins> largest;
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (const std::optional<QMargins> margins = ShownFrameMargins(other))
            largest = largest ? *largest | *margins : *margins;
    return largest ? *largest : FrameAllowance(window);
}

QMargins FrameAllowance(const QWidget* window) {
    const QStyle* style = window ? window->style() : QApplication::style();
    // The desktop draws the frames at its own scale: a scale of the program's own (QT_SCALE_FACTOR)
    // makes them smaller in the program's coordinates.
    bool scaled = false;
    const double own = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&scaled);
    const auto inOwnScale = [factor = scaled && own > 0 ? own : 1.0](int pixels) {
        return static_cast<int>(std::ceil(pixels / factor));
    };
    const int border = inOwnScale(style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window));
    const int titleBar = inOwnScale(style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));
    return QMargins(border, titleBar + 2 * border, border, 2 * border);
}
