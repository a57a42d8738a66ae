// Opening, enabling and closing the data source, its callback and device events, and the one end of
// every batch. Failures to open are told apart by where they happened: a walk of the source list that
// found no data source of this scanner, a scanner held by another program, a scanner not answering.
#include "TlvDeviceCntlr.h"

#include "QSCapIds.h"
#include "RunLoop.h"
#include "TlvScanSettingMdl.h"

#include <chrono>

namespace {

std::atomic<TlvDeviceCntlr*> sTlvDeviceCntlr{nullptr};

// Custom device events of this scanner's data source.
constexpr TW_UINT16 kEventBatchStarting = 0x8002;
constexpr TW_UINT16 kEventScanning = 0x8003;
constexpr TW_UINT16 kEventIdleTick = 0x8004;
// The abort request: the four characters as one 32-bit character constant in host order.
constexpr std::uint32_t kAbortRequest = 0x41625271; // 'AbRq'
// What the tick waits for one user event.
constexpr double kTickEventWait = 0.1; /* s */

} // namespace

TlvDeviceCntlr::TlvDeviceCntlr(tlv::TlvScanHost& host, fnd::Dictionary appInfo, DSMENTRYPROC entry)
    : mHost(host), mAppInfo(std::move(appInfo)),
      mTWAINHandler(
          std::make_unique<VX_TWAINHandler>("Orvik Electronics", "Orvik", "Tollivar", "1.00", entry)),
      mCaps(std::make_unique<TlvDeviceCntlrCAPs>(*mTWAINHandler)) {
    sTlvDeviceCntlr = this;
    mTWAINHandler->registerCallback(&TlvDeviceCntlr::TWAIN_ScanCallback, 0);
}

TlvDeviceCntlr::~TlvDeviceCntlr() {
    // The sink's thread stops first, so that nothing it finishes reaches this any more, and nothing
    // queued for the main thread runs once this is gone.
    mSink.reset();
    mAlive.reset();
    fnd::RunLoop::main().cancelPerforms(this);
    TlvDeviceCntlr* self = this;
    sTlvDeviceCntlr.compare_exchange_strong(self, nullptr);
    mTWAINHandler.reset();
}

TlvDeviceCntlr* TlvDeviceCntlr::sharedDeviceCntlr() {
    return sTlvDeviceCntlr;
}

void TlvDeviceCntlr::setIsScanCancel(bool cancel) {
    if (cancel)
        mHost.batchState().cancelScan();
    else
        mHost.batchState().resumeScan();
}

std::string TlvDeviceCntlr::lastFailureKey() const {
    std::lock_guard lock(mBatchLock);
    return mFailure.key;
}

bool TlvDeviceCntlr::isBatchRunning() const {
    std::lock_guard lock(mBatchLock);
    return mBatchRunning;
}

void TlvDeviceCntlr::waitToFinishScan() const {
    std::unique_lock lock(mBatchLock);
    mBatchEnded.wait(lock, [this] { return !mBatchRunning; });
}

// ---- opening ----

bool TlvDeviceCntlr::openDS(TlvScanSettingMdl* model, bool isOpenDSPanel) {
    // Never from inside a data source's call, nor over a batch still running.
    if (mMainCallDepth > 0 || isBatchRunning() || isRunningMemXfer() || mTWAINHandler->isDSOpen())
        return false;
    DepthScope call(*this);
    mIsOpenDSPanel = isOpenDSPanel;
    if (const int rc = findDSAndOpenDS(); rc != TWRC_SUCCESS) {
        mHost.showErrorPanel(tlv::openFailureKey(rc, getStatusCC()));
        if (mTWAINHandler->isDSOpen())
            mTWAINHandler->closeDS();
        return false;
    }
    mCurScanSettingMdl = model;
    TW_INT16 result = 0;
    if (!model || !mCaps->setCCAPsValues(model, isOpenDSPanel, mHost.countOfImgInfoDict() == 0, &result)) {
        mTWAINHandler->closeDS();
        mHost.showErrorPanel("Err_DriverSetFault");
        return false;
    }
    beginBatch();
    if (!isOpenDSPanel) {
        noteSheetSides();
        return enableForScan();
    }
    mUserInterface = TW_USERINTERFACE{};
    const int rc = mTWAINHandler->enableDSUIOnly(mUserInterface);
    if (rc == TWRC_SUCCESS)
        return true;
    endBatch(false);
    mHost.showErrorPanel(rc == TWRC_ENDOFLIST ? "Err_NotFoundScannerDriver" : "Err_NotLoadScannerDriver");
    return false;
}

int TlvDeviceCntlr::findDSAndOpenDS() {
    const int rc = mTWAINHandler->openVXDS(mAppInfo);
    if (mHost.isQuitAppByUnmount())
        return tlv::kOpenQuitting;
    return rc;
}

void TlvDeviceCntlr::beginBatch() {
    mHost.batchState().beginScan();
    mBatchPages = tlv::TlvBatchPages{};
    std::lock_guard lock(mBatchLock);
    mBatchRunning = true;
    mFailure = {};
}

void TlvDeviceCntlr::noteSheetSides() {
    const auto isOn = [this](TW_UINT16 cap) {
        VX_CapItem item{};
        TW_UINT16 itemType = 0;
        return mTWAINHandler->getDSCapability(MSG_GETCURRENT, cap, item, itemType) == TWRC_SUCCESS &&
               (item.word & 0xFFFF) != 0;
    };
    mBatchPages.sidesPerSheet = isOn(CAP_DUPLEXENABLED) ? 2 : 1;
    mBatchPages.blankSidesDropped = isOn(CCAP_OVK_BLANKSKIP);
}

// A failed enable ends the batch like any other failure, with the data source's reason.
bool TlvDeviceCntlr::enableForScan() {
    mUserInterface = TW_USERINTERFACE{};
    const int rc = mTWAINHandler->enableDS(mUserInterface);
    if (rc == TWRC_SUCCESS)
        return true;
    if (mHost.batchState().isCancelledOnMain()) {
        endBatch(false);
        mHost.switchScanModeForCancelOnMain();
        return true;
    }
    noteFailure(rc, false);
    endBatch(false);
    return true;
}

TW_UINT16 TlvDeviceCntlr::getStatusCC() {
    mDSStatus = TW_STATUS{};
    const int rc = mTWAINHandler->isDSOpen() ? mTWAINHandler->getDSStatus(mDSStatus)
                                             : mTWAINHandler->getDSMStatus(mDSStatus);
    return rc == TWRC_SUCCESS ? mDSStatus.ConditionCode : 0xFFFF;
}

// ---- the one end of a batch ----

void TlvDeviceCntlr::endBatch(bool success) {
    if (!mIsOpenDSPanel)
        mHost.report(success ? tlv::TlvOutcome::ScanEnded : tlv::TlvOutcome::ScanFailed);
    if (const tlv::TlvMessage failure = closeBatch(); !failure.empty()) {
        const tlv::TlvMessage message = tlv::batchFailureMessage(failure, mBatchPages);
        mHost.showErrorPanel(message.key, message.args);
    }
}

tlv::TlvMessage TlvDeviceCntlr::closeBatch() {
    DepthScope call(*this);
    mTWAINHandler->setDSState(kVXStateDSEnabled);
    mHost.batchState().scanClosed();
    if (mTWAINHandler->isDSEnabled())
        mTWAINHandler->disableDS(nullptr);
    if (mTWAINHandler->isDSOpen())
        mTWAINHandler->closeDS();
    tlv::TlvMessage failure;
    {
        std::lock_guard lock(mBatchLock);
        mBatchRunning = false;
        failure = mFailure;
    }
    mBatchEnded.notify_all();
    if (mBatchClosed)
        mBatchClosed();
    return failure;
}

// The page in transfer is ended and the pending ones reset first (a reset the data source refuses when
// nothing is pending): it disables only from its enabled state.
void TlvDeviceCntlr::closeForQuit() {
    if (mAbandoned)
        return;
    fnd::RunLoop::main().cancelPerforms(this);
    mWhenFree.clear();
    if (mTWAINHandler->isDSEnabled() && !mIsOpenDSPanel) {
        mPendingXfers = TW_PENDINGXFERS{};
        if (mTransfer)
            step(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &mPendingXfers);
        step(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &mPendingXfers);
    }
    mTransfer.reset();
    mHost.batchState().endTransfer();
    if (mTWAINHandler->isDSOpen() || isBatchRunning())
        closeBatch();
}

void TlvDeviceCntlr::abandonForQuit() {
    mAbandoned = true;
    fnd::RunLoop::main().cancelPerforms(this);
    mWhenFree.clear();
    mTransfer.reset();
    mHost.batchState().endTransfer();
    {
        std::lock_guard lock(mBatchLock);
        mBatchRunning = false;
    }
    mBatchEnded.notify_all();
}

// Between two pages (TWAIN's state 6) any source takes it; a page in transfer waits for the next tick.
void TlvDeviceCntlr::stopFeeder() {
    if (mIsOpenDSPanel || !isBatchRunning())
        return;
    mHost.batchState().askFeederStop();
    if (mMainCallDepth == 0 && !mTransfer && mTWAINHandler->isDSEnabled())
        sendStopFeeder();
}

// ---- the callback and what it forwards ----

TW_UINT16 TlvDeviceCntlr::TWAIN_ScanCallback(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32, TW_UINT16, TW_UINT16 msg,
                                             TW_MEMREF) {
    TlvDeviceCntlr* self = sTlvDeviceCntlr;
    if (!self)
        return TWRC_SUCCESS;
    const bool onMain = fnd::RunLoop::isMainThread();
    switch (msg) {
    case MSG_XFERREADY:
        fnd::performOnMainThread([self] { self->scanReady(); }, onMain);
        fnd::performOnMainThread([self] { self->xferReady(false); }, false);
        break;
    case MSG_CLOSEDSREQ:
        fnd::performOnMainThread([self] { self->runWhenFree([self] { self->closeRequest(); }); }, false);
        break;
    case MSG_CLOSEDSOK:
        fnd::performOnMainThread([self] { self->runWhenFree([self] { self->closeOK(); }); }, false);
        break;
    case MSG_DEVICEEVENT:
        // Only the main thread may talk to the data source and hand the interface its events.
        fnd::performOnMainThread([self] { self->deviceEvent(); }, onMain);
        break;
    default:
        break;
    }
    return TWRC_SUCCESS;
}

void TlvDeviceCntlr::deviceEvent() {
    if (mIsOpenDSPanel || !mTWAINHandler->isDSOpen())
        return;
    TW_DEVICEEVENT event{};
    if (mTWAINHandler->getDeviceEvent(event) != TWRC_SUCCESS)
        return;
    if (event.Event == kEventIdleTick) {
        // The data source waits inside one of our calls: the interface gets its turn, but the next
        // block and what else was queued here wait for the outer call to return (runWhenFree).
        mHost.dispatchOneUserEvent(kTickEventWait);
        if (mHost.batchState().isCancelledOnMain() || isScanCancel())
            sendCancelToDS();
        sendStopFeeder();
    } else if (isScanCancel()) {
        return;
    } else if (event.Event == kEventBatchStarting) {
        scanReady();
        mHost.report(tlv::TlvOutcome::BatchStarting);
    } else if (event.Event == kEventScanning) {
        mBatchPages.sheetTaken = true;
        mHost.report(tlv::TlvOutcome::Scanning);
    }
}

// Pages never go anywhere but a private folder: without one the batch stops with its reason.
void TlvDeviceCntlr::scanReady() {
    if (!mHost.scanReadyByTwainCB())
        noteFailure(kScnErrTmpFolder, false);
}

void TlvDeviceCntlr::sendCancelToDS() {
    if (!mHost.batchState().takeCancelToDS())
        return;
    std::uint32_t code = kAbortRequest;
    TW_PASSTHRU record{};
    record.pCommand = &code;
    record.CommandBytes = sizeof code;
    mTWAINHandler->passThru(record);
}

void TlvDeviceCntlr::sendStopFeeder() {
    if (!mHost.batchState().takeFeederStopToDS())
        return;
    TW_PENDINGXFERS pending{};
    DepthScope call(*this);
    // Refused where transfers do not wait yet (the batch's start): the next tick or page sends it again.
    if (mTWAINHandler->messageDS(DG_CONTROL, DAT_PENDINGXFERS, MSG_STOPFEEDER, &pending) != TWRC_SUCCESS)
        mHost.batchState().feederStopRefused();
}

// While a page is in transfer, its end ends the batch; closing under it would leave it talking to a
// closed data source.
void TlvDeviceCntlr::closeRequest() {
    if (!mTWAINHandler->isDSOpen())
        return;
    if (isRunningMemXfer() && !mIsOpenDSPanel) {
        mHost.batchState().requestClose();
        return;
    }
    endBatch(false);
}

void TlvDeviceCntlr::closeOK() {
    if (!mTWAINHandler->isDSOpen())
        return;
    mTWAINHandler->disableDS(nullptr);
    if (mIsOpenDSPanel && mCurScanSettingMdl) {
        TW_INT16 result = 0;
        if (!mCaps->getCCAPsValues(mCurScanSettingMdl, &result))
            mHost.showErrorPanel("Err_NotGetSetting");
    }
    fnd::performOnMainThread([this] { mHost.settingDidChangeSendPerform(); }, false);
    endBatch(true);
}
