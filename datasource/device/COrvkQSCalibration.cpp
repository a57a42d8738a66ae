// Lamp and analogue front-end calibration before a scan: adjusting scans until the library reports the
// registers settled, then a white and a black reference scan, then the scanner's light-curve block turns
// the references into each side's shading data. References are reused for five minutes while nothing
// that shapes them (sides, resolutions, area, channels, drop-out, enhancement) has changed.
#include "COrvkQS.h"

#include "ScannerErrors.h"

#include <cstring>
#include <new>
#include <vector>

namespace k3100 {
namespace {

constexpr double kCalibrationLifetime = 300; // s
constexpr uint32_t kLightCurveAddress = 0x10080000;
constexpr uint32_t kLightCurveSize = 0x80000; // 512 KiB
constexpr uint32_t kWindowWidth = 10208;      // 1/1200 inch
constexpr uint32_t kCalibrationLength = 9600; // divided by the along resolution: 8 lines
constexpr int32_t kCalibrationLines = 8;
constexpr int kMaxCalibrationScans = 40; // a library that never settles must not scan forever
constexpr uint8_t kWhiteReference = 0xFE;
constexpr uint8_t kBlackReference = 0xFF;

enum Pass { kAdjusting = 0, kBlack = 1, kWhite = 2 };

int32_t lightSource(uint32_t channelMode, uint32_t enhance, uint32_t dropOut) {
    if (channelMode == 2)
        return 0;
    if (enhance != 0)
        return 4;
    return dropOut >= 1 && dropOut <= 3 ? static_cast<int32_t>(dropOut) : 0;
}

usb::SAdjustInfo toWire(const qs::tagADJUSTREGINFO& r) {
    return {r.Gain1, r.Offset1, r.RedLED, r.GreenLED, r.BlueLED};
}

} // namespace

uint32_t COrvkQS::libraryError(int32_t result) {
    if (result == 0)
        return kScanOk;
    return result == 3 ? kScanErrNoMemory : kScanErrImageLibrary;
}

COrvkQS::CalibrationKey COrvkQS::calibrationKeyOf(const tagScanParam& p) const {
    return {sides(),       p.opticalXRes,  p.opticalYRes, p.leftOffset,         p.scanWidth,
            p.channelMode, p.dropOutFront, p.dropOutBack, p.colourEnhanceFront, p.colourEnhanceBack};
}

bool COrvkQS::calibrationReusable() const {
    return whiteFront && (!params.batch || calibratedKeepPrescan) &&
           clock() - calibrationTime <= kCalibrationLifetime && calibrated == calibrationKeyOf(params);
}

void COrvkQS::dropCalibration() {
    whiteFront.reset(), blackFront.reset(), whiteBack.reset(), blackBack.reset();
}

uint32_t COrvkQS::AdjustLight() {
    if (calibrationReusable())
        return kScanOk;
    dropCalibration();
    qs::tagADJUSTINFO info{};
    info.ulSize = sizeof(info);
    info.bDuplex = sides() == 2;
    info.lXResolution = static_cast<int32_t>(params.opticalXRes);
    info.ScanMode = params.channelMode == 2 ? 2 : 1;
    info.FrontLightSorce = lightSource(params.channelMode, params.colourEnhanceFront, params.dropOutFront);
    info.BackLightSorce = lightSource(params.channelMode, params.colourEnhanceBack, params.dropOutBack);
    library.AdjustLightFirst(&info);
    const uint32_t result = runCalibration(info);
    if (result != kScanOk)
        dropCalibration();
    return result;
}

uint32_t COrvkQS::runCalibration(qs::tagADJUSTINFO& info) {
    int pass = kAdjusting;
    for (int scanIndex = 1; scanIndex <= kMaxCalibrationScans; ++scanIndex) {
        if (pass == kAdjusting && info.bAdjustDone)
            return fixCalibration(info);
        auto scan = std::make_unique<CImg>();
        uint32_t result = calibrationScan(info, pass, scanIndex, *scan);
        if (result != kScanOk)
            return result;
        if (pass == kAdjusting) {
            result = libraryError(library.AdjustLightNext(*scan, &info));
            if (result != kScanOk)
                return result;
            if (info.bAdjustDone)
                pass = kWhite;
            continue;
        }
        auto frontRef = std::make_unique<CImg>();
        auto backRef = std::make_unique<CImg>();
        result = libraryError(library.AdjustLightLast(*frontRef, *backRef, *scan, &info));
        if (result != kScanOk)
            return result;
        (pass == kWhite ? whiteFront : blackFront) = std::move(frontRef);
        (pass == kWhite ? whiteBack : blackBack) = std::move(backRef);
        --pass;
    }
    return kScanErrLampError;
}

uint32_t COrvkQS::calibrationScan(const qs::tagADJUSTINFO& info, int pass, int scanIndex, CImg& scan) {
    const uint32_t sideCount = sides();
    uint32_t result = kScanOk;
    if (pass != kBlack)
        result = explain(ExecSetAdjustData(toWire(info.FrontAdjustInfo), toWire(info.BackAdjustInfo)));
    const bool colour = (scanIndex >= 2 && scanIndex <= 5) || params.channelMode == 2;
    const uint8_t composition = colour ? usb::kCompositionColour : usb::kCompositionGrey;
    for (uint8_t id = 0; id < 2 && result == kScanOk; ++id) {
        const usb::SScanWindow window{id,
                                      static_cast<uint16_t>(params.opticalXRes),
                                      static_cast<uint16_t>(params.opticalYRes),
                                      0,
                                      0,
                                      kWindowWidth,
                                      params.opticalYRes == 0 ? 0 : kCalibrationLength / params.opticalYRes,
                                      composition,
                                      12};
        result = explain(ExecSetWindow(window));
    }
    if (result != kScanOk)
        return result;
    const uint8_t sideSelection = params.folio ? 2 : static_cast<uint8_t>(params.duplex & 0xFF);
    usb::SScanModeParam colourPage{2, 0, 0, 0, 0, 0};
    if (!colour) {
        colourPage = {2,
                      static_cast<uint8_t>(params.dropOutFront),
                      static_cast<uint8_t>(params.dropOutBack),
                      static_cast<uint8_t>(params.colourEnhanceFront),
                      static_cast<uint8_t>(params.colourEnhanceBack),
                      0};
    }
    for (const auto& mode : {usb::SScanModeParam{1, sideSelection, 0, 0, 0, 0}, colourPage}) {
        if ((result = explain(ExecDefineScanMode(mode))) != kScanOk)
            return result;
    }
    uint8_t scanInfo[2];
    std::memcpy(scanInfo, &info.ScanInfo, sizeof(scanInfo));
    std::vector<uint8_t> sideBytes(sideCount, pass == kWhite ? kWhiteReference : kBlackReference);
    if (pass == kAdjusting)
        sideBytes.assign(scanInfo, scanInfo + sideCount);
    if ((result = sendScan(sideBytes)) != kScanOk)
        return result;
    const int32_t width = static_cast<int32_t>(params.opticalXRes * kWindowWidth / 1200 * sideCount);
    const int32_t sync = 2 * ((12 * width / 8 + 1) / 2);
    scan.createImg(width, kCalibrationLines, sync, 12, colour ? 3 : 1, 1,
                   static_cast<int32_t>(params.opticalXRes), static_cast<int32_t>(params.opticalYRes));
    if (scan.isNull())
        return kScanErrNoMemory;
    uint32_t length = scan.getImageSize();
    result = explain(ExecRead(length, scan.getImage(), DataKind::Image));
    const uint32_t unload = explain(ExecObjectPosition(PositionMode::Unload));
    return result != kScanOk ? result : unload;
}

uint32_t COrvkQS::fixCalibration(qs::tagADJUSTINFO& info) {
    if (!whiteFront || !blackFront || (sides() == 2 && (!whiteBack || !blackBack)))
        return kScanErrImageLibrary;
    std::unique_ptr<uint8_t[]> curve(new (std::nothrow) uint8_t[kLightCurveSize]);
    if (!curve)
        return kScanErrNoMemory;
    uint32_t result = explain(ExecGetMemory(kLightCurveAddress, kLightCurveSize, curve.get()));
    if (result != kScanOk)
        return result;
    result = libraryError(library.AdjustLightFix(*whiteFront, *blackFront, &info, Ovk::Pixen::tagSIDE(0),
                                                 curve.get(), kLightCurveSize));
    if (result == kScanOk && sides() == 2)
        result = libraryError(library.AdjustLightFix(*whiteBack, *blackBack, &info, Ovk::Pixen::tagSIDE(1),
                                                     curve.get(), kLightCurveSize));
    if (result != kScanOk)
        return result;
    calibrated = calibrationKeyOf(params);
    calibratedKeepPrescan = params.keepPrescan != 0;
    calibrationTime = clock();
    return kScanOk;
}

} // namespace k3100
