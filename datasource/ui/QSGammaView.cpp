#include "QSGammaView.h"

#include "FixedPoint.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

using GammaView = ComOrvikElectronicsK3100QSGammaView;

GammaView::ComOrvikElectronicsK3100QSGammaView(QWidget* parent) : QWidget(parent) {
    for (auto& tables : mGammaTable)
        tables.fill(IdentityToneTable());
    mGamma.fill(1.0f);
}

void GammaView::setEnabledForEditing(bool enabled) {
    mIsEnabled = enabled;
    update();
}

void GammaView::setActiveChannel(int channel) {
    if (channel < 0 || channel >= kChannels)
        return;
    mActiveChannel = channel;
    update();
}

void GammaView::setGamma(float gamma, int channel) {
    if (channel < 0 || channel >= kChannels)
        return;
    mGamma[static_cast<std::size_t>(channel)] = gamma;
    MakeGammaTable(gamma, mGammaTable[static_cast<std::size_t>(channel)][kGammaValue]);
    if (channel == mActiveChannel)
        update();
}

float GammaView::gammaWithChannel(int channel) const {
    return channel >= 0 && channel < kChannels ? mGamma[static_cast<std::size_t>(channel)] : 1.0f;
}

void GammaView::setGammaTable(const ToneTable& table, int channel, int method) {
    if (channel < 0 || channel >= kChannels)
        return;
    mGammaTable[static_cast<std::size_t>(channel)][method == kFreeHandCurve ? 1 : 0] = table;
    if (channel == mActiveChannel)
        update();
}

ToneTable GammaView::gammaTable(int channel, int method) const {
    if (channel < 0 || channel >= kChannels)
        return IdentityToneTable();
    return mGammaTable[static_cast<std::size_t>(channel)][method == kFreeHandCurve ? 1 : 0];
}

QSizeF GammaView::innerSize() const {
    return QSizeF(width() - 2, height() - 2);
}

const ToneTable& GammaView::shownTable() const {
    return mGammaTable[static_cast<std::size_t>(mActiveChannel)][static_cast<std::size_t>(mInputMethod)];
}

QPixmap GammaView::createGammaCurveBar(QSize size, bool isLinear) const {
    const qreal ratio = devicePixelRatioF();
    QPixmap bar(size * ratio);
    bar.setDevicePixelRatio(ratio);
    bar.fill(Qt::white);
    QPainter painter(&bar);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const ToneTable& table = shownTable();
    const int kind = mActiveChannel % 4;
    for (int i = 0; i < 256; ++i) {
        const int level = isLinear ? i : table[static_cast<std::size_t>(i)];
        const QColor colour = kind == 0   ? QColor(level, level, level)
                              : kind == 1 ? QColor(level, 0, 0)
                              : kind == 2 ? QColor(0, level, 0)
                                          : QColor(0, 0, level);
        painter.setPen(QPen(colour, (size.width() - 2) / 256.0 + 0.5));
        const qreal x = 1 + (size.width() - 2) * i / 256.0;
        painter.drawLine(QPointF(x, 1), QPointF(x, size.height() - 1));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(0, 0), size - QSize(1, 1)));
    return bar;
}

void GammaView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QSizeF inner = innerSize();
    const double w = inner.width();
    const double h = inner.height();
    painter.setPen(QColor(211, 211, 211));
    for (int i = 1; i <= 9; ++i) {
        const double y = std::trunc(1 + i * h / 10) + 1;
        const double x = std::trunc(1 + i * w / 10);
        painter.drawLine(QPointF(1, y), QPointF(1 + w, y));
        painter.drawLine(QPointF(x, 1), QPointF(x, 1 + h));
    }
    // One joined line through the 256 entries, so that a steep curve stays a line at any scale.
    const ToneTable& table = shownTable();
    QPolygonF curve;
    for (int i = 0; i < 256; ++i) {
        const int value = mIsEnabled ? table[static_cast<std::size_t>(i)] : i;
        curve << QPointF(1 + (i + 0.5) * w / 256, 1 + h - (value + 0.5) * h / 256);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::darkGray, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(curve);
}

void GammaView::mousePressEvent(QMouseEvent* event) {
    if (!mIsEnabled || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    mTracking = true;
    mPrevious.reset();
    track(event->position());
}

void GammaView::mouseMoveEvent(QMouseEvent* event) {
    if (mTracking && (event->buttons() & Qt::LeftButton))
        track(event->position());
}

void GammaView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        mTracking = false;
}

void GammaView::track(QPointF location) {
    const QSizeF inner = innerSize();
    const QPointF current = ClampCurvePoint(location, inner);
    const bool moved = !mPrevious || *mPrevious != current;
    const QPointF previous = mPrevious.value_or(current);
    if (mInputMethod == kFreeHandCurve) {
        DrawCurveSegment(mGammaTable[static_cast<std::size_t>(mActiveChannel)][kFreeHandCurve], previous,
                         current, inner);
        if (moved) {
            if (mEditHandler)
                mEditHandler(std::nullopt);
            update();
        }
    } else if (moved) {
        // The gamma of the point before: a drag reports where the mouse was, as the table follows it.
        if (mEditHandler)
            mEditHandler(GammaAtPoint(previous, inner));
        update();
    }
    mPrevious = current;
}
