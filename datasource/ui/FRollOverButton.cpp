#include "FRollOverButton.h"

#include "ButtonFace.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

using RollOverButton = ComOrvikElectronicsK3100FRollOverButton;

namespace {

constexpr qreal kOutlineRadius = 2.0;
// A pressed title sinks by a point to the right and down.
constexpr int kPressedShift = 1;

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

bool RollOverButton::drawsHighlight() const {
    return mImages[stateIndex()].isNull() || isOnState();
}

const QIcon& RollOverButton::shownImage() const {
    return drawsHighlight() ? mImages[kNormal] : mImages[stateIndex()];
}

QSize RollOverButton::faceSize() const {
    if (text().isEmpty())
        return iconSize();
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this);
    return appkit::faceForTitle(iconSize(), appkit::titleRoom(fontMetrics().size(Qt::TextSingleLine, text()),
                                                              QPointF(kPressedShift, kPressedShift), margin));
}

QSize RollOverButton::sizeHint() const {
    return QToolButton::sizeHint().expandedTo(faceSize());
}

QSize RollOverButton::minimumSizeHint() const {
    return faceSize();
}

QPixmap RollOverButton::face(qreal dpr) const {
    const QIcon& image = shownImage();
    if (image.isNull())
        return {};
    const QSize size = faceSize();
    const QIcon::Mode mode = drawsHighlight() && !isEnabled() ? QIcon::Disabled : QIcon::Normal;
    // Drawn anew at the grown size, so that a larger face stays sharp.
    return appkit::widenedFace(image.pixmap(appkit::grownWhole(iconSize(), size.height()), dpr, mode),
                               size.width());
}

QRect RollOverButton::faceRect(const QPixmap& face) const {
    if (face.isNull())
        return rect();
    const QSize size = face.deviceIndependentSize().toSize();
    return {QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size};
}

QRect RollOverButton::faceRect() const {
    return faceRect(face(devicePixelRatioF()));
}

QRectF RollOverButton::titleRect() const {
    QRectF title(QPointF(), fontMetrics().size(Qt::TextSingleLine, text()));
    title.moveCenter(QRectF(rect()).center());
    return stateIndex() == kPressed ? title.translated(kPressedShift, kPressedShift) : title;
}

void RollOverButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = rect();
    const EStateIndex index = stateIndex();
    const bool drawnHighlight = drawsHighlight();
    if (drawnHighlight) {
        if (isOnState())
            FillHighlight(painter, frame, 0.32, 0.34);
        else if (index == kPressed)
            FillHighlight(painter, frame, 0.24, 0.26);
        else if (mIsRollOver)
            FillHighlight(painter, frame, 0.16, 0.4);
    }
    const QPixmap image = face(devicePixelRatioF());
    if (!image.isNull())
        painter.drawPixmap(faceRect(image).topLeft(), image);
    // Without an image of its own the focus shows as a ring.
    if (drawnHighlight && hasKeyboardFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(RoundedOutline(frame.adjusted(1, 1, -1, -1)));
    }
    if (text().isEmpty())
        return;
    const QPalette::ColorGroup group = index == kDisabled ? QPalette::Disabled : QPalette::Active;
    painter.setPen(TitleColour(palette().color(group, QPalette::ButtonText), shownImage(), iconSize(),
                               index == kDisabled));
    painter.setFont(font());
    painter.drawText(titleRect(), Qt::AlignCenter, text());
}
