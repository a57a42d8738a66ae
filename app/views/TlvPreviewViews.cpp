// See TlvPreviewViews.h. The sheet is drawn the same way in both previews: a soft shadow 2 points right
// and down, white paper, a one-point frame, the page inside the frame.
#include "TlvPreviewViews.h"

#include "DrawTones.h"
#include "ViewImage.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QScrollBar>

#include <cstdlib>
#include <string_view>

namespace {

// The shadow of a sheet: a few translucent layers that widen by a point each, like a 3-point blur.
void drawSheet(QPainter& painter, const QRect& sheet) {
    for (int spread = 3; spread >= 1; --spread)
        painter.fillRect(sheet.translated(2, 2).adjusted(-spread + 1, -spread + 1, spread - 1, spread - 1),
                         QColor(0, 0, 0, 28));
    painter.fillRect(sheet, Qt::white);
    painter.setPen(*TlvColorMnager::colorForDrawByTag(14));
    painter.drawRect(sheet.adjusted(0, 0, -1, -1));
}

void drawPage(QPainter& painter, const QRect& target, const QImage& image) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
}

// A hand of our own with its hot spot in its middle; the platform's hand where the image is missing.
QCursor handCursor(std::string_view image, Qt::CursorShape fallback, qreal dpr) {
    const auto named = ViewImage::named(image);
    const QPixmap pixmap = named ? named->pixmap(dpr) : QPixmap();
    return pixmap.isNull() ? QCursor(fallback) : QCursor(pixmap, 8, 8);
}

} // namespace

void TlvBasePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width(), h = height();
    painter.setPen(*TlvColorMnager::colorForDrawByTag(12, palette()));
    painter.drawRect(0, 0, w - 2, h - 1);
    fillTone(painter, bottomUp(h, 0, 0, 1, 37), 13);
    fillTone(painter, QRect(w - 1, 0, 1, h), 9);
}

TlvPreview::TlvPreview(QWidget* parent) : QWidget(parent) {}

void TlvPreview::setImage(const QImage& image) {
    if (image.cacheKey() == mImage.cacheKey() && !image.isNull())
        return;
    mImage = image;
    update();
}

void TlvPreview::setImageFrame(QSize size) {
    mSheet = size.width() > 0 && size.height() > 0 ? size : kDefaultSheet;
    update();
}

QRect TlvPreview::imageFrame() const {
    // A view smaller than the sheet gets the sheet made smaller, proportions kept, with room for the
    // shadow: a sheet cut at the view's edges looks broken.
    QSizeF size(mSheet);
    const QSizeF room(width() - 2 * kShadowRoom, height() - 2 * kShadowRoom);
    if (room.width() > 0 && room.height() > 0 &&
        (size.width() > room.width() || size.height() > room.height()))
        size.scale(room, Qt::KeepAspectRatio);
    // Centred, then widened to whole points as the sheet must not fall between pixels.
    const QRectF sheet(QPointF((width() - size.width()) * 0.5, (height() - size.height()) * 0.5), size);
    return sheet.toAlignedRect();
}

void TlvPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    fillTone(painter, rect(), 10);
    if (mImage.isNull())
        return;
    const QRect sheet = imageFrame();
    drawSheet(painter, sheet);
    drawPage(painter, sheet.adjusted(1, 1, -1, -1), mImage);
}

TlvZoomPreview::TlvZoomPreview(QWidget* parent)
    : QWidget(parent), mMouseDown(handCursor("grove_gu_16", Qt::ClosedHandCursor, devicePixelRatioF())),
      mMouseUp(handCursor("grove_pa_16", Qt::OpenHandCursor, devicePixelRatioF())) {
    setCursor(mMouseUp);
}

void TlvZoomPreview::setImage(const QImage& image) {
    mImage = image;
}

void TlvZoomPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    fillTone(painter, rect(), 10);
    if (mImage.isNull())
        return;
    QRect r = rect();
    bool narrowed = false;
    if (mOriginalSize.width() > 0 && r.width() > mOriginalSize.width()) {
        r.setX((r.width() - mOriginalSize.width()) / 2);
        r.setWidth(mOriginalSize.width());
        narrowed = true;
    }
    if (mOriginalSize.height() > 0 && r.height() > mOriginalSize.height()) {
        r.setY((r.height() - mOriginalSize.height()) / 2);
        r.setHeight(mOriginalSize.height());
        narrowed = true;
    }
    if (narrowed) {
        drawSheet(painter, r);
        r.adjust(1, 1, -1, -1);
    }
    drawPage(painter, r, mImage);
}

void TlvZoomPreview::mousePressEvent(QMouseEvent* event) {
    setCursor(mMouseDown);
    if (mZoom != 0)
        mLastPoint = event->globalPosition().toPoint();
}

void TlvZoomPreview::mouseMoveEvent(QMouseEvent* event) {
    if (mZoom == 0)
        return;
    const QPoint p = event->globalPosition().toPoint();
    const QPoint d = p - mLastPoint;
    mLastPoint = p;
    if (std::abs(d.x()) < kDragThreshold && std::abs(d.y()) < kDragThreshold)
        return;
    // The page follows the hand: the scroll area's view moves the other way.
    auto* area =
        parentWidget() ? qobject_cast<QAbstractScrollArea*>(parentWidget()->parentWidget()) : nullptr;
    if (!area)
        return;
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->value() - d.x());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->value() - d.y());
}

void TlvZoomPreview::mouseReleaseEvent(QMouseEvent* event) {
    setCursor(mMouseUp);
    QWidget::mouseReleaseEvent(event);
}
