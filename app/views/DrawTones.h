// What the drawn views share: filling with the fixed grey tones by tag, and rectangles given from the
// bottom-left corner (y up), as the views' drawings are measured, turned into Qt's top-down ones.
#pragma once

#include "TlvColorMnager.h"

#include <QPainter>
#include <QRect>

// Fills r with the tone of tag; every tag the views use is in the table.
inline void fillTone(QPainter& painter, const QRect& r, int tag) {
    painter.fillRect(r, *TlvColorMnager::colorForDrawByTag(tag));
}

// The rectangle x..x+w, y..y+h measured upwards from the bottom of a view height points high.
inline QRect bottomUp(int height, int x, int y, int w, int h) {
    return {x, height - y - h, w, h};
}
