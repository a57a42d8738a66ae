// Sliding window of lines for the fringe cleaning.
#include "DetectColor/StoreLine.h"

#include <cstring>

void CStoreLine::option_init(int32_t halfWindow, uint8_t darkLevel, uint32_t fill) {
    m_half = halfWindow > 0 ? halfWindow : 2;
    m_dark = darkLevel ? darkLevel : 50;
    m_fill[0] = static_cast<uint8_t>(fill);
    m_fill[1] = static_cast<uint8_t>(fill >> 8);
    m_fill[2] = static_cast<uint8_t>(fill >> 16);
}

const uint8_t* CStoreLine::lineAt(int64_t age) const {
    const int64_t window = 2 * int64_t{m_half} + 1;
    const int64_t slot = (m_stored - window + age) % window;
    return &m_ring[static_cast<size_t>(slot) * m_width * 3];
}

bool CStoreLine::store(const uint8_t* line, int32_t width) {
    const int64_t window = 2 * int64_t{m_half} + 1;
    const size_t bytes = static_cast<size_t>(width) * 3;
    if (m_width < 0) {
        // The page's first line stands in for the k lines above the page.
        m_width = width;
        m_ring.assign(window * bytes, 0);
        m_work.resize(bytes);
        for (; m_stored < m_half; ++m_stored)
            std::memcpy(&m_ring[m_stored * bytes], line, bytes);
    }
    if (width != m_width)
        throw -4;
    std::memcpy(&m_ring[(m_stored % window) * bytes], line, bytes);
    ++m_stored;
    return m_stored >= window;
}

void CStoreLine::calc() {
    const uint8_t* oldest = lineAt(0);
    const uint8_t* newest = lineAt(2 * int64_t{m_half});
    std::memcpy(m_work.data(), lineAt(m_half), m_work.size());
    for (int32_t x = 0; x < m_width; ++x) {
        uint8_t* p = &m_work[static_cast<size_t>(x) * 3];
        if (IsColor(p) && (isDark(oldest + x * 3) || isDark(newest + x * 3)))
            std::memcpy(p, m_fill, 3);
    }
}
