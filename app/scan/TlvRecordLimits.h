// What the TWAIN string records that carry a scan setting can hold: a TW_STR32 holds 32 bytes after
// its length byte, a TW_STR64 32 UTF-16 units, a TW_STR255 (a tone table) exactly 256 bytes.
// Values are cut here, before any record is filled, so that no stored value can overflow one.
#pragma once

#include "Value.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::size_t kTlvStr32Bytes = 32;
inline constexpr std::size_t kTlvStr64Units = 32;
inline constexpr std::size_t kTlvToneTableBytes = 256;

using TlvToneTable = std::array<std::uint8_t, kTlvToneTableBytes>;

// The first 32 bytes.
fnd::Data TlvCutToStr32(fnd::Data bytes);
// The longest whole-character start of the UTF-8 text that fits 32 UTF-16 units, ending before a
// NUL or a malformed sequence.
std::string TlvCutToStr64(const std::string& text);
