// The end of each image's transfer: the image is counted off its sheet and the next one is made ready
// now (the sheet's other side, or the next sheet with blank pages dropped), so the count the application
// gets is known to be right. Feed errors, stops and empty feeders all end in one place (BatchEnd.cpp).
#include "COrvkQS.h"
#include "CapHelpers.h"
#include "QSCapIds.h"
#include "ScannerErrors.h"
#include "scan/EndXferState.h"

using namespace k3100;

TW_UINT16 COrvkQSDS::PendingEndXfers(pTW_IDENTITY origin, TW_MEMREF data) {
    auto* pending = static_cast<TW_PENDINGXFERS*>(data);
    if (!pending)
        return Fail(TWCC_BADVALUE);
    pending->Count = 0;
    mRowTimer.Reset(); // the image ends here, also when the application gave it up half read
    // Without a scanner no image can have been delivered; only the bookkeeping is left.
    if (!mScanner)
        return CDataSource::PendingEndXfers(origin, data);
    SEndXfer x;
    ReadEndXferSettings(x);
    if (!mBatch.IsStopping()) {
        CountDeliveredImage(x);
        // A continuous scan ends on the scanner's side instead, after the pages it has read ahead.
        if (!x.continuous)
            mBatch.StopIfSheetDone();
    }
    if (mBatch.IsStopping()) {
        x.result = SetConditionCode(TWCC_SUCCESS, TWRC_SUCCESS);
    } else if (!x.duplex && !x.continuous && !x.blankSkip && !x.jamless) {
        if (const TW_UINT16 rc = EndSimpleImage(x, origin, *pending); rc == TWRC_FAILURE)
            return rc;
    } else {
        PrepareNextImage(x);
    }
    if (mBatch.IsStopping())
        x.count = 0;
    CloseFinishedSheet(x);
    WaitForMorePaper(x);
    if (x.count == 0 || mBatch.IsStopping())
        EndBatch(x);
    else
        ContinueBatch(x);
    pending->Count = x.count;
    mBatch.ForgetImageInfo();
    return x.result;
}

void COrvkQSDS::ReadEndXferSettings(SEndXfer& x) {
    x.manualFeed = ManualFeedMode();
    x.jamless = IsOn(CCAP_OVK_FEEDER_JAMLESS);
    x.remaining = RemainingTransfers();
}

void COrvkQSDS::CountDeliveredImage(SEndXfer& x) {
    x.kept = mBatch.EndsAfterKeptImages();
    x.continuous = mBatch.IsNormalScan() && IsContinuousFeed();
    mBatch.ImageDelivered();
    // Kept prescan images are already scanned: no feed can jam while they go out.
    if (mBatch.HasKeptImages())
        x.jamless = false;
    x.duplex = IsOn(CAP_DUPLEXENABLED);
    x.blankSkip = IsOn(CCAP_OVK_BLANKSKIP);
}

TW_UINT16 COrvkQSDS::EndSimpleImage(SEndXfer& x, pTW_IDENTITY origin, TW_PENDINGXFERS& pending) {
    if (mBatch.AreKeptImagesDone()) {
        x.count = 0;
        mBatch.DropSheet();
        return TWRC_SUCCESS;
    }
    if (x.remaining == 0)
        return TWRC_SUCCESS;
    const TW_UINT16 rc = CDataSource::PendingEndXfers(origin, &pending);
    if (rc != TWRC_SUCCESS)
        return rc;
    x.count = pending.Count;
    x.error = mScanner->GetScannerError();
    HandleScannerError(x);
    return TWRC_SUCCESS;
}

void COrvkQSDS::PrepareNextImage(SEndXfer& x) {
    x.count = -1;
    x.error = ScanNextImage(x);
    if (x.jamless && IsFeedError(x.error)) {
        // Without jams the batch simply ends after the images already delivered.
        mBatch.Stop();
        x.count = 0;
        mBatch.DropSheet();
        x.error = 0;
        x.result = TWRC_SUCCESS;
        return;
    }
    if (x.error != 0 && !mBatch.IsStopping()) {
        x.quietEnd = x.error == kScanErrEndOfBatch;
        if (x.blank)
            x.error = 0; // the feeder ran out on blank pages: nothing to tell the user
        else
            AlertScannerError(x);
        x.count = 0;
        mBatch.DropSheet();
    } else {
        if (x.continuous)
            mBatch.FeedOn(x.ImagesPerSheet());
        x.quietEnd = false;
    }
    if (!mBatch.IsSheetInProgress() && x.error == 0) {
        x.count = x.kept ? 0 : static_cast<TW_INT16>(GetPendingDocumentCount());
        x.error = mScanner->GetScannerError();
        HandleScannerError(x);
    }
}

std::uint32_t COrvkQSDS::ScanNextImage(SEndXfer& x) {
    if (!x.blankSkip && (!x.jamless || x.continuous))
        return x.continuous || mBatch.IsSheetInProgress() ? ScanNextSide() : 0;
    if (x.blankSkip && (x.continuous || mBatch.IsSheetInProgress())) {
        bool ready = false;
        if (const std::uint32_t error = SkipBlankSides(x, ready); error != 0 || ready)
            return error;
    }
    if (!x.kept && !mBatch.IsSheetInProgress() && GetPendingDocumentCount() != 0) {
        std::uint8_t blank = 0;
        std::uint32_t error = PerformSkipBlankPages(&blank);
        x.blank = error == kScanErrNoPage && blank != 0;
        // A jam behind the stop is the real cause; without jams it ends the batch quietly.
        if (x.jamless && error == kScanErrCancelled && mScanner->GetScannerError() != 0)
            error = mScanner->GetScannerError();
        return error;
    }
    return x.jamless && mBatch.IsSheetInProgress() ? ScanNextSide() : 0;
}

std::uint32_t COrvkQSDS::ScanNextSide() {
    tagScanParam param{};
    const std::uint32_t error = ScanPage(param);
    if (error != 0)
        mScanner->ScanComplete();
    return error;
}

std::uint32_t COrvkQSDS::SkipBlankSides(SEndXfer& x, bool& ready) {
    std::uint8_t blank = 0;
    do {
        if (mBatch.HasKeptImages())
            ApplyFinalImageFilter();
        if (const std::uint32_t error = IsBlankPage(blank); error != 0)
            return error;
    } while (blank && mBatch.BlankSideDropped(x.continuous ? x.ImagesPerSheet() : 0));
    // The side just scanned is the next image; scanning further would skip it.
    ready = blank == 0;
    return 0;
}

void COrvkQSDS::HandleScannerError(SEndXfer& x) {
    if (mBatch.IsStopping()) {
        x.count = 0;
        return;
    }
    if (x.jamless && IsFeedError(x.error)) {
        mBatch.Stop();
        x.error = 0;
    }
    AlertScannerError(x);
}

void COrvkQSDS::AlertScannerError(SEndXfer& x) {
    x.error = ShowAlert(x.error) == TWRC_CANCEL ? kScanErrCancelled : 0;
    if (x.error != 0)
        mBatch.Stop();
}
