// Set-up, showing and hiding, closing and teardown of the dialog.
#include "QSUIController.h"

#include "CapHelpers.h"
#include "DataSourcePreferences.h"
#include "DialogItems.h"
#include "FPatternView.h"
#include "FRollOverButton.h"
#include "FStepper.h"
#include "FilteringFields.h"
#include "KeyViewLoop.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "NwScrollableView.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSGammaView.h"
#include "QSPreviewFrame.h"
#include "QSUIPreferences.h"
#include "QSUIStrings.h"
#include "RollOverImages.h"
#include "ShieldWindows.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <array>

namespace {

constexpr int kCloseRequestDelayMs = 100;
constexpr int kGammaViewTag = 250;

} // namespace

const UiClassMap& DialogClasses() {
    static const UiClassMap classes{
        {QStringLiteral("FTextField"), [](QWidget* parent) { return new appkit::FTextField(parent); }},
        {QStringLiteral("FStaticTextField"),
         [](QWidget* parent) { return new appkit::FStaticTextField(parent); }},
        {QStringLiteral("FRollOverButton"),
         [](QWidget* parent) { return new ComOrvikElectronicsK3100FRollOverButton(parent); }},
        {QStringLiteral("FPatternView"),
         [](QWidget* parent) { return new ComOrvikElectronicsK3100FPatternView(parent); }},
        {QStringLiteral("FStepper"),
         [](QWidget* parent) { return new ComOrvikElectronicsK3100FStepper(parent); }},
        {QStringLiteral("NwScrollArea"),
         [](QWidget* parent) { return new ComOrvikElectronicsK3100NwScrollArea(parent); }},
        {QStringLiteral("NwScrollableView"),
         [](QWidget* parent) { return new ComOrvikElectronicsK3100NwScrollableView(parent); }},
        {QStringLiteral("QSGammaView"),
         [](QWidget* parent) { return new ComOrvikElectronicsK3100QSGammaView(parent); }},
        {QStringLiteral("QSPreviewFrame"),
         [](QWidget* parent) { return new ComOrvikElectronicsK3100QSPreviewFrame(parent); }},
    };
    return classes;
}

ComOrvikElectronicsK3100QSUIController::ComOrvikElectronicsK3100QSUIController()
    : mWindow(LoadResourceUiFile(QStringLiteral("OrvkQSUI"), DialogClasses(), ResourcePeeker)),
      mDelayedMessages(std::make_unique<QObject>()) {
    if (!mWindow)
        return;
    mMinWindowWidth = mWindow->minimumWidth();
    mDesignedWidth = mWindow->width();
    mSettingModeTab = appkit::viewWithTag<QTabWidget>(mWindow.get(), kSettingModeTabTag);
    mSimpleModeView = mWindow->findChild<QWidget*>(QStringLiteral("simpleModeView"));
    mAdvanceModeView = mWindow->findChild<QWidget*>(QStringLiteral("advanceModeView"));
    mPreviewFrame = mWindow->findChild<QScrollArea*>(QStringLiteral("previewFrame"));
    mPreviewFrameBox = mWindow->findChild<QWidget*>(QStringLiteral("previewFrameBox"));
    mScanAreaSettingView = mWindow->findChild<QWidget*>(QStringLiteral("scanAreaSettingView"));
    mSimPreviewControlSeparator2 = mWindow->findChild<QWidget*>(QStringLiteral("simplePreviewSeparator2"));
    mSimPreviewControllerView = mWindow->findChild<QWidget*>(QStringLiteral("simplePreviewControllerView"));
    if (mPreviewFrame && !previewFrame())
        if (auto* frame = mPreviewFrame->findChild<ComOrvikElectronicsK3100QSPreviewFrame*>())
            mPreviewFrame->setWidget(frame);
    // The settings of either mode scroll in their pane when the window is too small for them all; the
    // pane takes what the window gives it and scrolls when that is less than the settings need. It lies
    // on the tab's own background.
    for (const auto& [scroller, settings] : {std::pair{"simpleSettingScroller", "simpleSettingView"},
                                             {"advToneSettingScroller", "advImageSettingView"}}) {
        auto* area = mWindow->findChild<QScrollArea*>(QLatin1String(scroller));
        auto* view = area ? area->findChild<QWidget*>(QLatin1String(settings)) : nullptr;
        if (!view)
            continue;
        area->setWidget(view);
        area->viewport()->setAutoFillBackground(false);
        view->setAutoFillBackground(false);
    }
    mAdvToneSettingScroller = mWindow->findChild<QScrollArea*>(QStringLiteral("advToneSettingScroller"));
    mImagePalette = loadPalette(QStringLiteral("ImagePalette"));
    mGammaPalette = loadPalette(QStringLiteral("GammaPalette"));
    mPreferencePalette = loadPalette(QStringLiteral("PreferencePalette"));
    SetupScrollableViews(mWindow.get());
    mWindow->installEventFilter(this);
    connectButtons();
    connectSettingModeTab();
    connectBasicSettingControls();
    connectAreaSelectionControls();
    connectPrescanControls();
    connectPalettes();
    if (mGammaPalette)
        mGammaView =
            appkit::viewWithTag<ComOrvikElectronicsK3100QSGammaView>(mGammaPalette.data(), kGammaViewTag);
    connectToneControls();
    connectImageEnhanceControls();
    connectExtraControls();
}

ComOrvikElectronicsK3100QSUIController::~ComOrvikElectronicsK3100QSUIController() {
    fnd::NotificationCenter::defaultCenter().removeObserver(this);
    mDelayedMessages.reset();
    // The palettes go with the window, after this controller's members.
    for (QWidget* palette : {mImagePalette.data(), mGammaPalette.data(), mPreferencePalette.data()})
        if (palette) {
            palette->removeEventFilter(this);
            for (QLabel* bar : palette->findChildren<QLabel*>())
                bar->removeEventFilter(this);
        }
    if (!mWindow)
        return;
    setShield(false);
    hideMainWindow();
    mWindow->removeEventFilter(this);
}

void ComOrvikElectronicsK3100QSUIController::connectButtons() {
    auto onClick = [this](int tag, void (ComOrvikElectronicsK3100QSUIController::*command)()) {
        if (auto* button = appkit::viewWithTag<QAbstractButton>(mWindow.get(), tag))
            connect(button, &QAbstractButton::clicked, this, [this, command] { (this->*command)(); });
    };
    onClick(kAdvancedScanButtonTag, &ComOrvikElectronicsK3100QSUIController::performScan);
    onClick(kSimpleScanButtonTag, &ComOrvikElectronicsK3100QSUIController::performScan);
    onClick(kSimpleContinueButtonTag, &ComOrvikElectronicsK3100QSUIController::performContinueScan);
    onClick(kOkButtonTag, &ComOrvikElectronicsK3100QSUIController::performScanComplete);
    onClick(kCloseButtonTag, &ComOrvikElectronicsK3100QSUIController::closeOrCancel);
    onClick(kHelpButtonTag, &ComOrvikElectronicsK3100QSUIController::showQSHelp);
}

void ComOrvikElectronicsK3100QSUIController::setupMainUIWithParam(const fnd::Dictionary& params, int flag) {
    fnd::PreferencesFile preferences(DataSourcePreferencesPath());
    mUIParameters = params;
    mIsSetupSequence = flag == 0;
    mSettings = nullptr;
    if (!mWindow)
        return;
    // A scanner that cannot be read keeps what was read before; the double-feed methods use it too.
    if (std::optional<fnd::Dictionary> info = getScannerInfo())
        mScannerInfo = std::move(info);
    mSettings = static_cast<CCapPool*>(mUIParameters.get(kUIParamCapabilityPool).asPointer());
    const std::string* name = mScannerInfo ? mScannerInfo->get("ScannerName").asString() : nullptr;
    mWindow->setWindowTitle(name && !name->empty()
                                ? QSUIString(QStringLiteral("WindowTitle")).arg(QString::fromStdString(*name))
                                : QSUIString(QStringLiteral("WindowTitleNoScanner")));
    setupPatternViews();
    if (mIsSetupSequence) {
        SetItemString(mWindow.get(), kCloseButtonTag, QSUIString(QStringLiteral("Cancel")));
        SetItemHidden(mWindow.get(), kAdvancedScanButtonTag, true);
        if (mSettingModeTab) {
            mSettingModeTab->removeTab(mSettingModeTab->indexOf(mSimpleModeView));
            mSettingModeTab->tabBar()->hide();
        }
    } else {
        SetItemHidden(mWindow.get(), kOkButtonTag, true);
    }
    const std::string* margins = preferences.get(kPrefWindowFrameMargins).asString();
    const std::optional<QMargins> kept =
        margins ? ParseMarginsString(QString::fromStdString(*margins)) : std::nullopt;
    mFrameMargins = kept ? *kept / mWindow->devicePixelRatioF() : WindowFrameMargins(mWindow.get());
    if (preferences.state() == fnd::PreferencesFile::State::Loaded) {
        restoreWindowFrame(preferences.values());
        if (!mIsSetupSequence && mSettingModeTab)
            if (const std::optional<std::int64_t> mode = preferences.get(kPrefSettingMode).asInt64())
                mSettingModeTab->setCurrentIndex(static_cast<int>(*mode));
    }
    // The build steps may clear the favourite name; it is put back after them.
    std::array<std::uint8_t, 256> favoriteName{};
    const bool hasFavoriteName = GetCapStrValue(mSettings, CCAP_OVKM_FAVORITENAME, favoriteName);
    if (!mIsSetupSequence && isSimpleMode())
        resetSettingsForSimpleScan();
    buildToneSettingView();
    setupRollOverButtons();
    buildFavoriteControls();
    initSettingAreas();
    if (hasFavoriteName)
        SetCapStrValue(mSettings, CCAP_OVKM_FAVORITENAME, favoriteName);
    updateFavoriteControls();
    if (!mStoredFrame) {
        // At its natural size: the screen it is shown on takes it in then.
        mWindow->resize(mWindow->sizeHint());
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = mWindow->geometry();
            frame.moveCenter(screen->availableGeometry().center());
            mWindow->setGeometry(frame);
        }
    } else {
        // The stored frame holds the preview area, which the builds may have taken out again: only
        // the frame now shown is kept on a screen. It keeps its right edge, so the settings stay where
        // they were left, and widens to the left (as for the preview) to at least its natural width: a
        // frame left on a smaller screen would squeeze the settings where there is room.
        const int natural = std::min(mWindow->sizeHint().width(), mWindow->maximumWidth());
        QRect frame = mWindow->geometry();
        frame.moveRight(mStoredFrame->right());
        frame.setLeft(std::min(frame.left(), frame.right() + 1 - natural));
        mWindow->setGeometry(clampedToScreen(frame));
    }
}

void ComOrvikElectronicsK3100QSUIController::setupPatternViews() {
    // The scan area is set apart from the preview above it in the palette's own shade, light or dark.
    if (auto* area = dynamic_cast<ComOrvikElectronicsK3100FPatternView*>(mScanAreaSettingView.data()))
        area->setColor(area->palette().color(QPalette::Button));
    auto* separator =
        dynamic_cast<ComOrvikElectronicsK3100FPatternView*>(mSimPreviewControlSeparator2.data());
    if (!separator)
        return;
    const QString name = QStringLiteral("SPL_LineLink_N");
    separator->setPatternImage(QSUIImage(name).pixmap(QSUIImageSize(name), separator->devicePixelRatioF()));
}

void ComOrvikElectronicsK3100QSUIController::initSettingAreas() {
    initBasicSettingUI();
    initAreaSelectionUI();
    initImageEnhanceUI();
    initToneSettingUI();
    initExtraSettingUI();
    initPrescanUI();
    updateUnitControls();
}

void ComOrvikElectronicsK3100QSUIController::restoreWindowFrame(const fnd::Dictionary& preferences) {
    const char* key = mIsSetupSequence ? kPrefSetupSequenceWindowFrame : kPrefWindowFrame;
    const std::string* text = preferences.get(key).asString();
    const std::optional<QRect> frame = text ? ParseFrameString(QString::fromStdString(*text)) : std::nullopt;
    if (!frame)
        return;
    mWindow->setGeometry(*frame);
    mStoredFrame = frame;
}

void ComOrvikElectronicsK3100QSUIController::showMainWindow() {
    if (!mWindow)
        return;
    const bool appearing = !mWindow->isVisible();
    if (appearing) {
        fnd::NotificationCenter::defaultCenter().post(kShowQSWindowNotification,
                                                      fnd::Value::pointer(mWindow.get()));
        // Whole on the screen with its frame (widened for a kept page, too) before it is shown: the
        // window manager frames it as it is shown, at the place it is given then.
        mWindow->setGeometry(clampedToScreen(mWindow->geometry()));
        mWindow->show();
        // Laid out round the dialog, the palettes keep off its buttons, which are placed only now.
        if (!isSimpleMode())
            restorePaletteState();
        keepPalettesAbove(true);
        mWindow->raise();
        mWindow->activateWindow();
    }
    RecalcKeyViewLoop(mWindow.get());
    if (!appearing)
        return;
    const int first =
        mIsSetupSequence ? kOkButtonTag : (isSimpleMode() ? kSimpleScanButtonTag : kAdvancedScanButtonTag);
    if (QWidget* control = appkit::viewWithTag(mWindow.get(), first))
        control->setFocus(Qt::OtherFocusReason);
}

void ComOrvikElectronicsK3100QSUIController::hideMainWindow() {
    if (!mWindow || !mWindow->isVisible())
        return;
    fnd::PreferencesFile preferences(DataSourcePreferencesPath());
    fnd::NotificationCenter::defaultCenter().post(kHideQSWindowNotification,
                                                  fnd::Value::pointer(mWindow.get()));
    keepPalettesAbove(false);
    mWindow->hide();
    // The frame is kept with the preview area in it; the next set-up takes it out where not needed.
    showPreviewArea(true, false);
    const std::string frame = FrameString(mWindow->geometry()).toStdString();
    if (mIsSetupSequence) {
        preferences.set(kPrefSetupSequenceWindowFrame, frame);
    } else {
        preferences.set(kPrefWindowFrame, frame);
        if (mSettingModeTab)
            preferences.set(kPrefSettingMode, std::int64_t{mSettingModeTab->currentIndex()});
    }
    // Kept once, in the screen's pixels, so that a later change of the desktop's scale still finds it.
    const std::string* kept = preferences.get(kPrefWindowFrameMargins).asString();
    if (!kept || !ParseMarginsString(QString::fromStdString(*kept)))
        preferences.set(kPrefWindowFrameMargins,
                        MarginsString(mFrameMargins * mWindow->devicePixelRatioF()).toStdString());
    preferences.save();
    if (!isSimpleMode())
        savePaletteState();
}

bool ComOrvikElectronicsK3100QSUIController::isMainWindowVisible() const {
    return mWindow && mWindow->isVisible();
}

bool ComOrvikElectronicsK3100QSUIController::eventFilter(QObject* watched, QEvent* event) {
    if (watched != mWindow.get()) {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            syncPaletteButtons();
        // The tone palette's colour bars are redrawn at their new size.
        if (event->type() == QEvent::Resize && qobject_cast<QLabel*>(watched))
            updateGammaBars();
        return false;
    }
    if (event->type() == QEvent::Close && mWindow->isVisible())
        windowWillClose();
    // Escape would only hide the window; it closes it, as the close button does.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        mWindow->close();
        return true;
    }
    return false;
}

void ComOrvikElectronicsK3100QSUIController::windowWillClose() {
    refrectScanAreaControls();
    decideScanArea(false);
    hideMainWindow();
    // Gone for the rest of the session; deleted once its close has been handled.
    mWindow->removeEventFilter(this);
    mWindow.release()->deleteLater();
    closeRequest(true);
}

void ComOrvikElectronicsK3100QSUIController::closeRequest(bool keep) {
    QTimer::singleShot(kCloseRequestDelayMs, mDelayedMessages.get(), [keep] {
        fnd::NotificationCenter::defaultCenter().post(kCloseRequestNotification, fnd::Value(keep));
    });
}

void ComOrvikElectronicsK3100QSUIController::cancelDelayedMessages() {
    mDelayedMessages = std::make_unique<QObject>();
}

void ComOrvikElectronicsK3100QSUIController::setShield(bool on) {
    // The data source shields the dialog for the length of a scan.
    mScanRunning = on;
    if (!mWindow)
        return;
    // A palette hidden now stays shielded should it come up during the scan.
    for (QWidget* window :
         {mWindow.get(), mImagePalette.data(), mGammaPalette.data(), mPreferencePalette.data()}) {
        if (window && on)
            appkit::FWindow::setShieldWindow(window, true);
        else if (window)
            appkit::FWindow::removeShieldWindow(window);
    }
}

void ComOrvikElectronicsK3100QSUIController::setScanImage(const SPageBitmap& image, std::uint32_t xResolution,
                                                          bool positioning) {
    showScanImage(image, xResolution, positioning);
}

QWidget* ComOrvikElectronicsK3100QSUIController::currentView() const {
    return mSettingModeTab ? mSettingModeTab->currentWidget() : nullptr;
}

bool ComOrvikElectronicsK3100QSUIController::isSimpleMode() const {
    return mSimpleModeView && currentView() == mSimpleModeView;
}

ComOrvikElectronicsK3100QSPreviewFrame* ComOrvikElectronicsK3100QSUIController::previewFrame() const {
    return mPreviewFrame ? dynamic_cast<ComOrvikElectronicsK3100QSPreviewFrame*>(mPreviewFrame->widget())
                         : nullptr;
}

bool ComOrvikElectronicsK3100QSUIController::hasScanImage() const {
    return mScanImage.has_value() && !mPositioningPrescanMode;
}
