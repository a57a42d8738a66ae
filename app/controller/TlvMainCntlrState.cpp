// The application state: the road a batch may take, and the automatic step that each state starts.
#include "TlvMainCntlr.h"

#include "RunLoop.h"
#include "TlvOutputFailure.h"
#include "TlvScanViewCntlr.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>

using namespace tlv;

namespace {

// Where a report of the scan session or of an output step, or a step the user asks for, may take the
// application from each state; every change goes by this table, so a report that comes too late (after
// a return to the top, say) or a second click changes nothing. The way back to the top is open from
// every state (isOnRoad).
struct Road {
    AppState from;
    AppState to;
};
constexpr Road kRoads[] = {
    // the scan session: the batch starts, scans, ends written, finished or failed
    {AppStateScanStandby, AppStateScanReady},
    {AppStateScanStandby, AppStateScanning},
    {AppStateScanStandby, AppStateScanWrite},
    {AppStateScanStandby, AppStateScanFinish},
    {AppStateScanStandby, AppStateScanErr},
    {AppStateScanReady, AppStateScanning},
    {AppStateScanReady, AppStateScanWrite},
    {AppStateScanReady, AppStateScanFinish},
    {AppStateScanReady, AppStateScanErr},
    {AppStateScanning, AppStateScanWrite},
    {AppStateScanning, AppStateScanFinish},
    {AppStateScanning, AppStateScanErr},
    {AppStateScanWrite, AppStateScanning},
    {AppStateScanWrite, AppStateScanFinish},
    {AppStateScanWrite, AppStateScanErr},
    // a batch that goes on scanning into the same pages
    {AppStateScanFinish, AppStateScanReady},
    {AppStateScanFinish, AppStateScanning},
    {AppStateScanFinish, AppStateScanErr},
    {AppStateScanErr, AppStateScanReady},
    {AppStateScanErr, AppStateScanning},
    {AppStateScanErr, AppStateScanFinish},
    // the end of scanning: on to the function choice or the check screen
    {AppStateScanWrite, AppStateFuncStart},
    {AppStateScanFinish, AppStateFuncStart},
    {AppStateScanErr, AppStateFuncStart},
    {AppStateFuncStart, AppStateFuncSelect},
    {AppStateFuncStart, AppStateFuncConfirm},
    // the user's steps: a new batch, the function chosen or chosen again, the output started (a job
    // without the check screen starts it from the end of its scan)
    {AppStateMainTop, AppStateScanReady},
    {AppStateFuncSelect, AppStateFuncConfirm},
    {AppStateFuncConfirm, AppStateFuncSelect},
    {AppStateScanWrite, AppStateFixStart},
    {AppStateScanFinish, AppStateFixStart},
    {AppStateScanErr, AppStateFixStart},
    {AppStateFuncStart, AppStateFixStart},
    {AppStateFuncConfirm, AppStateFixStart},
    {AppStateFixStart, AppStateFixReadFiles},
    {AppStateFixStart, AppStateFixPrint},
    {AppStateFixStart, AppStateFixRemakeRotated},
    // the output steps
    {AppStateFixReadFiles, AppStateFixHandOff},
    {AppStateFixReadFiles, AppStateFixDone},
    {AppStateFixReadFiles, AppStateFixWriteErr},
    {AppStateFixPrint, AppStateFixDone},
    {AppStateFixPrint, AppStateFixErr},
    {AppStateFixRemakeRotated, AppStateFixRenameMove},
    {AppStateFixRemakeRotated, AppStateFixHandOff},
    {AppStateFixRemakeRotated, AppStateFixDone},
    {AppStateFixRemakeRotated, AppStateFixWriteErr},
    {AppStateFixRenameMove, AppStateFixHandOff},
    {AppStateFixRenameMove, AppStateFixDone},
    {AppStateFixRenameMove, AppStateFixErr},
    {AppStateFixHandOff, AppStateFixDone},
    {AppStateFixHandOff, AppStateFixErr},
};

} // namespace

bool TlvMainCntlr::isOnRoad(AppState from, AppState to) {
    return to == AppStateMainTop ||
           std::any_of(std::begin(kRoads), std::end(kRoads),
                       [from, to](const Road& road) { return road.from == from && road.to == to; });
}

void TlvMainCntlr::setAppStateNum(AppState state) {
    if (isOnRoad(mAppState, state))
        setAppState(state);
}

std::optional<AppState> TlvMainCntlr::nextStateOf(TlvOutcome outcome, AppState state,
                                                  const TlvBatchKind& batch, bool pagesWritten) {
    const AppState delivered = batch.funcType == kFuncSave ? AppStateFixDone : AppStateFixHandOff;
    switch (outcome) {
    case TlvOutcome::BatchStarting:
        // A batch that already scans or writes its pages stays where it is.
        if (!tlv::isExecuteScnState(state) || state == AppStateScanning || state == AppStateScanWrite)
            return std::nullopt;
        return AppStateScanReady;
    case TlvOutcome::Scanning:
        return AppStateScanning;
    case TlvOutcome::ScanEnded:
        return !batch.writesWhileScanning() || pagesWritten ? AppStateScanFinish : AppStateScanWrite;
    case TlvOutcome::ScanFailed:
        return AppStateScanErr;
    case TlvOutcome::ScanningFinished:
        return AppStateFuncStart;
    case TlvOutcome::PagesWritten:
        if (batch.scanMode == kScanModeFOA)
            return delivered;
        if (state < AppStateFuncStart) // a job's pages written while it scanned: a failed batch stays failed
            return state < AppStateScanFinish ? std::optional<AppState>(AppStateScanFinish) : std::nullopt;
        return batch.confirmOutput ? AppStateFixRenameMove : delivered;
    case TlvOutcome::WriteFailed:
        return batch.scanMode == kScanModeFOA || state > AppStateScanErr ? AppStateFixWriteErr
                                                                         : AppStateScanErr;
    case TlvOutcome::StepDone:
        return state == AppStateFixRenameMove ? delivered : AppStateFixDone;
    case TlvOutcome::StepFailed:
        return AppStateFixErr;
    }
    return std::nullopt;
}

void TlvMainCntlr::report(TlvOutcome outcome) {
    if (!fnd::RunLoop::isMainThread()) {
        QMetaObject::invokeMethod(
            &mNotifier, [this, outcome] { report(outcome); }, Qt::QueuedConnection);
        return;
    }
    if (mForcedQuit)
        return;
    const bool pagesWritten =
        outcome == TlvOutcome::ScanEnded && mBatch->writesWhileScanning() && isFinScanAndWritedFile(true, -1);
    std::optional<AppState> next = nextStateOf(outcome, mAppState, *mBatch, pagesWritten);
    // The files of a mail batch are final here; refused at the size limit, they go nowhere.
    if (outcome == TlvOutcome::PagesWritten && next >= AppStateFixRenameMove && !isMailSizeAccepted()) {
        showErrorPanel(kFlgMailSizeOver);
        next = AppStateFixWriteErr;
    }
    if (next)
        setAppStateNum(*next);
}

void TlvMainCntlr::setAppState(AppState state) {
    // An end-of-batch report counts only while a batch runs.
    if ((state == AppStateScanFinish || state == AppStateScanErr) && !tlv::isExecuteScnState(mAppState))
        return;
    if (state == mAppState)
        return;
    if (state == AppStateScanReady && tlv::isMainTopState(mAppState)) {
        mBatch = snapshotOfSettings(curScanModeType(), TlvPlatformLookup::shared().localNow()); // a new batch
        takeMailLimit();
    }
    mAppState = state;
    if (state == AppStateFixReadFiles || state == AppStateFixPrint || state == AppStateFixRemakeRotated) {
        takeStepSnapshot();
        takeMailLimit();
    }
    armPendingAutoClose(state);
    emit mNotifier.appStateChanged(state);
    shiftNextDisposeByAppState();
}

void TlvMainCntlr::armPendingAutoClose(AppState state) {
    if (state == AppStateScanReady)
        mBatchState.batchReady();
    else if (tlv::isMainTopState(state) || state == AppStateScanErr)
        mBatchState.dropPendingAutoClose();
}

std::vector<std::string> TlvMainCntlr::confirmedFileNames() {
    std::vector<std::string> written = mWriter.writtenFiles().cpyWriteFileNameArray();
    if (mFuncView && mFuncView->tmpWriteFileNameArray().size() == written.size())
        return mFuncView->tmpWriteFileNameArray();
    return written;
}

void TlvMainCntlr::shiftNextDisposeByAppState() {
    const AppState state = mAppState;
    const std::shared_ptr<const TlvBatchSnapshot> batch = mBatch;
    const int mode = batch->scanMode;
    const int func = batch->funcType;
    const bool writesFiles = batch->writesFiles();
    if (tlv::isMainTopState(state) || state == AppStateScanErr) {
        mBatchState.setAutoClose(false);
    } else if (state == AppStateScanFinish) {
        if (!isCurValidContinueScan() && mScanView) {
            mScanView->setIsPerformedFinishScan(true);
            QTimer::singleShot(0, &mNotifier, [this] {
                if (mScanView)
                    mScanView->finishScan(mView ? mView->finishScanSender() : nullptr);
            });
        }
    } else if (state == AppStateFixReadFiles && writesFiles && mode == kScanModeFOA) {
        mWorkers.start([this, batch] { mReader.readImgFiles(*batch); });
    } else if (state == AppStateFixPrint && func == kFuncPrint) {
        QMetaObject::invokeMethod(
            &mNotifier,
            [this] {
                const TlvFuncSettingMdl* model = curFuncMdlApp();
                TlvPrintSetup setup;
                if (model)
                    setup = {model->printInfoDict(), model->printerName(), model->printLayoutType()};
                mPrint.exePrintImgFiles(setup);
            },
            Qt::QueuedConnection);
    } else if (state == AppStateFixRemakeRotated && writesFiles && mode == kScanModeJOB) {
        mWorkers.start([this, batch] { mRenameMove.checkRotateAndRemakeImg(*batch); });
    } else if (state == AppStateFixRenameMove && writesFiles && mode == kScanModeJOB &&
               batch->confirmOutput) {
        mWorkers.start(
            [this, batch, names = confirmedFileNames()] { mRenameMove.renameAndMoveFiles(*batch, names); });
    } else if (state == AppStateFixHandOff && (func == kFuncMail || func == kFuncApplication)) {
        const std::string app =
            batch->settings ? batch->settings->applicationName().value_or(std::string()) : std::string();
        mWorkers.start([this, batch, app] { mRenameMove.openFileOnApp(*batch, true, app); });
    } else if (tlv::isFinishFixState(state) && mode == kScanModeJOB && !batch->confirmOutput &&
               mBatchState.isAutoClose()) {
        const auto delay = std::chrono::milliseconds(std::llround(mAutoCloseDelay * 1000));
        QTimer::singleShot(delay, &mNotifier, [this] { terminateByAutoClose(); });
    }
}
