// Session and batch control of the device object: opening resets every flag, a batch start readies and
// reserves the unit, maps the output resolution to the scanner's, calibrates and sends the windows and
// scan modes; finishing stops the threads before releasing the unit.
#include "COrvkQS.h"

#include "ResultDecoding.h"
#include "ScannerErrors.h"

#include <algorithm>
#include <cstring>

namespace k3100 {
namespace {

constexpr uint32_t kWindowWidth = 10208;   // whole sensor, 1/1200 inch
constexpr int32_t kSizingMargin = 472;     // read ahead of the paper when sizing or deskewing
constexpr uint32_t kDeskewExtra = 2 * 472; // and after it when deskewing
constexpr int kReadyTries = 3;

double monotonicSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Errors that a new batch may start over without clearing the unit first.
bool isBenignError(uint32_t error) {
    return error == kScanOk || error == kScanErrNoPaper || error == kScanErrPrevious ||
           error == kScanErrCancelled || error == kScanErrNoPage || error == kScanErrEndOfBatch;
}

// The scanner reads at 300 or 600 dpi across the sensor and steps the paper at the output resolution.
struct SOpticalResolution {
    uint32_t resolution, x, y; // dpi
};
constexpr SOpticalResolution kOpticalResolutions[] = {
    {100, 300, 150}, {150, 300, 150}, {200, 300, 200}, {240, 300, 240},
    {300, 300, 300}, {400, 600, 400}, {600, 600, 600},
};

void mapResolution(tagScanParam& p) {
    for (const SOpticalResolution& row : kOpticalResolutions) {
        if (row.resolution == p.resolution)
            p.opticalXRes = row.x, p.opticalYRes = row.y;
    }
    if (lowHalf(p.reduceMoire) == 0)
        return;
    if (p.resolution > 300) {
        p.reduceMoire = 0;
    } else if (highHalf(p.reduceMoire) == 1) {
        p.opticalXRes = p.opticalYRes = 300;
    } else if (highHalf(p.reduceMoire) == 2) {
        p.opticalXRes = p.opticalYRes = 600;
    }
}

uint8_t chooseComposition(tagScanParam& p) {
    if (lowHalf(p.bleedThrough) != 0 || p.pixelMode == kPixelModeColour) {
        p.channelMode = 2;
        return usb::kCompositionColour;
    }
    if (p.pixelMode == kPixelModeBlackWhite || p.pixelMode == kPixelModeGrey) {
        p.channelMode = 1;
        return usb::kCompositionGrey;
    }
    if (p.pixelMode == kPixelModeAutoColour) {
        p.channelMode = 2;
        if (p.resolution < 300)
            p.opticalXRes = p.opticalYRes = 300;
        return usb::kCompositionColour;
    }
    return usb::kCompositionGrey;
}

} // namespace

COrvkQS::COrvkQS(const SScannerDesc& desc, ImageLibrary& library)
    : COrvkQSCommands(desc), library(library), clock(monotonicSeconds) {}

COrvkQS::~COrvkQS() {
    stopReader();
    joinProcessing();
}

int COrvkQS::OpenSession() {
    const int result = COrvkQSCommands::OpenSession();
    if (result != 0)
        return result;
    stopReader();
    joinProcessing();
    processingRunning = readerRunning = protectImage = false;
    abortState = 0;
    stopAfterPage = false;
    deviceError = 0;
    inPipe = usb::kBulkInPipe;
    outPipe = usb::kBulkOutPipe;
    whiteFront.reset(), blackFront.reset(), whiteBack.reset(), blackBack.reset();
    keyAbort = 0;
    bufferedBytes = 0;
    params = tagScanParam{};
    scannerInfo.fill(0);
    currentImageData = nullptr;
    std::lock_guard lock(inProcessMutex);
    inProcessPage.reset();
    return 0;
}

int COrvkQS::CloseSession() {
    stopReader();
    joinProcessing();
    const int result = COrvkQSCommands::CloseSession();
    whiteFront.reset(), blackFront.reset(), whiteBack.reset(), blackBack.reset();
    CleanupPageBuffer();
    CleanupImageBuffer();
    currentImageData = nullptr;
    {
        std::lock_guard lock(libraryMutex);
        library.ReleaseBuffers();
    }
    return result;
}

uint32_t COrvkQS::explain(uint32_t result) {
    if (result == kScanErrPipeStalled)
        ClearEndpoints();
    if (result != kScanErrPipeStalled && result != kScanErrCheckCondition)
        return result;
    uint32_t packed = 0;
    const uint32_t sense = ExecRequestSense(&packed, nullptr, nullptr);
    return sense != kScanOk ? sense : DecodeSense(packed);
}

uint32_t COrvkQS::readyUnit() {
    ClearEndpoints();
    std::array<char, 9> vendor{};
    std::array<char, 17> product{};
    std::array<char, 5> revision{};
    uint32_t result = explain(ExecInquiry(&vendor, &product, &revision));
    if (result != kScanOk)
        return result;
    scannerInfo.fill(0);
    std::memcpy(&scannerInfo[0], product.data(), product.size());
    std::memcpy(&scannerInfo[32], vendor.data(), vendor.size());
    std::memcpy(&scannerInfo[64], revision.data(), revision.size());
    for (int attempt = 0; attempt < kReadyTries; ++attempt) {
        result = explain(ExecTestUnitReady());
        if (result == kScanOk || result == kScanErrHardware)
            break;
    }
    if (result != kScanOk)
        return result;
    return explain(ExecReserveUnit());
}

int COrvkQS::StartScan(tagScanParam* param) {
    const int oldAbort = abortState;
    stopReader();
    joinProcessing();
    params = tagScanParam{};
    processingRunning = readerRunning = false;
    abortState = 0;
    stopAfterPage = false;
    currentImageData = nullptr;
    CleanupPageBuffer();
    CleanupImageBuffer();
    bufferedBytes = 0;
    if (oldAbort == 1)
        return static_cast<int>(kScanErrCancelled);
    state = kScanning;
    uint32_t result = readyUnit();
    if (result == kScanOk && param != nullptr) {
        if (!isBenignError(deviceError)) {
            ExecObjectPosition(PositionMode::ClearError);
            deviceError = 0;
        }
        result = configureScan(*param);
    }
    if (result != kScanOk && protectImage)
        ProtectImageBuffer(false);
    return static_cast<int>(result);
}

uint32_t COrvkQS::configureScan(tagScanParam& p) {
    mapResolution(p);
    const uint8_t composition = chooseComposition(p);
    usb::SScanWindow window;
    window.xResolution = static_cast<uint16_t>(p.opticalXRes);
    window.yResolution = static_cast<uint16_t>(p.opticalYRes);
    int32_t top = static_cast<int32_t>(p.topOffset);
    int32_t length = static_cast<int32_t>(p.scanLength);
    if (p.detectPageSize || p.deskew)
        top -= kSizingMargin;
    if (p.deskew && !p.detectPageSize)
        length += kDeskewExtra;
    window.top = static_cast<uint32_t>(top);
    window.width = kWindowWidth;
    window.length = static_cast<uint32_t>(length);
    window.composition = composition;
    window.bitsPerPixel = 8;
    p.outWidth = 0;
    p.outLines =
        static_cast<uint32_t>(std::max(p.scanLength, 0.0f) * static_cast<float>(p.resolution) / 1200.0f);
    p.opticalLines = static_cast<uint32_t>(uint64_t(p.opticalYRes) * window.length / 1200);
    if (scannerInfo[96] == 0)
        p.doubleFeedUltrasonic = 0;
    params = p;
    uint32_t result = AdjustLight();
    if (result != kScanOk)
        return result;
    usb::SScanWindow backWindow = window;
    backWindow.identifier = 1;
    result = explain(ExecSetWindow(window));
    if (result == kScanOk)
        result = explain(ExecSetWindow(backWindow));
    if (result == kScanOk)
        result = sendScanModes(composition);
    return result;
}

uint32_t COrvkQS::sendScanModes(uint8_t composition) {
    const tagScanParam& p = params;
    const usb::SScanModeParam feeding{0, p.doubleFeedLength, p.doubleFeedUltrasonic, p.jamless, 0, 0};
    const uint8_t sides = p.folio ? 2 : static_cast<uint8_t>(p.duplex & 0xFF);
    const usb::SScanModeParam pages{1, sides, p.batch, p.detectPageSize, 0, p.keepPrescan};
    usb::SScanModeParam colour{2, 0, 0, 0, 0, 0};
    if (composition != usb::kCompositionColour) {
        colour.first = static_cast<uint8_t>(p.dropOutFront);
        colour.second = static_cast<uint8_t>(p.dropOutBack);
        colour.third = static_cast<uint8_t>(p.colourEnhanceFront);
        colour.fourth = static_cast<uint8_t>(p.colourEnhanceBack);
    }
    for (const auto& mode : {feeding, pages, colour}) {
        const uint32_t result = explain(ExecDefineScanMode(mode));
        if (result != kScanOk)
            return result;
    }
    return kScanOk;
}

int COrvkQS::FinishScan() {
    uint32_t result = kScanOk;
    if (state >= kScanning) {
        stopReader();
        joinProcessing();
        result = ExecReleaseUnit();
        if (result == kScanErrPipeStalled)
            result = explain(result);
        abortState = 0;
        CleanupPageBuffer(); // a sheet read ahead of a stopped batch is never delivered
        bufferedBytes = 0;
    }
    COrvkQSCommands::FinishScan();
    return static_cast<int>(result);
}

int COrvkQS::AbortScan() {
    int expected = 0;
    if (state > kNoSession)
        abortState.compare_exchange_strong(expected, 1);
    notifyProgress();
    return 0;
}

void COrvkQS::StopAfterPage() {
    if (state > kNoSession)
        stopAfterPage = true;
    notifyProgress();
}

} // namespace k3100
