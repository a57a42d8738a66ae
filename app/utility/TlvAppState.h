// The application's vocabulary, below every part that speaks it: the two modes, the four output
// functions, and the state: where the road from scan to output stands, with the groups of states the
// rest of the application asks about. Its numbers are those the helper reads from the shared settings;
// which state follows which is decided in one place, the main controller.
#pragma once

#include <cstdint>

namespace tlv {

enum : int { kScanModeFOA = 0, kScanModeJOB = 1 };
enum : int { kFuncSave = 0, kFuncMail = 1, kFuncPrint = 2, kFuncApplication = 3 };

// How one batch runs, fixed on the main thread when it starts: a setting changed meanwhile (the window,
// a helper's event) reaches the next batch, never the middle of this one.
struct TlvBatchKind {
    int scanMode = kScanModeFOA;
    int funcType = kFuncSave;
    bool confirmOutput = false;

    bool writesFiles() const {
        return funcType == kFuncSave || funcType == kFuncMail || funcType == kFuncApplication;
    }
    // Job pages are written while the scan runs.
    bool writesWhileScanning() const { return scanMode == kScanModeJOB && funcType != kFuncPrint; }
};

enum class AppState : std::int32_t {
    AppStateMainTop = 0,
    AppStateScanStandby = 100,
    AppStateScanReady = 101,
    AppStateScanning = 102,
    AppStateScanWrite = 103,
    AppStateScanFinish = 104,
    AppStateScanErr = 105,
    AppStateFuncStart = 200,
    AppStateFuncSelect = 201,
    AppStateFuncConfirm = 202,
    AppStateFixStart = 300,
    AppStateFixReadFiles = 301,
    AppStateFixPrint = 302,
    AppStateFixRemakeRotated = 303,
    AppStateFixRenameMove = 304,
    AppStateFixHandOff = 305,
    AppStateFixDone = 306,
    AppStateFixWriteErr = 307,
    AppStateFixErr = 308,
};
using enum AppState;

// The number the shared settings carry ("QS_AppState").
constexpr std::int32_t appStateNumber(AppState s) {
    return static_cast<std::int32_t>(s);
}

// What the scan session and the output workers report; the main controller decides the state that
// follows from the report, the state it is in and the batch's snapshot.
enum class TlvOutcome : std::int32_t {
    BatchStarting,    // the data source starts feeding a batch
    Scanning,         // a page is being scanned
    ScanEnded,        // the data source ended the batch without a fault
    ScanFailed,       // the batch stopped early: a fault, a cancel, a page that could not be kept
    ScanningFinished, // the user ended scanning with pages to send on
    PagesWritten,     // the batch's last page is in its file
    WriteFailed,      // a page could not be written
    StepDone,         // an output step (print, move, hand-off) ended well
    StepFailed,       // an output step failed
};

// The states from first to last, both included, in the order of the road.
constexpr bool inStates(AppState s, AppState first, AppState last) {
    return s >= first && s <= last;
}
constexpr bool isMainTopState(AppState s) {
    switch (s) {
    case AppStateMainTop:
        return true;
    default:
        return false;
    }
}
constexpr bool isExecuteScnState(AppState s) {
    switch (s) {
    case AppStateScanStandby:
    case AppStateScanReady:
    case AppStateScanning:
    case AppStateScanWrite:
    case AppStateScanFinish:
    case AppStateScanErr:
        return true;
    default:
        return false;
    }
}
constexpr bool isExeScningState(AppState s) {
    switch (s) {
    case AppStateScanStandby:
    case AppStateScanReady:
    case AppStateScanning:
        return true;
    default:
        return false;
    }
}
constexpr bool isFinishScnState(AppState s) {
    switch (s) {
    case AppStateScanFinish:
    case AppStateScanErr:
        return true;
    default:
        return false;
    }
}
constexpr bool isStandbyScnState(AppState s) {
    switch (s) {
    case AppStateMainTop:
    case AppStateScanStandby:
    case AppStateScanFinish:
    case AppStateScanErr:
        return true;
    default:
        return false;
    }
}
constexpr bool isConfirmFuncState(AppState s) {
    switch (s) {
    case AppStateFuncStart:
    case AppStateFuncSelect:
    case AppStateFuncConfirm:
        return true;
    default:
        return false;
    }
}
constexpr bool isFinishState(AppState s) {
    switch (s) {
    case AppStateFixStart:
    case AppStateFixReadFiles:
    case AppStateFixPrint:
    case AppStateFixRemakeRotated:
    case AppStateFixRenameMove:
    case AppStateFixHandOff:
    case AppStateFixDone:
    case AppStateFixWriteErr:
    case AppStateFixErr:
        return true;
    default:
        return false;
    }
}
constexpr bool isFinishFixState(AppState s) {
    switch (s) {
    case AppStateFixDone:
    case AppStateFixWriteErr:
    case AppStateFixErr:
        return true;
    default:
        return false;
    }
}
// Scanning or choosing the output: a cancel still returns to the top.
constexpr bool isValidCancelState(AppState s) {
    return isExecuteScnState(s) || isConfirmFuncState(s);
}
// Any state of a batch that is still under way, up to the output's last step.
constexpr bool isExecuteScnFuncState(AppState s) {
    return isValidCancelState(s) || (isFinishState(s) && !isFinishFixState(s));
}
// A device button or a menu job may start a scan: the top, a finished or failed batch, a finished output.
constexpr bool isIdleForScanState(AppState s) {
    return isMainTopState(s) || isFinishFixState(s);
}

} // namespace tlv
