#include "FPatternView.h"

#include <QPainter>

ComOrvikElectronicsK3100FPatternView::ComOrvikElectronicsK3100FPatternView(QWidget* parent)
    : QWidget(parent) {}

void ComOrvikElectronicsK3100FPatternView::setColor(const QColor& color) {
    mPattern = QBrush(color);
    update();
}

void ComOrvikElectronicsK3100FPatternView::setPatternImage(const QPixmap& image) {
    mPattern = QBrush(image);
    update();
}

void ComOrvikElectronicsK3100FPatternView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The tiles start at the window's corner, not the view's.
    painter.setBrushOrigin(mapFrom(window(), QPoint(0, 0)));
    painter.fillRect(rect(), mPattern);
}
