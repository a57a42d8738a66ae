// A button's face drawn for one size, made larger for a longer title or a larger font: it grows at
// plain columns and rows (each the same as the next one), so corners, borders and glyphs keep their
// shape and only flat parts widen; a face with no plain row is first scaled whole to the height.
#pragma once

#include <QPixmap>
#include <QSize>

// The face at frame (points) when that is larger; as it is otherwise, or when it has no plain part.
QPixmap grownFace(const QPixmap& face, QSize frame);
