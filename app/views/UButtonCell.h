// The look of an image button: one image (or three-piece image) per state code, chosen from the
// button's enabled, pressed, on and rolled-over state, and where its title goes. Subclasses change
// the title's colour and place and how focus shows. Plain C++: the button asks, the cell answers.
#pragma once

#include "ViewImage.h"

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// Bits of a state code.
namespace ButtonState {
inline constexpr std::uint32_t On = 2;
inline constexpr std::uint32_t Disabled = 4;
inline constexpr std::uint32_t Pressed = 8;
inline constexpr std::uint32_t RolledOver = 16;
inline constexpr std::uint32_t Focus = 32;
} // namespace ButtonState

// What the button tells its cell about itself.
struct CellFacts {
    bool enabled = true;
    bool highlighted = false; // pressed
    bool on = false;          // a toggle that is checked
};

// One state's image: a single image, or three pieces stretched to the button's width.
struct ButtonImage {
    std::vector<std::shared_ptr<const ViewImage>> pieces;
    bool threePiece = false;
};

class UButtonCell {
public:
    // Attribute bits of the cell itself.
    static constexpr std::uint32_t kRolledOver = 1;
    static constexpr std::uint32_t kRollOverEnabled = 0x10000000;

    virtual ~UButtonCell() = default;

    // Reads up to twelve ":"-separated fields of button IDs, one per state code (see the .cpp);
    // fields that are not IDs give that state no image.
    void refrectImageParam(const QString& param);

    // 4 when disabled; else 8 pressed, 16 rolled over or 0; plus 2 when on.
    std::uint32_t cellState(const CellFacts& facts) const;

    bool buttonCellAttribute(std::uint32_t bits) const { return (mCellAttribute & bits) == bits; }
    void setButtonCellAttribute(std::uint32_t bits) { mCellAttribute |= bits; }
    void removeButtonCellAttribute(std::uint32_t bits) { mCellAttribute &= ~bits; }

    void setButtonImage(ButtonImage image, std::uint32_t code);
    // The first image stored for code; null when none.
    const ButtonImage* buttonImageWithState(std::uint32_t code) const;

    // The image to draw for code in a frame of that size: the focus image replaces it when focus shows
    // and one is stored. Null when the state has no image.
    virtual QPixmap imageAtCellAttribute(std::uint32_t code, bool focusShown, QSize frame, qreal dpr) const;
    // The title colour; none for the button's plain title colour.
    virtual std::optional<QColor> textColorAtCellAttribute(std::uint32_t /*code*/) const {
        return std::nullopt;
    }
    // The title's top-left corner in the frame (y down) for a title of that size.
    virtual QPointF titlePosition(std::uint32_t code, const QRectF& frame, QSizeF text) const;
    // Whether the style's focus ring is drawn over the image when focus shows.
    virtual bool drawsFocusRing() const { return false; }

protected:
    // The composed image of the first stored image for code; null when none composes.
    QPixmap composed(std::uint32_t code, QSize frame, qreal dpr) const;

private:
    std::vector<std::pair<ButtonImage, std::uint32_t>> mImages;
    std::uint32_t mCellAttribute = 0;
};
