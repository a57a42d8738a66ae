#include "TlvJobInfoView.h"

#include "DrawTones.h"

#include <initializer_list>

namespace {

constexpr int kBorder = 20, kOuterCorner = 17, kBesideCorner = 19, kInnerCorner = 18;
constexpr int kInset = 10; // points between the separator and the box's sides, and above its point

} // namespace

void TlvJobInfoView::setIsExpansion(bool expanded) {
    mIsExpansion = expanded;
    setFixedHeight(expanded ? kExpandedHeight : kCollapsedHeight);
    if (mBaseRect.isValid())
        move(mBaseRect.topLeft());
    update();
}

void TlvJobInfoView::setDrawLineLftBtmPt(QPoint point) {
    mDrawLineLftBtmPt = QPoint(kInset, point.y() - kInset - 1);
    update();
}

void TlvJobInfoView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width(), h = height();
    for (const QRect edge :
         {QRect(0, 0, w, 1), QRect(0, h - 1, w, 1), QRect(0, 0, 1, h), QRect(w - 1, 0, 1, h)})
        fillTone(painter, edge, kBorder);
    if (mIsExpansion && mDrawLineLftBtmPt)
        fillTone(painter, QRect(*mDrawLineLftBtmPt, QSize(w - 2 * kInset, 1)), kBorder);
    // The corners are symmetric top to bottom, so these points read the same either way up.
    const auto dots = [&](std::initializer_list<QPoint> points, int tag) {
        for (const QPoint p : points)
            fillTone(painter, QRect(p, QSize(1, 1)), tag);
    };
    dots({{0, 0}, {0, h - 1}, {w - 1, 0}, {w - 1, h - 1}}, kOuterCorner);
    dots({{1, 0}, {0, 1}, {0, h - 2}, {1, h - 1}, {w - 2, 0}, {w - 1, 1}, {w - 2, h - 1}, {w - 1, h - 2}},
         kBesideCorner);
    dots({{1, 1}, {1, h - 2}, {w - 2, 1}, {w - 2, h - 2}}, kInnerCorner);
}
