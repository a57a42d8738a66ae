// Making the next image available: a sheet in progress only has its next side handed out, a new sheet
// gets its scan parameters from the capabilities and is started and scanned, and a sheet that cannot start
// is answered by jamless mode, the manual-feed wait or an alert. The dialog and the application hear of
// each step as it happens, because the host's thread is blocked while the scanner works.
#include <algorithm>

#include "COrvkQS.h"
#include "CapHelpers.h"
#include "ClientApp.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "ScannerErrors.h"
#include "UIController.h"

namespace {

constexpr std::uint32_t kManualFeedAbortKey = 2; // the panel key that stops a manual-feed scan

} // namespace

bool COrvkQSDS::IsFeedError(std::uint32_t error) {
    using namespace k3100;
    return error == kScanErrNoPaper || error == kScanErrPaperJam || error == kScanErrCoverOpen ||
           error == kScanErrDoubleFeed;
}

bool COrvkQSDS::IsOn(TW_UINT16 capId) const {
    return GetCapSIntValue(GetCapPool(), capId) != 0;
}

// Manual feeding waits on the scan panel: a host that cannot show it (a background-only client, or one
// without windows, where no dialog can be made) feeds as without it rather than wait for ever.
std::int32_t COrvkQSDS::ManualFeedMode() const {
    const CClientApp* client = CClientApp::Current();
    const bool panelShown = GetUIControllerFactory() && !(client && client->IsBackgroundOnly());
    return panelShown ? GetCapSIntValue(GetCapPool(), CCAP_OVK_MANUALFEED) : 0;
}

void COrvkQSDS::PostDeviceEvent(std::uint32_t event) {
    mDeviceEvent = event;
    fnd::NotificationCenter::defaultCenter().post(kDeviceEventNotification);
}

void COrvkQSDS::ResumeProgress() {
    if (mUIController && IsOn(CAP_INDICATORS))
        mUIController->resumeProgressWindow();
}

void COrvkQSDS::PrepareScanPanel(bool manualFeed) {
    if (!mUIController) {
        // Without a dialog the scan simply goes on without its panel.
        const TW_UINT16 condition = mConditionCode;
        if (CreateUserInterface() != TWRC_SUCCESS) {
            mConditionCode = condition;
            return;
        }
    }
    mUIController->updateScanPanel(kPanelScanning);
    if (manualFeed) {
        mScanner->SetEzKeyAbort(kManualFeedAbortKey);
        mUIController->showScanPanel();
    } else {
        mUIController->hideScanPanel();
    }
}

TW_UINT16 COrvkQSDS::PrepareScan() {
    mBatch.ClearStop();
    const std::int32_t manualFeed = ManualFeedMode();
    const bool jamless = IsOn(CCAP_OVK_FEEDER_JAMLESS);
    if (mBatch.IsSheetInProgress()) {
        if (mBatch.HasKeptImages() && !mBatch.IsPositioning())
            ApplyFinalImageFilter();
        ResumeProgress();
        return TWRC_SUCCESS;
    }
    if (!mScanner)
        return Fail(TWCC_OPERATIONERROR);
    const std::int32_t remaining = RemainingTransfers();
    const bool prescan = mBatch.IsPrescan();
    const CBatchState::EXferReadyScanMode mode = mBatch.ScanMode();
    const bool continuous = IsContinuousFeed() && !prescan && mode != CBatchState::kScanModeKeptDone;
    mDetectedPageSize = SScanSize{};
    tagScanParam param = MakeScanParam(continuous, prescan ? mode : CBatchState::kScanModeNormal);
    // Found out before the sheet moves: a page that cannot be finished would be lost.
    if (IsOn(CCAP_OVK_RECOGNIZE_DIRECTION) && !mScanner->CanDetectTextDirection())
        return AnswerSheetError(k3100::kScanErrNoDirectionModel, manualFeed, jamless);
    mScanner->SetEzKeyAbort(0);
    const bool dialogShowsPrescan =
        mShowUI && (mode == CBatchState::kScanModeKeepPrescan || mode == CBatchState::kScanModeKeptDone);
    if (!mBatch.IsPositioning() && !dialogShowsPrescan)
        PrepareScanPanel(manualFeed != 0);
    if (!mBatch.IsPositioning())
        PostDeviceEvent(kDeviceEventScanReady);
    if (mUIController) {
        mUIController->setShield(true);
        if (IsOn(CAP_INDICATORS)) {
            mUIController->showProgressWindow();
            mUIController->resumeProgressWindow();
        }
    }
    if (const std::uint32_t error = StartSheet(param))
        return AnswerSheetError(error, manualFeed, jamless);
    mBatch.StartSheet(IsOn(CAP_DUPLEXENABLED) && (remaining > 1 || remaining == -1) ? 2 : 1);
    ResumeProgress();
    return TWRC_SUCCESS;
}

std::uint32_t COrvkQSDS::StartSheet(tagScanParam& param) {
    // Reading the feeder overwrites the scanner's error, which the start must still see.
    const std::uint32_t previousError = mScanner->GetScannerError();
    std::uint32_t readError = 0;
    if (!IsDocumentReady(&readError))
        return readError != 0 ? readError : k3100::kScanErrNoPage;
    mScanner->SetScannerError(previousError);
    if (const int error = mScanner->StartScan(&param))
        return static_cast<std::uint32_t>(error);
    if (!mBatch.IsPositioning())
        PostDeviceEvent(kDeviceEventScanning);
    return ScanPage(param);
}

TW_UINT16 COrvkQSDS::AnswerSheetError(std::uint32_t error, std::int32_t manualFeed, bool jamless) {
    TW_UINT16 result = TWRC_CANCEL;
    if (jamless && IsFeedError(error)) {
        // Inside a running batch the caller turns this into "no page" and ends the batch quietly.
        if (mState == kXferReady || (mBatch.IsPrescan() && mState == kTransferring))
            result = SetConditionCode(kConditionNoPaper, kPrepareAgain);
        error = 0;
    }
    if (manualFeed != 0 && (error == k3100::kScanErrNoPaper || error == k3100::kScanErrNoPage)) {
        if (mUIController)
            mUIController->updateScanPanel(kPanelWaiting);
        const bool stop = WaitForUserAction(manualFeed == kManualFeedAutoStart);
        error = 0;
        if (stop) {
            mBatch.Stop();
            result = TWRC_CANCEL;
        } else {
            mConditionCode = TWCC_SUCCESS;
            result = kPrepareAgain;
        }
        if (mUIController)
            mUIController->updateScanPanel(stop ? kPanelIdle : kPanelStopOnly);
    }
    return error != 0 ? AnswerScannerError(error) : result;
}

TW_UINT16 COrvkQSDS::AnswerScannerError(std::uint32_t error) {
    const TW_UINT16 answer = ShowAlert(error);
    if (answer != TWRC_SUCCESS)
        mBatch.Stop();
    // An error answered with success would hand out an image that does not exist.
    return answer == TWRC_SUCCESS ? Fail(TWCC_OPERATIONERROR) : answer;
}
