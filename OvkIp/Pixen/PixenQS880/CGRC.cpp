// Tone curves: the curves are evaluated once per band in double precision (256 points each) and then
// applied by table lookup, so the per-pixel work is one load per sample.
#include "CGRC.h"

#include "RecordSize.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace Ovk::Pixen {

namespace {

// Indexed by the contrast level 1..7; index 0 is never used.
constexpr std::array<double, 8> GrayFactor{-1, 0.7, 0.8, 0.9, 1.0, 1.1, 1.2, 1.3};
constexpr std::array<double, 8> GrayOffset{-1, 49, 32, 16, 0, -17, -33, -49};
constexpr std::array<double, 8> ColorFactor{-1, 0.7, 0.8, 0.9, 1.0, 1.2, 1.4, 1.6};
constexpr std::array<double, 8> ColorOffset{-1, 75, 50, 25, 0, -51, -101, -152};
constexpr std::array<double, 8> BinaryDivisor{-1, 0.3, 0.5, 0.7, 1.0, 1.5, 2.0, 3.0};
constexpr std::array<double, 8> BinaryOffset{-1, 0, 0, 0, 0, -10, -10, -10};

std::size_t levelIndex(std::int32_t level) noexcept {
    return static_cast<std::size_t>(std::clamp(level, 1, 7));
}

double brightnessShift(std::int32_t brightness) noexcept {
    return (brightness - 128) * 128.0 / 127.0;
}

double grayCurve(double value, std::int32_t brightness, std::int32_t level) noexcept {
    const std::size_t c = levelIndex(level);
    const double p = std::pow(value / 255.0, 1.0 / 1.2);
    return GrayFactor[c] * 290.0 * p + (brightnessShift(brightness) + 8.0) + GrayOffset[c] + 0.5;
}

double colorCurve(double value, std::int32_t brightness, std::int32_t level) noexcept {
    const std::size_t c = levelIndex(level);
    const double p = std::pow(value / 255.0, 1.0 / 2.2);
    return ColorFactor[c] * 345.0 * p - 55.0 + brightnessShift(brightness) + ColorOffset[c] + 0.5;
}

double binaryCurve(double value, std::int32_t level) noexcept {
    const std::size_t c = levelIndex(level);
    return 280.0 * std::pow(value / 255.0, 1.0 / BinaryDivisor[c]) + BinaryOffset[c] + 0.5;
}

std::uint8_t toByte(double v) noexcept {
    return static_cast<std::uint8_t>(std::clamp(std::trunc(v), 0.0, 255.0));
}

template <class Curve> void fill(std::uint8_t (&table)[256], Curve curve) noexcept {
    for (int i = 0; i < 256; ++i)
        table[i] = toByte(curve(static_cast<double>(i)));
}

bool neutral(const std::uint8_t (&table)[256]) noexcept {
    for (int i = 0; i < 256; ++i)
        if (table[i] != i)
            return false;
    return true;
}

} // namespace

CGRC::CGRC() noexcept {
    m_Info.ulSize = sizeof(tagGRCINFO);
}

std::int32_t CGRC::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagGRCINFO>(info) != RTN_OK)
        return RTN_PAR;
    std::memcpy(&m_Info, info, sizeof m_Info);
    m_nContrast = contrastLevel(m_Info.ucContrast);
    return RTN_OK;
}

void CGRC::setMode(ColorMode mode, bool errorDiffusion) noexcept {
    m_Mode = mode;
    m_bErrorDiffusion = mode == COLORMODE_BINARY && errorDiffusion;
}

std::int32_t CGRC::contrastLevel(std::uint8_t contrast) noexcept {
    return std::min(7, std::max(1, contrast * 7 / 255 + 1));
}

std::int32_t CGRC::calcGrayGamma(double value, std::int32_t brightness, std::int32_t level) noexcept {
    return std::max(0, static_cast<std::int32_t>(std::trunc(grayCurve(value, brightness, level))));
}

std::int32_t CGRC::calcColorGamma(double value, std::int32_t brightness, std::int32_t level) noexcept {
    return std::max(0, static_cast<std::int32_t>(std::trunc(colorCurve(value, brightness, level))));
}

double CGRC::calcBinGammaInv(std::int32_t value, std::int32_t, std::int32_t level) noexcept {
    const std::size_t c = levelIndex(level);
    const double base = (value - 0.5 - BinaryOffset[c]) / 280.0;
    return 255.0 * std::pow(std::max(0.0, base), BinaryDivisor[c]);
}

void CGRC::buildTables() noexcept {
    const std::int32_t b = m_Info.ucBrightness;
    const std::int32_t c = m_nContrast;
    const auto color = [b, c](double v) { return colorCurve(v, b, c); };
    switch (m_Mode) {
    case COLORMODE_COLOR:
        fill(m_Info.ucRed, color);
        std::memcpy(m_Info.ucGreen, m_Info.ucRed, 256);
        std::memcpy(m_Info.ucBlue, m_Info.ucRed, 256);
        break;
    case COLORMODE_GRAY:
        fill(m_Info.ucGray, [b, c](double v) { return grayCurve(v, b, c); });
        break;
    case COLORMODE_BINARY:
        if (m_bErrorDiffusion)
            fill(m_Info.ucGray, color);
        else
            fill(m_Info.ucGray, [c](double v) { return binaryCurve(v, c); });
        break;
    }
}

std::int32_t CGRC::IP(CImg& image) {
    if (image.isNull())
        return RTN_OK; // a band that an earlier step has taken or emptied
    if (image.getBps() != 8)
        return RTN_PAR;
    const std::int32_t depth = image.getBps() * image.getSpp();
    if (depth != 8 && !(depth == 24 && image.getRGBOrder() == RGBORDER_PIXEL))
        return RTN_NOT_APPLICABLE;
    // Brightness 0 selects the caller's own curves.
    if (m_Info.ucBrightness != 0 && m_nContrast != 0)
        buildTables();
    // Neutral curves, what the default tone settings give, would rewrite every byte with itself.
    if (depth == 8 ? neutral(m_Info.ucGray)
                   : neutral(m_Info.ucRed) && neutral(m_Info.ucGreen) && neutral(m_Info.ucBlue))
        return RTN_OK;
    const std::int32_t width = image.getWidth();
    for (std::int32_t y = 0; y < image.getHeight(); ++y) {
        std::uint8_t* p = image.getLine(y);
        if (depth == 8) {
            for (std::int32_t x = 0; x < width; ++x)
                p[x] = m_Info.ucGray[p[x]];
            continue;
        }
        for (std::int32_t x = 0; x < width; ++x, p += 3) {
            p[0] = m_Info.ucRed[p[0]];
            p[1] = m_Info.ucGreen[p[1]];
            p[2] = m_Info.ucBlue[p[2]];
        }
    }
    return RTN_OK;
}

} // namespace Ovk::Pixen
