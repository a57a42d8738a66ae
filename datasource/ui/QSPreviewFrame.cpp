// Drawing follows the frame's geometry functions (QSCropGeometry): the page frame scaled to the view,
// the image at its resolution against the base's, the crop outline redrawn every 0.2 s with its dash
// phase advanced so that it seems to move. A drag works on view coordinates and converts only what
// changed back to base units, so a move never changes the rectangle's size by rounding.
#include "QSPreviewFrame.h"

#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "QSCropGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <array>

namespace {

using PreviewFrame = ComOrvikElectronicsK3100QSPreviewFrame;

constexpr int kLinePhases = 6; // the dash pattern 4 on, 2 off repeats after 6 points
// The fixed grey tones of the drawn page frame (kept in the dark palette too: it shows paper).
const QColor kBackground(0xd4, 0xd4, 0xd4);
const QColor kFrameLine(0x55, 0x55, 0x55);
const QColor kShadow(0x80, 0x80, 0x80, 0xa0);
const QColor kMessage(0x70, 0x70, 0x70);

// Cursor per region (0 to 8), then the open and the closed hand.
Qt::CursorShape RegionCursor(int region) {
    static constexpr std::array<Qt::CursorShape, kCropRegionCount> shapes{
        Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeHorCursor,   Qt::SizeVerCursor,   Qt::SizeHorCursor,   Qt::SizeAllCursor};
    return region >= 0 && region < kCropRegionCount ? shapes[static_cast<std::size_t>(region)]
                                                    : Qt::ArrowCursor;
}

QSizeF LayoutText(const QString& text, const QFont& font, double width) {
    QFontMetricsF metrics(font);
    const QRectF bounds =
        metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap | Qt::AlignHCenter, text);
    return bounds.size();
}

} // namespace

PreviewFrame::ComOrvikElectronicsK3100QSPreviewFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    mTimer.setInterval(kIdleIntervalMs);
    connect(&mTimer, &QTimer::timeout, this, &PreviewFrame::mouseIdle);
}

void PreviewFrame::updateIdleTimer() {
    const bool needed = isVisible() && (mEnableMouseTrack || (mDragImageMode && mZoomRatio > 1));
    if (needed && !mTimer.isActive())
        mTimer.start();
    else if (!needed)
        mTimer.stop();
}

void PreviewFrame::setMouseTrackerEnabled(bool enabled) {
    mEnableMouseTrack = enabled;
    updateIdleTimer();
}

QScrollArea* PreviewFrame::scrollArea() const {
    QWidget* viewport = parentWidget();
    return viewport ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
}

void PreviewFrame::setDragImageMode(bool on) {
    mDragImageMode = on;
    updateIdleTimer();
    if (!on && !mEnableMouseTrack)
        setCursor(Qt::ArrowCursor);
}

void PreviewFrame::setBaseSize(QSizeF size) {
    mBaseSize = size;
    calcImageFrame();
}

void PreviewFrame::setPreviewImage(const QImage& image) {
    if (image.cacheKey() == mImage.cacheKey())
        return;
    mImage = image;
    update();
}

void PreviewFrame::setInformationMessage(const QString& message) {
    mInfoMessage = message;
    if (mImage.isNull())
        update();
}

void PreviewFrame::calcImageFrame() {
    mImageFrame = CalcImageFrame(QRectF(rect()), mBaseSize, mZoomRatio);
    mCropBounds = CropBoundsFromRect(mCropRect, mImageFrame, mBaseSize);
}

void PreviewFrame::setZoomRatio(float zoom) {
    mZoomRatio = zoom;
    updateIdleTimer();
    const QWidget* clip = parentWidget();
    const QSizeF clipSize = clip ? QSizeF(clip->size()) : QSizeF(size());
    resize(ZoomedFrameSize(clipSize, mBaseSize, zoom).toSize());
    calcImageFrame();
    update();
}

void PreviewFrame::setCropRect(QRectF rect) {
    const QRectF kept = ClampCropRect(rect, mBaseSize, mMinCropSize);
    mCropBounds = CropBoundsFromRect(kept, mImageFrame, mBaseSize);
    postCrop(kCropChangedNotification, kept);
    mCropRect = kept;
    update();
}

void PreviewFrame::postCrop(const char* name, QRectF r) const {
    fnd::NotificationCenter::defaultCenter().post(
        name, fnd::Value(fnd::Array{fnd::Value(r.x()), fnd::Value(r.y()), fnd::Value(r.width()),
                                    fnd::Value(r.height())}));
}

void PreviewFrame::mouseIdle() {
    if (mMouseTracking)
        return;
    const bool handDrags = mDragImageMode && mZoomRatio > 1;
    const bool key = isActiveWindow();
    if (mEnableMouseTrack && !handDrags) {
        mMouseRegion = TestMouseRegion(mCropBounds, QPointF(mapFromGlobal(QCursor::pos())));
        setCursor(key ? RegionCursor(mMouseRegion) : Qt::ArrowCursor);
    }
    if (handDrags) {
        const QWidget* clip = parentWidget();
        const bool over = clip && clip->rect().contains(clip->mapFromGlobal(QCursor::pos()));
        setCursor(key && over ? Qt::OpenHandCursor : Qt::ArrowCursor);
        mMouseRegion = kNoCropRegion;
    }
    if (mEnableMouseTrack) {
        update();
        mLinePhase = (mLinePhase + 1) % kLinePhases;
    }
}

void PreviewFrame::mousePressEvent(QMouseEvent* event) {
    const bool handDrags = mDragImageMode && mZoomRatio > 1;
    // The region where the button went down, so a press between two idle ticks acts where it is.
    const int region =
        mEnableMouseTrack && !handDrags ? TestMouseRegion(mCropBounds, event->position()) : kNoCropRegion;
    if (event->button() == Qt::LeftButton && region != kNoCropRegion) {
        mMouseRegion = mDragRegion = region;
        mDragStart = event->position();
        mDragStartBounds = mDragBounds = mCropBounds;
        mDragRect = mCropRect;
        mMouseTracking = true;
    } else if (event->button() == Qt::LeftButton && handDrags) {
        setCursor(Qt::ClosedHandCursor);
        mDragStart = event->globalPosition();
        mMouseTracking = true;
        mDragRegion = kNoCropRegion;
    } else {
        QWidget::mousePressEvent(event);
    }
}

void PreviewFrame::mouseMoveEvent(QMouseEvent* event) {
    if (!mMouseTracking)
        return QWidget::mouseMoveEvent(event);
    if (mDragRegion == kNoCropRegion)
        dragImage(event->globalPosition());
    else
        dragCrop(event->position());
}

void PreviewFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (!mMouseTracking || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    if (mDragRegion == kNoCropRegion) {
        dragImage(event->globalPosition());
        setCursor(Qt::OpenHandCursor);
        mMouseTracking = false;
        return;
    }
    dragCrop(event->position());
    mMouseTracking = false;
    postCrop(kCropChangedNotification, mDragRect);
    mCropRect = mDragRect;
}

void PreviewFrame::dragCrop(QPointF point) {
    const QRectF bounds = DragCropBounds(mDragRegion, mDragStartBounds, point - mDragStart, mImageFrame,
                                         mBaseSize, mMinCropSize);
    if (bounds != mDragBounds) {
        mDragRect = CropRectFromBounds(bounds, mDragBounds, mDragRect, mImageFrame, mBaseSize);
        mDragBounds = mCropBounds = bounds;
        postCrop(kCropChangingNotification, mDragRect);
        update();
    }
    if (QScrollArea* area = scrollArea())
        area->ensureVisible(static_cast<int>(point.x()), static_cast<int>(point.y()), 0, 0);
}

void PreviewFrame::dragImage(QPointF globalPoint) {
    const QPointF step = mZoomRatio * (mDragStart - globalPoint);
    mDragStart = globalPoint;
    if (QScrollArea* area = scrollArea()) {
        area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->value() + qRound(step.x()));
        area->verticalScrollBar()->setValue(area->verticalScrollBar()->value() + qRound(step.y()));
    }
}

bool PreviewFrame::event(QEvent* event) {
    // The clip view's size decides the frame's size at every zoom: follow the parent it is put into.
    if (event->type() == QEvent::ParentAboutToChange && parentWidget())
        parentWidget()->removeEventFilter(this);
    if ((event->type() == QEvent::ParentChange || event->type() == QEvent::Show) && parentWidget())
        parentWidget()->installEventFilter(this); // once, however often installed
    if (event->type() == QEvent::Resize)
        calcImageFrame();
    const bool result = QWidget::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
        updateIdleTimer();
    return result;
}

bool PreviewFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setZoomRatio(mZoomRatio);
    return QWidget::eventFilter(watched, event);
}

void PreviewFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect(), kBackground);
    const QRectF outline = mImageFrame.adjusted(-1, -1, 1, 1);
    painter.fillRect(outline.translated(2, 2), kShadow);
    painter.fillRect(outline, Qt::white);
    painter.setPen(kFrameLine);
    painter.drawRect(outline);
    if (!mImage.isNull())
        drawImage(painter);
    else if (!mInfoMessage.isEmpty())
        drawMessage(painter);
    if (mEnableMouseTrack)
        drawCrop(painter);
}

void PreviewFrame::drawImage(QPainter& painter) const {
    const QSizeF drawn =
        DrawnImageSize(mImage.size(), mImageFrame, mBaseSize, mImageResolution, mBaseResolution);
    painter.save();
    painter.setClipRect(QRectF(mImageFrame.topLeft(), mImageFrame.size() + QSizeF(1, 1)));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(mImageFrame.topLeft(), drawn), mImage);
    painter.restore();
}

void PreviewFrame::drawMessage(QPainter& painter) const {
    QFont font = painter.font();
    const int size = FitMessagePointSize(
        [&](int points, double width) {
            font.setPointSize(points);
            return LayoutText(mInfoMessage, font, width);
        },
        mImageFrame);
    font.setPointSize(size);
    painter.setFont(font);
    painter.setPen(kMessage);
    painter.drawText(mImageFrame.adjusted(size, size, -size, -size), Qt::TextWordWrap | Qt::AlignCenter,
                     mInfoMessage);
}

void PreviewFrame::drawCrop(QPainter& painter) const {
    QRectF outline = mCropBounds;
    if (mZoomRatio > 1)
        outline.adjust(0, 1, -1, 0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::white);
    painter.drawRect(outline);
    QPen dashes(Qt::black);
    dashes.setDashPattern({4, 2});
    dashes.setDashOffset(mLinePhase);
    painter.setPen(dashes);
    painter.drawRect(outline);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    const std::array<QRectF, kCropRegionCount> regions = CalcMouseRegions(mCropBounds);
    for (int i = 0; i < kInsideCropRegion; ++i)
        painter.drawRect(regions[static_cast<std::size_t>(i)].adjusted(1, 1, -2, -2));
}
