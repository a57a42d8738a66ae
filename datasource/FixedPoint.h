// Conversions between the data source's float values, TWAIN fixed-point numbers, lengths and pixels,
// and the 256-entry tone tables. Lengths are in inches or centimetres, resolutions in dots per inch.
#pragma once

#include <cstdint>
#include <span>

#include "twain.h"

TW_FIX32 FloatToFix32(float value);
float Fix32ToFloat(TW_FIX32 value);

std::uint32_t InchToPixel(TW_FIX32 length, std::uint32_t resolution);
std::uint32_t CmToPixel(TW_FIX32 length, std::uint32_t resolution);
TW_FIX32 PixelToInch(std::uint32_t pixels, std::uint32_t resolution);
TW_FIX32 PixelToCm(std::uint32_t pixels, std::uint32_t resolution);

void MakeGammaTable(float gamma, std::span<std::uint8_t, 256> table);
void MakeLinearTable(std::span<std::uint8_t, 256> table);

// Float to unsigned 32-bit, truncated toward zero; below 0 and NaN give 0, 2^32 and above 0xFFFFFFFF.
std::uint32_t SaturateToUInt32(double value);
// Float to signed 32-bit, truncated toward zero and clamped to the type's range; NaN gives 0.
std::int32_t SaturateToInt32(double value);
