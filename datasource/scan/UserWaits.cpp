// The user's ways into a scan that blocks the host's thread: the idle tick passes the dialog's stop
// buttons (and, for the maker's own application, a device event it can answer with an abort or a stop)
// to the scanner, the application's feeder stop ends the batch as those buttons do, and the manual-feed
// wait polls paper, panel keys and the scan panel without spinning.
#include <chrono>

#include "COrvkQS.h"
#include "CapHelpers.h"
#include "ClientApp.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "ScannerErrors.h"
#include "scan/HostWaits.h"

namespace {

enum EUserAnswer : int { kNoAnswer = 0, kGoOn = 1, kStop = 2 };
constexpr int kPanelStopPressed = 2;
constexpr std::uint32_t kStartKeyBit = 1u << 0; // the panel's start key
constexpr std::uint32_t kStopKeyBit = 1u << 1;  // the panel's stop key

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

void COrvkQSDS::Idle() {
    if (mUIController) {
        if (mUIController->isScanPanelVisible()) {
            mUIController->idleScanPanel();
            if (mUIController->scanPanelStatus() == kPanelStopPressed)
                StopAfterSheet();
        }
        if (mUIController->idleProgress())
            StopAfterSheet();
    }
    // The maker's application has no dialog of ours to press stop in; this event is its moment to abort.
    if (mShowUI == 0 && CClientApp::CurrentId() == CClientApp::kOwnApplication) {
        const std::uint32_t kept = mDeviceEvent;
        PostDeviceEvent(kDeviceEventIdleTick);
        mDeviceEvent = kept;
    }
}

// A stop ends the batch after the sheet in the scanner: a sheet that was fed is delivered whole.
void COrvkQSDS::StopAfterSheet() {
    mBatch.StopAfterSheet();
    if (mScanner)
        mScanner->StopAfterPage();
}

// The application's way to the same stop. The tick is the maker's application's moment during a page,
// as it is for its abort.
TW_UINT16 COrvkQSDS::StopFeeder(pTW_IDENTITY, TW_MEMREF) {
    if (mState != kXferReady && mDeviceEvent != kDeviceEventIdleTick)
        return Fail(TWCC_SEQERROR);
    StopAfterSheet();
    return TWRC_SUCCESS;
}

bool COrvkQSDS::WaitForUserAction(bool autoStart) {
    const std::int32_t delay = GetCapSIntValue(GetCapPool(), CCAP_OVK_AUTOSTARTDELAY); // s
    const std::intptr_t session = mUIController ? mUIController->beginScanPanelModalSession() : 0;
    double paperSince = kNoPaperYet;
    int answer = kNoAnswer;
    while ((answer = PollUserAction(autoStart, delay, paperSince)) == kNoAnswer)
        k3100::PauseForHost();
    if (mUIController)
        mUIController->endScanPanelModalSession(session);
    return answer == kStop;
}

int COrvkQSDS::PollUserAction(bool autoStart, std::int32_t delay, double& paperSince) {
    if (mUIController)
        mUIController->idleScanPanel();
    if (autoStart) {
        // Paper must lie still for the whole delay; taking it out starts the delay again.
        if (!IsDocumentReady())
            paperSince = kNoPaperYet;
        else if (paperSince == kNoPaperYet)
            paperSince = Now();
        else if (Now() - paperSince > delay)
            return kGoOn;
    }
    std::uint32_t keys = 0;
    const std::uint32_t error =
        mScanner ? static_cast<std::uint32_t>(mScanner->GetStatus("OperationpanelEZKeyStatus", &keys))
                 : k3100::kScanErrDeviceNotFound;
    // A scanner that cannot be asked will never bring paper either.
    if (error != 0)
        return kStop;
    if (keys & kStartKeyBit)
        return kGoOn;
    if (keys & kStopKeyBit)
        return kStop;
    return mUIController ? mUIController->scanPanelStatus() : kNoAnswer;
}
