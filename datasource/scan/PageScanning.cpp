// One image through the scanner: the device scans it while a run-loop timer keeps the dialog alive, the
// page's findings (size, type, blankness) come back in the scan record, and blank images are dropped side
// by side and sheet by sheet until one worth transferring is ready or the feeder is empty.
#include "COrvkQS.h"
#include "CapHelpers.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "RunLoop.h"
#include "ScanParam.h"
#include "ScannerErrors.h"

namespace {

constexpr double kScanTimerInterval = 0.3; // s between idle ticks while a page is scanned
constexpr float kLengthUnitsPerInch = 1200;

TW_UINT16 PixelTypeOf(std::uint32_t detectedType) {
    return detectedType == k3100::kPixelModeBlackWhite ? TWPT_BW
           : detectedType == k3100::kPixelModeGrey     ? TWPT_GRAY
                                                       : TWPT_RGB;
}

} // namespace

std::uint32_t COrvkQSDS::ScanPage(tagScanParam& param) {
    if (!mScanner)
        return k3100::kScanErrDeviceNotFound;
    const bool sizeKnown = IsOn(CCAP_OVK_DETECTPAGESIZE) || IsOn(CCAP_OVK_RECOGNIZE_DIRECTION);
    const bool detectType = IsOn(CCAP_OVK_DETECTPAGETYPE);
    CScopedTimer timer;
    try {
        timer.Reset(
            fnd::RunLoop::current().addTimer(kScanTimerInterval, true, [this](fnd::Timer&) { Idle(); }));
    } catch (const std::bad_alloc&) {
        return k3100::kScanErrNoMemory;
    }
    const auto error = static_cast<std::uint32_t>(mScanner->ScanPage(&param));
    timer.Reset();
    if (error != 0)
        return error;
    // The page is square-pixelled, so the X resolution serves both sides.
    if (sizeKnown && param.resolution > 0) {
        const float scale = kLengthUnitsPerInch / static_cast<float>(param.resolution);
        mDetectedPageSize =
            SScanSize{static_cast<float>(param.outWidth) * scale, static_cast<float>(param.outLines) * scale};
    }
    if (detectType)
        SetCapUIntValue(GetCapPool(), ICAP_PIXELTYPE, PixelTypeOf(param.outPixelType));
    return 0;
}

std::uint32_t COrvkQSDS::IsBlankPage(std::uint8_t& blank) {
    tagScanParam param{};
    const std::uint32_t error = ScanPage(param);
    if (error == 0)
        blank = param.blankPage;
    if ((error != 0 || blank) && mScanner)
        mScanner->ScanComplete();
    return error;
}

std::uint32_t COrvkQSDS::PerformSkipBlankPages(std::uint8_t* blankOut) {
    using namespace k3100;
    const bool continuous = IsContinuousFeed();
    const bool duplex = IsOn(CAP_DUPLEXENABLED);
    const bool blankSkip = IsOn(CCAP_OVK_BLANKSKIP);
    std::uint8_t blank = 0;
    auto answer = [&](std::uint32_t error) {
        if (blankOut)
            *blankOut = blank;
        return error;
    };
    for (;;) {
        const TW_UINT16 prepared = PrepareScan();
        if (prepared == kPrepareAgain && mConditionCode == TWCC_SUCCESS)
            continue;
        if (prepared == kPrepareAgain && mConditionCode == kConditionNoPaper) {
            if (mScanner) {
                mScanner->ScanComplete();
                mScanner->FinishScan();
            }
            SetConditionCode(TWCC_SUCCESS, TWRC_SUCCESS);
            return answer(kScanErrNoPage);
        }
        if (prepared != TWRC_SUCCESS)
            return answer(kScanErrCancelled);
        const std::uint8_t previous = blank;
        blank = 0;
        if (blankSkip) {
            const std::uint32_t error = IsBlankPage(blank);
            if (error == kScanErrEndOfBatch) {
                // The feeder ran dry behind blank pages: nothing is left to transfer.
                blank = previous;
                if (previous)
                    mBatch.DropSheet();
                return answer(previous ? kScanErrNoPage : kScanErrEndOfBatch);
            }
            if (error != 0)
                return answer(error);
        }
        if (!blank)
            return answer(0);
        if (mBatch.BlankSideDropped(continuous ? (duplex ? 2 : 1) : 0))
            continue; // the sheet's other side
        mBatch.SheetRanOutOnBlanks();
        const bool morePaper = IsDocumentReady();
        mScanner->FinishScan();
        if (!morePaper)
            return answer(kScanErrNoPage);
    }
}
