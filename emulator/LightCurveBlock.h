// The 512 KiB light-curve block the scanner keeps in its memory at 0x10080000: per side, resolution and
// lamp use a table of factors (value / scale) that turns the white calibration strip's reading into that
// of paper white, column by column. Little-endian, as the block is stored.
#pragma once

#include <cstdint>
#include <vector>

namespace k3100::emu {

inline constexpr uint32_t kLightCurveAddress = 0x10080000;
inline constexpr uint32_t kLightCurveSize = 0x80000;
inline constexpr uint32_t kLightCurveTimeStamp = 0x20250101;

std::vector<uint8_t> buildLightCurveBlock();

} // namespace k3100::emu
