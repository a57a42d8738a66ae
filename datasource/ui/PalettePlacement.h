// Where the advanced mode's palettes go when they have no places of their own.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Frames for palettes of the given frame sizes, in their order, on the available area of the dialog's
// screen: each wholly inside the area and clear of the dialog's buttons (a rectangle round them all).
// Beside the dialog where there is room, on its right first and from its top down; else over as little
// of it as can be, side by side; where no free place is left, cascaded from the palette before, a title
// bar lower. A palette taller than the room it gets is cut short (its settings scroll).
QList<QRect> PlacePalettes(const QRect& area, const QRect& dialog, const QRect& buttons,
                           const QList<QSize>& sizes);
