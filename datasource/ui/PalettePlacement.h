// Where the advanced mode's palettes stand: new places round the dialog, and stored places held to the
// same rules, so that a place once given comes back the same.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// What the palettes are placed among, in screen coordinates. Frames are window frames: title bar and
// borders included.
struct SPaletteRoom {
    QRect area;             // the available area of the dialog's screen
    QRect dialog;           // the dialog's frame
    QList<QRect> keepClear; // never covered: the dialog's buttons and title bar
    int titleBar = 0;       // the height of a palette's title bar
    int scrollBar = 0;      // the width a palette cut short gains for its scroll bar
    int leastHeight = 0;    // no palette is cut shorter than this where it can be helped
};

// Frames for palettes of the given frame sizes (an empty size: no palette, and an empty frame), in their
// stacking order, each later one above those before it. Every frame lies inside the area, off what is
// kept clear and off the title bars of the palettes before it; where that leaves a palette less room
// than its height below its top, it is cut short there, and widened for its scroll bar. A stored place
// (the top left of a frame) is kept where it is so and not cut below leastHeight; else, as a palette
// without one, it goes where it is cut least below leastHeight, then covers least of the palettes before
// it, then hides least (of the dialog under it, counted three times, and of itself cut off); on the dialog's
// right rather than its left, nearest to it, from its top down.
QList<QRect> PlacePalettes(const SPaletteRoom& room, const QList<QSize>& sizes,
                           const QList<std::optional<QPoint>>& stored);
