// The image parameter names one state per field position; fields 4, 6, 10 and 12 are rolled-over
// states, and their mere presence turns roll-over on. A field is one ID or a ","-separated list of
// IDs (a three-piece image; unknown IDs are left out of it).
#include "UButtonCell.h"

#include "ButtonFace.h"

#include "UAcquButton.h"

#include <QStringList>

#include <array>

namespace {

constexpr std::array<std::uint32_t, 12> kFieldCodes = {0, 8, 4, 16, 32, 48, 2, 10, 6, 18, 34, 50};

std::shared_ptr<const ViewImage> imageOfID(const QString& text) {
    bool ok = false;
    const int id = text.toInt(&ok);
    return ok ? UAcquButton::sharedAcquButton().imageWithButtonID(id) : nullptr;
}

} // namespace

void UButtonCell::refrectImageParam(const QString& param) {
    if (param.isEmpty())
        return;
    const QStringList fields = param.split(':');
    for (std::size_t f = 0; f < kFieldCodes.size() && f < static_cast<std::size_t>(fields.size()); ++f) {
        const std::uint32_t code = kFieldCodes[f];
        if (code & ButtonState::RolledOver)
            setButtonCellAttribute(kRollOverEnabled);
        const QString& field = fields[static_cast<qsizetype>(f)];
        if (field.contains(',')) {
            ButtonImage list{{}, true};
            for (const QString& id : field.split(','))
                if (auto image = imageOfID(id))
                    list.pieces.push_back(std::move(image));
            setButtonImage(std::move(list), code);
        } else if (auto image = imageOfID(field)) {
            setButtonImage({{std::move(image)}, false}, code);
        }
    }
}

std::uint32_t UButtonCell::cellState(const CellFacts& facts) const {
    if (!facts.enabled)
        return ButtonState::Disabled;
    std::uint32_t code = 0;
    if (facts.highlighted)
        code = ButtonState::Pressed;
    else if (buttonCellAttribute(kRolledOver))
        code = ButtonState::RolledOver;
    return facts.on ? code + ButtonState::On : code;
}

void UButtonCell::setButtonImage(ButtonImage image, std::uint32_t code) {
    mImages.emplace_back(std::move(image), code);
}

const ButtonImage* UButtonCell::buttonImageWithState(std::uint32_t code) const {
    for (const auto& [image, stored] : mImages)
        if (stored == code)
            return &image;
    return nullptr;
}

namespace {

// A stretched face as high as frame: composed at its own height and scaled whole, so that its caps and
// glyph grow with the title's font.
QPixmap taller(const std::vector<std::shared_ptr<const ViewImage>>& pieces, QSize frame, qreal dpr) {
    const int own = pieces.size() == 3 && pieces[1] ? pieces[1]->size().height() : 0;
    if (own <= 0 || frame.height() <= own)
        return UAcquButton::cerateButtonImage(pieces, frame, dpr);
    const qreal factor = static_cast<qreal>(frame.height()) / own;
    const QPixmap drawn =
        UAcquButton::cerateButtonImage(pieces, QSize(static_cast<int>(frame.width() / factor), own), dpr);
    QPixmap grown = drawn.scaled(frame * dpr, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    grown.setDevicePixelRatio(dpr);
    return grown;
}

} // namespace

QPixmap UButtonCell::composed(std::uint32_t code, QSize frame, qreal dpr) const {
    const ButtonImage* image = buttonImageWithState(code);
    if (!image)
        return {};
    if (image->threePiece)
        return taller(image->pieces, frame, dpr);
    if (image->pieces.empty())
        return {};
    // Drawn anew at the grown size, so that a larger face stays sharp.
    const ViewImage& face = *image->pieces.front();
    return appkit::widenedFace(face.pixmap(dpr, appkit::grownWhole(face.size(), frame.height())),
                               frame.width());
}

QPixmap UButtonCell::imageAtCellAttribute(std::uint32_t code, bool focusShown, QSize frame, qreal dpr) const {
    if (focusShown)
        if (QPixmap focus = composed(code | ButtonState::Focus, frame, dpr); !focus.isNull())
            return focus;
    return composed(code, frame, dpr);
}

QPointF UButtonCell::titlePosition(std::uint32_t code, const QRectF& frame, QSizeF text) const {
    const QPointF centred(frame.x() + frame.width() * 0.5 - text.width() * 0.5,
                          frame.y() + frame.height() * 0.5 - text.height() * 0.5);
    // A pressed title sinks by a point to the right and down.
    return (code & ButtonState::Pressed) ? centred + QPointF(1, 1) : centred;
}
