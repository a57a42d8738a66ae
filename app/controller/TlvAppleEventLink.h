// The application's side of the event link with the menu-bar helper: the six events of class thQS
// and the quit event on the session bus, and the shared settings record "QS_AppSetting" that the
// helper reads from the application's preferences to build its menu. Handlers read their parameters
// leniently (any integer width, a missing one reads 0) and leave everything that may open a window to
// a zero-delay timer, so the bus dispatch returns at once. Main thread only.
#pragma once

#include "EventReceiver.h"
#include "UserDefaults.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>

class TlvJobListSettingMdl;
class TlvMainCntlr;

namespace tlv {

class TlvMainView;

class TlvAppleEventLink {
public:
    static constexpr const char* kAppSettingKey = "QS_AppSetting";

    // The controller, the window and defaults outlive the link; view may be null.
    TlvAppleEventLink(TlvMainCntlr& cntlr, TlvMainView* view, fnd::UserDefaults& defaults);

    // Sets the handlers on receiver (before it claims its name).
    void setAppleEvent(ae::EventReceiver& receiver);
    // Starts the menu-bar helper unless it runs: the program behind the alias named by "VXTaskAppName"
    // in the application's data folder, through its .desktop file where one is installed. Without the
    // helper the application runs alone and says so once on stderr. True when the helper runs or was
    // started.
    static bool launchTaskApp();

    // The record as the helper reads it; none when a model is missing.
    std::optional<fnd::Dictionary> pipeAppSettingForLogin() const;
    fnd::Array pipeJobMdlArrayForLogin() const;
    // Writes the record (a binary property list inside a data value) and flushes the defaults.
    bool saveAppSettingForLogin();

    // A device button may start a scan now.
    bool isValidScanByDviceBtn() const;
    void exeFoaScanByLogin();
    // forPress: the helper launched the application for this press, which quits after the job.
    void exeJobScanByLogin(int row, bool forPress = false);

    // The event handlers.
    void handleConnectInfo(const ae::Parameters& event);
    void handleAppDataCheck(ae::Parameters& reply);
    void handleOutputCheck(const ae::Parameters& event);
    void handleAppActiveWindow(const ae::Parameters& event);
    void handleVersionPanel(const ae::Parameters& event);
    void handleScan(const ae::Parameters& event);
    void handleQuit();

private:
    void startPressedJob(int status, bool launchedForPress);
    // The default mail program for the record's mail icon. Asking the desktop runs a tool, and the
    // helper asks for the record on every poll, so the answer is kept for kMailAppRecheck.
    std::optional<std::string> mailAppPath() const;
    // The first of the ten rows whose job matches; -1 when none does.
    int rowWhere(const std::function<bool(const TlvJobListSettingMdl&)>& match) const;

    static constexpr std::chrono::seconds kMailAppRecheck{30};
    // The helper's poll result while another session (a batch of ours, too) holds the scanner.
    static constexpr std::int32_t kPollScannerHeld = -2;

    TlvMainCntlr& mCntlr;
    TlvMainView* mView;
    fnd::UserDefaults& mDefaults;
    mutable std::optional<std::pair<std::chrono::steady_clock::time_point, std::optional<std::string>>>
        mMailApp;
    bool mHeldByOurBatch = false; // the last Cnct found the scanner held while a batch of ours ran
};

} // namespace tlv
