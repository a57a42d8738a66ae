// The application state and the automatic step that each state starts.
#include "TlvMainCntlr.h"

#include "RunLoop.h"
#include "TlvScanViewCntlr.h"

using namespace tlv;

void TlvMainCntlr::setAppStateNum(int state) {
    if (fnd::RunLoop::isMainThread())
        setAppState(state);
    else
        fnd::performOnMainThread([this, state] { setAppState(state); }, true);
}

void TlvMainCntlr::setAppState(int state) {
    // An end-of-batch report counts only while a batch runs.
    if ((state == AppStateScanFinish || state == AppStateScanErr) && !tlv::isExecuteScnState(mAppState))
        return;
    if (state == mAppState)
        return;
    mAppState = state;
    armPendingAutoClose(state);
    if (mView)
        mView->updateUIByAppState(state);
    shiftNextDisposeByAppState();
}

void TlvMainCntlr::armPendingAutoClose(int state) {
    if (state == AppStateScanReady && mIsAutoClosePending.exchange(false))
        mIsAutoCloseApp = true;
    else if (tlv::isMainTopState(state) || state == AppStateScanErr)
        mIsAutoClosePending = false;
}

void TlvMainCntlr::startWorker(void (TlvMainCntlr::*step)()) {
    mWorkers.start([this, step] { (this->*step)(); });
}

std::vector<std::string> TlvMainCntlr::confirmedFileNames() {
    std::vector<std::string> written = mWriter.writtenFiles().cpyWriteFileNameArray();
    if (mFuncView && mFuncView->tmpWriteFileNameArray().size() == written.size())
        return mFuncView->tmpWriteFileNameArray();
    return written;
}

void TlvMainCntlr::handOffStep() {
    const TlvFuncSettingMdl* model = curFuncMdlApp();
    mRenameMove.openFileOnApp(true, model ? model->applicationName().value_or(std::string()) : std::string());
}

void TlvMainCntlr::shiftNextDisposeByAppState() {
    const int state = mAppState;
    const int mode = curScanModeType();
    const int func = curFuncTypeApp();
    const bool writesFiles = func == kFuncSave || func == kFuncMail || func == kFuncApplication;
    if (tlv::isMainTopState(state) || state == AppStateScanErr) {
        mIsAutoCloseApp = false;
    } else if (state == AppStateScanFinish) {
        if (!isCurValidContinueScan() && mScanView) {
            mScanView->setIsPerformedFinishScan(true);
            fnd::RunLoop::main().performAfterDelay(
                &mFinScanAndWritedFileLck,
                [this] { mScanView->finishScan(mView ? mView->finishScanSender() : nullptr); }, 0);
        }
    } else if (state == AppStateFixReadFiles && writesFiles && mode == kScanModeFOA) {
        startWorker(&TlvMainCntlr::readImgFilesStep);
    } else if (state == AppStateFixPrint && func == kFuncPrint) {
        fnd::performOnMainThread(
            [this] {
                const TlvFuncSettingMdl* model = curFuncMdlApp();
                TlvPrintSetup setup;
                if (model)
                    setup = {model->printInfoDict(), model->printerName(), model->printLayoutType()};
                mPrint.exePrintImgFiles(setup);
            },
            false);
    } else if (state == AppStateFixRemakeRotated && writesFiles && mode == kScanModeJOB) {
        startWorker(&TlvMainCntlr::remakeRotatedStep);
    } else if (state == AppStateFixRenameMove && writesFiles && mode == kScanModeJOB &&
               isCurConfirmOutput()) {
        mWorkers.start([this, names = confirmedFileNames()] { mRenameMove.renameAndMoveFiles(names); });
    } else if (state == AppStateFixHandOff && (func == kFuncMail || func == kFuncApplication)) {
        startWorker(&TlvMainCntlr::handOffStep);
    } else if (tlv::isFinishFixState(state) && mode == kScanModeJOB && !isCurConfirmOutput() &&
               mIsAutoCloseApp) {
        fnd::RunLoop::main().performAfterDelay(
            &mIsAutoCloseApp, [this] { terminateByAutoClose(); }, mAutoCloseDelay);
    }
}
