// Waiting for the threads of an earlier batch is a request kept until the last of them reports its end,
// never a wait that would keep the main thread from serving those threads.
#include "TlvScanViewCntlr.h"
#include "TlvAppState.h"

#include "RunLoop.h"
#include "Strings.h"
#include "Tags.h"
#include "VX_Message.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace {

TlvScanViewCntlr* sScanViewCntlr = nullptr;

} // namespace

TlvScanViewCntlr::TlvScanViewCntlr(tlv::TlvScanHost& host, TlvDeviceCntlr* device)
    : mHost(host), mDevice(device), mScanningView(new QWidget) {
    appkit::setTag(mScanningView, kScanningViewTag);
    auto* layout = new QVBoxLayout(mScanningView);
    mScngJobInfoDmyView = new QWidget(mScanningView);
    appkit::setTag(mScngJobInfoDmyView, kJobInfoPlaceholderTag);
    mScngJobInfoDmyView->setMinimumSize(220, 120);
    auto* button = new QPushButton(appkit::localized("Cancel"), mScanningView);
    appkit::setTag(button, kScanButtonTag);
    QObject::connect(button, &QPushButton::clicked, button, [this, button] { againExeScan(button); });
    layout->addWidget(mScngJobInfoDmyView, 1);
    layout->addWidget(button, 0, Qt::AlignRight);
    if (mDevice)
        mDevice->setTransferEndedHandler([this] { workersMayHaveEnded(); });
    sScanViewCntlr = this;
}

TlvScanViewCntlr::~TlvScanViewCntlr() {
    if (mDevice)
        mDevice->setTransferEndedHandler(nullptr);
    if (mScanningView && !mScanningView->parent())
        delete mScanningView;
    if (sScanViewCntlr == this)
        sScanViewCntlr = nullptr;
}

TlvScanViewCntlr* TlvScanViewCntlr::sharedScanViewCntlr() {
    return sScanViewCntlr;
}

// Each button says what it does: "Cancel" on a question about cancelling would read as the stop.
bool TlvScanViewCntlr::askStopAndDiscard() {
    return VX_Message::askQuestion("Cnfm_ScanCancelYesOrNo", "Btn_StopAndDiscard", "Btn_KeepScanning");
}

bool TlvScanViewCntlr::isWaitingForThreads() const {
    return isRunningScanThread() || mHost.readImgFileForJobScnCount() != 0;
}

bool TlvScanViewCntlr::executeScanByCntlr() {
    mIsPerformedFinishScan = false;
    mIsContinueScanState = false;
    mHost.clearIsFinScan();
    if (isWaitingForThreads()) {
        mExecutePending = true;
        return false;
    }
    mExecutePending = false;
    mHost.batchState().clearCancelOnMain();
    cancelDriver(false);
    mHost.batchState().renewCancel();
    return mDevice && mDevice->openDS(mHost.curScnMdlApp(), false);
}

bool TlvScanViewCntlr::isReadyScan() const {
    const std::uint32_t state = curDSStateOnCntlr();
    return state == kVXStateDSMOpen || state == kVXStateDSClosed;
}

std::uint32_t TlvScanViewCntlr::curDSStateOnCntlr() const {
    return mDevice ? mDevice->curDSState() : kVXStateDSMClosed;
}

bool TlvScanViewCntlr::wasSentCancelToDSOnCntlr() const {
    return mDevice && mDevice->wasSentCancelToDS();
}

bool TlvScanViewCntlr::isCancelDriver() const {
    return mDevice && mDevice->isScanCancel();
}

bool TlvScanViewCntlr::isRunningScanThread() const {
    return mDevice && mDevice->isRunningMemXfer();
}

bool TlvScanViewCntlr::isFinishScan() const {
    return mDevice && mDevice->isFinishMSGReset();
}

void TlvScanViewCntlr::cancelDriver(std::optional<bool> cancel) {
    if (cancel && mDevice)
        mDevice->setIsScanCancel(*cancel);
}

void TlvScanViewCntlr::finishScan(const QObject* sender) {
    const bool out =
        sender && appkit::tagOf(sender) == kFinishScanSenderTag && mHost.countOfImgInfoDict() > 0;
    if (isWaitingForThreads()) {
        mFinishPending = QPointer<const QObject>(sender);
        return;
    }
    mFinishPending.reset();
    if (!out) {
        mHost.switchScanMode(false);
    } else if (mHost.batchKind().scanMode == tlv::kScanModeFOA) {
        mHost.report(tlv::TlvOutcome::ScanningFinished);
        mHost.showSelectFunction();
    } else if (mHost.checkClosePDF()) {
        mHost.batchState().clearCancelOnMain();
        cancelDriver(false);
        mHost.batchState().renewCancel();
        if (mHost.batchKind().confirmOutput) {
            mHost.report(tlv::TlvOutcome::ScanningFinished);
            mHost.fixFunction();
        } else {
            mHost.executeFunction();
        }
    }
    mHost.changeKeyView();
}

void TlvScanViewCntlr::workersMayHaveEnded() {
    if (isWaitingForThreads())
        return;
    if (mExecutePending)
        executeScanByCntlr();
    if (mFinishPending) {
        const QPointer<const QObject> sender = *mFinishPending;
        finishScan(sender.data());
    }
}

void TlvScanViewCntlr::againExeScan(QAbstractButton* button) {
    if (button) {
        button->setChecked(false);
        button->setDown(false);
    }
    if (!mIsPerformedFinishScan && mIsContinueScanState) {
        mHost.executeScan();
        return;
    }
    // A cancel discards the pages scanned so far: the user agrees first, or the batch goes on.
    if (mHost.countOfImgInfoDict() > 0 && !askStopAndDiscard())
        return;
    if (mIsPerformedFinishScan)
        mFinishPending.reset();
    mHost.batchState().cancelOnMain();
    const tlv::AppState state = mHost.appState();
    const bool ended =
        tlv::inStates(state, tlv::AppStateScanWrite, tlv::AppStateScanErr) || mIsPerformedFinishScan;
    if (ended && mHost.batchState().takeReturnToTop())
        mHost.switchScanMode(true);
}
