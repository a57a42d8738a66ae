// The helper's controller: polls the scanner's button every 2.0 s, launches the main application for
// a press when it is not running and tells it by events, keeps the helper's login item as the main
// application's setting says, and decides the status menu's rows and actions. The outside world (the
// button function, the bus, the desktop) comes in through TapwellPorts, so tests drive it directly.
#pragma once

#include "AppSettingRecord.h"
#include "MenuRows.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tapwell {

struct TapwellPorts {
    std::function<int(std::uint32_t& status)> readButton; // GetQSButtonStatus through the data source
    std::function<bool()> hasMainApp;                     // the main application's path is known
    std::function<bool()> isMainAppRunning;
    std::function<bool()> openMainApp; // started (not yet announced)
    // A press taken from the scanner and not yet handed over, kept for a helper that follows this one
    // (KeptPress): keepPress(0) forgets it, takeKeptPress gives it once (0 when there is none).
    std::function<void(std::uint32_t status)> keepPress;
    std::function<std::uint32_t()> takeKeptPress;
    // The events to the main application (TapwellAppleEvent); Data and verI wait for its answer.
    std::function<void(std::int16_t result, std::uint32_t status, std::uint32_t launched)> transConnectInfo;
    std::function<void()> transAppDataCheck;
    std::function<void(bool confirm)> transOutputCheckInfo;
    std::function<void()> transAppActiveWindowInfo;
    std::function<void()> transVersionPanelInfo;
    std::function<void(std::int32_t jobNumber)> transScanInfo;
    std::function<void()> transCloseAppInfo;
    std::function<std::optional<AppSetting>()> readAppSetting;
    std::function<void(bool add)> loginEntry; // our own autostart entry only
    std::function<void()> removeJunkLoginItems;
    std::function<void(const char* informativeKey)> showAlert;
    std::function<void(bool connected)> setStatusImage;
    std::function<void()> showAbout;
    std::function<void()> orderOutAbout;
    std::function<bool()> hasImageViewer;      // the desktop opens JPEG files with a default application
    std::function<bool()> buttonOneScansFirst; // the main application's own setting, without a record
    std::function<void()> quit;
};

class TapwellCntlr final : public QObject {
public:
    static constexpr std::chrono::milliseconds kPollInterval{2000};
    // A launched main application that has not taken its bus name by then is taken for crashed.
    static constexpr std::chrono::milliseconds kLaunchWait{30000};
    // The start-up drain reads at most this long or this often (s, reads).
    static constexpr double kDrainSeconds = 3.0;
    static constexpr int kDrainReads = 21;

    explicit TapwellCntlr(TapwellPorts ports);

    void start();
    void applicationWillTerminate();

    void runTimer();
    void terminateTimer();
    bool isPolling() const { return pollTimer_.isActive(); }
    bool isWaitingForLaunch() const { return launchWait_.isActive(); }

    void clearDeviceBtnStatus();
    void checkConnectStatus();
    void checkScannerAction(int result, std::uint32_t status);
    bool launchMainApp();
    void launchWaitExpired();

    void didLaunchApp();
    void didTerminateApp();
    void sleep() { terminateTimer(); }
    void wakeUp() { runTimer(); }
    // The inbound Cnct.
    void handleButtonAction(std::uint32_t status, std::int32_t launched);

    // Rebuilds the rows before the menu opens (asks a running main application for its record first).
    std::vector<MenuRow> menuNeedsUpdate();
    void selectedAction(int tag);

    int connectErr() const { return connectErr_; }
    std::uint32_t buttonStatus() const { return buttonStatus_; }
    int scanModeNum() const { return scanModeNum_; }
    bool outputCheck() const { return outputCheck_; }
    bool mainAppRunning() const { return openAppStatus_; }

private:
    void takeUpKeptPress();
    void checkAppDataPlist(bool createMenu);
    void takeSettings(const AppSetting& setting);
    void transConnectInfo(int result, std::uint32_t status, std::uint32_t launched);

    TapwellPorts ports_;
    QTimer pollTimer_;
    QTimer launchWait_;
    bool startingAppPlugInScn_ = false;
    bool showIcnLogInPC_ = true;
    bool modalFlag_ = false;
    bool openAppStatus_ = false;
    bool outputCheck_ = false;
    bool tempOutputCheck_ = false;
    int connectErr_ = 0;
    std::uint32_t buttonStatus_ = 0;
    std::uint32_t appState_ = 0;
    int scanModeNum_ = 0;
    std::vector<MenuRow> jobs_;
};

} // namespace tapwell
