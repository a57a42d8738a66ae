// 1-bit row helpers. Mirroring reverses the bytes and their bits through a table and then shifts the row
// left by the padding; the block transpose swaps bit pairs, then 2 x 2 and 4 x 4 blocks in one 64-bit word.
#include "BitRows.h"

#include <array>

namespace Ovk::Pixen {

namespace {

constexpr std::array<std::uint8_t, 256> makeBitSwitch() {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        int r = 0;
        for (int b = 0; b < 8; ++b)
            r |= ((i >> b) & 1) << (7 - b);
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(r);
    }
    return table;
}

constexpr std::array<std::uint8_t, 256> byBitSwitch = makeBitSwitch();

// Keeps the top `bits` bits of a byte (1..8).
constexpr std::uint8_t topMask(std::int32_t bits) noexcept {
    return static_cast<std::uint8_t>(0xFF00u >> bits);
}

} // namespace

void mirrorBitRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width,
                  std::int32_t bytes) noexcept {
    const std::int32_t used = (width + 7) / 8;
    const std::int32_t shift = 8 * used - width;
    for (std::int32_t k = 0; k < used; ++k) {
        const std::uint32_t here = byBitSwitch[in[used - 1 - k]];
        const std::uint32_t next = k + 1 < used ? byBitSwitch[in[used - 2 - k]] : 0u;
        out[k] = static_cast<std::uint8_t>((here << shift) | (next >> (8 - shift)));
    }
    for (std::int32_t k = used; k < bytes; ++k)
        out[k] = 0;
}

void orBits(std::uint8_t* dst, std::int32_t first, const std::uint8_t* src, std::int32_t count) noexcept {
    std::uint8_t* out = dst + first / 8;
    const std::int32_t shift = first % 8;
    for (std::int32_t k = 0; count > 0; ++k, count -= 8) {
        const std::uint8_t value = count >= 8 ? src[k] : static_cast<std::uint8_t>(src[k] & topMask(count));
        out[k] |= static_cast<std::uint8_t>(value >> shift);
        if (shift != 0 && count + shift > 8)
            out[k + 1] |= static_cast<std::uint8_t>(value << (8 - shift));
    }
}

void setBits(std::uint8_t* dst, std::int32_t first, std::int32_t count) noexcept {
    for (; count > 0 && first % 8 != 0; ++first, --count)
        dst[first / 8] |= static_cast<std::uint8_t>(0x80u >> (first % 8));
    for (; count >= 8; first += 8, count -= 8)
        dst[first / 8] = 0xFF;
    if (count > 0)
        dst[first / 8] |= topMask(count);
}

void transposeBits8(const std::uint8_t (&in)[8], std::uint8_t (&out)[8]) noexcept {
    std::uint64_t x = 0;
    for (const std::uint8_t row : in)
        x = (x << 8) | row;
    std::uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
    x ^= t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
    x ^= t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
    x ^= t ^ (t << 28);
    for (int j = 7; j >= 0; --j, x >>= 8)
        out[j] = static_cast<std::uint8_t>(x);
}

} // namespace Ovk::Pixen
