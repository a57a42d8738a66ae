// Every tone is an opaque grey, so the table keeps one level (0..255) per tag. The drawing code
// names its tags: 0 formula and preference-help views, 1 main placeholder, 2 frame view, 3-5
// preference help, 6-8 step bar, 11 tool bar, 20 and 23-25 output-function view, 21 job button,
// 26 the title of the top scan button.
#include "TlvColorMnager.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr std::array<std::uint8_t, 27> kGreys = {240, 255, 128, 148, 194, 225, 49,  122, 169,
                                                 174, 229, 211, 200, 197, 62,  146, 207, 239,
                                                 232, 202, 193, 49,  98,  222, 231, 245, 45};

} // namespace

const int TlvColorMnager::sColorsCount = static_cast<int>(kGreys.size());

std::optional<QColor> TlvColorMnager::colorForDrawByTag(int tag) {
    if (tag < 0 || tag >= sColorsCount)
        return std::nullopt;
    const int grey = kGreys[static_cast<std::size_t>(tag)];
    return QColor(grey, grey, grey, 255);
}

bool TlvColorMnager::isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

std::optional<QColor> TlvColorMnager::colorForDrawByTag(int tag, const QPalette& palette) {
    std::optional<QColor> tone = colorForDrawByTag(tag);
    if (!tone || !isDark(palette))
        return tone;
    constexpr int kLift = 25;
    const int grey = std::min(255, 255 - tone->red() + kLift);
    return QColor(grey, grey, grey, 255);
}
