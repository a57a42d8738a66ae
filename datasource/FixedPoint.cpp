// TW_FIX32 holds a signed whole part and a fraction in 1/65536; encoding rounds half up before splitting.
// Pixel conversions saturate instead of overflowing so that hostile lengths cannot wrap around.
#include "FixedPoint.h"

#include <cmath>

namespace {

constexpr double kCmPerInch = 2.54;

TW_FIX32 Fix32FromScaled(double value) {
    const std::int32_t n = SaturateToInt32(value * 65536.0 + 0.5);
    TW_FIX32 fix{};
    fix.Whole = static_cast<TW_INT16>(n >> 16);
    fix.Frac = static_cast<TW_UINT16>(n & 0xFFFF);
    return fix;
}

} // namespace

std::uint32_t SaturateToUInt32(double value) {
    if (std::isnan(value) || value <= 0.0)
        return 0;
    if (value >= 4294967296.0)
        return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(value);
}

std::int32_t SaturateToInt32(double value) {
    if (std::isnan(value))
        return 0;
    if (value <= -2147483648.0)
        return INT32_MIN;
    if (value >= 2147483647.0)
        return INT32_MAX;
    return static_cast<std::int32_t>(value);
}

TW_FIX32 FloatToFix32(float value) {
    return Fix32FromScaled(value);
}

float Fix32ToFloat(TW_FIX32 value) {
    return static_cast<float>(value.Whole) + static_cast<float>(value.Frac) / 65536.0f;
}

std::uint32_t InchToPixel(TW_FIX32 length, std::uint32_t resolution) {
    return SaturateToUInt32(Fix32ToFloat(length) * static_cast<float>(resolution));
}

std::uint32_t CmToPixel(TW_FIX32 length, std::uint32_t resolution) {
    return SaturateToUInt32(Fix32ToFloat(length) / static_cast<float>(kCmPerInch) *
                            static_cast<float>(resolution));
}

TW_FIX32 PixelToInch(std::uint32_t pixels, std::uint32_t resolution) {
    if (resolution == 0)
        return TW_FIX32{};
    return Fix32FromScaled(static_cast<float>(pixels) / static_cast<float>(resolution));
}

TW_FIX32 PixelToCm(std::uint32_t pixels, std::uint32_t resolution) {
    if (resolution == 0)
        return TW_FIX32{};
    return Fix32FromScaled(static_cast<float>(pixels) / static_cast<float>(resolution) *
                           static_cast<float>(kCmPerInch));
}

void MakeGammaTable(float gamma, std::span<std::uint8_t, 256> table) {
    if (!(gamma > 0.0f)) {
        MakeLinearTable(table);
        return;
    }
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(255.0 * std::pow(i / 255.0, 1.0 / gamma));
}

void MakeLinearTable(std::span<std::uint8_t, 256> table) {
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(i);
}
