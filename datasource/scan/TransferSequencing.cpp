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
    // Without a scanner no image can have been delivered; only the bookkeeping is left.
    if (!mScanner)
        return CDataSource::PendingEndXfers(origin, data);
    SEndXfer x;
    ReadEndXferSettings(x);
    if (mStopBatch) {
        x.result = SetConditionCode(TWCC_SUCCESS, TWRC_SUCCESS);
    } else {
        CountDeliveredImage(x);
        if (!x.duplex && !x.continuous && !x.blankSkip && !x.jamless) {
            if (const TW_UINT16 rc = EndSimpleImage(x, origin, *pending); rc == TWRC_FAILURE)
                return rc;
        } else {
            PrepareNextImage(x);
        }
    }
    if (mStopBatch)
        x.count = 0;
    CloseFinishedSheet(x);
    WaitForMorePaper(x);
    if (x.count == 0 || mStopBatch)
        EndBatch(x);
    else
        ContinueBatch(x);
    pending->Count = x.count;
    mImageInfoValid = 0; // the next image needs its own information
    return x.result;
}

void COrvkQSDS::ReadEndXferSettings(SEndXfer& x) {
    x.manualFeed = ManualFeedMode();
    x.jamless = IsOn(CCAP_OVK_FEEDER_JAMLESS);
    x.remaining = RemainingTransfers();
}

void COrvkQSDS::CountDeliveredImage(SEndXfer& x) {
    if (mSheetImagesLeft > 0)
        --mSheetImagesLeft;
    // Kept prescan images are already scanned: no feed can jam while they go out.
    if (mKeptImagesLeft > 0 && --mKeptImagesLeft > 0)
        x.jamless = false;
    x.duplex = IsOn(CAP_DUPLEXENABLED);
    x.blankSkip = IsOn(CCAP_OVK_BLANKSKIP);
    x.kept = mScanMode == kScanModeKeptThenEnd || mScanMode == kScanModeKeptDone;
    x.continuous = mScanMode == kScanModeNormal && IsContinuousFeed();
    if (mScanMode == kScanModeKeptThenScan && mKeptImagesLeft == 0)
        mScanMode = kScanModeNormal;
}

TW_UINT16 COrvkQSDS::EndSimpleImage(SEndXfer& x, pTW_IDENTITY origin, TW_PENDINGXFERS& pending) {
    if (mScanMode == kScanModeKeptThenEnd && mKeptImagesLeft == 0) {
        x.count = 0;
        mSheetImagesLeft = 0;
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
        mStopBatch = 1;
        x.count = 0;
        mSheetImagesLeft = 0;
        x.error = 0;
        x.result = TWRC_SUCCESS;
        return;
    }
    if (x.error != 0 && !mStopBatch) {
        x.quietEnd = x.error == kScanErrEndOfBatch;
        if (x.blank)
            x.error = 0; // the feeder ran out on blank pages: nothing to tell the user
        else
            AlertScannerError(x);
        x.count = 0;
        mSheetImagesLeft = 0;
    } else {
        if (x.continuous)
            mSheetImagesLeft = x.duplex ? 2 : 1;
        x.quietEnd = false;
    }
    if (mSheetImagesLeft == 0 && x.error == 0) {
        x.count = x.kept ? 0 : static_cast<TW_INT16>(GetPendingDocumentCount());
        x.error = mScanner->GetScannerError();
        HandleScannerError(x);
    }
}

std::uint32_t COrvkQSDS::ScanNextImage(SEndXfer& x) {
    if (!x.blankSkip && (!x.jamless || x.continuous))
        return x.continuous || mSheetImagesLeft > 0 ? ScanNextSide() : 0;
    if (x.blankSkip && (x.continuous || mSheetImagesLeft > 0)) {
        bool ready = false;
        if (const std::uint32_t error = SkipBlankSides(x, ready); error != 0 || ready)
            return error;
    }
    if (!x.kept && mSheetImagesLeft == 0 && GetPendingDocumentCount() != 0) {
        std::uint8_t blank = 0;
        std::uint32_t error = PerformSkipBlankPages(&blank);
        x.blank = error == kScanErrNoPage && blank != 0;
        // A jam behind the stop is the real cause; without jams it ends the batch quietly.
        if (x.jamless && error == kScanErrCancelled && mScanner->GetScannerError() != 0)
            error = mScanner->GetScannerError();
        return error;
    }
    return x.jamless && mSheetImagesLeft > 0 ? ScanNextSide() : 0;
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
        if (mKeptImagesLeft > 0)
            ApplyFinalImageFilter();
        if (const std::uint32_t error = IsBlankPage(blank); error != 0)
            return error;
        if (blank) {
            if (mSheetImagesLeft > 0)
                --mSheetImagesLeft;
            if (mKeptImagesLeft > 0)
                --mKeptImagesLeft;
            // A continuous feed has no sheet boundary: the next page is always due.
            if (x.continuous && mSheetImagesLeft == 0)
                mSheetImagesLeft = 1;
        }
    } while (blank && mSheetImagesLeft > 0);
    // The side just scanned is the next image; scanning further would skip it.
    ready = blank == 0;
    return 0;
}

void COrvkQSDS::HandleScannerError(SEndXfer& x) {
    if (mStopBatch) {
        x.count = 0;
        return;
    }
    if (x.jamless && IsFeedError(x.error)) {
        mStopBatch = 1;
        x.error = 0;
    }
    AlertScannerError(x);
}

void COrvkQSDS::AlertScannerError(SEndXfer& x) {
    x.error = ShowAlert(x.error) == TWRC_CANCEL ? kScanErrCancelled : 0;
    if (x.error != 0)
        mStopBatch = 1;
}
