// One axis of the scaler: for each destination pixel (or row) which source positions it takes and with
// which integer weights. Enlargement interpolates between two neighbours; reduction averages a box
// whose last, partial position gets a weight shaped so that shared positions blend smoothly.
#pragma once

#include <cstdint>

struct FG_Zoom2_Param {
    std::int32_t first;         // enlargement: q, the left/upper neighbour; reduction: first of the box
    std::int32_t firstWeight;   // weight of `first`
    std::int32_t lastFull;      // reduction: last position with the full weight; enlargement: 0
    std::int32_t nextWeight;    // enlargement: weight of q + 1; reduction: shaped weight of the partial
    std::int32_t partialWeight; // reduction: raw weight of the partial position (0: none); enlargement: 0
    std::int32_t divisor;       // sum of the weights used
    std::int32_t runOrLast;     // enlargement: length of the run of entries with this q (first of the run
                                // only); reduction: last source position of the box
};
static_assert(sizeof(FG_Zoom2_Param) == 28);

// Fills n entries for n destination and m source positions, n >= m >= 1.
void FG_ZoomEnlargeParams(FG_Zoom2_Param* table, std::int32_t n, std::int32_t m);

// Fills n entries for n < m; true when a divisor reached 65536, so that the pass must compute in double.
bool FG_ZoomReduceParams(FG_Zoom2_Param* table, std::int32_t n, std::int32_t m);

// The weight of a partial position of raw weight p (0..n-1) out of n: a smooth step through n / 2.
std::int32_t Shift_Coefficient(std::int32_t p, std::int32_t n);
