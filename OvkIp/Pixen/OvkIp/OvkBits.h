// Bit and byte helpers shared by the analysis layer. 1-bit lines are packed most significant bit first:
// pixel x is bit bBitMask[x & 7] of byte x / 8.
#pragma once

#include <array>
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

// byBitSwitch[i]: i with its eight bits in reverse order.
extern const std::array<uint8_t, 256> byBitSwitch;

// Copies lines runs of bytes bytes, dstStep / srcStep bytes apart.
void MemStepCopy(unsigned char* dst, const unsigned char* src, int32_t bytes, uint32_t lines, int32_t dstStep,
                 int32_t srcStep);
inline int GetBit(const unsigned char* p, int32_t i) {
    return (p[i >> 3] >> (7 - (i & 7))) & 1;
}
inline void PutBit(unsigned char* p, int32_t i, int on) {
    const auto bit = static_cast<unsigned char>(0x80u >> (i & 7));
    p[i >> 3] = static_cast<unsigned char>(on ? p[i >> 3] | bit : p[i >> 3] & ~bit);
}
// Sets (on) or clears exactly count bits from bit first.
void BitSet(unsigned char* p, int32_t first, int on, int32_t count);
// Copies lines runs of bits bits from bit srcBit of each source line to bit dstBit of each destination line.
void BitStepCopy(unsigned char* dst, int32_t dstBit, const unsigned char* src, int32_t srcBit, int32_t bits,
                 int32_t lines, int32_t dstStep, int32_t srcStep);
// Packs the first width samples of src into (width + 7) / 8 bytes of dst: a set bit for a sample below slice.
void PackBelow(const unsigned char* src, unsigned char* dst, int32_t width, int32_t slice);
// Reverses the bit order inside each of n bytes.
void MemBitSwitch(unsigned char* p, size_t n);
// Reverses the order of n bytes / of each run of step bytes among n.
void MemSwitch(unsigned char* p, size_t n);
void MemStepSwitch(unsigned char* p, size_t n, size_t step);
// Mirrors every 1-bit line of step bytes among n; nothing when any argument is 0.
void MemBitStepSwitch(unsigned char* p, size_t n, size_t step);
// Moves the content of each of lines lines (step bytes each) toward its start by bytes bytes / bits bits;
// the vacated end of the line becomes zero.
void MemStepShift(unsigned char* p, int32_t bytes, int32_t step, int32_t lines);
void MemBitStepShift(unsigned char* p, int32_t bits, int32_t step, int32_t lines);
// Copies n bytes / n colour pixels so that the first lands at dstEnd (the last byte / last pixel of the
// destination) and the rest go backward from there.
void MemReverseCopy(unsigned char* dstEnd, const unsigned char* src, size_t n);
void RGBReverseCopy(unsigned char* dstEnd, const unsigned char* src, size_t n);
// Copies n colour pixels, the destination advancing dstStep bytes a pixel.
void RGBStepCopy(unsigned char* dst, const unsigned char* src, ptrdiff_t dstStep, size_t n);
