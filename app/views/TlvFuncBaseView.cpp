// The corner pixels are clipped away, so the window's background shows there; the 2 x 2 corner squares,
// the inner highlight and the border then round each corner over three points.
#include "TlvFuncBaseView.h"

#include "DrawTones.h"

#include <QRegion>

#include <initializer_list>

namespace {

constexpr int kPlate = 25, kCorner = 23, kHighlight = 24, kBorder = 20;

void fillAll(QPainter& painter, int h, std::initializer_list<QRect> upRects, int tag) {
    for (const QRect& r : upRects)
        fillTone(painter, bottomUp(h, r.x(), r.y(), r.width(), r.height()), tag);
}

} // namespace

void TlvFuncBaseView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width(), h = height();
    QRegion clip(rect());
    for (const QRect corner :
         {QRect(0, 0, 1, 1), QRect(w - 1, 0, 1, 1), QRect(0, h - 1, 1, 1), QRect(w - 1, h - 1, 1, 1)})
        clip -= corner;
    painter.setClipRegion(clip);
    fillTone(painter, rect(), kPlate);
    // Rectangles as (x, y, width, height) from the bottom-left corner.
    fillAll(painter, h, {{0, 0, 2, 2}, {w - 2, 0, 2, 2}, {w - 2, h - 2, 2, 2}, {0, h - 2, 2, 2}}, kCorner);
    fillAll(painter, h,
            {{1, 2, 1, h - 4},
             {2, 1, 1, 1},
             {w - 3, 1, 1, 1},
             {w - 2, 2, 1, 1},
             {w - 2, h - 3, 1, 1},
             {2, h - 2, w - 4, 1}},
            kHighlight);
    fillAll(painter, h,
            {{0, 2, 1, h - 4},
             {1, 1, 1, 1},
             {2, 0, w - 4, 1},
             {w - 2, 1, 1, 1},
             {w - 1, 2, 1, h - 4},
             {w - 2, h - 2, 1, 1},
             {2, h - 1, w - 4, 1},
             {1, h - 2, 1, 1}},
            kBorder);
}
