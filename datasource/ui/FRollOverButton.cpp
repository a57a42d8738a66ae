#include "FRollOverButton.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

using RollOverButton = ComOrvikElectronicsK3100FRollOverButton;

namespace {

constexpr qreal kOutlineRadius = 2.0;

QPainterPath RoundedOutline(const QRectF& frame) {
    QPainterPath path;
    path.addRoundedRect(frame, kOutlineRadius, kOutlineRadius);
    return path;
}

// The outline darkened, then lightened one pixel inside it.
void FillHighlight(QPainter& painter, const QRectF& frame, qreal darkAlpha, qreal lightAlpha) {
    painter.fillPath(RoundedOutline(frame), QColor::fromRgbF(0, 0, 0, darkAlpha));
    painter.fillPath(RoundedOutline(frame.adjusted(1, 1, -1, -1)), QColor::fromRgbF(1, 1, 1, lightAlpha));
}

// The title stands on the image where there is one: a light plate keeps a dark title in a dark
// window too.
QColor TitleColour(const QColor& text, const QIcon& image, QSize size, bool disabled) {
    if (image.isNull())
        return text;
    const QImage plate = image.pixmap(size).toImage();
    if (plate.isNull() || plate.pixelColor(plate.width() / 2, plate.height() / 2).lightness() < 128)
        return text;
    return text.lightness() < 128 ? text : QColor(disabled ? 0x9a9a9a : 0x202020);
}

} // namespace

RollOverButton::ComOrvikElectronicsK3100FRollOverButton(QWidget* parent) : QToolButton(parent) {
    setAttribute(Qt::WA_Hover);
    setAutoRaise(true);
}

void RollOverButton::setButtonImages(const Images& images) {
    mImages = images;
    update();
}

void RollOverButton::setRollOverEnabled(bool enabled) {
    mRollOverEnabled = enabled;
    if (!enabled)
        setRollOver(false);
}

void RollOverButton::setRollOver(bool rollOver) {
    if (mIsRollOver == rollOver)
        return;
    mIsRollOver = rollOver;
    update();
}

bool RollOverButton::hasKeyboardFocus() const {
    return isActiveWindow() && hasFocus();
}

bool RollOverButton::isOnState() const {
    return isCheckable() && isChecked() && stateIndex() != kDisabled;
}

RollOverButton::EStateIndex RollOverButton::stateIndex() const {
    if (!isEnabled())
        return kDisabled;
    if (isDown())
        return kPressed;
    const bool focus = hasKeyboardFocus();
    if (mIsRollOver)
        return focus ? kRollOverFocus : kRollOver;
    return focus ? kFocus : kNormal;
}

bool RollOverButton::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        setRollOver(acceptsRollOver() && isActiveWindow());
        break;
    case QEvent::HoverLeave:
    case QEvent::WindowDeactivate:
    case QEvent::EnabledChange:
        setRollOver(acceptsRollOver() && isActiveWindow() && underMouse());
        break;
    default:
        break;
    }
    return QToolButton::event(event);
}

void RollOverButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = rect();
    const EStateIndex index = stateIndex();
    const bool on = isOnState();
    QIcon image = mImages[index];
    const bool drawnHighlight = image.isNull() || on;
    if (drawnHighlight) {
        if (on)
            FillHighlight(painter, frame, 0.32, 0.34);
        else if (index == kPressed)
            FillHighlight(painter, frame, 0.24, 0.26);
        else if (mIsRollOver)
            FillHighlight(painter, frame, 0.16, 0.4);
        image = mImages[kNormal];
    }
    if (!image.isNull()) {
        const QSize size = iconSize();
        const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
        image.paint(&painter, target, Qt::AlignCenter,
                    drawnHighlight && index == kDisabled ? QIcon::Disabled : QIcon::Normal);
    }
    // Without an image of its own the focus shows as a ring.
    if (drawnHighlight && hasKeyboardFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(RoundedOutline(frame.adjusted(1, 1, -1, -1)));
    }
    if (text().isEmpty())
        return;
    const QPalette::ColorGroup group = index == kDisabled ? QPalette::Disabled : QPalette::Active;
    painter.setPen(
        TitleColour(palette().color(group, QPalette::ButtonText), image, iconSize(), index == kDisabled));
    painter.setFont(font());
    const QRect title = index == kPressed ? rect().translated(1, 1) : rect();
    painter.drawText(title, Qt::AlignCenter, text());
}
