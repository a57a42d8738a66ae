// Extra settings: double-feed detection, the feeding palette (jam-less feeding, manual feed with its
// waiting time, the unit), and the scanner information and maintenance panels. A counter reset or a new
// longest page is reported as done only when the scanner took it.
#include "Bundle.h"
#include "CapHelpers.h"
#include "DataSourcePreferences.h"
#include "DialogAlerts.h"
#include "DialogItems.h"
#include "FilteringFields.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSUIController.h"
#include "QSUIPreferences.h"
#include "QSUIStrings.h"
#include "ResourcePeeker.h"
#include "ShieldWindows.h"
#include "Tags.h"
#include "UiFiles.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>
#include <array>

namespace {

using Controller = ComOrvikElectronicsK3100QSUIController;

constexpr int kDoubleFeedBox = 411;
constexpr int kDoubleFeedMethod = 412;
constexpr int kJamlessBox = 400;
constexpr int kManualFeed = 420;
constexpr int kWaitTime = 422;
constexpr int kWaitTimeText = 423;
constexpr int kUnit = 187;
constexpr int kMaintenanceButton = 456;
constexpr int kPanelOk = 1;
constexpr int kResetRoller = 464;
constexpr int kResetPad = 465;
constexpr int kMaxScanLength = 462;
constexpr int kSetMaxScanLength = 466;
constexpr std::int64_t kMicrometresPerMillimetre = 1000;

constexpr int kUltrasonic = 1;
constexpr int kLength = 2;
constexpr int kManualFeedWaitItem = 2;
// Manual feed pop-up index to capability value.
constexpr std::array<std::int32_t, 3> kManualFeedValues{0, 2, 3};

void SetQuietly(QWidget* view, int tag, int value) {
    QWidget* control = view ? appkit::viewWithTag(view, tag) : nullptr;
    const QSignalBlocker blocker(control);
    SetItemIntValue(view, tag, value);
}

QString Count(const std::optional<fnd::Dictionary>& info, const char* key) {
    return info ? QString::number(info->get(key).asInt64().value_or(0)) : QString();
}

QDialog* LoadPanel(const char* name, QWidget* parent) {
    std::unique_ptr<QWidget> loaded =
        LoadResourceUiFile(QString::fromLatin1(name), DialogClasses(), ResourcePeeker);
    auto* panel = qobject_cast<QDialog*>(loaded.get());
    if (!panel)
        return nullptr;
    loaded.release();
    panel->setParent(parent, Qt::Dialog);
    panel->setWindowTitle(QSUIString(QString::fromLatin1(name)));
    return panel;
}

void Centre(QWidget* panel, const QWidget* over) {
    panel->adjustSize();
    if (!over)
        return;
    QRect frame = panel->frameGeometry();
    frame.moveCenter(over->frameGeometry().center());
    panel->move(frame.topLeft());
}

} // namespace

void Controller::connectExtraControls() {
    for (QWidget* view : {mSimpleModeView.data(), mAdvanceModeView.data()}) {
        if (auto* box = view ? appkit::viewWithTag<QAbstractButton>(view, kDoubleFeedBox) : nullptr)
            connect(box, &QAbstractButton::clicked, this, [this, box] { changeDoubleFeedControls(box); });
        if (auto* popup = view ? appkit::viewWithTag<QComboBox>(view, kDoubleFeedMethod) : nullptr)
            connect(popup, &QComboBox::activated, this, [this, popup] { changeDoubleFeedControls(popup); });
    }
    if (auto* button = appkit::viewWithTag<QAbstractButton>(mWindow.get(), kInformationButtonTag))
        connect(button, &QAbstractButton::clicked, this, [this] { showScannerInformationPanel(); });
    QWidget* palette = mPreferencePalette.data();
    if (!palette)
        return;
    if (auto* popup = appkit::viewWithTag<QComboBox>(palette, kManualFeed)) {
        for (const char* key : {"ManualFeed_Off", "ManualFeed_Continue", "ManualFeed_Wait"})
            popup->addItem(QSUIString(QString::fromLatin1(key)));
        connect(popup, &QComboBox::activated, this, [this, popup] { changePreferenceControls(popup); });
    }
    if (auto* box = appkit::viewWithTag<QAbstractButton>(palette, kJamlessBox))
        connect(box, &QAbstractButton::clicked, this, [this, box] { changePreferenceControls(box); });
    if (auto* slider = appkit::viewWithTag<QSlider>(palette, kWaitTime))
        connect(slider, &QSlider::valueChanged, this, [this, slider] { changePreferenceControls(slider); });
}

void Controller::initExtraSettingUI() {
    if (!mSettings)
        return;
    buildDoubleFeedControls();
    updateDoubleFeedControls();
    updatePreferenceControls();
    syncExtraSettingUI();
    syncPreferencePalette();
}

bool Controller::scannerSupportsUltrasonic() const {
    return mScannerInfo && mScannerInfo->get("SupportDfdByUSS").asBool().value_or(false);
}

void Controller::buildDoubleFeedControls() {
    const bool ultrasonic = scannerSupportsUltrasonic();
    if (auto* popup = appkit::viewWithTag<QComboBox>(mAdvanceModeView.data(), kDoubleFeedMethod)) {
        popup->clear();
        auto add = [popup](const char* key, int tag) {
            popup->addItem(QSUIString(QString::fromLatin1(key)));
            popup->setItemData(popup->count() - 1, tag, appkit::kItemTagRole);
        };
        if (ultrasonic) {
            add("DetectDoubleFeed_UltraSonic", kUltrasonic);
            add("DetectDoubleFeed_Length", kLength);
            add("DetectDoubleFeed_UltraSonic_Length", kUltrasonic | kLength);
        } else {
            add("DetectDoubleFeed_Length", kLength);
        }
    }
    SetItemHidden(mSimpleModeView.data(), kDoubleFeedBox, !ultrasonic);
}

void Controller::updateDoubleFeedControls() {
    QWidget* view = currentView();
    const int ultrasonic =
        GetCapSIntValue(mSettings, CCAP_OVK_DETECTDBLFEED_ULTRASONIC) != 0 ? kUltrasonic : 0;
    if (isSimpleMode()) {
        SetQuietly(view, kDoubleFeedBox, ultrasonic);
        return;
    }
    const int methods =
        ultrasonic | (GetCapSIntValue(mSettings, CCAP_OVK_DETECTDBLFEED_LENGTH) != 0 ? kLength : 0);
    SetQuietly(view, kDoubleFeedBox, methods != 0 ? 1 : 0);
    if (methods != 0) {
        auto* popup = appkit::viewWithTag<QComboBox>(view, kDoubleFeedMethod);
        const QSignalBlocker blocker(popup);
        SetMenuItemIntValue(view, kDoubleFeedMethod, methods);
    }
}

void Controller::changeDoubleFeedControls(QWidget* sender) {
    QWidget* view = currentView();
    const int tag = appkit::tagOf(sender).value_or(0);
    if (isSimpleMode()) {
        SetCapSIntValue(mSettings, CCAP_OVK_DETECTDBLFEED_ULTRASONIC,
                        GetItemIntValue(view, kDoubleFeedBox) != 0);
    } else if (tag == kDoubleFeedBox && GetItemIntValue(view, kDoubleFeedBox) == 0) {
        SetCapSIntValue(mSettings, CCAP_OVK_DETECTDBLFEED_ULTRASONIC, 0);
        SetCapSIntValue(mSettings, CCAP_OVK_DETECTDBLFEED_LENGTH, 0);
    } else {
        const int methods = GetMenuItemIntValue(view, kDoubleFeedMethod);
        SetCapSIntValue(mSettings, CCAP_OVK_DETECTDBLFEED_ULTRASONIC, (methods & kUltrasonic) != 0);
        SetCapSIntValue(mSettings, CCAP_OVK_DETECTDBLFEED_LENGTH, (methods & kLength) != 0);
    }
    syncExtraSettingUI();
    changeFavoriteControls(nullptr);
}

void Controller::updatePreferenceControls() {
    QWidget* palette = mPreferencePalette.data();
    if (!palette)
        return;
    SetQuietly(palette, kJamlessBox, GetCapSIntValue(mSettings, CCAP_OVK_FEEDER_JAMLESS) != 0);
    const std::int32_t manual = GetCapSIntValue(mSettings, CCAP_OVK_MANUALFEED);
    const auto found = std::find(kManualFeedValues.begin(), kManualFeedValues.end(), manual);
    SetQuietly(palette, kManualFeed,
               found == kManualFeedValues.end() ? 0 : static_cast<int>(found - kManualFeedValues.begin()));
    SetQuietly(palette, kWaitTime, GetCapSIntValue(mSettings, CCAP_OVK_AUTOSTARTDELAY));
}

void Controller::changePreferenceControls(QWidget* sender) {
    QWidget* palette = mPreferencePalette.data();
    const int tag = appkit::tagOf(sender).value_or(0);
    const int value = GetItemIntValue(palette, tag);
    if (tag == kJamlessBox) {
        SetCapSIntValue(mSettings, CCAP_OVK_FEEDER_JAMLESS, value != 0);
    } else if (tag == kManualFeed && value >= 0 && value < static_cast<int>(kManualFeedValues.size())) {
        SetCapSIntValue(mSettings, CCAP_OVK_MANUALFEED, kManualFeedValues[static_cast<std::size_t>(value)]);
    } else if (tag == kWaitTime) {
        SetCapSIntValue(mSettings, CCAP_OVK_AUTOSTARTDELAY, value);
    } else {
        return;
    }
    syncPreferencePalette();
    changeFavoriteControls(nullptr);
}

void Controller::syncExtraSettingUI() {
    QWidget* view = currentView();
    if (!view || !mSettings)
        return;
    const bool kept = hasScanImage();
    const bool box = !kept && GetCapSIntValue(mSettings, CCAP_OVK_FOLDLARGESIZE) == 0;
    SetItemEnabled(view, kDoubleFeedBox, box);
    if (isSimpleMode())
        return;
    SetItemEnabled(view, kDoubleFeedMethod, box && GetItemIntValue(view, kDoubleFeedBox) != 0);
    SetItemEnabled(view, kGammaPaletteButtonTag, !kept);
    SetItemEnabled(view, kPreferencePaletteButtonTag, !kept);
}

void Controller::syncPreferencePalette() {
    QWidget* palette = mPreferencePalette.data();
    if (!palette || !mSettings)
        return;
    const bool kept = hasScanImage();
    for (const int tag : {kJamlessBox, kManualFeed, kUnit})
        SetItemEnabled(palette, tag, !kept);
    SetItemEnabled(palette, kWaitTime, !kept && GetItemIntValue(palette, kManualFeed) == kManualFeedWaitItem);
    appkit::FStaticTextField::syncStaticTextInView(palette);
    SetItemString(palette, kWaitTimeText,
                  QSUIString(QStringLiteral("WaitTimeSecond")).arg(GetItemIntValue(palette, kWaitTime)));
}

void Controller::showScannerInformationPanel() {
    std::optional<fnd::Dictionary> info = getScannerInfo();
    if (!info || !mWindow)
        return;
    mScannerInfo = std::move(info);
    buildDoubleFeedControls();
    updateDoubleFeedControls();
    if (!mScannerInfoPanel) {
        mScannerInfoPanel = LoadPanel("ScannerInfoPanel", mWindow.get());
        if (!mScannerInfoPanel)
            return;
        QDialog* panel = mScannerInfoPanel.data();
        // OK, Escape and the window's close button all end it the same way.
        connect(appkit::viewWithTag<QAbstractButton>(panel, kPanelOk), &QAbstractButton::clicked, panel,
                &QDialog::accept);
        connect(panel, &QDialog::finished, this, [this] { exitScannerInformationPanel(); });
        connect(appkit::viewWithTag<QAbstractButton>(panel, kMaintenanceButton), &QAbstractButton::clicked,
                this, [this] { showMaintenancePanel(); });
    }
    updateScannerInformationPanelControls();
    for (QWidget* palette : {mGammaPalette.data(), mImagePalette.data(), mPreferencePalette.data()})
        if (palette && palette->isVisible() && !appkit::FWindow::shieldWindow(palette))
            appkit::FWindow::setShieldWindow(palette, false);
    Centre(mScannerInfoPanel, mWindow.get());
    appkit::FWindow::beginModalWindow(mScannerInfoPanel, mWindow.get());
}

void Controller::updateScannerInformationPanelControls() {
    QDialog* panel = mScannerInfoPanel.data();
    if (!panel)
        return;
    const std::optional<fnd::Bundle> bundle =
        fnd::Bundle::containing(reinterpret_cast<const void*>(&QSUIString));
    const std::string* version = bundle ? bundle->infoValue("CFBundleVersion").asString() : nullptr;
    SetItemString(panel, 450,
                  mScannerInfo ? QString::fromStdString(*mScannerInfo->get("ScannerName").asString())
                               : QString());
    SetItemString(panel, 451, version ? QString::fromStdString(*version) : QString());
    SetItemString(panel, 452,
                  mScannerInfo ? QString::fromStdString(*mScannerInfo->get("ScannerVersion").asString())
                               : QString());
    SetItemString(panel, 453, Count(mScannerInfo, "TotalScanCount"));
    SetItemString(panel, 454, Count(mScannerInfo, "RollerCount"));
    SetItemString(panel, 455, Count(mScannerInfo, "PadCount"));
}

void Controller::showMaintenancePanel() {
    if (!mScannerInfoPanel)
        return;
    if (!mMaintenancePanel) {
        mMaintenancePanel = LoadPanel("MaintenancePanel", mScannerInfoPanel.data());
        if (!mMaintenancePanel)
            return;
        QDialog* panel = mMaintenancePanel.data();
        connect(appkit::viewWithTag<QAbstractButton>(panel, kPanelOk), &QAbstractButton::clicked, panel,
                &QDialog::accept);
        connect(panel, &QDialog::finished, this, [this] { exitMaintenancePanel(); });
        connect(appkit::viewWithTag<QAbstractButton>(panel, kResetRoller), &QAbstractButton::clicked, this,
                [this] { resetRollerCounter(false); });
        connect(appkit::viewWithTag<QAbstractButton>(panel, kResetPad), &QAbstractButton::clicked, this,
                [this] { resetRollerCounter(true); });
        if (auto* length = appkit::viewWithTag<QSpinBox>(panel, kMaxScanLength))
            length->setSuffix(QSUIString(QStringLiteral("MaxScanLengthUnit")));
        connect(appkit::viewWithTag<QAbstractButton>(panel, kSetMaxScanLength), &QAbstractButton::clicked,
                this, [this] { changeMaxScanLength(); });
    }
    updateMaintenancePanelControls();
    Centre(mMaintenancePanel, mScannerInfoPanel.data());
    appkit::FWindow::beginModalWindow(mMaintenancePanel, mScannerInfoPanel.data());
}

void Controller::updateMaintenancePanelControls() {
    QDialog* panel = mMaintenancePanel.data();
    if (!panel)
        return;
    SetItemString(panel, 460, Count(mScannerInfo, "RollerCount"));
    SetItemString(panel, 461, Count(mScannerInfo, "PadCount"));
    SetItemEnabled(panel, kResetRoller, !hasScanImage());
    SetItemEnabled(panel, kResetPad, !hasScanImage());
    // The scanner keeps the length in micrometres; it is shown in whole millimetres.
    const std::int64_t length = mScannerInfo ? mScannerInfo->get("MaxScanLength").asInt64().value_or(0) : 0;
    SetItemIntValue(panel, kMaxScanLength, static_cast<int>(length / kMicrometresPerMillimetre));
    SetItemEnabled(panel, kMaxScanLength, !hasScanImage());
    SetItemEnabled(panel, kSetMaxScanLength, !hasScanImage());
}

void Controller::changeMaxScanLength() {
    QWidget* panel = mMaintenancePanel.data();
    const std::int64_t wanted =
        std::int64_t{GetItemIntValue(panel, kMaxScanLength)} * kMicrometresPerMillimetre;
    std::optional<fnd::Dictionary> info;
    if (setMaxScanLength(static_cast<std::uint32_t>(wanted)))
        info = getScannerInfo();
    // Done only when the scanner reads back what was asked for.
    if (info && info->get("MaxScanLength").asInt64() == wanted) {
        mScannerInfo = std::move(info);
    } else {
        RunDialogAlert(appkit::AlertKind::Error, panel, QSUIString(QStringLiteral("MaxScanLengthFailed")),
                       QSUIString(QStringLiteral("MaxScanLengthFailed_Info")), false);
        if (info)
            mScannerInfo = std::move(info);
    }
    updateMaintenancePanelControls();
}

void Controller::resetRollerCounter(bool pad) {
    QWidget* panel = mMaintenancePanel.data();
    if (!RunDialogAlert(appkit::AlertKind::Question, panel, QSUIString(QStringLiteral("ResetRollerCounter")),
                        QString(), true))
        return;
    std::optional<fnd::Dictionary> info;
    if (clearRollerCount(pad))
        info = getScannerInfo();
    if (!info) {
        RunDialogAlert(appkit::AlertKind::Error, panel, QSUIString(QStringLiteral("ResetCounterFailed")),
                       QSUIString(QStringLiteral("ResetCounterFailed_Info")), false);
        return;
    }
    mScannerInfo = std::move(info);
    // The exchange reminder comes back when the new part is worn out in its turn.
    fnd::PreferencesFile preferences(DataSourcePreferencesPath());
    const char* key = pad ? kPrefPadExchangeMessageNotDisplayed : kPrefRollerExchangeMessageNotDisplayed;
    if (preferences.state() == fnd::PreferencesFile::State::Loaded && preferences.values().contains(key)) {
        preferences.remove(key);
        preferences.save();
    }
    updateMaintenancePanelControls();
}

void Controller::exitScannerInformationPanel() {
    if (mScannerInfoPanel)
        appkit::FWindow::endModalWindow(mScannerInfoPanel);
    // The palettes were shielded for the panel only; a scan's shields stay.
    if (mScanRunning)
        return;
    for (QWidget* palette : {mGammaPalette.data(), mImagePalette.data(), mPreferencePalette.data()})
        if (palette)
            appkit::FWindow::removeShieldWindow(palette);
}

void Controller::exitMaintenancePanel() {
    if (mMaintenancePanel)
        appkit::FWindow::endModalWindow(mMaintenancePanel);
    updateScannerInformationPanelControls();
}
