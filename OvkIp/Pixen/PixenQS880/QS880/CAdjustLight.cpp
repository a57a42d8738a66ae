// Calibration step machine. The register formulas are those of the analogue front end: an offset step
// moves the dark level by 4096 x 0.99 x 152 / (1980 x (79 - gain)) codes, and the gain multiplies the
// signal by 79 / (79 - gain). Lamp powers come from a straight line through two measured levels.
#include "QS880/CAdjustLight.h"

#include "QS880/CLightCurveAdjustData.h"
#include "QS880/LevelMeasure.h"
#include "ResultCodes.h"

#include <algorithm>
#include <cmath>

namespace Ovk::Pixen::QS880 {

namespace {

constexpr std::uint16_t kScanDark = 0xFFFF;  // the next scan is evaluated as a dark scan
constexpr std::uint16_t kScanLight = 0xFEFE; // the next scan is made with the lamps on
constexpr std::int32_t kBlackTarget = 96;    // dark code of the offset steps
constexpr std::int32_t kWhiteTarget = 2730;  // brightest code of the gain step
constexpr std::int32_t kTargetLimit = 2593;  // 0xA21, highest level the lamp step aims at
constexpr std::int32_t kMaximaMode = 1;
constexpr std::int32_t kKeepPowers = 0x8000;
constexpr std::uint8_t kStepsDone = 8;

tagADJUSTREGINFO& block(tagADJUSTINFO& info, tagSIDE side) {
    return side == SIDE_FRONT ? info.FrontAdjustInfo : info.BackAdjustInfo;
}

const tagADJUSTREGINFO& block(const tagADJUSTINFO& info, tagSIDE side) {
    return side == SIDE_FRONT ? info.FrontAdjustInfo : info.BackAdjustInfo;
}

void setPowers(tagADJUSTREGINFO& registers, std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
    registers.RedLED = red;
    registers.GreenLED = green;
    registers.BlueLED = blue;
}

void setAllPowers(tagADJUSTINFO& info, std::uint16_t power) {
    setPowers(info.FrontAdjustInfo, power, power, power);
    setPowers(info.BackAdjustInfo, power, power, power);
}

} // namespace

void CAdjustLight::AdjustLightFirst(tagADJUSTINFO* info) {
    m_ucStep = 0;
    m_lPower = 0;
    m_lMode = 0;
    std::fill(std::begin(m_LightParams), std::end(m_LightParams), LightParams{});
    if (info == nullptr)
        return;
    for (tagADJUSTREGINFO* registers : {&info->FrontAdjustInfo, &info->BackAdjustInfo})
        *registers = tagADJUSTREGINFO{0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0};
    info->ScanInfo = kScanDark;
    info->bAdjustDone = false;
}

std::int32_t CAdjustLight::AdjustLightNext(CImg& front, CImg& back, tagADJUSTINFO* info) {
    if (info == nullptr)
        return RTN_PAR;
    // The counter stops after the last step instead of wrapping back into the sequence.
    if (m_ucStep < kStepsDone)
        ++m_ucStep;
    if (m_ucStep >= kStepsDone)
        return RTN_SEQUENCE;
    const std::int32_t result = evaluate(front, back, *info);
    prepare(*info);
    info->bAdjustDone = m_ucStep == kStepsDone - 1;
    return result;
}

std::int32_t CAdjustLight::evaluate(CImg& front, CImg& back, tagADJUSTINFO& info) {
    switch (m_ucStep) {
    case 1:
    case 7:
        return AdjustAnaproOffset(front, back, info);
    case 6:
        return AdjustAnaproGain(front, back, info);
    case 5:
        return AdjustLight(front, back, info);
    default:
        break;
    }
    const std::int32_t result = AdjustLight_GetSensorLevel(front, back, info);
    if (result != RTN_OK)
        return result;
    if (m_ucStep == 2) {
        m_LightParams[8] = m_LightParams[0];
        m_LightParams[9] = m_LightParams[4];
    } else if (m_ucStep == 3) {
        m_LightParams[10] = m_LightParams[0];
        m_LightParams[11] = m_LightParams[4];
    } else {
        copyMeasurement(info, 22);
    }
    return RTN_OK;
}

void CAdjustLight::prepare(tagADJUSTINFO& info) {
    switch (m_ucStep) {
    case 1:
        AdjustLight_GetSensorLevelInit(info, 0, 0);
        info.ScanInfo = kScanDark;
        break;
    case 2:
        AdjustLight_GetSensorLevelInit(info, 0x1FFF, kMaximaMode);
        info.ScanInfo = kScanLight;
        break;
    case 3:
        AdjustLight_GetSensorLevelInit(info, 200, kMaximaMode);
        info.ScanInfo = kScanLight;
        break;
    case 4:
        AdjustLightInit(info);
        break;
    case 5:
        info.ScanInfo = kScanLight;
        break;
    case 6:
        info.ScanInfo = kScanDark;
        break;
    default:
        break;
    }
}

std::int32_t CAdjustLight::GetOffsetRegister_Feeder(std::int32_t m, std::int32_t gain, std::int32_t offset,
                                                    std::int32_t target) {
    const double correction = (m - target) / 4096.0 * 1980.0 * (79 - gain) / (0.99 * 152);
    const double value = offset - std::trunc(correction);
    return static_cast<std::int32_t>(std::clamp(value, 0.0, 255.0));
}

std::int32_t CAdjustLight::GetGainRegister(std::int32_t M, std::int32_t gain, std::int32_t target) {
    const double product = std::trunc(static_cast<double>(M) / target * (79 - gain));
    return static_cast<std::int32_t>(std::clamp(79 - product, 0.0, 255.0));
}

std::int32_t CAdjustLight::AdjustAnaproOffset(CImg& front, CImg& back, tagADJUSTINFO& info) {
    for (tagSIDE side : {SIDE_FRONT, SIDE_BACK}) {
        if (side == SIDE_BACK && !info.bDuplex)
            break;
        tagLEVELS levels;
        if (!measureLevels(side == SIDE_FRONT ? front : back, false, levels))
            return RTN_PAR;
        tagADJUSTREGINFO& registers = block(info, side);
        registers.Offset1 = static_cast<std::uint8_t>(
            GetOffsetRegister_Feeder(levels.all, registers.Gain1, registers.Offset1, kBlackTarget));
    }
    return RTN_OK;
}

std::int32_t CAdjustLight::AdjustAnaproGain(CImg& front, CImg& back, tagADJUSTINFO& info) {
    for (tagSIDE side : {SIDE_FRONT, SIDE_BACK}) {
        if (side == SIDE_BACK && !info.bDuplex)
            break;
        std::int32_t brightest = 0;
        if (!measureAll(side == SIDE_FRONT ? front : back, true, brightest))
            return RTN_PAR;
        tagADJUSTREGINFO& registers = block(info, side);
        registers.Gain1 =
            static_cast<std::uint8_t>(GetGainRegister(brightest, registers.Gain1, kWhiteTarget));
    }
    return RTN_OK;
}

void CAdjustLight::AdjustLight_GetSensorLevelInit(tagADJUSTINFO& info, std::int32_t power,
                                                  std::int32_t mode) {
    m_lPower = power;
    m_lMode = mode;
    if ((mode & kKeepPowers) != 0) {
        m_lPower = -1;
        return;
    }
    setAllPowers(info, static_cast<std::uint16_t>(power & 0xFFFF));
}

std::int32_t CAdjustLight::AdjustLight_GetSensorLevel(CImg& front, CImg& back, const tagADJUSTINFO& info) {
    const bool maxima = (m_lMode & kMaximaMode) != 0;
    tagLEVELS levels[2]{};
    for (tagSIDE side : {SIDE_FRONT, SIDE_BACK}) {
        if (side == SIDE_BACK && !info.bDuplex)
            break;
        CImg& image = side == SIDE_FRONT ? front : back;
        if (image.getSpp() != 3 || image.getRGBOrder() != RGBORDER_LINE ||
            !measureLevels(image, maxima, levels[side]))
            return RTN_PAR;
    }
    for (tagSIDE side : {SIDE_FRONT, SIDE_BACK}) {
        if (side == SIDE_BACK && !info.bDuplex)
            break;
        const tagLEVELS& level = levels[side];
        LightParams* slots = &m_LightParams[side == SIDE_FRONT ? 0 : 4];
        slots[0] = {m_lPower, level.all};
        slots[1] = {m_lPower, level.red};
        slots[2] = {m_lPower, level.green};
        slots[3] = {m_lPower, level.blue};
    }
    return RTN_OK;
}

void CAdjustLight::copyMeasurement(const tagADJUSTINFO& info, int to) {
    for (int i = 0; i < 8; ++i) {
        LightParams value = m_LightParams[i];
        if (value.lPower < 0) {
            const tagADJUSTREGINFO& registers = block(info, i < 4 ? SIDE_FRONT : SIDE_BACK);
            const int colour = i % 4;
            value.lPower = colour == 2   ? registers.GreenLED
                           : colour == 3 ? registers.BlueLED
                                         : registers.RedLED;
        }
        m_LightParams[to + i] = value;
    }
}

void CAdjustLight::AdjustLightInit(tagADJUSTINFO& info) {
    for (int side = 0; side < 2; ++side) {
        const std::int32_t dark = m_LightParams[8 + side].lLevel;
        const std::int32_t saturation = m_LightParams[10 + side].lLevel;
        m_LightParams[12 + side] = {0, std::min(kTargetLimit, dark + (saturation - dark) * 75 / 100)};
    }
    if (info.lXResolution == 300)
        setAllPowers(info, 1500);
    else
        for (tagADJUSTREGINFO* registers : {&info.FrontAdjustInfo, &info.BackAdjustInfo})
            setPowers(*registers, 3000, 5000, 5000);
    AdjustLight_GetSensorLevelInit(info, -1, kKeepPowers | kMaximaMode);
    info.ScanInfo = kScanLight;
}

std::int32_t CAdjustLight::AdjustLight(CImg& front, CImg& back, tagADJUSTINFO& info) {
    const std::int32_t result = AdjustLight_GetSensorLevel(front, back, info);
    if (result != RTN_OK)
        return result;
    copyMeasurement(info, 14);
    SetLightPowerColor(info);
    return RTN_OK;
}

void CAdjustLight::SetLightPowerColor(tagADJUSTINFO& info) {
    for (tagSIDE side : {SIDE_FRONT, SIDE_BACK}) {
        const int reference = side == SIDE_FRONT ? 15 : 19;
        const int low = side == SIDE_FRONT ? 23 : 27;
        setPowers(block(info, side), CalcLightPowerColor(info, side, reference, low),
                  CalcLightPowerColor(info, side, reference + 1, low + 1),
                  CalcLightPowerColor(info, side, reference + 2, low + 2));
        CheckRegLimit(info, side);
    }
}

std::uint16_t CAdjustLight::CalcLightPowerColor(const tagADJUSTINFO& info, tagSIDE side, int a, int b) const {
    // 64-bit: levels and powers come from the device and must not overflow the products.
    const std::int64_t pa = m_LightParams[a].lPower, la = m_LightParams[a].lLevel;
    const std::int64_t pb = m_LightParams[b].lPower, lb = m_LightParams[b].lLevel;
    const std::int64_t target = m_LightParams[side == SIDE_FRONT ? 12 : 13].lLevel;
    const std::int64_t x = la == lb ? 0 : (pa - pb) * (target - lb) / (la - lb);
    const std::int64_t p0 = la == lb ? 0 : (pb * la - pa * lb) / (la - lb);
    std::int64_t v = std::max<std::int64_t>(x + pb - p0, 0);
    if (info.ScanMode != 2) {
        const std::int32_t lamps = side == SIDE_FRONT ? info.FrontLightSorce : info.BackLightSorce;
        if (lamps >= 4 && lamps <= 6)
            v /= 2;
        else if (lamps < 1 || lamps > 6)
            v /= 3;
    }
    return static_cast<std::uint16_t>(v + p0);
}

CAdjustLight::tagRGBPower CAdjustLight::GetAvairableLampPower(std::int32_t xResolution) {
    if (xResolution == 300)
        return {2500, 3000, 3000};
    if (xResolution == 600)
        return {5000, 6000, 6000};
    return {0, 0, 0};
}

void CAdjustLight::CheckRegLimit(tagADJUSTINFO& info, tagSIDE side) {
    tagADJUSTREGINFO& registers = block(info, side);
    const tagRGBPower limit = GetAvairableLampPower(info.lXResolution);
    std::uint16_t* powers[3] = {&registers.RedLED, &registers.GreenLED, &registers.BlueLED};
    const std::int32_t limits[3] = {limit.red, limit.green, limit.blue};
    int worst = -1;
    double worstRate = 0;
    for (int c = 0; c < 3; ++c) {
        if (limits[c] == 0)
            continue; // no limit known at this resolution
        const double rate = static_cast<double>(*powers[c]) / limits[c];
        if (worst < 0 || rate > worstRate) {
            worst = c;
            worstRate = rate;
        }
    }
    if (worst < 0 || *powers[worst] <= limits[worst] || *powers[worst] == 0)
        return;
    const std::int64_t over = *powers[worst];
    for (std::uint16_t* power : powers)
        *power = static_cast<std::uint16_t>(*power * std::int64_t{limits[worst]} / over);
}

std::int32_t CAdjustLight::AdjustLightCurve(CImg& white, CImg& black, tagADJUSTINFO* info, tagSIDE side,
                                            const std::uint8_t* data, std::uint32_t size) {
    if (info == nullptr)
        return RTN_PAR;
    CLightCurveAdjustData curves;
    if (const std::int32_t result = curves.LoadData(data, size); result != RTN_OK)
        return result;
    // Lamp settings 1-3 light one colour (drop-out), 4-6 all but one (emphasis).
    const std::int32_t lamps = side == SIDE_FRONT ? info->FrontLightSorce : info->BackLightSorce;
    const std::int32_t dropOut = lamps >= 1 && lamps <= 3 ? lamps : 0;
    const std::int32_t emphasis = lamps >= 4 && lamps <= 6 ? lamps - 3 : 0;
    return curves.AdjustData(black, white, side, dropOut, emphasis);
}

} // namespace Ovk::Pixen::QS880
