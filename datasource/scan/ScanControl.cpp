// The scanner's scan steps under the generic transfers: a sheet is started and scanned before its first
// row is read, its rows come from the device's finished bands, and the sheet is closed once its images are
// out. Whether another image follows is asked of the scanner's feeder, so a batch ends with the paper.
#include <algorithm>
#include <cstring>
#include <exception>

#include "COrvkQS.h"
#include "CapHelpers.h"
#include "OrvkQSDS.h"
#include "PixenLibrary.h"
#include "datasource/usb/CDocScanner.h"
#include "datasource/usb/ScannerErrors.h"

namespace {

constexpr std::uint8_t kWhite = 0xFF; // in every pixel type with black at zero

} // namespace

bool COrvkQSDS::SetupScanner() {
    using namespace k3100;
    mSheetImagesLeft = 0;
    std::vector<SScannerDesc> list =
        CDocScanner::CreateScannerList({kTransportUSB, kDefaultVendorId, kDefaultProductId, {}});
    if (list.empty())
        return true;
    try {
        mScanner = std::make_unique<COrvkQS>(list.front(), PixenQS880Library());
    } catch (const std::exception&) {
        mScanner.reset();
    }
    CDocScanner::ReleaseScannerList(list);
    if (!mScanner)
        return false;
    std::uint32_t maxScanLength = 0;
    const bool ready = mScanner->OpenSession() == 0 && mScanner->StartScan(nullptr) == 0 &&
                       mScanner->GetStatus("MaxScanLength", &maxScanLength) == 0;
    const bool finished = mScanner->FinishScan() == 0;
    // A scanner that is there but will not talk is an error, not a missing scanner.
    if (!ready || !finished) {
        TerminateScanner();
        return false;
    }
    return true;
}

void COrvkQSDS::TerminateScanner() {
    if (!mScanner)
        return;
    mScanner->CloseSession();
    mScanner.reset();
    mSheetImagesLeft = 0;
}

bool COrvkQSDS::IsDocumentReady() {
    std::uint32_t ready = 0;
    return mScanner && mScanner->GetStatus("DocumentReadyStatus", &ready) == 0 && ready != 0;
}

TW_UINT16 COrvkQSDS::AnswerScannerError(std::uint32_t error) {
    const TW_UINT16 answer = ShowAlert(error);
    return answer == TWRC_SUCCESS ? Fail(TWCC_OPERATIONERROR) : answer;
}

std::uint32_t COrvkQSDS::StartSheet() {
    const CCapPool* pool = GetCapPool();
    std::int32_t remaining = GetCapSIntValue(pool, CAP_XFERCOUNT);
    if (remaining > 0)
        remaining -= mTransferCount;
    mDetectedPageSize = SScanSize{};
    tagScanParam param = MakeScanParam(false, 0);
    mScanner->SetEzKeyAbort(0);
    const std::uint32_t previousError = mScanner->GetScannerError();
    if (!IsDocumentReady())
        return k3100::kScanErrNoPage;
    mScanner->SetScannerError(previousError);
    if (const int error = mScanner->StartScan(&param))
        return static_cast<std::uint32_t>(error);
    if (const int error = mScanner->ScanPage(&param)) {
        mScanner->FinishScan();
        return static_cast<std::uint32_t>(error);
    }
    const bool duplex = GetCapUIntValue(pool, CAP_DUPLEXENABLED) != 0;
    mSheetImagesLeft = duplex && (remaining > 1 || remaining == -1) ? 2 : 1;
    return 0;
}

TW_UINT16 COrvkQSDS::PrepareScan() {
    if (!mScanner)
        return Fail(TWCC_OPERATIONERROR);
    if (mSheetImagesLeft > 0)
        return TWRC_SUCCESS;
    const std::uint32_t error = StartSheet();
    return error == 0 ? TWRC_SUCCESS : AnswerScannerError(error);
}

TW_UINT16 COrvkQSDS::ReadImage(std::uint8_t* buffer, std::uint32_t bytesPerRow, std::uint32_t& rows) {
    const std::uint32_t wanted = rows;
    rows = 0;
    if (!mScanner)
        return Fail(TWCC_OPERATIONERROR);
    std::uint32_t delivered = wanted;
    if (const int error = mScanner->ReadLines(buffer, bytesPerRow, &delivered))
        return AnswerScannerError(static_cast<std::uint32_t>(error));
    // A side shorter than the announced image is finished in white: the application was promised its
    // length, and asking again would only bring nothing forever.
    if (delivered == 0) {
        std::memset(buffer, kWhite, std::size_t{wanted} * bytesPerRow);
        delivered = wanted;
    }
    rows = delivered;
    return TWRC_SUCCESS;
}

TW_UINT16 COrvkQSDS::FinishScan() {
    if (!mScanner)
        return Fail(TWCC_OPERATIONERROR);
    std::uint32_t error = mScanner->GetScannerError();
    if (error == 0)
        error = static_cast<std::uint32_t>(mScanner->ScanComplete());
    if (--mSheetImagesLeft <= 0) {
        mSheetImagesLeft = 0;
        mScanner->FinishScan();
    }
    return error == 0 ? TWRC_SUCCESS : AnswerScannerError(error);
}

void COrvkQSDS::RecoverScan() {
    mSheetImagesLeft = 0;
    if (!mScanner)
        return;
    mScanner->ScanComplete();
    mScanner->FinishScan();
}
