// The scanner's session and the image steps under the generic transfers: the session is opened with the
// source and closed with it, rows come from the device's finished bands while the dialog stays alive, and
// an image is closed once the scanner confirms it ended cleanly.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <exception>

#include "Bundle.h"
#include "CDocScanner.h"
#include "COrvkQS.h"
#include "CapHelpers.h"
#include "OrvkQSDS.h"
#include "PixenLibrary.h"
#include "QSCapIds.h"
#include "ScannerErrors.h"
#include "scan/HostWaits.h"

namespace {

constexpr std::uint8_t kWhite = 0xFF;     // in every pixel type with black at zero
constexpr double kRowTimerInterval = 1.0; // s between idle ticks while rows are read
// Longest waits on the scanner's answers (s); beyond the device's own time-outs, so only a broken
// scanner reaches them.
constexpr double kKeyReleaseLimit = 30.0;
constexpr double kBatchStatusLimit = 300.0;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Where the text-direction detector finds its data: beside the host program when the data source is
// built into it, else in the data source's own resources.
std::string OcrDataPath() {
    const std::optional<fnd::Bundle> own =
        fnd::Bundle::containing(reinterpret_cast<const void*>(&OcrDataPath));
    const fnd::Bundle& host = fnd::Bundle::main();
    if (!own || own->binaryPath().parent_path() == host.binaryPath().parent_path())
        return host.resourceFolder().string();
    return own->resourceFolder().string();
}

} // namespace

bool COrvkQSDS::SetupScanner() {
    using namespace k3100;
    mBatch.DropImages();
    std::vector<SScannerDesc> list =
        CDocScanner::CreateScannerList({kTransportUSB, kDefaultVendorId, kDefaultProductId, {}});
    if (list.empty())
        return false;
    try {
        mScanner = std::make_unique<COrvkQS>(list.front(), PixenQS880Library());
    } catch (const std::exception&) {
        mScanner.reset();
    }
    CDocScanner::ReleaseScannerList(list);
    if (!mScanner)
        return false;
    mScanner->SetOcrPath(OcrDataPath().c_str());
    std::uint32_t maxScanLength = 0;
    const bool ready = mScanner->OpenSession() == 0 && mScanner->StartScan(nullptr) == 0 &&
                       mScanner->GetStatus("MaxScanLength", &maxScanLength) == 0;
    const bool finished = mScanner->FinishScan() == 0;
    CCapability* height = mCapPool ? mCapPool->GetCapability(ICAP_PHYSICALHEIGHT) : nullptr;
    if (!ready || !finished || !height) {
        TerminateScanner();
        return false;
    }
    // The scanner counts its maximum length in micrometres; capabilities use 1/1200 inch.
    const float length = static_cast<float>(maxScanLength * 6u / 127u);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(&length), sizeof length);
    height->SetValue(bytes, kCapDefault);
    height->SetValue(bytes, kCapCurrent);
    return true;
}

void COrvkQSDS::TerminateScanner() {
    mRowTimer.Reset();
    if (mUIController) {
        mUIController->setShield(false);
        mUIController->hideProgressWindow();
        mUIController->hideScanPanel();
    }
    if (!mScanner)
        return;
    if (mScanner->StartScan(nullptr) == 0) {
        WaitForPanelKeyRelease();
        mScanner->FinishScan();
    }
    mScanner->CloseSession();
    mScanner.reset();
    mBatch.DropImages();
}

void COrvkQSDS::WaitForPanelKeyRelease() {
    // A key still held would start the next scan at once; a scanner that never reports the release
    // must not hold up the close.
    const auto start = std::chrono::steady_clock::now();
    std::uint32_t keys = 0;
    while (mScanner->GetStatus("OperationpanelEZKeyStatus", &keys) == 0 && keys != 0 &&
           SecondsSince(start) < kKeyReleaseLimit)
        k3100::PauseForHost();
}

bool COrvkQSDS::IsDocumentReady(std::uint32_t* error) {
    std::uint32_t ready = 0;
    const std::uint32_t result =
        mScanner ? static_cast<std::uint32_t>(mScanner->GetStatus("DocumentReadyStatus", &ready))
                 : k3100::kScanErrDeviceNotFound;
    if (error)
        *error = result;
    return result == 0 && ready != 0;
}

TW_UINT16 COrvkQSDS::ReadImage(std::uint8_t* buffer, std::uint32_t bytesPerRow, std::uint32_t& rows) {
    const std::uint32_t wanted = rows;
    rows = 0;
    if (!mScanner)
        return Fail(TWCC_OPERATIONERROR);
    Idle();
    std::uint32_t delivered = wanted;
    std::uint32_t error = 0;
    try {
        if (!mRowTimer.IsScheduled())
            mRowTimer.Reset(
                fnd::RunLoop::current().addTimer(kRowTimerInterval, true, [this](fnd::Timer&) { Idle(); }));
        error = static_cast<std::uint32_t>(mScanner->ReadLines(buffer, bytesPerRow, &delivered));
    } catch (const std::bad_alloc&) {
        error = k3100::kScanErrNoMemory;
    }
    if (error != 0)
        return AnswerScannerError(error);
    // A side shorter than the announced image is finished in white: the application was promised its
    // length, and asking again would only bring nothing forever.
    if (delivered == 0) {
        std::memset(buffer, kWhite, std::size_t{wanted} * bytesPerRow);
        delivered = wanted;
    }
    rows = delivered;
    return TWRC_SUCCESS;
}

std::uint32_t COrvkQSDS::CheckSheetStatus(bool continuous) {
    using namespace k3100;
    std::uint32_t value = 0;
    if (!continuous) {
        std::uint32_t error = mScanner->GetScannerError();
        if (error == 0)
            error = static_cast<std::uint32_t>(mScanner->GetStatus("ScannerErrorStatus", &value));
        if (error == 0)
            error = static_cast<std::uint32_t>(mScanner->GetStatus("DocumentReadyStatus", &value));
        return error;
    }
    // Feeding on: wait until the scanner has the next page or knows the batch is over.
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        Idle();
        std::uint32_t error = mScanner->GetScannerError();
        if (error == 0)
            error = static_cast<std::uint32_t>(mScanner->GetStatus("BatchTransferCount", &value));
        // A next page known to come closes this one, whatever fault that page met.
        if (value != 0 || error == kScanErrNoPaper || error == kScanErrEndOfBatch ||
            error == kScanErrCancelled)
            return 0;
        if (error != 0)
            return error;
        if (SecondsSince(start) > kBatchStatusLimit)
            return kScanErrTimeout;
        PauseForHost();
    }
}

TW_UINT16 COrvkQSDS::FinishScan() {
    mRowTimer.Reset();
    if (!mScanner)
        return Fail(TWCC_OPERATIONERROR);
    const bool continuous = mBatch.IsNormalScan() && IsContinuousFeed();
    // Jamless mode ends the batch quietly on a feed error, so only the page itself is closed.
    std::uint32_t error = IsOn(CCAP_OVK_FEEDER_JAMLESS) ? 0 : CheckSheetStatus(continuous);
    if (error == 0)
        error = static_cast<std::uint32_t>(mScanner->ScanComplete());
    return error == 0 ? TWRC_SUCCESS : AnswerScannerError(error);
}

void COrvkQSDS::RecoverScan() {
    mRowTimer.Reset();
    mBatch.DropImages();
    if (mScanner) {
        mScanner->ScanComplete();
        mScanner->FinishScan();
    }
    if (mUIController) {
        mUIController->setShield(false);
        mUIController->hideProgressWindow();
        mUIController->hideScanPanel();
    }
}
