// Only changes count: a poll that repeats the last result and status sends nothing, so a held button
// gives one event and its release another. While a launch is under way polling stands still; the
// launched application announces itself by taking its bus name, and when it never does (it crashed
// at start) the wait ends, the pending press or job is dropped, polling resumes and the user is told.
// A press read while the application is not running is kept outside the helper until it is handed
// over, and a helper that starts takes up what one before it kept and could not hand over.
#include "TapwellCntlr.h"

#include <chrono>

namespace tapwell {

TapwellCntlr::TapwellCntlr(TapwellPorts ports) : ports_(std::move(ports)) {
    pollTimer_.setInterval(kPollInterval);
    connect(&pollTimer_, &QTimer::timeout, this, &TapwellCntlr::checkConnectStatus);
    launchWait_.setSingleShot(true);
    launchWait_.setInterval(kLaunchWait);
    connect(&launchWait_, &QTimer::timeout, this, &TapwellCntlr::launchWaitExpired);
}

void TapwellCntlr::start() {
    clearDeviceBtnStatus();
    openAppStatus_ = ports_.isMainAppRunning();
    scanModeNum_ = 0;
    ports_.setStatusImage(connectErr_ != -1);
    ports_.removeJunkLoginItems();
    checkAppDataPlist(false);
    outputCheck_ = tempOutputCheck_;
    runTimer();
    takeUpKeptPress();
}

void TapwellCntlr::takeUpKeptPress() {
    const std::uint32_t kept = ports_.takeKeptPress();
    if (kept == 0)
        return;
    buttonStatus_ = kept;
    if (openAppStatus_) { // launched for this press by the helper before
        transConnectInfo(0, kept, 0);
        return;
    }
    ports_.keepPress(kept);
    if (!launchMainApp())
        ports_.keepPress(0);
}

void TapwellCntlr::applicationWillTerminate() {
    terminateTimer();
    launchWait_.stop();
    if (openAppStatus_)
        ports_.transCloseAppInfo();
    ports_.loginEntry(showIcnLogInPC_);
}

void TapwellCntlr::runTimer() {
    if (!pollTimer_.isActive())
        pollTimer_.start();
}

void TapwellCntlr::terminateTimer() {
    pollTimer_.stop();
}

void TapwellCntlr::clearDeviceBtnStatus() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begin = Clock::now();
    std::uint32_t status = 0;
    int result = 0;
    for (int reads = 0;; ++reads) {
        status = 0;
        result = ports_.readButton(status);
        const std::chrono::duration<double> spent = Clock::now() - begin;
        if (status == 0 || spent.count() > kDrainSeconds || reads + 1 >= kDrainReads)
            break;
    }
    buttonStatus_ = 0;
    connectErr_ = result;
}

void TapwellCntlr::checkConnectStatus() {
    std::uint32_t status = 0;
    const int result = ports_.readButton(status);
    checkScannerAction(result, status);
}

void TapwellCntlr::checkScannerAction(int result, std::uint32_t status) {
    if (result == connectErr_ && status == buttonStatus_)
        return;
    const int previous = connectErr_;
    if (openAppStatus_)
        transConnectInfo(result, status, 1);
    else if (status != 0 || (startingAppPlugInScn_ && previous == -1 && result == 0)) {
        ports_.keepPress(status);
        if (!launchMainApp())
            ports_.keepPress(0);
    }
    connectErr_ = result;
    buttonStatus_ = status;
    ports_.setStatusImage(result != -1);
}

bool TapwellCntlr::launchMainApp() {
    if (openAppStatus_)
        return true;
    if (!ports_.hasMainApp()) {
        ports_.showAlert("Err_Message");
        return false;
    }
    terminateTimer();
    if (!ports_.openMainApp()) {
        runTimer();
        ports_.showAlert("Err_Message");
        return false;
    }
    launchWait_.start();
    return true;
}

void TapwellCntlr::launchWaitExpired() {
    launchWait_.stop();
    if (openAppStatus_)
        return;
    buttonStatus_ = 0;
    scanModeNum_ = 0;
    ports_.keepPress(0);
    runTimer();
    ports_.showAlert("Err_LaunchTimeout");
}

void TapwellCntlr::didLaunchApp() {
    launchWait_.stop();
    connectErr_ = connectErr_ == 0 ? -10 : 0;
    if (buttonStatus_ != 0)
        transConnectInfo(0, buttonStatus_, openAppStatus_ ? 1 : 0);
    else if (scanModeNum_ != 0)
        ports_.transScanInfo(scanModeNum_);
    ports_.keepPress(0);
    ports_.transOutputCheckInfo(outputCheck_);
    ports_.orderOutAbout();
    runTimer();
    openAppStatus_ = true;
}

void TapwellCntlr::didTerminateApp() {
    openAppStatus_ = false;
    buttonStatus_ = 0;
    scanModeNum_ = 0;
    checkAppDataPlist(false);
    outputCheck_ = tempOutputCheck_;
    ports_.loginEntry(showIcnLogInPC_);
}

void TapwellCntlr::handleButtonAction(std::uint32_t status, std::int32_t launched) {
    if (openAppStatus_) {
        buttonStatus_ = status;
        transConnectInfo(0, status, 1);
    } else if (launched != 0 || startingAppPlugInScn_) {
        launchMainApp();
    }
}

std::vector<MenuRow> TapwellCntlr::menuNeedsUpdate() {
    if (openAppStatus_) {
        ports_.transAppDataCheck();
        checkAppDataPlist(true);
        outputCheck_ = tempOutputCheck_;
    } else {
        checkAppDataPlist(true);
    }
    MenuState state{modalFlag_, openAppStatus_, appState_, connectErr_, outputCheck_};
    return menuRows(state, jobs_);
}

void TapwellCntlr::selectedAction(int tag) {
    if (tag == kTagQuit) {
        ports_.quit();
        return;
    }
    if (!ports_.hasMainApp()) {
        ports_.showAlert("Err_Message");
        return;
    }
    switch (tag) {
    case kTagAbout:
        if (openAppStatus_)
            ports_.transVersionPanelInfo();
        else
            ports_.showAbout();
        return;
    case kTagShowApp:
        if (openAppStatus_)
            ports_.transAppActiveWindowInfo();
        else
            launchMainApp();
        return;
    case kTagOutputCheck:
        outputCheck_ = !outputCheck_;
        if (openAppStatus_)
            ports_.transOutputCheckInfo(outputCheck_);
        return;
    default:
        if (openAppStatus_) {
            ports_.transScanInfo(tag - kTagJobBase);
        } else {
            scanModeNum_ = tag - kTagJobBase;
            launchMainApp();
        }
    }
}

void TapwellCntlr::checkAppDataPlist(bool createMenu) {
    const std::optional<AppSetting> setting = ports_.readAppSetting();
    if (!setting) {
        ports_.loginEntry(true);
        if (createMenu)
            jobs_ = builtInJobRows(ports_.hasImageViewer(), ports_.buttonOneScansFirst());
        return;
    }
    takeSettings(*setting);
    if (createMenu)
        jobs_ = setting->jobs ? jobRows(*setting->jobs) : std::vector<MenuRow>{};
}

void TapwellCntlr::takeSettings(const AppSetting& setting) {
    modalFlag_ = setting.isModal.value_or(modalFlag_);
    if (setting.appState && *setting.appState >= 0)
        appState_ = static_cast<std::uint32_t>(*setting.appState);
    tempOutputCheck_ = setting.confirmOutput.value_or(tempOutputCheck_);
    startingAppPlugInScn_ = setting.startAppPlugInScn.value_or(startingAppPlugInScn_);
    if (setting.showIcnLogInPC && *setting.showIcnLogInPC != showIcnLogInPC_) {
        showIcnLogInPC_ = *setting.showIcnLogInPC;
        ports_.loginEntry(showIcnLogInPC_);
    }
}

void TapwellCntlr::transConnectInfo(int result, std::uint32_t status, std::uint32_t launched) {
    ports_.transConnectInfo(static_cast<std::int16_t>(result), status, launched);
}

} // namespace tapwell
