// Whether a batch goes on after an image, and how it ends. The count comes from the transfer count when
// the application fixed one, otherwise from the sheet in progress and the scanner's feeder, so a batch
// ends when the paper does; waits for more paper poll with short pauses and give up after a bound.
#include <algorithm>
#include <chrono>

#include "COrvkQS.h"
#include "CapHelpers.h"
#include "ClientApp.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "QSCapIds.h"
#include "RunLoop.h"
#include "ScannerErrors.h"
#include "scan/EndXferState.h"

namespace {

constexpr double kXferReadyDelay = 0.2; // s, for clients that need a fresh transfer-ready signal
constexpr double kPaperPoll = 0.1;      // s between feeder checks, with the host's loop running

} // namespace

using namespace k3100;

bool COrvkQSDS::IsContinuousFeed() {
    const CCapPool* pool = GetCapPool();
    const bool autoFeed = GetCapUIntValue(pool, CAP_AUTOFEED) || GetCapUIntValue(pool, CAP_AUTOSCAN);
    return autoFeed && static_cast<TW_INT16>(GetCapSIntValue(pool, CAP_XFERCOUNT)) == -1;
}

std::int32_t COrvkQSDS::RemainingTransfers() {
    std::int32_t remaining = GetCapSIntValue(GetCapPool(), CAP_XFERCOUNT);
    // More images than were asked for never makes the count "unknown".
    if (remaining > 0)
        remaining = std::max(0, remaining - mTransferCount);
    return remaining;
}

std::int32_t COrvkQSDS::GetPendingDocumentCount() {
    // Without a scanner only the announced transfer is known, and it will fail.
    if (!mScanner)
        return CDataSource::GetPendingDocumentCount();
    const std::int32_t remaining = RemainingTransfers();
    if (remaining >= 0)
        return remaining;
    if (mPendingXfers || mBatch.IsSheetInProgress())
        return -1;
    // Only a continuous batch the scanner runs counts the pages it has fed; after the dialog's kept
    // page no such batch has started yet, so the feeder itself tells.
    if (mScanner->KeepsBatchStatus()) {
        std::uint32_t fed = 0;
        const auto error = static_cast<std::uint32_t>(mScanner->GetStatus("BatchTransferCount", &fed));
        if (error == 0)
            return fed != 0 ? -1 : 0;
        if (error == kScanErrNoPaper)
            mScanner->SetScannerError(kScanErrEndOfBatch);
        return CDataSource::GetPendingDocumentCount();
    }
    return IsDocumentReady() ? -1 : 0;
}

void COrvkQSDS::CloseFinishedSheet(SEndXfer& x) {
    if (mBatch.IsSheetInProgress())
        return;
    std::uint32_t abortState = 0;
    // The scanner's own stop key ends the batch like a cancel in the application.
    if (mScanner->GetStatus("AbortState", &abortState) == 0 && abortState == 1) {
        mBatch.Stop();
        x.count = 0;
        x.error = kScanErrCancelled;
    }
    mScanner->FinishScan();
}

void COrvkQSDS::WaitForMorePaper(SEndXfer& x) {
    const bool wait = x.manualFeed != 0 && x.count == 0;
    if (x.remaining == 0 || x.kept || mBatch.IsStopping() || mBatch.IsSheetInProgress() ||
        !(wait || (x.quietEnd && x.count)))
        return;
    const auto deadline = std::chrono::steady_clock::now() + mMorePaperLimit;
    do {
        x.count = 0;
        if (wait)
            WaitForUserOrPaper(x);
        if (mBatch.IsStopping())
            break;
        if (IsDocumentReady())
            StartNextSheet(x);
        if (x.count == 0 && !wait) {
            if (std::chrono::steady_clock::now() >= deadline)
                break;
            fnd::RunLoop::current().runFor(kPaperPoll);
        }
    } while (!mBatch.IsStopping() && x.count == 0);
}

void COrvkQSDS::WaitForUserOrPaper(SEndXfer& x) {
    mBatch.DropSheet();
    if (mUIController)
        mUIController->updateScanPanel(kPanelWaiting);
    const bool stop = WaitForUserAction(x.manualFeed == kManualFeedAutoStart);
    if (mUIController)
        mUIController->updateScanPanel(stop ? kPanelIdle : kPanelStopOnly);
    if (stop)
        mBatch.Stop();
}

void COrvkQSDS::StartNextSheet(SEndXfer& x) {
    if (!x.jamless && !x.blankSkip) {
        x.count = -1;
        return;
    }
    x.error = PerformSkipBlankPages(nullptr);
    if (x.error == 0) {
        x.count = -1;
    } else if (x.error != kScanErrNoPaper && x.error != kScanErrNoPage && x.error != kScanErrEndOfBatch) {
        if (x.jamless && IsFeedError(x.error))
            x.error = 0;
        HandleScannerError(x);
    }
}

void COrvkQSDS::EndBatch(SEndXfer& x) {
    if (mUIController) {
        mUIController->setShield(false);
        mUIController->hideMainWindow();
        mUIController->hideProgressWindow();
        mUIController->hideScanPanel();
        mUIController->closeRequest(false);
        mUIController->updateScanPanel(kPanelIdle);
    }
    // A batch stopped between the sides of a sheet must not leave that sheet in the scanner.
    if (mBatch.IsSheetInProgress()) {
        mScanner->ScanComplete();
        mScanner->FinishScan();
        mBatch.DropSheet();
    }
    mState = kEnabled;
    mPendingXfers = 0;
    mDeviceEvent = kDeviceEventNone;
    // Only this maker's application tells a cancelled batch from a finished one.
    if (mBatch.IsStopping() && x.error == kScanErrCancelled &&
        CClientApp::CurrentId() == CClientApp::kOwnApplication)
        x.result = TWRC_CANCEL;
}

void COrvkQSDS::ContinueBatch(SEndXfer& x) {
    if (x.remaining > 0)
        x.count = static_cast<TW_INT16>(std::min<std::int32_t>(x.remaining, 0x7FFF));
    const CClientApp* client = CClientApp::Current();
    if (client && client->RequireNextTransferRequest()) {
        ScheduleXferReady();
        return;
    }
    mState = kXferReady;
    mPendingXfers = 1;
}

TW_UINT16 COrvkQSDS::ResetPendingXfers(pTW_IDENTITY origin, TW_MEMREF data) {
    // A transfer-ready signal still to come would restart the batch the application just ended.
    mXferReadyTimer.Reset();
    const TW_UINT16 rc = CDataSource::ResetPendingXfers(origin, data);
    if (rc != TWRC_SUCCESS)
        return rc;
    if (mScanner && mScanner->GetState() > CDocScanner::kSessionOpen) {
        mScanner->AbortScan();
        RecoverScan();
    }
    mPendingXfers = 0;
    mState = kEnabled;
    static_cast<TW_PENDINGXFERS*>(data)->Count = 0;
    mDeviceEvent = kDeviceEventNone;
    return TWRC_SUCCESS;
}

void COrvkQSDS::ScheduleXferReady() {
    mXferReadyTimer.Reset(fnd::RunLoop::current().addTimer(kXferReadyDelay, false, [this](fnd::Timer&) {
        mXferReadyTimer.Reset();
        PerformXferReadyNotification();
    }));
}

void COrvkQSDS::PerformXferReadyNotification() {
    fnd::NotificationCenter::defaultCenter().post(kXferReadyNotification);
}
