// Bit and byte helpers shared by the analysis layer. 1-bit lines are packed most significant bit first:
// pixel x is bit bBitMask[x & 7] of byte x / 8.
#pragma once

#include <cstddef>
#include <cstdint>

// bBitMask[k]: the bit of pixel k of a byte; bBitMaskF[n]: the n leading bits of a byte (n = 0..8).
extern const uint8_t bBitMask[8];
extern const uint8_t bBitMaskF[9];

// (a + b / 2) / b; b must not be 0 (throws 87).
uint64_t RoundDiv(uint64_t a, uint64_t b);

// Inverts n 32-bit words / n bytes in place.
void memneg32(uint32_t* p, size_t n);
void memneg(unsigned char* p, size_t n);

// Copies the leading bits bits of src to dst, keeping the bits of dst's last byte beyond them.
void CopyMemBit(unsigned char* dst, const unsigned char* src, int32_t bits);
// 0 when the leading bits bits are equal; otherwise non-zero with the sign of the first difference.
int CompareBits(const unsigned char* a, const unsigned char* b, int32_t bits);
// Writes value into count bytes, step bytes apart.
void MemStepSet(unsigned char* p, int value, int32_t step, uint32_t count);

// Bytes of a line of bits bits, padded to 32 bits as every line this layer makes.
inline int32_t PaddedLineBytes(int64_t bits) {
    return static_cast<int32_t>(((bits + 31) / 32) * 4);
}
