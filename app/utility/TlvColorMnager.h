// The fixed grey tones that the drawn views of the application paint with, by tag.
#pragma once

#include <QColor>

#include <optional>

class TlvColorMnager {
public:
    TlvColorMnager() = delete;

    // Number of tones; tags run from 0 to sColorsCount - 1.
    static const int sColorsCount;
    // The opaque grey of that tag; none for a tag outside the table.
    static std::optional<QColor> colorForDrawByTag(int tag);
};
