// How the transfer-ready signal reaches the application. A request may first need a prescan for the
// dialog (which never reaches the application) or, with blank skip or jamless feeding, the first page
// that is worth delivering; only then is the application told that an image is ready.
#include "COrvkQS.h"
#include "CapHelpers.h"
#include "ClientApp.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "ScannerErrors.h"

namespace {

using namespace k3100;

constexpr char kScanModeKey[] = "scanModeParam.xferReady.qsds";
constexpr char kPendingImageCountKey[] = "pendingImageCount.xferReady.qsds";

bool EndsQuietly(std::uint32_t error) {
    return error == kScanErrNoPaper || error == kScanErrNoPage || error == kScanErrEndOfBatch;
}

} // namespace

TW_UINT16 COrvkQSDS::InvokeCallback(TW_CALLBACK& callback, const fnd::Value& object) {
    if (callback.Message != MSG_XFERREADY)
        return CDataSource::InvokeCallback(callback, object);
    const fnd::Value request = XferReadyRequest(object);
    if (const fnd::Dictionary* params = request.asDictionary()) {
        mBatch.TakeRequest(params->get(kScanModeKey).asUInt32().value_or(CBatchState::kScanModeNormal),
                           params->get(kPendingImageCountKey).asInt32().value_or(0));
        if (mBatch.IsPrescan())
            return RunDialogPrescan();
        // Kept images are scanned already: no feed can jam.
        const bool jamless = IsOn(CCAP_OVK_FEEDER_JAMLESS) && !mBatch.TransfersKeptImages();
        // After the end of an image has made the next one ready, searching again would skip it.
        const bool imageReady = mBatch.IsNormalScan() && mBatch.IsSheetInProgress();
        if ((IsOn(CCAP_OVK_BLANKSKIP) || jamless) && !imageReady && mScanner)
            if (const std::optional<TW_UINT16> early = FindFirstImage(jamless))
                return *early;
    }
    if (mUIController)
        mUIController->suspendProgressWindow();
    return CDataSource::InvokeCallback(callback, request);
}

fnd::Value COrvkQSDS::XferReadyRequest(const fnd::Value& object) const {
    if (mShowUI)
        return object;
    const CClientApp* client = CClientApp::Current();
    const bool backgroundOnly = client && client->IsBackgroundOnly();
    if (IsOn(CCAP_OVK_PRESCAN) && !mUIController && !backgroundOnly)
        return fnd::Dictionary{{kScanModeKey, fnd::Value(std::uint32_t{CBatchState::kScanModeKeepPrescan})}};
    if (object.kind() == fnd::Value::Kind::Absent)
        return fnd::Dictionary{{kScanModeKey, fnd::Value(std::uint32_t{CBatchState::kScanModeNormal})}};
    return object;
}

TW_UINT16 COrvkQSDS::RunDialogPrescan() {
    mBatch.DropKeptImages();
    TW_UINT16 rc = Prescan();
    while (rc == TWRC_CHECKSTATUS && mConditionCode == kConditionNoPaper) {
        if (ShowAlert(kScanErrNoPage) == TWRC_CANCEL) {
            rc = mShowUI ? SetConditionCode(TWCC_SUCCESS, TWRC_SUCCESS) : TWRC_CANCEL;
            break;
        }
        SetConditionCode(kConditionNoPaper, TWRC_CHECKSTATUS);
        rc = Prescan();
    }
    if (mBatch.IsPositioning())
        mBatch.DropSheet();
    if (mUIController) {
        mUIController->setShield(false);
        mUIController->hideProgressWindow();
        mUIController->hideScanPanel();
    }
    mPendingXfers = 0;
    mState = kEnabled;
    return rc;
}

std::optional<TW_UINT16> COrvkQSDS::FindFirstImage(bool jamless) {
    for (;;) {
        std::uint8_t blank = 0;
        const std::uint32_t error = PerformSkipBlankPages(&blank);
        if (error != 0 && !EndsQuietly(error)) {
            mScanner->FinishScan();
            mBatch.DropSheet();
        }
        // Paper that gave only blank pages is no empty feeder: asking for paper would mislead.
        if (error == kScanErrNoPage && blank != 0)
            return EndBatchBeforeFirstImage(kScanErrBlankPages);
        if (error == kScanErrNoPage || (jamless && IsFeedError(error))) {
            const TW_UINT16 answer = ShowAlert(kScanErrNoPage);
            if (answer != TWRC_CHECKSTATUS)
                return EndBatchBeforeFirstImage(kScanErrCancelled);
            if (mBatch.IsSheetInProgress())
                return answer;
        } else if (error != 0) {
            return EndBatchBeforeFirstImage(error);
        } else if (mBatch.IsSheetInProgress()) {
            return std::nullopt;
        }
    }
}

TW_UINT16 COrvkQSDS::EndBatchBeforeFirstImage(std::uint32_t error) {
    if (!EndsQuietly(error))
        ShowAlert(error);
    RecoverScan();
    if (mUIController)
        mUIController->closeRequest(false);
    mPendingXfers = 0;
    mState = kEnabled;
    return TWRC_CANCEL;
}
