// Run-length view of a line of bits: the line becomes alternating set/clear runs, short runs are
// absorbed by their neighbours (specks and hairline gaps), and the longest stretch of clear bits
// that survives is the content of the line.
#pragma once

#include <array>
#include <cstdint>

// One entry: a run of set bits followed by a run of clear bits.
struct tagBWT {
    uint16_t set;
    uint16_t clear;
};

// Record of the area finders: size, result (x, y, width, height), two unused words, minimum width
// and height in micrometres (0 means 2000), binarisation level.
struct tagDETWAKUINFO {
    uint32_t ulSize;
    int32_t lX;
    int32_t lY;
    int32_t lWidth;
    int32_t lHeight;
    int32_t lReserved5;
    int32_t lReserved6;
    uint32_t ulMinWidth;
    uint32_t ulMinHeight;
    uint32_t ulLevel;
};
static_assert(sizeof(tagDETWAKUINFO) == 40);

// Row v: the number of 16-bit halves used (even, 2 to 10), then the runs of v from bit 7 down,
// starting with a set run and ending with a clear run (either may be 0).
struct BWLenRow {
    uint8_t halves;
    uint8_t runs[10];
};
extern const std::array<BWLenRow, 256> BWLenTable;

// Runs are 16-bit, so a line may hold at most this many bits (longer lines throw 87).
constexpr int32_t kMaxRunBits = 65535;

// Fills runs (capacity entries) from n bits; returns the entry count.
int32_t MakeBWLenData(tagBWT* runs, int32_t capacity, const uint8_t* bits, int32_t n);
// Drops empty entries and joins entries split by a zero-length run; returns the new count.
int32_t CheckBWLenData(tagBWT* runs, int32_t count);
// Absorbs clear runs, then set runs (but the first), shorter than max(mx, my); returns the count.
int32_t BWTDotErase(tagBWT* runs, int32_t count, int32_t mx, int32_t my);
void BWTDotEraseCore(tagBWT* runs, int32_t count, int32_t minimum, bool clearRuns);

// Content of n bits into words 1 (start) and 3 (length) of info, 0 and 0 when there is none.
// runs must hold n entries. Returns &info->lX.
int32_t* DetectWidthBin(tagBWT* runs, const uint8_t* bits, int32_t n, tagDETWAKUINFO* info, int32_t mx,
                        int32_t my);
// The same with a run table of its own; throws 8 when it cannot be allocated.
int32_t* DetectWidthBin(const uint8_t* bits, int32_t n, tagDETWAKUINFO* info, int32_t mx, int32_t my);

// Bit i of out is set when values[i] <= limit (Small) or values[i] >= limit (Large).
void MemLSmall2Bin(uint8_t* out, const int32_t* values, int32_t n, int32_t limit);
void MemLLarge2Bin(uint8_t* out, const int32_t* values, int32_t n, int32_t limit);
