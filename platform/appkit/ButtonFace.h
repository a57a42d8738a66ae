// A button's face made larger for a larger font or a longer title: it grows whole to a taller height,
// as its title does, and widens at plain columns (each the same as the next one), so corners, borders
// and glyphs keep their shape and only flat parts grow.
#pragma once

#include <QPixmap>
#include <QPointF>
#include <QSize>
#include <QSizeF>

namespace appkit {

// A face drawn at that size, grown whole (its shape kept) when height is taller.
QSize grownWhole(QSize drawn, int height);

// The face width points wide when that is wider; as it is otherwise, or when it has no plain column.
QPixmap widenedFace(const QPixmap& face, int width);

// The room a title of that size takes on a face when it lies up to off away from the face's centre
// either way: margin beside it, half of it above and below.
QSize titleRoom(QSizeF words, QPointF off, int margin);

// A face drawn at that size grown for a title that takes room: whole to the title's height, then wider.
QSize faceForTitle(QSize drawn, QSize room);

} // namespace appkit
