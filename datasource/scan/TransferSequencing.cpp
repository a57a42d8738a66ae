// The end of each image's transfer: whether another image follows and how many. The count comes from
// the transfer count when the application fixed one, otherwise from the sheet in progress and the
// scanner's feeder, so a batch ends exactly when the paper does.
#include <algorithm>

#include "COrvkQS.h"
#include "CapHelpers.h"
#include "OrvkQSDS.h"
#include "datasource/usb/ScannerErrors.h"
#include "foundation/NotificationCenter.h"
#include "foundation/RunLoop.h"

namespace {

constexpr double kXferReadyDelay = 0.2; // s, for clients that need a fresh transfer-ready signal
constexpr char kXferReadyNotification[] = "XferReadyNotification";

} // namespace

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
    if (mPendingXfers || mSheetImagesLeft > 0)
        return -1;
    if (IsContinuousFeed()) {
        // A continuous batch counts the pages the scanner has already fed.
        std::uint32_t fed = 0;
        const auto error = static_cast<std::uint32_t>(mScanner->GetStatus("BatchTransferCount", &fed));
        if (error == 0)
            return fed != 0 ? -1 : 0;
        if (error == k3100::kScanErrNoPaper)
            mScanner->SetScannerError(k3100::kScanErrEndOfBatch);
        return CDataSource::GetPendingDocumentCount();
    }
    return IsDocumentReady() ? -1 : 0;
}

TW_UINT16 COrvkQSDS::ResetPendingXfers(pTW_IDENTITY origin, TW_MEMREF data) {
    // A transfer-ready signal still to come would restart the batch the application just ended.
    mXferReadyTimer.Reset();
    const TW_UINT16 rc = CDataSource::ResetPendingXfers(origin, data);
    if (rc != TWRC_SUCCESS)
        return rc;
    if (mScanner && mScanner->GetState() > k3100::CDocScanner::kSessionOpen) {
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
