// Bit and transition counts over rows of 1-bit images; a byte table counts whole bytes.
#include "Blank/BitCount.h"

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
// Bits [bit, bit + 8) of a line as one byte, first bit highest; both bytes lie inside the line when the
// range does not start on a byte.
uint8_t EightBits(const uint8_t* p, int64_t bit) {
    const uint8_t* at = p + (bit >> 3);
    const int shift = static_cast<int>(bit & 7);
    return shift == 0 ? at[0] : static_cast<uint8_t>((at[0] << shift) | (at[1] >> (8 - shift)));
}

// One row's walk. A column whose pixel in the row above was clear holds no open run, so where eight
// clear pixels lie under eight clear pixels (`above`, when given) only the row's own state changes.
class EdgeRow {
public:
    EdgeRow(tagEDGENUMCOUNTINFO* columns, bool withFrame)
        : m_columns(columns), m_frame(withFrame), m_rowLeading(withFrame) {}

    EdgeCount walk(const uint8_t* p, const uint8_t* above, int64_t start, uint32_t n) {
        uint32_t x = 0;
        if (above != nullptr)
            for (; x + 8 <= n; x += 8) {
                if (EightBits(p, start + x) == 0 && EightBits(above, start + x) == 0) {
                    clearInRow();
                    continue;
                }
                for (uint32_t k = x; k < x + 8; ++k)
                    pixel(k, GetBit(p, static_cast<int32_t>(start + k)) != 0);
            }
        for (; x < n; ++x)
            pixel(x, GetBit(p, static_cast<int32_t>(start + x)) != 0);
        if (m_frame)
            m_result.frame = m_rowLead + m_rowRun;
        return m_result;
    }

private:
    void clearInRow() {
        if (m_rowLeading) {
            m_rowLeading = false;
        } else if (m_rowRun != 0) {
            ++m_result.horizontal;
            m_rowRun = 0;
        }
    }

    void pixel(uint32_t x, bool set) {
        tagEDGENUMCOUNTINFO& column = m_columns[x];
        if (set) {
            if (m_rowLeading)
                ++m_rowLead;
            else
                ++m_rowRun;
            if (m_frame && column.leading)
                ++column.leadingRun;
            else
                ++column.pendingRun;
            return;
        }
        clearInRow();
        if (m_frame && column.leading) {
            column.leading = 0;
        } else if (column.pendingRun != 0) {
            ++m_result.vertical;
            column.pendingRun = 0;
        }
    }

    tagEDGENUMCOUNTINFO* m_columns;
    bool m_frame;
    bool m_rowLeading;
    uint32_t m_rowLead = 0;
    uint32_t m_rowRun = 0;
    EdgeCount m_result;
};
} // namespace

EdgeCount GetEdgeNumRow(const uint8_t* p, const uint8_t* above, int64_t start, uint32_t n,
                        tagEDGENUMCOUNTINFO* columns, bool withFrame) {
    return EdgeRow(columns, withFrame).walk(p, above, start, n);
}

EdgeCount GetEdgeNumByteNoFrame(const uint8_t* p, int64_t start, uint32_t n, tagEDGENUMCOUNTINFO* columns) {
    return GetEdgeNumRow(p, nullptr, start, n, columns, false);
}

EdgeCount GetEdgeNumByteFrame(const uint8_t* p, int64_t start, uint32_t n, tagEDGENUMCOUNTINFO* columns) {
    return GetEdgeNumRow(p, nullptr, start, n, columns, true);
}
