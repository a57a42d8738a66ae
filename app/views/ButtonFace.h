// A button's face made larger for a larger font or a longer title: it grows whole to a taller height,
// as its title does, and widens at plain columns (each the same as the next one), so corners, borders
// and glyphs keep their shape and only flat parts grow.
#pragma once

#include <QPixmap>
#include <QSize>

// A face drawn at that size, grown whole (its shape kept) when height is taller.
QSize grownWhole(QSize drawn, int height);

// The face width points wide when that is wider; as it is otherwise, or when it has no plain column.
QPixmap widenedFace(const QPixmap& face, int width);
