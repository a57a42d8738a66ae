// What the scan session and the scan controllers need of the application's main controller (its state,
// page list, counters, batch and panels).
// The main controller implements it; tests stand in for it. Main thread only, unless a line says
// otherwise. Names and meanings match the output side's host, so one controller serves both.
#pragma once

#include "TlvAppState.h"
#include "TlvBatchState.h"
#include "TlvPageRecord.h"

#include <cstddef>
#include <string>
#include <vector>

class TlvScanSettingMdl;
class QWidget;

namespace tlv {

class TlvScanHost {
public:
    virtual ~TlvScanHost() = default;

    // ---- application state ----
    virtual AppState appState() const = 0;
    // Any thread, never waiting: what the session saw; the controller decides the state that follows.
    virtual void report(TlvOutcome outcome) = 0;
    virtual bool isExecuteScnState() const = 0; // 100..105
    // Only in the top states: a fresh temporary folder and page list, the scanning view, state 101.
    // False, and nothing changed, when no private temporary folder could be made: the batch must stop.
    virtual bool scanReadyByTwainCB() = 0;

    // ---- current job ----
    // The mode, function and confirm choice of the batch that runs (or ran last).
    virtual TlvBatchKind batchKind() const = 0;
    // The scan settings of the current job; null when there is none.
    virtual TlvScanSettingMdl* curScnMdlApp() = 0;

    // ---- page list (any thread) ----
    virtual std::size_t countOfImgInfoDict() const = 0;
    // Main thread: appends the page (and previews it or starts its writer).
    virtual void addImgInfo(TlvPageRecord page) = 0;
    // scanEnded with a negative index marks the scan finished; otherwise index + 1 pages are written.
    // True when the scan is finished and every page is written.
    virtual bool isFinScanAndWritedFile(bool scanEnded, int index) = 0;
    virtual void clearIsFinScan() = 0;
    virtual int readImgFileForJobScnCount() const = 0; // page writers of the batch still running

    // ---- the batch and its cancel ----
    // The batch value the session and the scan view change through its steps.
    virtual TlvBatchState& batchState() = 0;
    // Performs the cancel handling (back to the top screen) once per batch, on the main thread.
    virtual void switchScanModeForCancelOnMain() = 0;
    // Back to the top screen of the mode; force: no question, the batch is given up.
    virtual void switchScanMode(bool force) = 0;

    // ---- what follows a batch ----
    virtual void showSelectFunction() = 0;
    virtual void fixFunction() = 0;
    virtual void executeFunction() = 0;
    // Closes the batch's open file; false, with the failure shown, when it could not be kept.
    virtual bool checkClosePDF() = 0;
    virtual void executeScan() = 0;
    virtual void changeKeyView() = 0;

    // ---- panels and windows ----
    // The critical error panel "Error" / key / "OK"; its text also goes to the status line. Not waiting.
    virtual void showErrorPanel(const std::string& key) = 0;
    // The same with args filling the text's %1, %2, ... in order.
    virtual void showErrorPanel(const std::string& key, const std::vector<std::string>& args) = 0;
    virtual bool isQuitAppByUnmount() const = 0;
    virtual bool isOpenQSWin() const = 0;
    // True when a scan may start now; otherwise tells the user and answers false.
    virtual bool isCheckValidSyncDriver() = 0;
    virtual void settingDidChangeSendPerform() = 0;
    // Makes model (owned by the caller until then, copied) the scan-first job's scan settings.
    virtual void setScnStngInFOAJLMdl(const TlvScanSettingMdl& model) = 0;
    virtual void setJobInfo_Foa() = 0;
    virtual QWidget* tlvMainWindow() = 0;
    // Hands the interface at most one pending user event, waiting up to seconds for one; called on
    // the main thread during the data source's idle tick.
    virtual void dispatchOneUserEvent(double seconds) = 0;
};

} // namespace tlv
