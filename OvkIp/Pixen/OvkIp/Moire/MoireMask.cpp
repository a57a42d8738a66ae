// Mask table and the two filter passes.
#include "Moire/MoireMask.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {
struct MaskRow {
    int32_t input;
    int32_t output;
    int32_t scale;
    std::vector<int16_t> coefficients;
};

// Unit gain: each row's coefficient sum times its scale lies from 2^14 up to (but not reaching)
// 2^14 x 256/255, so that a uniform level v keeps v through both truncating passes for every v up to 255.
// (Rounded the other way, 125 x 131 and 127 x 129 fall short of 2^14 and turn white 255 into 253.)
const std::array<MaskRow, 9> g_tbl = {{
    {600, 100, 128, {8, 11, 15, 19, 22, 19, 15, 11, 8}},
    {600, 150, 128, {8, 17, 25, 28, 25, 17, 8}},
    {600, 200, 128, {15, 30, 38, 30, 15}},
    {600, 240, 128, {15, 30, 38, 30, 15}},
    {600, 300, 128, {32, 64, 32}},
    {300, 100, 64, {-4, 15, 35, 53, 59, 53, 35, 15, -4}},
    {300, 150, 64, {-15, 22, 73, 96, 73, 22, -15}},
    {300, 200, 64, {31, 61, 73, 61, 31}},
    {300, 240, 64, {31, 61, 73, 61, 31}},
}};
// Sums of at most 255 taps of |coefficient| <= 32767 over bytes stay below 255 * 32767 * 255 < 2^31,
// so 32-bit sums are exact and let the compiler vectorise the passes.
static_assert(int64_t{255} * 32767 * 255 <= INT32_MAX);
} // namespace

MoireMask MoireMask::forResolutions(int32_t output, int32_t input) {
    for (const MaskRow& row : g_tbl)
        if (row.input == input && row.output == output)
            return {row.coefficients, row.scale};
    return {};
}

MoireMask MoireMask::identity() {
    return {{1}, 1 << 14};
}

bool MoireMask::narrowFinish() const {
    int64_t reach = 0;
    for (int16_t c : coefficients)
        reach += std::abs(int32_t{c});
    return reach * 255 * std::abs(int64_t{scale}) <= INT32_MAX;
}

// Every byte of the line is summed tap by tap (a straight multiply-add the compiler vectorises), then
// only the kept pixels are finished.
int32_t MaskLine(const MoireMask& mask, const uint8_t* line, int32_t width, int32_t samples,
                 const std::vector<uint16_t>* keep, uint8_t* out, MaskScratch& scratch) {
    const int32_t half = mask.half();
    const size_t pixel = static_cast<size_t>(samples);
    const size_t bytes = static_cast<size_t>(width) * pixel;
    std::vector<uint8_t>& work = scratch.padded;
    work.resize((static_cast<size_t>(width) + 2 * half) * pixel);
    for (int32_t i = 0; i < half; ++i) {
        std::memcpy(&work[i * pixel], line, pixel);
        std::memcpy(&work[(half + width + i) * pixel], line + (width - 1) * pixel, pixel);
    }
    std::memcpy(&work[half * pixel], line, bytes);
    scratch.sums.assign(bytes, 0);
    int32_t* sums = scratch.sums.data();
    for (int32_t t = 0; t < mask.taps(); ++t) {
        const uint8_t* from = &work[t * pixel];
        const int32_t coefficient = mask.coefficients[t];
        for (size_t j = 0; j < bytes; ++j)
            sums[j] += int32_t{from[j]} * coefficient;
    }
    const bool narrow = mask.narrowFinish();
    int32_t written = 0;
    for (int32_t i = 0; i < width; ++i) {
        if (keep && (*keep)[i] == 0)
            continue;
        const int32_t* sum = sums + i * pixel;
        uint8_t* to = out + written * pixel;
        for (size_t s = 0; s < pixel; ++s)
            to[s] = narrow ? mask.finishNarrow(sum[s]) : mask.finish(sum[s]);
        ++written;
    }
    return written;
}

MoireWindow::MoireWindow(MoireMask mask, int32_t lineBytes)
    : m_mask(std::move(mask)), m_lineBytes(lineBytes),
      m_ring(static_cast<size_t>(m_mask.taps()) * static_cast<size_t>(lineBytes)),
      m_sums(static_cast<size_t>(lineBytes)), m_narrow(m_mask.narrowFinish()) {}

bool MoireWindow::push(const uint8_t* line) {
    std::memcpy(&m_ring[(m_pushed % m_mask.taps()) * m_lineBytes], line, m_lineBytes);
    ++m_pushed;
    return ready() >= 0;
}

// Line i needs lines i - half .. i - half + taps - 1, and the ring holds the last taps lines.
int64_t MoireWindow::ready() const {
    return m_pushed - m_mask.taps() + m_mask.half();
}

const uint8_t* MoireWindow::line(int64_t index) const {
    // The ring holds the last taps lines; beyond the page's edges its first or last line repeats.
    index = std::clamp<int64_t>(index, 0, m_pushed - 1);
    return &m_ring[(index % m_mask.taps()) * m_lineBytes];
}

// Row by row into 32-bit sums: each row's pass is a straight multiply-add over the line.
void MoireWindow::produce(int64_t index, uint8_t* out) {
    const int32_t half = m_mask.half();
    int32_t* sums = m_sums.data();
    std::fill(m_sums.begin(), m_sums.end(), 0);
    for (int32_t t = 0; t < m_mask.taps(); ++t) {
        const uint8_t* row = line(index - half + t);
        const int32_t coefficient = m_mask.coefficients[t];
        for (int32_t b = 0; b < m_lineBytes; ++b)
            sums[b] += int32_t{row[b]} * coefficient;
    }
    if (m_narrow) {
        for (int32_t b = 0; b < m_lineBytes; ++b)
            out[b] = m_mask.finishNarrow(sums[b]);
    } else {
        for (int32_t b = 0; b < m_lineBytes; ++b)
            out[b] = m_mask.finish(sums[b]);
    }
}
