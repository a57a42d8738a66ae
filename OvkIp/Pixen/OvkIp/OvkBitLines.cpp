// Line-wise bit helpers for 1-bit images: copies, mirrors and shifts of packed lines. Whole bytes go
// through memcpy/memset or a byte table; only the ragged ends are handled bit by bit.
#include "OvkBits.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr std::array<uint8_t, 256> MakeBitSwitch() {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        int reversed = 0;
        for (int bit = 0; bit < 8; ++bit) {
            reversed |= ((i >> bit) & 1) << (7 - bit);
        }
        table[i] = static_cast<uint8_t>(reversed);
    }
    return table;
}
} // namespace

const std::array<uint8_t, 256> byBitSwitch = MakeBitSwitch();

void MemStepCopy(unsigned char* dst, const unsigned char* src, int32_t bytes, uint32_t lines, int32_t dstStep,
                 int32_t srcStep) {
    if (bytes <= 0) {
        return;
    }
    if (dstStep == bytes && srcStep == bytes) {
        std::memcpy(dst, src, static_cast<size_t>(bytes) * lines);
        return;
    }
    for (uint32_t line = 0; line < lines; ++line) {
        std::memcpy(dst + static_cast<ptrdiff_t>(line) * dstStep,
                    src + static_cast<ptrdiff_t>(line) * srcStep, static_cast<size_t>(bytes));
    }
}

void BitSet(unsigned char* p, int32_t first, int on, int32_t count) {
    if (count <= 0) {
        return;
    }
    const int32_t last = first + count; // one past
    unsigned char* begin = p + first / 8;
    unsigned char* end = p + last / 8;
    const uint8_t head = static_cast<uint8_t>(~bBitMaskF[first % 8]);
    const uint8_t tail = bBitMaskF[last % 8];
    auto apply = [on](unsigned char& byte, uint8_t mask) {
        byte = static_cast<unsigned char>(on ? byte | mask : byte & ~mask);
    };
    if (begin == end) {
        apply(*begin, static_cast<uint8_t>(head & tail));
        return;
    }
    apply(*begin, head);
    std::memset(begin + 1, on ? 0xFF : 0x00, static_cast<size_t>(end - begin - 1));
    if (tail != 0) {
        apply(*end, tail);
    }
}

void BitStepCopy(unsigned char* dst, int32_t dstBit, const unsigned char* src, int32_t srcBit, int32_t bits,
                 int32_t lines, int32_t dstStep, int32_t srcStep) {
    if (bits <= 0 || lines <= 0) {
        return;
    }
    if (dstBit % 8 == 0 && srcBit % 8 == 0 && bits % 8 == 0) {
        MemStepCopy(dst + dstBit / 8, src + srcBit / 8, bits / 8, static_cast<uint32_t>(lines), dstStep,
                    srcStep);
        return;
    }
    for (int32_t line = 0; line < lines; ++line) {
        unsigned char* d = dst + static_cast<ptrdiff_t>(line) * dstStep;
        const unsigned char* s = src + static_cast<ptrdiff_t>(line) * srcStep;
        BitSet(d, dstBit, 0, bits);
        for (int32_t i = 0; i < bits; ++i) {
            if (GetBit(s, srcBit + i) != 0) {
                PutBit(d, dstBit + i, 1);
            }
        }
    }
}

void MemBitSwitch(unsigned char* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        p[i] = byBitSwitch[p[i]];
    }
}

void MemSwitch(unsigned char* p, size_t n) {
    std::reverse(p, p + n);
}

void MemStepSwitch(unsigned char* p, size_t n, size_t step) {
    if (step == 0) {
        return;
    }
    for (size_t start = 0; start + step <= n; start += step) {
        MemSwitch(p + start, step);
    }
}

void MemBitStepSwitch(unsigned char* p, size_t n, size_t step) {
    if (p == nullptr || n == 0 || step == 0) {
        return;
    }
    MemStepSwitch(p, n, step);
    MemBitSwitch(p, n);
}

void MemStepShift(unsigned char* p, int32_t bytes, int32_t step, int32_t lines) {
    if (bytes <= 0 || step <= 0) {
        return;
    }
    const int32_t moved = std::min(bytes, step);
    for (int32_t line = 0; line < lines; ++line) {
        unsigned char* l = p + static_cast<ptrdiff_t>(line) * step;
        std::memmove(l, l + moved, static_cast<size_t>(step - moved));
        std::memset(l + step - moved, 0, static_cast<size_t>(moved));
    }
}

void MemBitStepShift(unsigned char* p, int32_t bits, int32_t step, int32_t lines) {
    if (bits <= 0 || step <= 0) {
        return;
    }
    MemStepShift(p, bits / 8, step, lines);
    const int rest = bits % 8;
    if (rest == 0) {
        return;
    }
    for (int32_t line = 0; line < lines; ++line) {
        unsigned char* l = p + static_cast<ptrdiff_t>(line) * step;
        for (int32_t i = 0; i + 1 < step; ++i) {
            l[i] = static_cast<unsigned char>((l[i] << rest) | (l[i + 1] >> (8 - rest)));
        }
        l[step - 1] = static_cast<unsigned char>(l[step - 1] << rest);
    }
}

void MemReverseCopy(unsigned char* dstEnd, const unsigned char* src, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        *(dstEnd - i) = src[i];
    }
}

void RGBReverseCopy(unsigned char* dstEnd, const unsigned char* src, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        std::memcpy(dstEnd - 3 * i, src + 3 * i, 3);
    }
}

void RGBStepCopy(unsigned char* dst, const unsigned char* src, ptrdiff_t dstStep, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        std::memcpy(dst + static_cast<ptrdiff_t>(i) * dstStep, src + 3 * i, 3);
    }
}

void PackBelow(const unsigned char* src, unsigned char* dst, int32_t width, int32_t slice) {
    int32_t x = 0;
#if defined(__SSE2__)
    // Sixteen samples at once: v < slice is max(v, slice - 1) == slice - 1, and the compare mask comes
    // out least significant bit first, so each byte is turned round.
    if (slice >= 1 && slice <= 255) {
        const __m128i top = _mm_set1_epi8(static_cast<char>(slice - 1));
        for (; x + 16 <= width; x += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
            const auto mask =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, top), top)));
            dst[x >> 3] = byBitSwitch[mask & 0xFF];
            dst[(x >> 3) + 1] = byBitSwitch[mask >> 8];
        }
    }
#endif
    for (; x < width; x += 8) {
        const int32_t n = std::min(8, width - x);
        unsigned bits = 0;
        for (int32_t i = 0; i < n; ++i)
            bits |= static_cast<unsigned>(src[x + i] < slice) << (7 - i);
        dst[x >> 3] = static_cast<unsigned char>(bits);
    }
}
