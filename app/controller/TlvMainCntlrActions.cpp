// The main window's actions: the mode switch with the cancel of a running batch, starting a scan,
// and sending a finished batch on to the function choice, the check screen or the output.
#include "TlvMainCntlr.h"

#include "TlvJobs.h"

#include "RunLoop.h"
#include "TlvOutputFailure.h"
#include "TlvPlatformLookup.h"
#include "TlvScanSettingMdl.h"
#include "TlvScanViewCntlr.h"
#include "TlvUtilsMethod.h"
#include "VX_Message.h"

using namespace tlv;

bool TlvMainCntlr::askCancel(bool fromModeButton) const {
    // Once scanning has ended there is nothing to cancel, only pages to discard.
    const bool emptyReturn = countOfImgInfoDict() == 0 && fromModeButton;
    if (emptyReturn || !tlv::isExeScningState(mAppState))
        return VX_Message::askQuestion("Cnfm_ReturnMainTopYesOrNo");
    return TlvScanViewCntlr::askStopAndDiscard();
}

void TlvMainCntlr::switchScanMode(int mode, bool force) {
    bool cancelled = false;
    if (tlv::isValidCancelState(mAppState)) {
        const bool ask = !force && (countOfImgInfoDict() > 0 || mode >= 0);
        if (ask && !askCancel(mode >= 0)) {
            if (mView)
                mView->showTopScreen(-1); // the pressed mode button springs back
            return;
        }
        mBatchState.cancelOutput();
        cancelDriver(true);
        cancelled = true;
    } else if (force) {
        return;
    }
    if (mode >= 0)
        mAppSettingObj.setScanModeType(mode == kScanModeFOA ? kScanModeFOA : kScanModeJOB);
    setAppStateNum(AppStateMainTop);
    if (mView)
        mView->showTopScreen(curScanModeType());
    releaseImgInfoArray(cancelled, true);
}

void TlvMainCntlr::switchScanModeForCancelOnMain() {
    if (!fnd::RunLoop::isMainThread()) {
        QMetaObject::invokeMethod(
            &mNotifier, [this] { switchScanModeForCancelOnMain(); }, Qt::QueuedConnection);
        return;
    }
    const AppState state = mAppState;
    const bool sent = mScanView && mScanView->wasSentCancelToDSOnCntlr();
    if (!((tlv::isExeScningState(state) && sent) || tlv::inStates(state, AppStateScanWrite, AppStateScanErr)))
        return;
    if (mBatchState.takeReturnToTop())
        switchScanMode(-1, true);
}

bool TlvMainCntlr::isCheckValidSyncDriver() {
    if (isValidSyncDriver())
        return true;
    VX_Message::showPanelMsgKeyIsCritical("Error", "Err_NotUseScannerDriver", "OK", nullptr, true);
    return false;
}

bool TlvMainCntlr::isCheckValidSelectedJob() {
    if (curScanModeType() == kScanModeFOA || selJobListMdl())
        return true;
    VX_Message::showPanelMsgKeyIsCritical("Error", "Err_NoSelectedJob", "OK", nullptr, true);
    return false;
}

// The bytes of one page's raw file at the scan settings: the longest paper the feeder takes (8.5 by
// 14 inches) at the resolution and depth, so a disk that passes has room for any page.
std::uint64_t TlvMainCntlr::rawPageBytesEstimate() {
    const TlvScanSettingMdl* scan = curScnMdlApp();
    const TlvScanSettingMdl defaults;
    const TlvScanSettingMdl& s = scan ? *scan : defaults;
    const auto dots = [](double inches, float dpi) { return static_cast<std::uint64_t>(inches * dpi) + 1; };
    const std::uint64_t bitsPerPixel = s.icap_PIXELTYPE() == 0 ? 1 : s.icap_PIXELTYPE() == 1 ? 8 : 24;
    return (dots(8.5, s.icap_XRESOLUTION()) * bitsPerPixel + 7) / 8 * dots(14.0, s.icap_YRESOLUTION());
}

// What the first page would fail on is found before a sheet is fed: the temporary folder's disk has
// room for a page and, for a job (whose function is known before it scans), its folder takes a file
// under a free name.
bool TlvMainCntlr::isCheckValidOutput() {
    const std::optional<std::uint64_t> room = TlvUtilsMethod::tmpFolderRoom();
    if (room && *room < rawPageBytesEstimate()) {
        showErrorPanel("Err_TmpNoRoomForPage");
        return false;
    }
    if (curScanModeType() != kScanModeJOB)
        return true;
    try {
        mWriter.checkBeforeBatch(*snapshotOfSettings(kScanModeJOB, TlvPlatformLookup::shared().localNow()));
    } catch (const tlv::TlvOutputFailure& failure) {
        showErrorPanel(failure.key(), failure.args());
        return false;
    }
    return true;
}

void TlvMainCntlr::executeScan() {
    mBatchState.dropPendingAutoClose();
    if (isCheckValidSyncDriver() && isCheckValidSelectedJob() && isCheckValidOutput() && mScanView)
        mScanView->executeScanByCntlr();
}

void TlvMainCntlr::executeScanForPress() {
    if (!isCheckValidSyncDriver() || !isCheckValidSelectedJob() || !isCheckValidOutput())
        return;
    mBatchState.armAutoCloseOnReady();
    if (mScanView)
        mScanView->executeScanByCntlr();
}

bool TlvMainCntlr::scanReadyByTwainCB() {
    if (!tlv::isMainTopState(mAppState))
        return true;
    if (!TlvUtilsMethod::createTmpFolder())
        return false;
    initImgInfoArray();
    if (mJobs)
        mJobs->info().updateJobInfoForScngView();
    setAppStateNum(AppStateScanReady);
    return true;
}

void TlvMainCntlr::showSelectFunction() {
    setAppStateNum(AppStateFuncSelect);
}

void TlvMainCntlr::fixFunction(int tag) {
    if (tag == kTagFuncBack) {
        switchScanMode(-1, false);
        return;
    }
    setAppStateNum(AppStateFuncConfirm);
    if (mAppState != AppStateFuncConfirm)
        return; // no function is chosen from here
    if (tag != kKeepFunction) {
        const bool known = tag >= kTagFuncSave && tag <= kTagFuncApplication;
        setFuncTypeInFOAJLMdl(known ? tag - kTagFuncSave : kFuncSave);
        if (!known)
            return;
    }
    const TlvFuncSettingMdl* settings = curFuncMdlApp();
    if (!settings)
        return;
    tlv::TlvFunctionViewCntlr& view = functionViewCntlr();
    view.initFuncMainView(*settings);
    if (mView)
        mView->showFunctionView(view.funcMainView(), curFuncTypeApp());
}

void TlvMainCntlr::executeFunction() {
    functionViewCntlr().executeFunction(-1);
}

tlv::TlvFunctionViewCntlr& TlvMainCntlr::functionViewCntlr() {
    if (!mFuncView)
        mFuncView = std::make_unique<tlv::TlvFunctionViewCntlr>(mFuncViewHost);
    return *mFuncView;
}
