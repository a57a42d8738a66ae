// The cells live here only: nothing outside these buttons makes one.
#include "UButtonKinds.h"

#include "TlvColorMnager.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

QColor tone(int tag) {
    return *TlvColorMnager::colorForDrawByTag(tag);
}

// The mode button's title is darkest when on (a disabled one takes the palette's, as every title); off, it
// sits under the glyph, 10 points below centre.
class UFoaJobBtnCell : public UButtonCell {
public:
    std::optional<QColor> textColorAtCellAttribute(std::uint32_t code) const override {
        return tone((code & ButtonState::On) ? 21 : 22);
    }
    QPointF titlePosition(std::uint32_t code, const QRectF& frame, QSizeF text) const override {
        const QPointF centred = UButtonCell::titlePosition(code & ~ButtonState::Pressed, frame, text);
        if (code & ButtonState::On)
            return centred;
        return centred + ((code & ButtonState::Pressed) ? QPointF(1, 11) : QPointF(0, 10));
    }
};

// The help and settings images carry their glyph at the left, so the title stands 8 points right.
class UPrefsHelpBtnCell : public UButtonCell {
public:
    QPointF titlePosition(std::uint32_t code, const QRectF& frame, QSizeF text) const override {
        return UButtonCell::titlePosition(code, frame, text) + QPointF(8, 0);
    }
};

// Page buttons show focus with the style's ring, never with focus images.
class UPreviewBtnCell : public UButtonCell {
public:
    QPixmap imageAtCellAttribute(std::uint32_t code, bool focusShown, QSize frame, qreal dpr) const override {
        if (QPixmap plain = composed(code, frame, dpr); !plain.isNull() || !focusShown)
            return plain;
        return UButtonCell::imageAtCellAttribute(code, focusShown, frame, dpr);
    }
    bool drawsFocusRing() const override { return true; }
};

class UTopScanBtnCell : public UButtonCell {
public:
    std::optional<QColor> textColorAtCellAttribute(std::uint32_t) const override { return tone(26); }
};

} // namespace

UFoaJobBtn::UFoaJobBtn(QWidget* parent) : UButton(std::make_unique<UFoaJobBtnCell>(), parent) {}

void UFoaJobBtn::mousePressEvent(QMouseEvent* event) {
    if (isOn() || !switchAllowed()) {
        event->ignore();
        return;
    }
    UButton::mousePressEvent(event);
}

void UFoaJobBtn::keyPressEvent(QKeyEvent* event) {
    const bool moveOn = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!moveOn && ((event->key() == Qt::Key_Space && isOn()) || !switchAllowed())) {
        event->ignore();
        return;
    }
    UButton::keyPressEvent(event);
}

UPrefsHelpBtn::UPrefsHelpBtn(QWidget* parent) : UButton(std::make_unique<UPrefsHelpBtnCell>(), parent) {}

UPreviewBtn::UPreviewBtn(QWidget* parent) : UButton(std::make_unique<UPreviewBtnCell>(), parent) {}

UTopScanBtn::UTopScanBtn(QWidget* parent) : UButton(std::make_unique<UTopScanBtnCell>(), parent) {}
