#include "UButton.h"

#include "ButtonFace.h"
#include "Strings.h"
#include "TlvColorMnager.h"

#include <QPainter>

#include <QStyleOptionFocusRect>
#include <algorithm>

namespace {

// Titles sit on our own light button images, so they take a fixed dark grey of the drawn views
// rather than the palette's text colour, which a dark palette makes light.
constexpr int kTitleTone = 21;

} // namespace

UButton::UButton(QWidget* parent) : UButton(std::make_unique<UButtonCell>(), parent) {}

UButton::UButton(std::unique_ptr<UButtonCell> cell, QWidget* parent)
    : QAbstractButton(parent), mCell(std::move(cell)) {}

UButton::NibTitle UButton::splitNibTitle(const QString& raw) {
    const QStringList pieces = raw.split('!');
    NibTitle out{pieces.front(), {}};
    if (pieces.size() > 1 && !pieces[1].isEmpty()) {
        const QStringList parts = pieces[1].split(QStringLiteral("$$"));
        out.param = parts[0];
        if (parts.size() > 1 && !parts[1].isEmpty())
            out.title += QStringLiteral("$$") + parts[1];
    }
    return out;
}

void UButton::awakeFromNib() {
    const NibTitle nib = splitNibTitle(text());
    setText(nib.title);
    mImageParam = nib.param;
    mCell->refrectImageParam(mImageParam);
    updateGeometry();
    update();
}

std::uint32_t UButton::cellState() const {
    return mCell->cellState({isEnabled(), isDown(), isCheckable() && isChecked()});
}

void UButton::setDescriptionKey(std::string_view key) {
    const QString text = appkit::localized(key);
    setAccessibleName(text);
    setToolTip(text);
}

void UButton::setRollOvered(bool rolledOver) {
    if (!mCell->buttonCellAttribute(UButtonCell::kRollOverEnabled))
        return;
    if (rolledOver && (cellState() & ButtonState::Disabled))
        rolledOver = false;
    if (isRollOvered() == rolledOver)
        return;
    if (rolledOver)
        mCell->setButtonCellAttribute(UButtonCell::kRolledOver);
    else
        mCell->removeButtonCellAttribute(UButtonCell::kRolledOver);
    update();
}

QPixmap UButton::currentImage(qreal dpr) const {
    // A single face grows only as far as its title needs; a stretched one fills the button.
    const ButtonImage* normal = mCell->buttonImageWithState(0);
    const bool single = normal && !normal->threePiece && !normal->pieces.empty();
    const QSize frame = single ? size().boundedTo(faceFor(normal->pieces.front()->size())) : size();
    return mCell->imageAtCellAttribute(cellState(), hasFocus(), frame, dpr);
}

QSize UButton::faceFor(QSize drawn) const {
    return appkit::faceForTitle(drawn, titleRoom());
}

QSize UButton::titleRoom() const {
    if (text().isEmpty())
        return {};
    const QSizeF words = fontMetrics().size(Qt::TextSingleLine, text());
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this);
    QSize room;
    for (const std::uint32_t code : {0u, static_cast<std::uint32_t>(ButtonState::On)}) {
        // How far the cell moves the title off the centre of the button, either way.
        const QPointF off =
            mCell->titlePosition(code, QRectF(), words) + QPointF(words.width(), words.height()) / 2;
        room = room.expandedTo(appkit::titleRoom(words, off, margin));
    }
    return room;
}

QPoint UButton::imageOrigin(const QPixmap& image) const {
    const QSize points = image.deviceIndependentSize().toSize();
    return {(width() - points.width()) / 2, height() - points.height()};
}

QSize UButton::sizeHint() const {
    const ButtonImage* normal = mCell->buttonImageWithState(0);
    if (!normal || normal->pieces.empty())
        return QAbstractButton::sizeHint().expandedTo(fontMetrics().size(Qt::TextSingleLine, text()));
    if (!normal->threePiece)
        return faceFor(normal->pieces.front()->size());
    // A stretched button is as wide as its title and caps, with the style's spacing either side.
    const int caps = normal->pieces.front()->size().width() + normal->pieces.back()->size().width();
    const int spacing = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this);
    return {fontMetrics().horizontalAdvance(text()) + caps + 2 * spacing,
            std::max(normal->pieces[1]->size().height(), titleRoom().height())};
}

QRect UButton::faceRect(const QPixmap& image) const {
    return image.isNull() ? rect() : QRect(imageOrigin(image), image.deviceIndependentSize().toSize());
}

QRectF UButton::titleRectOn(const QRect& face) const {
    const QSizeF words = fontMetrics().size(Qt::TextSingleLine, text());
    return {mCell->titlePosition(cellState(), face, words), words};
}

QRect UButton::faceRect() const {
    return faceRect(currentImage(devicePixelRatioF()));
}

QRectF UButton::titleRect() const {
    return titleRectOn(faceRect());
}

void UButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const std::uint32_t code = cellState();
    const QPixmap image = currentImage(devicePixelRatioF());
    if (!image.isNull()) {
        painter.drawPixmap(imageOrigin(image), image);
        if (hasFocus() && mCell->drawsFocusRing()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = faceRect(image);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
    if (text().isEmpty())
        return;
    QColor ink =
        mCell->textColorAtCellAttribute(code).value_or(*TlvColorMnager::colorForDrawByTag(kTitleTone));
    if (code & ButtonState::Disabled)
        ink = palette().color(QPalette::Disabled, QPalette::ButtonText);
    painter.setPen(ink);
    painter.setFont(font());
    painter.drawText(titleRectOn(faceRect(image)), Qt::AlignLeft | Qt::AlignTop, text());
}

bool UButton::hitButton(const QPoint& pos) const {
    const QPixmap image = currentImage(1.0);
    if (!image.isNull()) {
        const QPoint inImage = pos - imageOrigin(image);
        if (QRect(QPoint(), image.size()).contains(inImage) && qAlpha(image.toImage().pixel(inImage)) == 0)
            return false;
    }
    return QAbstractButton::hitButton(pos);
}
