// Chains of outline points (one per row, top to bottom) and their reduction to the convex
// boundary on one side: the hull walk keeps only the points no straight edge can cut off.
#pragma once

#include "Blank/Buffer.h"

#include <cstdint>

namespace Ovk {
struct tagPOINT {
    int32_t x;
    int32_t y;
};
} // namespace Ovk

using OutlineChain = CBuffer<Ovk::tagPOINT>;

// Side 0 keeps the leftmost boundary, side 1 the rightmost. Returns the new count; throws 8 when
// the new chain cannot be allocated.
int32_t TraceOutline(OutlineChain& chain, int side);
// The point between first and last (inclusive) that lies furthest from the line first-last on
// the given side; first when none beats it.
const Ovk::tagPOINT* GetContactPoint(const Ovk::tagPOINT* first, const Ovk::tagPOINT* last, int side);
// Writes the boundary points strictly between first and last to out, in chain order.
int32_t EnumContactPoint(Ovk::tagPOINT* out, const Ovk::tagPOINT* first, const Ovk::tagPOINT* last, int side);
// Drops every point with x < 0; returns the new count.
int32_t PackOutline(OutlineChain& chain);
// Stable insertion sort of src[start, start + length) by x, then y, into dst.
void SortPointByX(Ovk::tagPOINT* dst, const Ovk::tagPOINT* src, int32_t start, int32_t length);
// Replaces the chain by the medians of windows of `width` points, half a window apart, so that
// single-row spikes of the edge disappear. Throws 87 for a width below 3 or an empty chain.
int32_t MedianOutline(OutlineChain& chain, int32_t width);
