// Row helpers for 1-bit images (most significant bit first): mirroring a row, copying a run of bits to any
// bit position and setting a run of bits, all a byte at a time.
#pragma once

#include <cstdint>

namespace Ovk::Pixen {

// out receives in mirrored over width pixels; both rows are bytes long, (width + 7) / 8 <= bytes.
void mirrorBitRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::int32_t bytes) noexcept;
// ORs the first count bits of src into dst from bit position first on; bits of dst there must be clear.
void orBits(std::uint8_t* dst, std::int32_t first, const std::uint8_t* src, std::int32_t count) noexcept;
// Sets count bits of dst from bit position first on.
void setBits(std::uint8_t* dst, std::int32_t first, std::int32_t count) noexcept;
// Transposes an 8 x 8 bit block: row i of in is byte i; byte j of out holds column j, row 0 in the top bit.
void transposeBits8(const std::uint8_t (&in)[8], std::uint8_t (&out)[8]) noexcept;

} // namespace Ovk::Pixen
