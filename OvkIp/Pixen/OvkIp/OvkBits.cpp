// Byte-level forms of the bit helpers: whole bytes (or words) first, then the partial last byte under
// a leading-bits mask, so that no helper touches a bit beyond the count it was given.
#include "OvkBits.h"

#include "OvkError.h"

#include <cstring>

const uint8_t bBitMask[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
const uint8_t bBitMaskF[9] = {0x00, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};

uint64_t RoundDiv(uint64_t a, uint64_t b) {
    OnAssertThrow(b != 0, kIpBadParameter);
    return (a + b / 2) / b;
}

void memneg32(uint32_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        p[i] = ~p[i];
    }
}

void memneg(unsigned char* p, size_t n) {
    // Byte loop: compilers vectorise it, and it has no alignment or aliasing preconditions.
    for (size_t i = 0; i < n; ++i) {
        p[i] = static_cast<unsigned char>(~p[i]);
    }
}

void CopyMemBit(unsigned char* dst, const unsigned char* src, int32_t bits) {
    if (bits <= 0) {
        return;
    }
    const size_t whole = static_cast<size_t>(bits / 8);
    std::memcpy(dst, src, whole);
    const int rest = bits % 8;
    if (rest != 0) {
        const uint8_t mask = bBitMaskF[rest];
        dst[whole] = static_cast<unsigned char>((dst[whole] & ~mask) | (src[whole] & mask));
    }
}

int CompareBits(const unsigned char* a, const unsigned char* b, int32_t bits) {
    if (bits <= 0) {
        return 0;
    }
    const size_t whole = static_cast<size_t>(bits / 8);
    const int bytes = std::memcmp(a, b, whole);
    const int rest = bits % 8;
    if (bytes != 0 || rest == 0) {
        return bytes;
    }
    const uint8_t mask = bBitMaskF[rest];
    return (a[whole] & mask) - (b[whole] & mask);
}

void MemStepSet(unsigned char* p, int value, int32_t step, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        p[static_cast<ptrdiff_t>(i) * step] = static_cast<unsigned char>(value);
    }
}
