// The window is a ring of the last D lines (one sample plane each), so a comparison never depends on where
// one band ended and the next began.
#include "DetectSize/CalcEdge.h"

#include "DetectSize/DetectSizeStatus.h"

#include <algorithm>
#include <new>

namespace Ovk::DetectSize {

std::int32_t CCalcEdge::initialize(std::int32_t width, std::int32_t ydpi, const std::uint8_t thresholds[2],
                                   std::int32_t distance) {
    m_t1 = thresholds[0];
    m_t2 = thresholds[1];
    m_distance = distance;
    m_count = 0;
    m_lines = 0;
    m_width = width;
    m_runLimit = std::max(ydpi * 250 / 25400, 1);
    if (width < 1 || distance < 1)
        return kStatusBadArgument;
    try {
        m_store.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(distance), 0);
        m_run.assign(static_cast<std::size_t>(width), 0);
    } catch (const std::bad_alloc&) {
        return kStatusNoMemory;
    }
    return kStatusOk;
}

void CCalcEdge::search(const std::uint8_t* samples, std::int32_t stride, EdgeSet& edges) {
    const std::size_t w = static_cast<std::size_t>(m_width);
    std::uint8_t* slot = m_store.data() + static_cast<std::size_t>(m_lines % m_distance) * w;
    for (std::size_t x = 0; x < w; ++x)
        slot[x] = samples[x * static_cast<std::size_t>(stride)];
    ++m_lines;
    if (m_lines < m_distance)
        return;
    // The oldest line of the window sits in the slot the next line will take.
    const std::uint8_t* oldest = m_store.data() + static_cast<std::size_t>(m_lines % m_distance) * w;
    compare(oldest, slot, edges);
    ++m_count;
}

void CCalcEdge::compare(const std::uint8_t* oldest, const std::uint8_t* newest, EdgeSet& edges) {
    const std::int32_t since = std::max(m_count - m_runLimit, 0);
    for (std::int32_t x = 0; x < m_width; ++x) {
        const int d = int{oldest[x]} - int{newest[x]};
        const int magnitude = d < 0 ? -d : d;
        std::uint8_t& run = m_run[static_cast<std::size_t>(x)];
        if (magnitude > m_t1) {
            ++run;
            if (run > m_runLimit) {
                run = 0;
                // One counter serves both directions: brightening (d < 0) feeds E0, darkening E1.
                std::int32_t& start = edges.e[d < 0 ? 0 : 1][static_cast<std::size_t>(x)];
                if (start == kInvalid)
                    start = since;
            }
        } else {
            run = 0;
        }
        if (magnitude > m_t2 && newest[x] < 255)
            edges.e[3][static_cast<std::size_t>(x)] = m_count;
    }
}

} // namespace Ovk::DetectSize
