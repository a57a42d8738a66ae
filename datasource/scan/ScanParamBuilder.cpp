// The scan parameter record of a new sheet, read from the capabilities. Lengths are in 1/1200 inch; the
// scan area is centred on the feeder the way the paper guides centre the sheet.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "CapHelpers.h"
#include "ClientApp.h"
#include "FixedPoint.h"
#include "OrvkQSDS.h"
#include "QSCapIds.h"
#include "ScanParam.h"
#include "scan/ScanSettings.h"

namespace {

std::uint32_t UInt(const CCapPool* pool, TW_UINT16 id) {
    return GetCapUIntValue(pool, id);
}
bool Flag(const CCapPool* pool, TW_UINT16 id) {
    return GetCapSIntValue(pool, id) != 0;
}

constexpr unsigned kToneChannels = 4; // grey, red, green, blue

} // namespace

namespace k3100 {

std::int32_t ToneLevel(const CCapPool* pool, TW_UINT16 id) {
    const float step = GetCapStepSize(pool, id);
    if (!(step > 0))
        return 1;
    return static_cast<std::int32_t>((GetCapFloatValue(pool, id) + 1000.0) / step + 1.5);
}

bool HalftoneIsErrorDiffusion(const CCapPool* pool) {
    std::array<std::uint8_t, 34> item{};
    if (!GetCapStrValue(pool, ICAP_HALFTONES, item))
        return false;
    static constexpr char kName[16] = "Error Diffusion";
    return std::memcmp(item.data() + 1, kName, sizeof kName) == 0;
}

void MakeToneTable(const CCapPool* pool, TW_UINT16 curveId, TW_UINT16 gammaId, bool useCurve,
                   std::span<std::uint8_t, 256> table) {
    // A curve is stored as the 256 bytes of the table itself.
    if (!useCurve || !GetCapStrValue(pool, curveId, table))
        MakeGammaTable(GetCapFloatValue(pool, gammaId), table);
}

FilterSettings FinalFilterSettings(const CCapPool* pool) {
    const std::int32_t pixelType = GetCapSIntValue(pool, ICAP_PIXELTYPE);
    const bool blackAndWhite = pixelType == TWPT_BW;
    const bool text = blackAndWhite && Flag(pool, CCAP_OVK_TEXTENHANCE);
    FilterSettings settings;
    if (blackAndWhite) {
        settings.grayToBin = HalftoneIsErrorDiffusion(pool) ? 1 : (text ? 8 : 0);
        settings.inverse = Flag(pool, CCAP_OVK_REVERSESCANTYPE) ? 1 : 0;
    }
    const bool gammaMode = Flag(pool, CCAP_OVKM_GAMMAMODE);
    if (gammaMode) {
        const std::uint32_t method = UInt(pool, CCAP_OVKM_GAMMAMETHOD);
        auto table = [&](unsigned channel) {
            std::array<std::uint8_t, 256> values{};
            const auto offset = static_cast<TW_UINT16>(channel);
            MakeToneTable(pool, CCAP_OVKM_GRAYCURVE + offset, CCAP_OVKM_GRAYGAMMA + offset,
                          (method & 1u << channel) != 0, values);
            return values;
        };
        if (pixelType == TWPT_RGB) {
            settings.red = table(1);
            settings.green = table(2);
            settings.blue = table(3);
        } else {
            settings.gray = table(0);
        }
    }
    if (!gammaMode || text) {
        settings.brightness =
            text ? GetCapSIntValue(pool, CCAP_OVK_TEXTENHANCE_BRIGHTNESS) : ToneLevel(pool, ICAP_BRIGHTNESS);
        settings.contrast =
            text ? GetCapSIntValue(pool, CCAP_OVK_TEXTENHANCE_CONTRAST) : ToneLevel(pool, ICAP_CONTRAST);
    }
    settings.edgeEmphasis = text ? kPrescanEdgeEmphasis : UInt(pool, CCAP_OVK_EDGEEMPHASIS);
    settings.checkBlankPage =
        (UInt(pool, CCAP_OVK_BLANKSKIP) & 0xFFFFu) | UInt(pool, CCAP_OVK_BLANKSKIPSLICE3) << 16;
    return settings;
}

} // namespace k3100

void COrvkQSDS::FillScanArea(tagScanParam& param) {
    const CCapPool* pool = GetCapPool();
    // CCAP_OVK_DESKEW is the one deskew setting; ICAP_AUTOMATICDESKEW is its standard name (see GetScanSize).
    const bool noMargin = Flag(pool, CCAP_OVK_DETECTPAGESIZE) || Flag(pool, CCAP_OVK_DESKEW);
    const double margin = noMargin ? 0.0 : GetCapSIntValue(pool, CCAP_OVK_MARGINLENGTH) * 1200.0 / 25.4;
    const double physicalWidth = GetCapFloatValue(pool, ICAP_PHYSICALWIDTH);
    const SScanSize paper = GetCurrentPaperSize();
    const SScanSize scan = GetScanSize(false);
    const double centre = std::trunc((physicalWidth - paper.width) * 0.5);
    double left = centre + std::trunc(GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_X) - margin);
    if (left < 0)
        left = 0;
    if (left + scan.width > physicalWidth)
        left = std::trunc(physicalWidth - scan.width);
    param.leftOffset = static_cast<float>(left);
    param.topOffset = static_cast<float>(std::trunc(GetCapFloatValue(pool, CCAP_OVKM_SCANAREA_Y) - margin));
    param.scanWidth = scan.width;
    param.scanLength = scan.height;
}

void COrvkQSDS::FillColourMode(tagScanParam& param) {
    const CCapPool* pool = GetCapPool();
    if (Flag(pool, CCAP_OVK_DETECTPAGETYPE)) {
        param.pixelMode = k3100::kPixelModeAutoColour;
        param.binarization = UInt(pool, CCAP_OVKM_DETECTPAGETYPE_BWMODE);
        param.autoColourThreshold = UInt(pool, CCAP_OVK_DETECTPAGETYPE_THRESHOLD);
        param.autoColourAmount = UInt(pool, CCAP_OVK_DETECTPAGETYPE_AMOUNT);
        return;
    }
    const std::int32_t pixelType = GetCapSIntValue(pool, ICAP_PIXELTYPE);
    const bool textEnhance = Flag(pool, CCAP_OVK_TEXTENHANCE);
    if (!(pixelType == TWPT_BW && textEnhance)) {
        const std::uint32_t bleed = UInt(pool, CCAP_OVK_BLEEDTHROUGH) & 0xFFFF;
        param.bleedThrough = bleed ? bleed | UInt(pool, CCAP_OVK_BLEEDTHROUGH_THRESHOLD) << 16 : 0;
    }
    param.pixelMode = pixelType == TWPT_GRAY  ? k3100::kPixelModeGrey
                      : pixelType == TWPT_RGB ? k3100::kPixelModeColour
                                              : k3100::kPixelModeBlackWhite;
    if (pixelType == TWPT_BW)
        param.binarization = k3100::HalftoneIsErrorDiffusion(pool) ? k3100::kBinarizeErrorDiffusion
                             : textEnhance                         ? k3100::kBinarizeText
                                                                   : k3100::kBinarizeThreshold;
}

tagScanParam COrvkQSDS::MakeScanParam(bool continuous, std::uint32_t prescanMode) {
    const CCapPool* pool = GetCapPool();
    const bool prescan = prescanMode != 0;
    const CClientApp* client = CClientApp::Current();
    const bool backFromFront = Flag(pool, CCAP_OVK_PRESCAN) && !(client && client->IsBackgroundOnly());
    tagScanParam param{};
    param.resolution = static_cast<std::uint32_t>(std::max(0.0f, GetCapFloatValue(pool, ICAP_XRESOLUTION)));
    FillScanArea(param);
    param.batch = continuous && !prescan;
    param.detectPageSize = Flag(pool, CCAP_OVK_DETECTPAGESIZE);
    param.duplex = Flag(pool, CAP_DUPLEXENABLED) ? 2 : 0;
    param.folio = Flag(pool, CCAP_OVK_FOLDLARGESIZE);
    param.doubleFeedLength = !param.folio && Flag(pool, CCAP_OVK_DETECTDBLFEED_LENGTH);
    param.doubleFeedUltrasonic = !param.folio && Flag(pool, CCAP_OVK_DETECTDBLFEED_ULTRASONIC);
    param.jamless = Flag(pool, CCAP_OVK_FEEDER_JAMLESS);
    param.keepPrescan = prescanMode == 2;
    param.blankSkip =
        (prescan ? 0 : UInt(pool, CCAP_OVK_BLANKSKIP) & 0xFFFF) | UInt(pool, CCAP_OVK_BLANKSKIPSLICE3) << 16;
    param.rotation = UInt(pool, CCAP_OVK_DATAORIENTATION);
    param.deskew = Flag(pool, CCAP_OVK_DESKEW);
    param.dropOutFront = UInt(pool, CCAP_OVK_DROPOUT);
    param.dropOutBack = UInt(pool, BackTwin(CCAP_OVK_DROPOUT));
    param.colourEnhanceFront = UInt(pool, CCAP_OVK_COLORENHANCE);
    param.colourEnhanceBack = UInt(pool, BackTwin(CCAP_OVK_COLORENHANCE));
    param.brightnessFront = k3100::ToneLevel(pool, ICAP_BRIGHTNESS);
    param.contrastFront = k3100::ToneLevel(pool, ICAP_CONTRAST);
    param.brightnessBack = !backFromFront && Flag(pool, CCAP_OVKM_BACKBRIGHTNESSENABLED)
                               ? k3100::ToneLevel(pool, BackTwin(ICAP_BRIGHTNESS))
                               : param.brightnessFront;
    param.contrastBack = !backFromFront && Flag(pool, CCAP_OVKM_BACKCONTRASTENABLED)
                             ? k3100::ToneLevel(pool, BackTwin(ICAP_CONTRAST))
                             : param.contrastFront;
    param.textBrightness = UInt(pool, CCAP_OVK_TEXTENHANCE_BRIGHTNESS);
    param.textContrast = UInt(pool, CCAP_OVK_TEXTENHANCE_CONTRAST);
    param.reverseScanType = Flag(pool, CCAP_OVK_REVERSESCANTYPE);
    param.edgeEmphasis = UInt(pool, CCAP_OVK_EDGEEMPHASIS) << 16 | 1;
    const std::uint32_t moire = UInt(pool, CCAP_OVK_REDUCE_MOIRE);
    param.reduceMoire = (moire - 1) << 16 | (moire != 1 ? 1 : 0);
    param.recognizeDirection = UInt(pool, CCAP_OVK_RECOGNIZE_DIRECTION);
    if (Flag(pool, CCAP_OVKM_GAMMAMODE))
        FillToneTables(param, backFromFront);
    FillColourMode(param);
    return param;
}

void COrvkQSDS::FillToneTables(tagScanParam& param, bool backFromFront) {
    const CCapPool* pool = GetCapPool();
    const std::uint32_t method = UInt(pool, CCAP_OVKM_GAMMAMETHOD);
    // Bit i (front) or i + 4 (back) of the method picks the drawn curve of channel i over its gamma.
    auto fill = [&](std::uint8_t(&table)[256], TW_UINT16 curve, TW_UINT16 gamma, unsigned bit) {
        k3100::MakeToneTable(pool, curve, gamma, (method & 1u << bit) != 0, table);
    };
    for (unsigned channel = 0; channel < kToneChannels; ++channel) {
        const auto offset = static_cast<TW_UINT16>(channel);
        fill(param.toneTables[channel], CCAP_OVKM_GRAYCURVE + offset, CCAP_OVKM_GRAYGAMMA + offset, channel);
        std::uint8_t(&back)[256] = param.toneTables[kToneChannels + channel];
        if (backFromFront)
            std::memcpy(back, param.toneTables[channel], sizeof back);
        else
            fill(back, BackTwin(CCAP_OVKM_GRAYCURVE + offset), BackTwin(CCAP_OVKM_GRAYGAMMA + offset),
                 channel + kToneChannels);
    }
    // Zero levels tell the page library to take the tables as they are.
    param.brightnessFront = param.brightnessBack = param.contrastFront = param.contrastBack = 0;
}
