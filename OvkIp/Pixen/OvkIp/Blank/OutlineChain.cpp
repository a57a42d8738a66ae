// Hull walk and median smoothing of outline chains.
#include "Blank/OutlineChain.h"

#include <vector>

using Ovk::tagPOINT;

const tagPOINT* GetContactPoint(const tagPOINT* first, const tagPOINT* last, int side) {
    if (first == last || first->y == last->y)
        return first;
    const int64_t dx = last->x - first->x;
    const int64_t dy = last->y - first->y;
    const int64_t h = dy / 2;
    const auto offset = [&](const tagPOINT& p) { return p.x - (dx * p.y + h) / dy; };
    const tagPOINT* best = first;
    int64_t bestOffset = offset(*first);
    for (const tagPOINT* p = first + 1; p <= last; ++p) {
        const int64_t o = offset(*p);
        if (side == 0 ? o < bestOffset : o > bestOffset) {
            best = p;
            bestOffset = o;
        }
    }
    return best;
}

int32_t EnumContactPoint(tagPOINT* out, const tagPOINT* first, const tagPOINT* last, int side) {
    if (first == last)
        return 0;
    const tagPOINT* contact = GetContactPoint(first, last, side);
    if (contact == first || contact == last)
        return 0;
    int32_t n = EnumContactPoint(out, first, contact, side);
    out[n++] = *contact;
    return n + EnumContactPoint(out + n, contact, last, side);
}

int32_t TraceOutline(OutlineChain& chain, int side) {
    const int32_t count = chain.GetSize();
    if (count < 3)
        return count;
    OutlineChain traced(count);
    if (traced.GetSize() == 0)
        throw 8;
    const tagPOINT* first = chain.data();
    const tagPOINT* last = first + count - 1;
    traced[0] = *first;
    int32_t n = 1 + EnumContactPoint(traced.data() + 1, first, last, side);
    traced[n++] = *last;
    for (int32_t i = 0; i < n; ++i)
        chain[i] = traced[i];
    chain.Resize(n);
    return n;
}

int32_t PackOutline(OutlineChain& chain) {
    int32_t n = 0;
    for (int32_t i = 0; i < chain.GetSize(); ++i)
        if (chain[i].x >= 0)
            chain[n++] = chain[i];
    chain.Resize(n);
    return n;
}

void SortPointByX(tagPOINT* dst, const tagPOINT* src, int32_t start, int32_t length) {
    for (int32_t i = 0; i < length; ++i) {
        const tagPOINT p = src[start + i];
        int32_t j = i;
        for (; j > 0 && (dst[j - 1].x > p.x || (dst[j - 1].x == p.x && dst[j - 1].y > p.y)); --j)
            dst[j] = dst[j - 1];
        dst[j] = p;
    }
}

int32_t MedianOutline(OutlineChain& chain, int32_t width) {
    const int32_t count = chain.GetSize();
    if (count == 0 || width < 3)
        throw 87;
    if (count < width)
        return count;
    const int32_t steps = 2 * (count - width) / width;
    if (steps < 2)
        return count;
    std::vector<tagPOINT> window(width);
    std::vector<tagPOINT> medians;
    medians.reserve(steps + 1);
    for (int32_t k = 0; k <= steps; ++k) {
        const int32_t start = static_cast<int32_t>(int64_t{count - width} * k / steps);
        SortPointByX(window.data(), chain.data(), start, width);
        const tagPOINT middle = window[width / 2];
        if (medians.empty() || middle.y > medians.back().y)
            medians.push_back(middle);
    }
    const auto n = static_cast<int32_t>(medians.size());
    for (int32_t i = 0; i < n; ++i)
        chain[i] = medians[i];
    chain.Resize(n);
    return n;
}
