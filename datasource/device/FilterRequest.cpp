// Filling the library's request records for one page: the raw input geometry, the wanted output, each
// side's normal chain options and the model's special options (shading references, colour conversion,
// corner detection). Levels from outside are range-checked before they index a table.
#include "FilterRequest.h"

#include <algorithm>
#include <cmath>

namespace k3100 {
namespace {

constexpr std::array<uint8_t, 8> kContrastTable{0, 1, 43, 85, 128, 170, 212, 255};
constexpr int32_t kSensorWidth = 10208;   // 1/1200 inch
constexpr int32_t kMaxPageLength = 47244; // 1/1200 inch: the longest page that sizing looks for
constexpr uint32_t kEraseThreshold = 30;
constexpr uint8_t kNeutral = 128; // brightness or contrast that leaves a binarisation threshold centred

int32_t colourNumber(uint32_t value) {
    return value >= 1 && value <= 3 ? static_cast<int32_t>(value) : 0;
}

} // namespace

uint8_t contrastForLevel(int32_t level, uint8_t outside) {
    return level >= 0 && level < static_cast<int32_t>(kContrastTable.size()) ? kContrastTable[level]
                                                                             : outside;
}

OutputFormat outputFormat(uint32_t pixelMode) {
    if (pixelMode == kPixelModeGrey)
        return {8, 1};
    if (pixelMode == kPixelModeColour)
        return {8, 3};
    return {1, 1};
}

void FilterRequest::fillSide(SideRequest& s, const tagScanParam& p, bool isBack, bool protect,
                             bool frontHasTone) {
    const OutputFormat out = outputFormat(p.pixelMode);
    const int32_t brightness = isBack ? p.brightnessBack : p.brightnessFront;
    const int32_t contrast = isBack ? p.contrastBack : p.contrastFront;
    const bool bleed = lowHalf(p.bleedThrough) != 0;
    const bool text = p.binarization == kBinarizeText;
    auto& b = s.block;
    b.ulSize = sizeof(b);
    b.bReduceMoire = lowHalf(p.reduceMoire) != 0;
    if (p.pixelMode == kPixelModeAutoColour) {
        s.detect = {sizeof(s.detect), static_cast<int32_t>(p.autoColourThreshold), p.autoColourAmount};
        b.pDetectColorOrGrayInfo = &s.detect;
    }
    if (bleed && out.samples == 1) {
        s.dropOut = {
            sizeof(s.dropOut), colourNumber(isBack ? p.dropOutBack : p.dropOutFront), nullptr, nullptr, 0, 0};
        s.emphasis = {sizeof(s.emphasis),
                      colourNumber(isBack ? p.colourEnhanceBack : p.colourEnhanceFront),
                      nullptr,
                      nullptr,
                      0,
                      0};
        b.pDropOutColorInfo = &s.dropOut;
        b.pEmphasisColorInfo = &s.emphasis;
    }
    if (bleed && !text) {
        s.erase = {sizeof(s.erase), highHalf(p.bleedThrough), kEraseThreshold};
        b.pEraseBackPageInfo = &s.erase;
    }
    const bool textDropsTone =
        text && p.pixelMode != kPixelModeAutoColour && (p.brightnessFront != 0 || p.contrastFront != 0);
    if (!protect && !textDropsTone && (!isBack || frontHasTone)) {
        s.tone.ulSize = sizeof(s.tone);
        s.tone.ucBrightness = static_cast<uint8_t>(brightness);
        s.tone.ucContrast = contrastForLevel(contrast, 0);
        const int base = isBack ? 4 : 0;
        std::copy_n(p.toneTables[base + 0], 256, s.tone.ucGray);
        std::copy_n(p.toneTables[base + 1], 256, s.tone.ucRed);
        std::copy_n(p.toneTables[base + 2], 256, s.tone.ucGreen);
        std::copy_n(p.toneTables[base + 3], 256, s.tone.ucBlue);
        b.pGRCInfo = &s.tone;
    }
    // Level 0 selects no kernel, and the library refuses such a record: 0 means no edge emphasis.
    // A kept side is sharpened by the final filter, after its tone, as a page scanned at once is.
    if (!protect && lowHalf(p.edgeEmphasis) != 0 && highHalf(p.edgeEmphasis) != 0 && !text) {
        s.edge = {sizeof(s.edge), highHalf(p.edgeEmphasis)};
        b.pEmphasisEdgeInfo = &s.edge;
    }
    b.bAutoSize = p.detectPageSize != 0;
    b.bSkewCorrection = p.deskew != 0;
    if (p.recognizeDirection) {
        s.direction = {sizeof(s.direction), 3, 0, 0, 0.0};
        b.pTextImageDirectionInfo = &s.direction;
    } else if (p.rotation >= kRotate90 && p.rotation <= kRotate270) {
        s.rotate = {sizeof(s.rotate), static_cast<int32_t>(p.rotation * 90 - 90)};
        b.pRotate90xInfo = &s.rotate;
    }
    if (out.bits == 1) {
        const int32_t method = p.binarization == kBinarizeErrorDiffusion ? 1 : text ? 8 : 0;
        uint32_t bright = brightness == 0 ? kNeutral : static_cast<uint32_t>(brightness);
        uint32_t contr = contrast == 0 ? kNeutral : contrastForLevel(contrast, kNeutral);
        if (text)
            bright = p.textBrightness, contr = p.textContrast;
        s.binary = {sizeof(s.binary), method, bright, contr};
        b.pGrayToBinaryInfo = &s.binary;
        b.bInverse = p.reverseScanType == 0;
    }
    if (lowHalf(p.blankSkip) != 0) {
        s.blank = {sizeof(s.blank), static_cast<int32_t>(highHalf(p.blankSkip)), false};
        b.pBlankPageInfo = &s.blank;
    }
}

void FilterRequest::fillSpecial(SideRequest& s, const tagScanParam& p, const CImg* white, const CImg* black,
                                const PageGeometry& geometry) {
    if (white != nullptr)
        s.shading.imgWhite = *white;
    if (black != nullptr)
        s.shading.imgBlack = *black;
    s.colour = {sizeof(s.colour), 0, {}};
    s.special = {sizeof(s.special), &s.shading, &s.colour, nullptr};
    if (!p.detectPageSize && !p.deskew)
        return;
    const int64_t yRes = p.opticalYRes;
    s.points = {};
    s.points.ulSize = sizeof(s.points);
    s.points.Size.height = static_cast<int32_t>(int64_t(geometry.b) * yRes / 1200);
    if (p.detectPageSize) {
        s.points.lTopMargin = static_cast<int32_t>(int64_t(geometry.c[1]) * yRes / 1200);
        s.points.lBottomMargin = static_cast<int32_t>(int64_t(geometry.c[3]) * yRes / 1200);
    } else {
        s.points.lTopMargin = s.points.lBottomMargin = static_cast<int32_t>(double(yRes) * 10 / 25.4);
    }
    s.special.pDetect4PointsInfo = &s.points;
}

Ovk::tagIMAGEINFO FilterRequest::inputInfo(const tagScanParam& p, const CImg& band, uint32_t sides) const {
    Ovk::tagIMAGEINFO info = band.getInfo();
    if (band.isNull()) {
        const int32_t spp = p.channelMode == 2 ? 3 : 1;
        const int32_t width = static_cast<int32_t>(p.opticalXRes * kSensorWidth / 1200 * sides);
        info = {};
        info.ulSize = sizeof(info);
        info.lWidth = width;
        info.lSync = CImg::calcMinSync(width, 8, spp, 1);
        info.lBps = 8;
        info.lSpp = spp;
        info.ulRGBOrder = 1;
        info.lXResolution = static_cast<int32_t>(p.opticalXRes);
        info.lYResolution = static_cast<int32_t>(p.opticalYRes);
    }
    info.lpImage = nullptr;
    info.lXpos = std::max<int32_t>(0, static_cast<int32_t>(double(p.opticalXRes) * p.leftOffset / 1200));
    info.lHeight = static_cast<int32_t>(p.opticalLines);
    if (p.detectPageSize) {
        info.lXpos = 0;
        info.lHeight = static_cast<int32_t>(int64_t(p.opticalYRes) * kMaxPageLength / 1200);
    }
    return info;
}

Ovk::tagIMAGEINFO FilterRequest::outputInfo(const tagScanParam& p, ImageLibrary& library) const {
    const OutputFormat out = outputFormat(p.pixelMode);
    const int64_t res = p.resolution;
    Ovk::tagIMAGEINFO info{};
    info.lWidth = static_cast<int32_t>(std::max(0.0, std::floor(double(res) * p.scanWidth / 1200)));
    info.lHeight = static_cast<int32_t>(p.outLines);
    info.lBps = out.bits;
    info.lSpp = out.samples;
    info.lXResolution = info.lYResolution = static_cast<int32_t>(res);
    if (p.detectPageSize) {
        info.lWidth =
            static_cast<int32_t>((kSensorWidth - 2 * int64_t(library.getDummyPixelCount(600))) * res / 1200);
        info.lHeight = static_cast<int32_t>(res * kMaxPageLength / 1200);
    } else if (p.deskew && p.opticalYRes != 0) {
        info.lHeight = static_cast<int32_t>(int64_t(p.opticalLines) * res / p.opticalYRes);
    }
    return info;
}

void FilterRequest::fill(const tagScanParam& p, const CImg& band,
                         const std::array<const CImg*, 4>& references, const PageGeometry& geometry,
                         bool protect, ImageLibrary& library) {
    const uint32_t sides = (p.duplex == 2 || p.folio) ? 2 : 1;
    fillSide(front, p, false, protect, true);
    fillSpecial(front, p, references[0], references[1], geometry);
    const Ovk::tagIMAGEINFO in = inputInfo(p, band, sides);
    const Ovk::tagIMAGEINFO out = outputInfo(p, library);
    if (sides == 1) {
        simplex = {sizeof(simplex), in, out, front.block, front.special};
        return;
    }
    fillSide(back, p, true, protect, front.block.pGRCInfo != nullptr);
    fillSpecial(back, p, references[2], references[3], geometry);
    duplex = {};
    duplex.ulSize = sizeof(duplex);
    duplex.InImageInfo = in;
    duplex.InImageInfo.lWidth /= 2;
    duplex.InImageInfo.lSync /= 2;
    duplex.OutImageInfo = out;
    duplex.FrontNormalFilterInfo = front.block;
    duplex.BackNormalFilterInfo = back.block;
    duplex.bPutImageOnSide = p.folio != 0;
    duplex.FrontSpecialFilterInfo = front.special;
    duplex.BackSpecialFilterInfo = back.special;
}

} // namespace k3100
