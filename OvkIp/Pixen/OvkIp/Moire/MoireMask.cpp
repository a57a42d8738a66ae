// Mask table and the two filter passes.
#include "MoireMask.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {
struct MaskRow {
    int32_t input;
    int32_t output;
    int32_t scale;
    std::vector<int16_t> coefficients;
};

// Each row's coefficient sum times its scale is close to 2^14: unit gain.
const std::array<MaskRow, 9> g_tbl = {{
    {600, 100, 131, {8, 11, 15, 18, 21, 18, 15, 11, 8}},
    {600, 150, 128, {8, 17, 25, 28, 25, 17, 8}},
    {600, 200, 129, {15, 30, 37, 30, 15}},
    {600, 240, 129, {15, 30, 37, 30, 15}},
    {600, 300, 128, {32, 64, 32}},
    {300, 100, 64, {-4, 15, 35, 53, 59, 53, 35, 15, -4}},
    {300, 150, 64, {-15, 22, 73, 96, 73, 22, -15}},
    {300, 200, 64, {31, 61, 73, 61, 31}},
    {300, 240, 64, {31, 61, 73, 61, 31}},
}};
} // namespace

uint8_t MoireMask::finish(int64_t weightedSum) const {
    return static_cast<uint8_t>(std::clamp<int64_t>(weightedSum * scale / (1 << 14), 0, 255));
}

MoireMask MoireMask::forResolutions(int32_t output, int32_t input) {
    for (const MaskRow& row : g_tbl)
        if (row.input == input && row.output == output)
            return {row.coefficients, row.scale};
    return {};
}

MoireMask MoireMask::identity() {
    return {{1}, 1 << 14};
}

int32_t MaskLine(const MoireMask& mask, const uint8_t* line, int32_t width, int32_t samples,
                 const std::vector<uint16_t>* keep, uint8_t* out, std::vector<uint8_t>& work) {
    const int32_t half = mask.half();
    const size_t pixel = static_cast<size_t>(samples);
    work.resize((static_cast<size_t>(width) + 2 * half) * pixel);
    for (int32_t i = 0; i < half; ++i) {
        std::memcpy(&work[i * pixel], line, pixel);
        std::memcpy(&work[(half + width + i) * pixel], line + (width - 1) * pixel, pixel);
    }
    std::memcpy(&work[half * pixel], line, width * pixel);
    const int16_t* coefficients = mask.coefficients.data();
    int32_t written = 0;
    for (int32_t i = 0; i < width; ++i) {
        if (keep && (*keep)[i] == 0)
            continue;
        const uint8_t* first = &work[i * pixel];
        for (size_t s = 0; s < pixel; ++s) {
            int64_t sum = 0;
            for (int32_t t = 0; t < mask.taps(); ++t)
                sum += int64_t{first[t * pixel + s]} * coefficients[t];
            out[written * pixel + s] = mask.finish(sum);
        }
        ++written;
    }
    return written;
}

MoireWindow::MoireWindow(MoireMask mask, int32_t lineBytes)
    : m_mask(std::move(mask)), m_lineBytes(lineBytes),
      m_ring(static_cast<size_t>(m_mask.taps()) * static_cast<size_t>(lineBytes)) {}

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

void MoireWindow::produce(int64_t index, uint8_t* out) const {
    const int32_t half = m_mask.half();
    std::vector<const uint8_t*> rows(m_mask.taps());
    for (int32_t t = 0; t < m_mask.taps(); ++t)
        rows[t] = line(index - half + t);
    const int16_t* coefficients = m_mask.coefficients.data();
    for (int32_t b = 0; b < m_lineBytes; ++b) {
        int64_t sum = 0;
        for (int32_t t = 0; t < m_mask.taps(); ++t)
            sum += int64_t{rows[t][b]} * coefficients[t];
        out[b] = m_mask.finish(sum);
    }
}
