#include "TlvStepPartsView.h"

#include "DrawTones.h"

#include <QLayout>
#include <QPainter>

TlvStepPartsView::TlvStepPartsView(QWidget* parent)
    : QWidget(parent), mInfoFoaImg{ViewImage::named("HD_Fstep_D_E"), ViewImage::named("HD_Fstep_A_E"),
                                   ViewImage::named("HD_Fstep_Finish")},
      mInfoJobImg{ViewImage::named("HD_Jstep_D_E"), ViewImage::named("HD_Jstep_A_E"),
                  ViewImage::named("HD_Jstep_Finish")} {}

void TlvStepPartsView::setScnModeForView(std::int32_t mode) {
    if (mode == mScnModeForView)
        return;
    mScnModeForView = mode;
    update();
}

void TlvStepPartsView::setIsDrawImg(bool current) {
    if (current == mIsDrawImg)
        return;
    mIsDrawImg = current;
    update();
}

QSize TlvStepPartsView::sizeHint() const {
    const auto& inactive = images()[0];
    const QSize drawn = inactive ? inactive->size() : QSize(160, 32);
    // Grown with its label's font: the arrow's tips take about a height of room beside the words.
    const QSize words = layout() ? layout()->sizeHint() : QSize();
    return drawn.expandedTo({words.width() + drawn.height(), words.height()});
}

void TlvStepPartsView::paintEvent(QPaintEvent*) {
    const auto& [inactive, active, finish] = images();
    const auto& image = mIsFinishView ? (mIsDrawImg ? finish : nullptr) : (mIsDrawImg ? active : inactive);
    if (!image)
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, forPalette(image->pixmap(devicePixelRatioF(), size()), palette()));
}
