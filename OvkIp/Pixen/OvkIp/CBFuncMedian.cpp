// Median thresholds by a running histogram: the window slides one column at a time, so a pixel costs
// nine removals, nine additions and a short walk of the median from its previous position, instead of a
// sort of 81 values. The result is exactly element 40 of the sorted window.
#include "CBFuncMedian.h"

#include <array>

namespace {

// Histogram of a sliding window that tracks its element of rank `rank` (0-based, ascending).
class RunningMedian {
public:
    explicit RunningMedian(int32_t rank) : m_rank(rank) {}

    void Add(unsigned value) {
        ++m_count[value];
        m_below += value < m_median ? 1 : 0;
    }
    // One value leaves the window and another enters; branch-free, as the two are unrelated.
    void Replace(unsigned out, unsigned in) {
        --m_count[out];
        ++m_count[in];
        m_below += static_cast<int32_t>(in < m_median) - static_cast<int32_t>(out < m_median);
    }
    // Smallest m whose values up to m number more than rank.
    unsigned Median() {
        while (m_below > m_rank) {
            --m_median;
            m_below -= m_count[m_median];
        }
        while (m_below + m_count[m_median] <= m_rank) {
            m_below += m_count[m_median];
            ++m_median;
        }
        return m_median;
    }

private:
    std::array<int32_t, 256> m_count{};
    unsigned m_median = 0;
    int32_t m_below = 0; // values below m_median
    int32_t m_rank;
};

} // namespace

CBFuncMedian::CBFuncMedian(int32_t storeBytes)
    : m_lineBytes(std::max(storeBytes, 0) / kStoredLines),
      m_store(static_cast<size_t>(m_lineBytes) * kStoredLines),
      m_threshold(static_cast<size_t>(m_lineBytes)) {}

void CBFuncMedian::Reserve(int32_t width) {
    if (width <= m_lineBytes) {
        return;
    }
    // A wider line than the run began with has no history of its own: start the run again.
    m_lineBytes = width;
    m_store.assign(static_cast<size_t>(width) * kStoredLines, 0);
    m_threshold.assign(static_cast<size_t>(width), 0);
    m_lineCount = 0;
}

void CBFuncMedian::MedianThresholds() {
    const unsigned char* rows[kWindow];
    for (int32_t k = 0; k < kStoredLines; ++k) {
        rows[k] = m_store.data() + static_cast<size_t>(k) * m_lineBytes;
    }
    rows[kStoredLines] = m_src;
    // Window columns [first, first + span): the centre is clamped so that the window stays on the line.
    const int32_t span = std::min(kWindow, m_width);
    RunningMedian window(span * kWindow / 2);
    for (int32_t c = 0; c < span; ++c) {
        for (const unsigned char* row : rows) {
            window.Add(row[c]);
        }
    }
    const int32_t firstCentre = kWindow / 2;
    const int32_t lastCentre = m_width - 1 - kWindow / 2;
    unsigned threshold = window.Median();
    for (int32_t x = 0; x < m_width; ++x) {
        if (x > firstCentre && x <= lastCentre) {
            for (const unsigned char* row : rows) {
                window.Replace(row[x - firstCentre - 1], row[x + kWindow / 2]);
            }
            threshold = window.Median();
        }
        m_threshold[static_cast<size_t>(x)] = static_cast<unsigned char>(threshold);
    }
}

void CBFuncMedian::Line() {
    Reserve(m_width);
    const unsigned char* src = m_src;
    if (m_lineCount < kStoredLines) {
        const int32_t slice = m_slice;
        PackLine([src, slice](int32_t x) { return src[x] < slice; });
    } else {
        MedianThresholds();
        const unsigned char* threshold = m_threshold.data();
        PackLine([src, threshold](int32_t x) { return src[x] < threshold[x]; });
    }
    const size_t slot = static_cast<size_t>(m_lineCount % kStoredLines);
    std::copy(src, src + m_width, m_store.begin() + static_cast<ptrdiff_t>(slot * m_lineBytes));
    NextLine();
}
