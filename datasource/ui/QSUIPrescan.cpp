// The prescan side of the dialog: the page a prescan brings back goes to the preview frame, the
// prescan-related controls follow what is shown, the preview zooms (1, 2, 4, 6, 8) and switches between
// crop and hand mode, and the window widens to the left to show the preview area and narrows back.
#include "QSUIController.h"

#include "CapHelpers.h"
#include "DialogAlerts.h"
#include "DialogItems.h"
#include "FilteringFields.h"
#include "KeyViewLoop.h"
#include "PagePreviewImage.h"
#include "QSCapIds.h"
#include "QSPreviewFrame.h"
#include "QSScanAreaGeometry.h"
#include "QSUIPreferences.h"
#include "QSUIStrings.h"
#include "Tags.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QCheckBox>
#include <QEventLoop>
#include <QPropertyAnimation>

#include <algorithm>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

constexpr float kBaseResolution = kScanAreaUnitsPerInch;
constexpr float kEmptyPreviewResolution = 200;
constexpr float kMaxZoom = 8;
constexpr int kSlideMs = 200;

// Runs one short animation of a property to its end before returning; the user's input waits.
void RunSlide(QObject* target, const char* property, const QVariant& from, const QVariant& to) {
    QPropertyAnimation animation(target, property);
    animation.setDuration(kSlideMs);
    animation.setStartValue(from);
    animation.setEndValue(to);
    QEventLoop loop;
    QObject::connect(&animation, &QAbstractAnimation::finished, &loop, &QEventLoop::quit);
    animation.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// What the window's contents need now. The box layouts inside its own keep what they worked out
// before a part was hidden or shown until they are told.
QSize NeededSize(const QWidget* window) {
    QLayout* layout = window->layout();
    if (!layout)
        return {};
    QList<QLayout*> layouts{layout};
    while (!layouts.isEmpty()) {
        QLayout* each = layouts.takeLast();
        each->invalidate();
        for (int i = 0; i < each->count(); ++i)
            if (QLayout* inner = each->itemAt(i)->layout())
                layouts.append(inner);
    }
    return layout->totalMinimumSize();
}

} // namespace

void Controller::connectPrescanControls() {
    auto onClick = [this](int tag, const char* tip, auto action) {
        if (auto* button = appkit::viewWithTag<QAbstractButton>(mWindow.get(), tag)) {
            connect(button, &QAbstractButton::clicked, this, action);
            button->setToolTip(QSUIString(QString::fromLatin1(tip)));
            button->setAccessibleName(button->toolTip());
        }
    };
    onClick(kPrescanButtonTag, "PreviewTip", [this] { performPrescan(); });
    onClick(kZoomInTag, "ZoomInTip", [this] { changePreviewZoom(kZoomInTag); });
    onClick(kZoomOutTag, "ZoomOutTip", [this] { changePreviewZoom(kZoomOutTag); });
    onClick(kCropModeTag, "CropModeTip", [this] { changePreviewMode(kCropModeTag); });
    onClick(kHandModeTag, "HandModeTip", [this] { changePreviewMode(kHandModeTag); });
    for (QWidget* view : {mSimpleModeView.data(), mAdvanceModeView.data()})
        if (auto* box = view ? appkit::viewWithTag<QCheckBox>(view, kPrescanCheckBoxTag) : nullptr)
            connect(box, &QCheckBox::clicked, this, [this] { changePrescanControls(); });
}

void Controller::initPrescanUI() {
    updatePrescanControls();
    updatePreviewMode();
    syncPrescanUI();
}

void Controller::showScanImage(std::optional<SPageBitmap> image, std::uint32_t xResolution,
                               bool positioning) {
    ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    mPositioningPrescanMode = image && positioning;
    mScanImage = std::move(image);
    if (!frame) {
        applyImageFilter();
        return;
    }
    if (mScanImage && !mPositioningPrescanMode) {
        frame->setBaseResolution(static_cast<float>(xResolution));
        frame->setBaseSize(QSizeF(mScanImage->width, mScanImage->height));
    } else {
        frame->setBaseResolution(kBaseResolution);
        const QSizeF area(GetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_WIDTH),
                          GetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_HEIGHT));
        frame->setBaseSize(
            ExchangesSides(static_cast<int>(GetCapUIntValue(mSettings, CCAP_OVK_DATAORIENTATION)))
                ? area.transposed()
                : area);
        if (!mScanImage) {
            frame->setZoomRatio(1.0f);
            frame->setDragImageMode(false);
        }
    }
    frame->setPreviewResolution(mScanImage ? static_cast<float>(xResolution) : kEmptyPreviewResolution);
    applyImageFilter();
    if (mScanImage && !mPositioningPrescanMode) {
        // The tone palette offers only the kept page's own channels.
        buildGammaControls();
        updateGammaControls();
        syncAllSettings();
        updateFavoriteControls();
    }
}

void Controller::applyImageFilter() {
    mPendingFilter.reset();
    // A kept page goes through the data source's own final filter: the preview shows the scanned tone.
    mFilteredScanImage = mScanImage;
    if (mFilteredScanImage && !mPositioningPrescanMode)
        applyFilterWithImage(*mFilteredScanImage);
    ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    if (!frame)
        return;
    frame->setPreviewImage(mFilteredScanImage ? PreviewImageFromPage(*mFilteredScanImage) : QImage());
    frame->setZoomRatio(frame->zoomRatio());
}

void Controller::syncPrescanUI() {
    ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    if (!mWindow || !mSettings)
        return;
    const bool kept = hasScanImage();
    const bool prescan = GetCapUIntValue(mSettings, CCAP_OVK_PRESCAN) != 0;
    const bool setup = mIsSetupSequence;
    const bool editable = isScanAreaEditable() && !kept;
    SetItemHidden(mWindow.get(), kOkButtonTag, !prescan && !setup);
    SetItemEnabled(mWindow.get(), kOkButtonTag, kept || setup);
    SetItemString(mWindow.get(), kCloseButtonTag,
                  QSUIString(setup || kept ? QStringLiteral("Cancel") : QStringLiteral("Close")));
    SetItemEnabled(currentView(), kPrescanCheckBoxTag, !kept);
    bool show = false;
    if (isSimpleMode()) {
        for (QWidget* view : {mSimPreviewControlSeparator2.data(), mSimPreviewControllerView.data()})
            if (view)
                view->setHidden(!prescan);
        SetItemEnabled(currentView(), kSimpleScanButtonTag, !kept);
        SetItemEnabled(currentView(), kSimpleContinueButtonTag, kept);
        showScanAreaSettingView(false, prescan);
        show = prescan;
    } else {
        SetItemHidden(mWindow.get(), kAdvancedScanButtonTag, setup && !kept);
        SetItemString(
            mWindow.get(), kAdvancedScanButtonTag,
            QSUIString(kept ? QStringLiteral("AdvContinueScanTitle") : QStringLiteral("AdvScanTitle")));
        showScanAreaSettingView(editable, (prescan && !setup) || kept || editable);
        show = (prescan && !setup) || kept || editable;
    }
    showPreviewArea(show, true);
    RecalcKeyViewLoop(mWindow.get());
    const bool image = frame && frame->hasPreviewImage();
    const float zoom = frame ? frame->zoomRatio() : 1.0f;
    // A positioning prescan would scan the next sheet over the kept page.
    SetItemEnabled(mWindow.get(), kPrescanButtonTag, !kept);
    SetItemEnabled(mWindow.get(), kZoomInTag, image && zoom < kMaxZoom);
    SetItemEnabled(mWindow.get(), kZoomOutTag, image && zoom > 1);
    SetItemEnabled(mWindow.get(), kHandModeTag, image && zoom > 1);
    SetItemEnabled(mWindow.get(), kCropModeTag, editable);
    if (kept && frame)
        frame->setDragImageMode(zoom > 1);
    updatePreviewMode();
    appkit::FStaticTextField::syncStaticTextInView(currentView());
}

void Controller::updatePrescanControls() {
    for (QWidget* view : {mSimpleModeView.data(), mAdvanceModeView.data()})
        if (auto* box = view ? appkit::viewWithTag<QCheckBox>(view, kPrescanCheckBoxTag) : nullptr)
            box->setChecked(GetCapUIntValue(mSettings, CCAP_OVK_PRESCAN) != 0);
}

void Controller::changePrescanControls() {
    auto* box = appkit::viewWithTag<QCheckBox>(currentView(), kPrescanCheckBoxTag);
    if (!box || !mSettings)
        return;
    const bool on = box->isChecked();
    // A kept prescan is grey: the colour detection would have nothing to decide on.
    if (on && GetCapUIntValue(mSettings, CCAP_OVK_DETECTPAGETYPE) != 0 &&
        !RunDialogAlert(appkit::AlertKind::Question, mWindow.get(),
                        QSUIString(QStringLiteral("ColorModeDetectWarning_Message")),
                        QSUIString(QStringLiteral("ColorModeDetectWarning_Info")), true)) {
        box->setChecked(false);
        return;
    }
    // As the question says: the checked page, and the scan after it, are grey.
    if (on && GetCapUIntValue(mSettings, CCAP_OVK_DETECTPAGETYPE) != 0) {
        SetCapSIntValue(mSettings, CCAP_OVK_DETECTPAGETYPE, 0);
        SetCapUIntValue(mSettings, ICAP_PIXELTYPE, TWPT_GRAY);
    }
    SetCapUIntValue(mSettings, CCAP_OVK_PRESCAN, on ? 1 : 0);
    if (!on && isSimpleMode())
        for (const TW_UINT16 id :
             {ICAP_BRIGHTNESS, BackTwin(ICAP_BRIGHTNESS), CCAP_OVKM_BACKBRIGHTNESSENABLED, ICAP_CONTRAST,
              BackTwin(ICAP_CONTRAST), CCAP_OVKM_BACKCONTRASTENABLED, CCAP_OVK_TEXTENHANCE_BRIGHTNESS,
              CCAP_OVK_TEXTENHANCE_CONTRAST})
            ResetCapValue(mSettings, id);
    buildColorModeControls();
    updateColorModeControls();
    changeColorModeControls(nullptr);
    syncBasicSettingUI();
    syncToneSettingUI();
    syncPrescanUI();
    changeFavoriteControls(nullptr);
}

void Controller::changePreviewZoom(int tag) {
    ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    if (!frame)
        return;
    const float zoom = NextZoomRatio(frame->zoomRatio(), tag == kZoomInTag ? 1 : -1);
    frame->setZoomRatio(zoom);
    if (zoom <= 1)
        frame->setDragImageMode(false);
    updatePreviewMode();
    syncPrescanUI();
}

void Controller::changePreviewMode(int tag) {
    if (ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame())
        frame->setDragImageMode(tag == kHandModeTag);
    updatePreviewMode();
}

void Controller::updatePreviewMode() {
    const ComOrvikElectronicsK3100QSPreviewFrame* frame = previewFrame();
    const bool hand = frame && frame->dragImageMode();
    SetItemIntValue(mWindow.get(), kHandModeTag, hand ? 1 : 0);
    SetItemIntValue(mWindow.get(), kCropModeTag, hand ? 0 : 1);
}

void Controller::showScanAreaSettingView(bool show, bool animate) {
    QWidget* view = mScanAreaSettingView.data();
    if (!view || view->isHidden() != show)
        return;
    if (!animate || !mWindow || !mWindow->isVisible() || !isPreviewAreaShown()) {
        view->setVisible(show);
        return;
    }
    // Slides in from the box's bottom edge while the preview above it gives way, and back out.
    const int height = view->sizeHint().height();
    if (show) {
        view->setMaximumHeight(0);
        view->show();
    }
    RunSlide(view, "maximumHeight", show ? 0 : view->height(), show ? height : 0);
    if (!show)
        view->hide();
    view->setMaximumHeight(QWIDGETSIZE_MAX);
}

bool Controller::isPreviewAreaShown() const {
    return mPreviewFrameBox && !mPreviewFrameBox->isHidden();
}

void Controller::showPreviewArea(bool show, bool adjust) {
    if (!mWindow || !mPreviewFrameBox)
        return;
    const QBoxLayout* row = mWindow->findChild<QBoxLayout*>(QStringLiteral("mainRow"));
    const int spacing = row ? std::max(row->spacing(), 0) : 0;
    QRect frame = mWindow->geometry();
    if (show && !isPreviewAreaShown()) {
        // Widened to the left, so the settings stay where the user had them.
        const int width =
            mPreviewAreaWidth > 0 ? mPreviewAreaWidth : mPreviewFrameBox->sizeHint().width() + spacing;
        mPreviewFrameBox->show();
        mWindow->setMaximumWidth(QWIDGETSIZE_MAX);
        frame.setLeft(frame.left() - width);
        // The preview may need more height than the settings alone.
        frame.setHeight(std::max(frame.height(), NeededSize(mWindow.get()).height()));
        if (adjust)
            frame = clampedToScreen(frame);
        if (mWindow->isVisible())
            RunSlide(mWindow.get(), "geometry", mWindow->geometry(), frame);
        mWindow->setGeometry(frame);
    } else if (!show && isPreviewAreaShown()) {
        if (mWindow->layout())
            mWindow->layout()->activate();
        // Out of sight, the window has the size it was designed or stored with, not the one the user
        // gave the preview: the preview's natural width goes.
        mPreviewAreaWidth =
            (mWindow->isVisible() ? mPreviewFrameBox->width() : mPreviewFrameBox->sizeHint().width()) +
            spacing;
        mPreviewFrameBox->hide();
        // Narrowed from the left, never below the window's minimum, nor below the settings' width in
        // the designed window: a frame left narrow on a smaller screen would squeeze them for good, as
        // this width is the window's one width (the room on its screen bounds it).
        mSettingsWidth = std::max({std::max(frame.width(), mDesignedWidth) - mPreviewAreaWidth,
                                   mMinWindowWidth, NeededSize(mWindow.get()).width()});
        frame.setLeft(frame.right() + 1 - mSettingsWidth);
        keepWindowWidthRule(frame);
        mWindow->setGeometry(frame);
    }
    keepWindowWidthRule(mWindow->geometry());
    if (adjust) {
        const QRect kept = clampedToScreen(mWindow->geometry());
        if (kept != mWindow->geometry())
            mWindow->setGeometry(kept);
    }
}

void Controller::keepWindowWidthRule(const QRect& frame) {
    // With the preview the window may grow; without it, it keeps the settings' own width. The height
    // never goes below what the contents need (a minimum set here replaces the layout's own). Neither
    // goes past the room on the screen: there the layout takes from its largest parts first, the
    // settings and the preview, which scroll, and the rows of buttons stay whole.
    const QSize need = NeededSize(mWindow.get());
    const QList<QRect> screens = AvailableScreenFrames();
    const QSize room =
        screens.isEmpty()
            ? QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)
            : ScreenOf(frame.marginsAdded(mFrameMargins), screens).marginsRemoved(mFrameMargins).size();
    const bool fixed = !isPreviewAreaShown() && mSettingsWidth > 0;
    const QSize least = QSize(fixed ? mSettingsWidth : std::max(mMinWindowWidth, need.width()), need.height())
                            .boundedTo(room);
    mWindow->setMinimumSize(least);
    mWindow->setMaximumWidth(fixed ? least.width() : QWIDGETSIZE_MAX);
}

QRect Controller::clampedToScreen(const QRect& frame) {
    keepWindowWidthRule(frame);
    const QRect wanted(frame.topLeft(),
                       frame.size().expandedTo(mWindow->minimumSize()).boundedTo(mWindow->maximumSize()));
    return ClampToScreens(wanted.marginsAdded(mFrameMargins), AvailableScreenFrames())
        .marginsRemoved(mFrameMargins);
}

void Controller::closeOrCancel() {
    if (!mIsSetupSequence && hasScanImage())
        performCancel();
    else if (mWindow)
        mWindow->close();
}
