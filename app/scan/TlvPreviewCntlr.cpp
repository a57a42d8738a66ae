// See TlvPreviewCntlr.h. The thumbnail view and the zoom's scroll area share one place (a stacked
// layout); the zoomed image is made only when the user zooms in, turned by the page's quarter turns,
// and dropped whenever the page or its turn changes, so it never shows another page.
#include "TlvPreviewCntlr.h"

#include "ImgInfoKeys.h"
#include "Tags.h"
#include "TlvAppState.h"
#include "TlvPreviewImages.h"
#include "TlvPreviewViews.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedLayout>
#include <QStyle>
#include <QVBoxLayout>

namespace tlv {
namespace {

// A page without a picture (its thumbnail or raw file is gone) shows as an empty white sheet.
QImage blankPage(QSize size) {
    QImage image(size.isEmpty() ? TlvPreview::kDefaultSheet : size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void setTextOf(QWidget* field, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(field))
        line->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(field))
        label->setText(text);
}

void enable(QWidget* control, bool on) {
    if (control)
        control->setEnabled(on);
}

} // namespace

TlvPreviewCntlr::TlvPreviewCntlr(TlvPreviewHost& host, QObject* parent) : QObject(parent), mHost(host) {
    mApplyPageTimer.setSingleShot(true);
    mApplyPageTimer.setInterval(kApplyPageDelay);
    connect(&mApplyPageTimer, &QTimer::timeout, this, &TlvPreviewCntlr::applySelectedPage);
}

void TlvPreviewCntlr::attach(QWidget* area, QWidget* controls) {
    QLayout* outer = area->layout();
    if (!outer) {
        outer = new QVBoxLayout(area);
        outer->setContentsMargins(0, 0, 0, 0);
    }
    mPreviewView = new TlvBasePreview;
    outer->addWidget(mPreviewView);
    mStack = new QStackedLayout(mPreviewView);
    // Inside the edge lines of the background.
    mStack->setContentsMargins(1, 1, 2, 1);
    mPreview = new TlvPreview;
    mZoomScroll = new QScrollArea;
    mZoomScroll->setFrameShape(QFrame::NoFrame);
    mZoomPreview = new TlvZoomPreview;
    mZoomScroll->setWidget(mZoomPreview);
    mZoomScroll->installEventFilter(this);
    mStack->addWidget(mPreview);
    mStack->addWidget(mZoomScroll);

    for (int tag = kTagPreFirst; tag <= kTagPreLabel; ++tag) {
        QWidget* found = appkit::viewWithTag(controls, tag);
        mControls[static_cast<std::size_t>(tag - kTagPreFirst)] = found;
        auto* button = qobject_cast<QAbstractButton*>(found);
        if (button && tag <= kTagPreLast)
            connect(button, &QAbstractButton::clicked, this, [this, tag] { prevOrNextBtn(tag); });
        else if (button && tag <= kTagPreZoomOut)
            connect(button, &QAbstractButton::clicked, this, [this, tag] { zoomOrReduceBtn(tag); });
        else if (button && tag <= kTagPreTurnRight)
            connect(button, &QAbstractButton::clicked, this, [this, tag] { rotateBtn(tag); });
    }
    if (QWidget* hidden = control(kTagPreHidden))
        hidden->hide();
    if (auto* number = qobject_cast<QLineEdit*>(control(kTagPreNumber))) {
        number->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(TlvPreviewCache::kNumberDigits)), number));
        connect(number, &QLineEdit::textEdited, &mApplyPageTimer, qOverload<>(&QTimer::start));
    }
    followPageCount(static_cast<int>(mHost.countOfImgInfoDict()));
}

QWidget* TlvPreviewCntlr::control(int tag) const {
    const int slot = tag - kTagPreFirst;
    return slot >= 0 && slot < static_cast<int>(mControls.size()) ? mControls[static_cast<std::size_t>(slot)]
                                                                  : nullptr;
}

void TlvPreviewCntlr::followPageCount(int pages) {
    const int listed = static_cast<int>(mHost.countOfImgInfoDict());
    if (listed == 0) {
        resetPreviewArea();
    } else if (pages < mCache.maxCount()) {
        mCache.keepPages(static_cast<std::size_t>(std::max(pages, 0)));
    } else {
        while (mCache.maxCount() < std::min(pages, listed))
            savePreviewImage(static_cast<std::size_t>(mCache.maxCount()));
    }
    setDefaultImage();
    updateControls(takesInput());
}

void TlvPreviewCntlr::followAppState(AppState state) {
    if (!isExecuteScnState(state) && state <= AppStateFuncConfirm)
        return;
    resetPreviewArea();
    updateControls(takesInput());
}

bool TlvPreviewCntlr::takesInput() const {
    const AppState state = mHost.appState();
    return !inStates(state, AppStateScanStandby, AppStateScanWrite) &&
           !inStates(state, AppStateFixStart, AppStateFixHandOff);
}

void TlvPreviewCntlr::savePreviewImage(std::size_t index) {
    mCache.savePreviewImage(previewImageOf(index));
}

QImage TlvPreviewCntlr::previewImageOf(std::size_t index) const {
    const std::shared_ptr<const TlvThumbnail> thumbnail = mHost.thumbnailAtIndex(index);
    QImage image = thumbnail ? imageOfThumbnail(*thumbnail) : QImage();
    if (image.isNull()) {
        const std::optional<fnd::Dictionary> record = mHost.imgInfoAtIndex(index);
        const TlvThumbSize size = record ? sizeForPreImg(record->get(ImgInfo_WidthKey).asInt32().value_or(0),
                                                         record->get(ImgInfo_HeightKey).asInt32().value_or(0))
                                         : TlvThumbSize{0, 0};
        image = blankPage(QSize(size.width, size.height));
    }
    return image;
}

void TlvPreviewCntlr::resetPreviewArea() {
    if (mHost.countOfImgInfoDict() == 0) {
        mCache.keepPages(0);
        if (mPreview)
            mPreview->setImageFrame({});
    }
    setDefaultImage();
}

void TlvPreviewCntlr::prevOrNextBtn(int tag) {
    mCache.movePage(tag);
    setDefaultImage();
    updateControls(true);
}

void TlvPreviewCntlr::applySelectedPage() {
    auto* number = qobject_cast<QLineEdit*>(control(kTagPreNumber));
    if (number && mCache.applySelectedPage(number->text()))
        setDefaultImage();
    updateControls(true);
}

void TlvPreviewCntlr::zoomOrReduceBtn(int tag) {
    if (mCache.zoom(tag) && mZoomPreview) {
        if (mCache.scale() > 0) {
            if (mZoomPreview->image().isNull())
                createZoomImageAndsetZoomPreview();
            mZoomPreview->setZoom(static_cast<std::uint16_t>(mCache.scale()));
            rotateZoomImage();
            mStack->setCurrentWidget(mZoomScroll);
        } else {
            setDefaultImage();
        }
    }
    updateControls(true);
}

void TlvPreviewCntlr::rotateBtn(int tag) {
    setDefaultImage();
    const int turns = mCache.turnCurrent(tag);
    if (turns >= 0) {
        mHost.replaceImgInfoByParam(static_cast<std::size_t>(mCache.selectedPageIndex() - 1),
                                    ImgInfo_RotateKey, turns);
        rotateImage();
    }
    updateControls(true);
}

void TlvPreviewCntlr::setDefaultImage() {
    mCache.resetZoom();
    if (const TlvPreviewEntry* entry = mCache.current(); entry && entry->image.isNull()) {
        const auto index = static_cast<std::size_t>(mCache.selectedPageIndex() - 1);
        mCache.restoreImage(index, previewImageOf(index));
    }
    if (!mZoomPreview)
        return;
    mZoomPreview->setImage({});
    mZoomPreview->setZoom(0);
    mStack->setCurrentWidget(mPreview);
    mZoomScroll->horizontalScrollBar()->setValue(0);
    mZoomScroll->verticalScrollBar()->setValue(0);
    rotateImage();
}

void TlvPreviewCntlr::rotateImage() {
    const TlvPreviewEntry* entry = mCache.current();
    if (!mPreview)
        return;
    if (!entry) {
        mPreview->setImage({});
        return;
    }
    const QImage turned = turnedImage(entry->image, entry->rotate);
    mPreview->setImageFrame(turned.size());
    mPreview->setImage(turned);
}

void TlvPreviewCntlr::createZoomImageAndsetZoomPreview() {
    const TlvPreviewEntry* entry = mCache.current();
    const std::optional<fnd::Dictionary> record =
        mHost.imgInfoAtIndex(static_cast<std::size_t>(mCache.selectedPageIndex() - 1));
    QImage zoomed = record ? createZoomImage(*record) : QImage();
    if (zoomed.isNull())
        zoomed = blankPage({1, 1});
    // In the screen's own pixel format, as it is painted at every scroll (and turned faster so).
    mZoomPreview->setImage(
        turnedImage(zoomed.convertToFormat(QImage::Format_RGB32), entry ? entry->rotate : 0));
}

void TlvPreviewCntlr::rotateZoomImage() {
    const TlvPreviewEntry* entry = mCache.current();
    if (!entry || !mZoomPreview)
        return;
    // The thumbnail's turned size, two times larger at each step.
    const bool odd = entry->rotate % 2 == 1;
    const QSize thumb = odd ? entry->image.size().transposed() : entry->image.size();
    const QSize zoomed = thumb * (2 * mCache.scale());
    const QSize area = mZoomScroll->size();
    const int bar = mZoomScroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, mZoomScroll);
    // A scroll bar on one side takes room on the other; two rounds settle it.
    bool horizontal = zoomed.width() > area.width(), vertical = zoomed.height() > area.height();
    for (int round = 0; round < 2; ++round) {
        horizontal = zoomed.width() > area.width() - (vertical ? bar : 0);
        vertical = zoomed.height() > area.height() - (horizontal ? bar : 0);
    }
    const QSize room(area.width() - (vertical ? bar : 0), area.height() - (horizontal ? bar : 0));
    mZoomPreview->setOriginalSize(zoomed);
    mZoomPreview->resize(zoomed.expandedTo(room));
    mZoomPreview->update();
}

bool TlvPreviewCntlr::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mZoomScroll && event->type() == QEvent::Resize && mCache.scale() > 0)
        rotateZoomImage();
    return QObject::eventFilter(watched, event);
}

void TlvPreviewCntlr::updateControls(bool enableAll) {
    setTextOf(control(kTagPreNumber), QString::number(mCache.selectedPageIndex()));
    setTextOf(control(kTagPreCount), QString::number(mCache.maxCount()));
    const TlvPreviewControls on = mCache.controls(enableAll, mHost.appState() < AppStateFixDone);
    enable(control(kTagPreFirst), on.firstPrev);
    enable(control(kTagPrePrev), on.firstPrev);
    enable(control(kTagPreNumber), on.number);
    enable(control(kTagPreCount), on.number);
    enable(control(kTagPreLabel), on.number);
    enable(control(kTagPreNext), on.nextLast);
    enable(control(kTagPreLast), on.nextLast);
    enable(control(kTagPreZoomIn), on.zoomIn);
    enable(control(kTagPreZoomOut), on.zoomOut);
    enable(control(kTagPreTurnLeft), on.turn);
    enable(control(kTagPreTurnRight), on.turn);
}

} // namespace tlv
