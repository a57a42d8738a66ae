// Bit and transition counts over rows of 1-bit images; a byte table counts whole bytes.
#include "BitCount.h"

#include "OvkBits.h"

#include <bit>

namespace {
constexpr std::array<uint8_t, 256> makeBitCnt() {
    std::array<uint8_t, 256> table{};
    for (unsigned v = 0; v < 256; ++v)
        table[v] = static_cast<uint8_t>(std::popcount(v));
    return table;
}
} // namespace

const std::array<uint8_t, 256> bBitCnt = makeBitCnt();

uint32_t GetBitNumByte(const uint8_t* p, uint32_t n) {
    uint32_t count = 0;
    for (uint32_t i = 0; i < n; ++i)
        count += bBitCnt[p[i]];
    return count;
}

uint32_t GetBitNumBit(const uint8_t* p, int64_t start, uint32_t n) {
    if (start % 8 == 0 && n % 8 == 0)
        return GetBitNumByte(p + start / 8, n / 8);
    uint32_t count = 0;
    int64_t bit = start;
    const int64_t end = start + n;
    for (; bit < end && (bit & 7); ++bit)
        count += GetBit(p, static_cast<int32_t>(bit));
    for (; bit + 8 <= end; bit += 8)
        count += bBitCnt[p[bit >> 3]];
    for (; bit < end; ++bit)
        count += GetBit(p, static_cast<int32_t>(bit));
    return count;
}

uint32_t GetBitNumBit(const uint8_t* p, int32_t bit, uint32_t n, int64_t stride) {
    const uint8_t mask = static_cast<uint8_t>(0x80 >> (bit & 7));
    const uint8_t* q = p + bit / 8;
    uint32_t count = 0;
    for (uint32_t i = 0; i < n; ++i, q += stride)
        count += (*q & mask) != 0;
    return count;
}

uint32_t GetBitNumFrame(const uint8_t* p, int64_t start, uint32_t n, bool frameIsSet, uint32_t* frame) {
    const int frameBit = frameIsSet ? 1 : 0;
    uint32_t lead = 0;
    while (lead < n && GetBit(p, static_cast<int32_t>(start) + lead) == frameBit)
        ++lead;
    uint32_t trail = 0;
    while (lead + trail < n && GetBit(p, static_cast<int32_t>(start) + n - 1 - trail) == frameBit)
        ++trail;
    *frame = lead + trail;
    const uint32_t inner = n - lead - trail;
    return inner == 0 ? 0 : GetBitNumBit(p, start + lead, inner);
}

namespace {
// Shared walk of one row; withFrame makes the leading runs of row and columns frame.
EdgeCount edgeRow(const uint8_t* p, int64_t start, uint32_t n, tagEDGENUMCOUNTINFO* columns, bool withFrame) {
    EdgeCount result;
    bool rowLeading = withFrame;
    uint32_t rowLead = 0;
    uint32_t rowRun = 0;
    for (uint32_t x = 0; x < n; ++x) {
        tagEDGENUMCOUNTINFO& column = columns[x];
        if (GetBit(p, static_cast<int32_t>(start) + x)) {
            if (rowLeading)
                ++rowLead;
            else
                ++rowRun;
            if (withFrame && column.leading)
                ++column.leadingRun;
            else
                ++column.pendingRun;
            continue;
        }
        if (rowLeading) {
            rowLeading = false;
        } else if (rowRun != 0) {
            ++result.horizontal;
            rowRun = 0;
        }
        if (withFrame && column.leading) {
            column.leading = 0;
        } else if (column.pendingRun != 0) {
            ++result.vertical;
            column.pendingRun = 0;
        }
    }
    if (withFrame)
        result.frame = rowLead + rowRun;
    return result;
}
} // namespace

EdgeCount GetEdgeNumByteNoFrame(const uint8_t* p, int64_t start, uint32_t n, tagEDGENUMCOUNTINFO* columns) {
    return edgeRow(p, start, n, columns, false);
}

EdgeCount GetEdgeNumByteFrame(const uint8_t* p, int64_t start, uint32_t n, tagEDGENUMCOUNTINFO* columns) {
    return edgeRow(p, start, n, columns, true);
}
