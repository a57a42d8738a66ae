// The application's vocabulary, below every part that speaks it: the two modes, the four output
// functions, and the state: one integer that says where the road from scan to output stands, with the
// ranges the rest of the application asks about. Compared as unsigned, so a stray negative value
// falls in no range. Which state follows which is decided in one place, the main controller.
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

enum AppState : std::int32_t {
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

constexpr bool inStates(std::int32_t state, std::uint32_t from, std::uint32_t to) {
    const auto s = static_cast<std::uint32_t>(state);
    return s >= from && s <= to;
}
constexpr bool isMainTopState(std::int32_t s) {
    return inStates(s, 0, 99);
}
constexpr bool isExecuteScnState(std::int32_t s) {
    return inStates(s, 100, 105);
}
constexpr bool isExeScningState(std::int32_t s) {
    return inStates(s, 100, 102);
}
constexpr bool isFinishScnState(std::int32_t s) {
    return inStates(s, 104, 105);
}
constexpr bool isStandbyScnState(std::int32_t s) {
    return s == 0 || s == 100 || s == 104 || s == 105;
}
constexpr bool isConfirmFuncState(std::int32_t s) {
    return inStates(s, 200, 202);
}
constexpr bool isFinishState(std::int32_t s) {
    return inStates(s, 300, 309);
}
constexpr bool isFinishFixState(std::int32_t s) {
    return static_cast<std::uint32_t>(s) >= 306;
}
constexpr bool isExecuteScnFuncState(std::int32_t s) {
    return inStates(s, 100, 305);
}
constexpr bool isValidCancelState(std::int32_t s) {
    return inStates(s, 100, 202);
}
// A device button or a menu job may start a scan: the top, a finished or failed batch, a finished output.
constexpr bool isIdleForScanState(std::int32_t s) {
    return isMainTopState(s) || isFinishFixState(s);
}

} // namespace tlv
