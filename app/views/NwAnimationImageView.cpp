// Qt paints only from the GUI thread, so the frames advance on a QTimer there instead of a drawing
// thread; a stop is then never lost to a thread that has not started yet, and nothing outlives the view.
#include "NwAnimationImageView.h"

#include <QEvent>
#include <QHideEvent>
#include <QPainter>

#include <algorithm>

NwAnimationImageView::NwAnimationImageView(QWidget* parent) : QWidget(parent) {
    connect(&mTimer, &QTimer::timeout, this, &NwAnimationImageView::step);
}

void NwAnimationImageView::setImage(std::shared_ptr<const AnimationStrip> image) {
    if (image == mImage)
        return;
    mImage = std::move(image);
    mCurrentFrame = 0;
    mTimer.setInterval(frameInterval());
    updateGeometry();
    update();
}

std::chrono::milliseconds NwAnimationImageView::frameInterval() const {
    const float seconds = mImage ? mImage->duration() : 0.0f;
    return std::max(kShortestFrame, std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000.0f)));
}

void NwAnimationImageView::startThreadAnimation() {
    if (mTimer.isActive())
        return;
    mTimer.start(frameInterval());
    step();
}

void NwAnimationImageView::stopThreadAnimation() {
    mTimer.stop();
}

void NwAnimationImageView::incrementCurrentFrame() {
    if (!mImage)
        return;
    const std::int32_t next = mCurrentFrame + 1;
    mCurrentFrame = next < mImage->frameCount() ? next : 0;
}

void NwAnimationImageView::step() {
    // A view that cannot be seen ends its animation, as one that cannot draw.
    if (!isVisible()) {
        stopThreadAnimation();
        return;
    }
    incrementCurrentFrame();
    update();
}

QSize NwAnimationImageView::sizeHint() const {
    return mImage ? mImage->frameSize() : QSize(48, 48);
}

void NwAnimationImageView::paintEvent(QPaintEvent*) {
    if (!mImage)
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, mImage->frame(mCurrentFrame, size(), devicePixelRatioF()));
}

void NwAnimationImageView::hideEvent(QHideEvent* event) {
    // A window minimised by the desktop hides spontaneously and keeps its animation.
    if (!event->spontaneous())
        stopThreadAnimation();
    QWidget::hideEvent(event);
}

void NwAnimationImageView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ParentChange && !parentWidget())
        stopThreadAnimation();
    QWidget::changeEvent(event);
}
