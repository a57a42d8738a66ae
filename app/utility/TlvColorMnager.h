// The fixed grey tones that the drawn views of the application paint with, by tag.
#pragma once

#include <QColor>
#include <QPalette>

#include <optional>

class TlvColorMnager {
public:
    TlvColorMnager() = delete;

    // Number of tones; tags run from 0 to sColorsCount - 1.
    static const int sColorsCount;
    // The opaque grey of that tag; none for a tag outside the table.
    static std::optional<QColor> colorForDrawByTag(int tag);
    // The same tone for a view under that palette: a dark palette turns the greys over, lifted off
    // black, so that light plates become dark ones and dark lines light ones.
    static std::optional<QColor> colorForDrawByTag(int tag, const QPalette& palette);
    static bool isDark(const QPalette& palette);
};
