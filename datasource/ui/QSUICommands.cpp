// The dialog's commands: scanning, prescans, accepting or dropping a kept prescan, and resets. Each
// request reaches the data source as a notification that it handles before the post returns.
#include "QSUIController.h"

#include "BatchState.h"
#include "Bundle.h"
#include "CapHelpers.h"
#include "CapIds.h"
#include "DataSourcePreferences.h"
#include "HelpBook.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "OrvkQSDS.h"
#include "PreferencesFile.h"
#include "QSCapIds.h"
#include "QSPreviewFrame.h"
#include "QSUIPreferences.h"
#include "ShieldWindows.h"
#include "TypedFieldCommit.h"
#include "UiFiles.h"

#include <QTabWidget>

#include <array>

namespace {

constexpr char kScanModeKey[] = "scanModeParam.xferReady.qsds";
constexpr char kPendingImageCountKey[] = "pendingImageCount.xferReady.qsds";
constexpr float kPositioningResolution = 150.0f;
constexpr int kColourChannels = 4; // grey, red, green, blue

// The values a positioning prescan changes for its own quick scan, put back when it returns.
class CPositioningValues {
public:
    explicit CPositioningValues(CCapPool* pool)
        : mPool(pool), mPrescan(GetCapUIntValue(pool, CCAP_OVK_PRESCAN)),
          mXResolution(GetCapFloatValue(pool, ICAP_XRESOLUTION)),
          mYResolution(GetCapFloatValue(pool, ICAP_YRESOLUTION)),
          mAutoFeed(GetCapUIntValue(pool, CAP_AUTOFEED)), mXferCount(GetCapSIntValue(pool, CAP_XFERCOUNT)),
          mMarginLength(GetCapSIntValue(pool, CCAP_OVK_MARGINLENGTH)),
          mBlankSkip(GetCapUIntValue(pool, CCAP_OVK_BLANKSKIP)),
          mDoubleFeedLength(GetCapUIntValue(pool, CCAP_OVK_DETECTDBLFEED_LENGTH)),
          mDoubleFeedUltrasonic(GetCapUIntValue(pool, CCAP_OVK_DETECTDBLFEED_ULTRASONIC)) {}
    ~CPositioningValues() {
        SetCapUIntValue(mPool, CCAP_OVK_PRESCAN, mPrescan);
        SetCapFloatValue(mPool, ICAP_XRESOLUTION, mXResolution);
        SetCapFloatValue(mPool, ICAP_YRESOLUTION, mYResolution);
        SetCapUIntValue(mPool, CAP_AUTOFEED, mAutoFeed);
        SetCapSIntValue(mPool, CAP_XFERCOUNT, mXferCount);
        SetCapSIntValue(mPool, CCAP_OVK_MARGINLENGTH, mMarginLength);
        SetCapUIntValue(mPool, CCAP_OVK_BLANKSKIP, mBlankSkip);
        SetCapUIntValue(mPool, CCAP_OVK_DETECTDBLFEED_LENGTH, mDoubleFeedLength);
        SetCapUIntValue(mPool, CCAP_OVK_DETECTDBLFEED_ULTRASONIC, mDoubleFeedUltrasonic);
    }
    CPositioningValues(const CPositioningValues&) = delete;
    CPositioningValues& operator=(const CPositioningValues&) = delete;

    void UseQuickScan() {
        SetCapUIntValue(mPool, CCAP_OVK_PRESCAN, 1);
        SetCapFloatValue(mPool, ICAP_XRESOLUTION, kPositioningResolution);
        SetCapFloatValue(mPool, ICAP_YRESOLUTION, kPositioningResolution);
        SetCapSIntValue(mPool, CAP_XFERCOUNT, 1);
        SetCapUIntValue(mPool, CAP_AUTOFEED, 0);
        SetCapSIntValue(mPool, CCAP_OVK_MARGINLENGTH, 0);
        SetCapUIntValue(mPool, CCAP_OVK_BLANKSKIP, 0);
        SetCapUIntValue(mPool, CCAP_OVK_DETECTDBLFEED_LENGTH, 0);
        SetCapUIntValue(mPool, CCAP_OVK_DETECTDBLFEED_ULTRASONIC, 0);
    }

private:
    CCapPool* mPool;
    std::uint32_t mPrescan;
    float mXResolution;
    float mYResolution;
    std::uint32_t mAutoFeed;
    std::int32_t mXferCount;
    std::int32_t mMarginLength;
    std::uint32_t mBlankSkip;
    std::uint32_t mDoubleFeedLength;
    std::uint32_t mDoubleFeedUltrasonic;
};

} // namespace

void ComOrvikElectronicsK3100QSUIController::postXferReady(std::uint32_t mode,
                                                           std::optional<std::int32_t> pendingCount) {
    fnd::Dictionary request{{kScanModeKey, fnd::Value(mode)}};
    if (pendingCount)
        request.set(kPendingImageCountKey, fnd::Value(*pendingCount));
    fnd::NotificationCenter::defaultCenter().post(kXferReadyNotification, fnd::Value(std::move(request)));
}

std::int32_t ComOrvikElectronicsK3100QSUIController::keptPageCount() const {
    return GetCapUIntValue(mSettings, CAP_DUPLEXENABLED) != 0 ? 2 : 1;
}

void ComOrvikElectronicsK3100QSUIController::performScan() {
    ApplyPendingTyping(mWindow.get());
    if (isSimpleMode())
        resetSettingsForSimpleScan();
    if (!isSimpleMode() && hasScanImage()) {
        performContinueScan();
        return;
    }
    refrectScanAreaControls();
    decideScanArea(false);
    std::uint32_t mode = CBatchState::kScanModeKeepPrescan;
    if (GetCapUIntValue(mSettings, CCAP_OVK_PRESCAN) == 0) {
        saveMainUISettings();
        mode = CBatchState::kScanModeNormal;
    }
    if (mWindow)
        appkit::FWindow::setShieldWindow(mWindow.get(), true);
    postXferReady(mode, std::nullopt);
}

void ComOrvikElectronicsK3100QSUIController::performScanComplete() {
    ApplyPendingTyping(mWindow.get());
    refrectScanAreaControls();
    decideScanArea(false);
    saveMainUISettings();
    if (mIsSetupSequence && !hasScanImage()) {
        // The close schedules a close request; OK replaces it with its own answer.
        if (mWindow)
            mWindow->close();
        cancelDelayedMessages();
        fnd::NotificationCenter::defaultCenter().post(kCloseDSOkayNotification,
                                                      fnd::Value(fnd::Dictionary()));
        return;
    }
    const std::int32_t pages = keptPageCount();
    if (mWindow)
        appkit::FWindow::setShieldWindow(mWindow.get(), true);
    if (mIsSetupSequence) {
        setShield(false);
        hideMainWindow();
    }
    SetCapUIntValue(mSettings, CCAP_OVK_PRESCAN, 0);
    if (pages == 2)
        copyFrontSettingsToBack();
    postXferReady(CBatchState::kScanModeKeptThenEnd, pages);
}

void ComOrvikElectronicsK3100QSUIController::performContinueScan() {
    ApplyPendingTyping(mWindow.get());
    const std::int32_t pages = keptPageCount();
    SetCapUIntValue(mSettings, CCAP_OVK_PRESCAN, 0);
    if (pages == 2)
        copyFrontSettingsToBack();
    if (isSimpleMode())
        resetSettingsForSimpleScan();
    refrectScanAreaControls();
    decideScanArea(false);
    saveMainUISettings();
    if (mIsSetupSequence) {
        setShield(false);
        hideMainWindow();
    }
    postXferReady(CBatchState::kScanModeKeptThenScan, pages);
}

void ComOrvikElectronicsK3100QSUIController::copyFrontSettingsToBack() {
    for (const TW_UINT16 id : {ICAP_BRIGHTNESS, ICAP_CONTRAST})
        SetCapFloatValue(mSettings, BackTwin(id), GetCapFloatValue(mSettings, id));
    const std::uint32_t method = GetCapUIntValue(mSettings, CCAP_OVKM_GAMMAMETHOD);
    SetCapUIntValue(mSettings, CCAP_OVKM_GAMMAMETHOD, (method & 0xFu) * 0x11u);
    for (int channel = 0; channel < kColourChannels; ++channel) {
        const auto gamma = static_cast<TW_UINT16>(CCAP_OVKM_GRAYGAMMA + channel);
        SetCapFloatValue(mSettings, BackTwin(gamma), GetCapFloatValue(mSettings, gamma));
        const auto curve = static_cast<TW_UINT16>(CCAP_OVKM_GRAYCURVE + channel);
        std::array<std::uint8_t, 256> text{};
        if (GetCapStrValue(mSettings, curve, text))
            SetCapStrValue(mSettings, BackTwin(curve), text);
    }
}

void ComOrvikElectronicsK3100QSUIController::performPrescan() {
    ApplyPendingTyping(mWindow.get());
    if (hasScanImage())
        return;
    {
        CPositioningValues kept(mSettings);
        decideScanArea(true);
        kept.UseQuickScan();
        postXferReady(CBatchState::kScanModePositioning, std::nullopt);
    }
    syncAllSettings();
}

void ComOrvikElectronicsK3100QSUIController::syncAllSettings() {
    syncBasicSettingUI();
    syncAreaSelectionUI();
    syncImageEnhanceUI();
    syncToneSettingUI();
    syncExtraSettingUI();
    syncPrescanUI();
    syncPreferencePalette();
}

void ComOrvikElectronicsK3100QSUIController::performCancel() {
    if (mIsSetupSequence) {
        if (mWindow)
            mWindow->close();
        return;
    }
    if (isSimpleMode())
        for (const TW_UINT16 id :
             {ICAP_BRIGHTNESS, BackTwin(ICAP_BRIGHTNESS), CCAP_OVK_TEXTENHANCE_BRIGHTNESS, ICAP_CONTRAST,
              BackTwin(ICAP_CONTRAST), CCAP_OVK_TEXTENHANCE_CONTRAST})
            ResetCapValue(mSettings, id);
    destroyPreviewImage();
    syncAllSettings();
}

void ComOrvikElectronicsK3100QSUIController::performReset() {
    for (std::size_t i = 0; i < COrvkQSDS::sUIRelatedCapsCount; ++i)
        ResetCapValue(mSettings, COrvkQSDS::sUIRelatedCaps[i].capId);
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_WIDTH, GetCapFloatValue(mSettings, ICAP_PHYSICALWIDTH));
    SetCapFloatValue(mSettings, CCAP_OVKM_SCANAREA_HEIGHT, GetCapFloatValue(mSettings, ICAP_PHYSICALHEIGHT));
    showScanImage(std::nullopt, 0, false);
    initSettingAreas();
    updateFavoriteControls();
}

void ComOrvikElectronicsK3100QSUIController::resetSettingsForSimpleScan() {
    for (std::size_t i = 0; i < COrvkQSDS::sUIRelatedCapsCount; ++i)
        if (COrvkQSDS::sUIRelatedCaps[i].simpleMode != 0)
            ResetCapValue(mSettings, COrvkQSDS::sUIRelatedCaps[i].capId);
}

void ComOrvikElectronicsK3100QSUIController::destroyPreviewImage() {
    fnd::NotificationCenter::defaultCenter().post(kDestroyImageRequestNotification);
    resetScanArea();
    decideScanArea(true);
    showScanImage(std::nullopt, 0, false);
    if (auto* frame = previewFrame())
        frame->setZoomRatio(1.0f);
    resetScanArea();
}

void ComOrvikElectronicsK3100QSUIController::saveMainUISettings() {
    fnd::PreferencesFile preferences(DataSourcePreferencesPath());
    if (!mIsSetupSequence && mSettingModeTab)
        preferences.set(kPrefSettingMode, std::int64_t{mSettingModeTab->currentIndex()});
    preferences.save();
    if (!isSimpleMode())
        savePaletteState();
}

void ComOrvikElectronicsK3100QSUIController::showQSHelp() {
    if (const std::optional<fnd::Bundle> own =
            fnd::Bundle::containing(reinterpret_cast<const void*>(&QSUIResourceFolder)))
        appkit::openHelpBook(*own, QStringLiteral("0001"));
}
