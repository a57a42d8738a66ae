#include "TlvStripViews.h"

#include "DrawTones.h"

#include <QPainter>

#include <algorithm>

TlvModeStripView::TlvModeStripView(std::string_view foaTile, std::string_view jobTile, QWidget* parent)
    : QWidget(parent), mInfoBaseImg{ViewImage::named(foaTile), ViewImage::named(jobTile)} {
    // As high as its tiles, which do not stretch; as wide as the layout makes it.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

TlvExpView::TlvExpView(QWidget* parent)
    : TlvModeStripView("HD_FInfo_Back_J_E", "HD_JInfo_Back_J_E", parent) {}

TlvStepInfoView::TlvStepInfoView(QWidget* parent)
    : TlvModeStripView("HD_Fstep_Back_J_E", "HD_Jstep_Back_J_E", parent) {}

void TlvModeStripView::setScnModeForView(std::int32_t mode) {
    if (mode == mScnModeForView)
        return;
    mScnModeForView = mode;
    update();
}

int TlvModeStripView::tileCount(int viewWidth, int imageWidth) {
    return std::max(viewWidth, 0) / std::max(imageWidth, 1) + 1;
}

QSize TlvModeStripView::sizeHint() const {
    const auto& tile = mInfoBaseImg[0] ? mInfoBaseImg[0] : mInfoBaseImg[1];
    return tile ? QSize(tile->size().width() * 4, tile->size().height()) : QSize(256, 32);
}

void TlvModeStripView::paintEvent(QPaintEvent*) {
    if (mScnModeForView != 0 && mScnModeForView != 1)
        return;
    const auto& tile = mInfoBaseImg[static_cast<std::size_t>(mScnModeForView)];
    if (!tile)
        return;
    QPainter painter(this);
    const QPixmap pixmap = forPalette(tile->pixmap(devicePixelRatioF()), palette());
    const int tileWidth = tile->size().width();
    // Tiles rest on the bottom edge, as the strip was laid out from there.
    const int y = height() - tile->size().height();
    for (int i = 0, n = tileCount(width(), tileWidth); i < n; ++i)
        painter.drawPixmap(i * tileWidth, y, pixmap);
}
