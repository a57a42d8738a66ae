// Row-level counting of set bits and of black/white transitions in 1-bit images (most
// significant bit first), the measures behind blank-page detection.
#pragma once

#include <array>
#include <cstdint>

extern const std::array<uint8_t, 256> bBitCnt;

// Set bits of n whole bytes.
uint32_t GetBitNumByte(const uint8_t* p, uint32_t n);
// Set bits of the n bits from bit `start`.
uint32_t GetBitNumBit(const uint8_t* p, int64_t start, uint32_t n);
// Set bits of one bit position in n bytes spaced by stride: one column of an image.
uint32_t GetBitNumBit(const uint8_t* p, int32_t bit, uint32_t n, int64_t stride);

// Set bits of a row outside its frame: the run of frame-coloured bits (set when frameIsSet) from
// the row's start and the run reaching its end. frame receives the frame's length.
uint32_t GetBitNumFrame(const uint8_t* p, int64_t start, uint32_t n, bool frameIsSet, uint32_t* frame);

// Per-column state of the edge measure.
struct tagEDGENUMCOUNTINFO {
    uint8_t leading = 1;
    uint32_t leadingRun = 0;
    uint32_t pendingRun = 0;
};

struct EdgeCount {
    uint32_t horizontal = 0;
    uint32_t vertical = 0;
    uint32_t frame = 0; // bits of the row's leading and trailing set runs
};

// One row of the edge measure: a clear bit after a set run is one edge along the row and, for
// its column, one edge down the page. Runs reaching an end are never counted.
EdgeCount GetEdgeNumByteNoFrame(const uint8_t* p, int64_t start, uint32_t n, tagEDGENUMCOUNTINFO* columns);
// The same with the set runs that touch the page's left and top edges taken as frame.
EdgeCount GetEdgeNumByteFrame(const uint8_t* p, int64_t start, uint32_t n, tagEDGENUMCOUNTINFO* columns);
// Either of the two (withFrame); given the row above (the one walked before), stretches clear in both rows
// are passed over eight pixels at a time with the same result.
EdgeCount GetEdgeNumRow(const uint8_t* p, const uint8_t* above, int64_t start, uint32_t n,
                        tagEDGENUMCOUNTINFO* columns, bool withFrame);
