#include "TlvPlainViews.h"

#include "DrawTones.h"

namespace {

void fillView(QWidget* view, int tag) {
    QPainter painter(view);
    fillTone(painter, view->rect(), tag);
}

} // namespace

void TlvFrameView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width(), h = height();
    for (const QRect edge :
         {QRect(0, 0, w, 1), QRect(0, h - 1, w, 1), QRect(0, 0, 1, h), QRect(w - 1, 0, 1, h)})
        fillTone(painter, edge, 2);
}

void TlvImgFormulaView::paintEvent(QPaintEvent*) {
    fillView(this, 0);
}

void TlvMainDummyView::paintEvent(QPaintEvent*) {
    fillView(this, 1);
}

void TlvPrefHelpView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    fillTone(painter, rect(), 0);
    // A soft top edge: three lines, darkest at the top.
    for (int line = 0; line < 3; ++line)
        fillTone(painter, QRect(0, line, width(), 1), 3 + line);
}

void TlvToolBarView::paintEvent(QPaintEvent*) {
    fillView(this, 11);
}
