// The back image is the page seen from behind: column x of the back is column w - 1 - x of the front, and
// the back sensor sees a page line `offset` lines later than the front sensor.
#include "DetectSize/EdgeFltRunner.h"

#include <algorithm>

namespace Ovk::DetectSize {

bool CEdgeFltRunner::init(std::int32_t width, std::int32_t xdpi, std::int32_t ydpi, std::int32_t offset,
                          std::int32_t endTrimMm) {
    m_width = width;
    m_offset = offset;
    m_fixed = false;
    m_top.setEndTrim(endTrimMm, ydpi);
    m_bottom.setEndTrim(endTrimMm, ydpi);
    bool ok = m_top.init(width, xdpi, ydpi) && m_bottom.init(width, xdpi, ydpi);
    ok = ok && m_frontLead.init(width) && m_backTrail.init(width);
    m_needed = std::max(m_top.windowUp(), m_bottom.windowUp()) +
               std::max(m_top.windowDown(), m_bottom.windowDown()) + 1;
    return ok && m_front.init(width, m_needed) && m_back.init(width, m_needed);
}

void CEdgeFltRunner::runLine(const std::uint8_t* front, const std::uint8_t* back, std::int32_t stride) {
    m_front.push(front, stride);
    m_back.push(back, stride);
    if (m_front.getQueLine() < m_needed)
        return;
    const std::int32_t total = m_front.seen();
    const std::int32_t trailingLine = total - m_bottom.windowDown() - 1;
    const std::int32_t leadingLine = total - 1;
    m_bottom.filter(m_front, trailingLine, m_width);
    m_top.filter(m_back, leadingLine, m_width);
    m_front.pop();
    m_back.pop();
}

void CEdgeFltRunner::fixEdge(std::int32_t xdpi, std::int32_t ydpi) {
    m_bottom.noizegate(xdpi, ydpi);
    m_top.noizegate(xdpi, ydpi);
    const EdgeVector& lead = m_top.pos();
    const EdgeVector& trail = m_bottom.pos();
    EdgeVector& frontLead = m_frontLead.pos();
    EdgeVector& backTrail = m_backTrail.pos();
    const std::size_t w = frontLead.size();
    for (std::size_t x = 0; x < w; ++x) {
        if (lead[x] >= 0)
            frontLead[w - 1 - x] = lead[x] - m_offset;
        if (trail[x] >= 0)
            backTrail[w - 1 - x] = trail[x] + m_offset;
    }
    m_bottom.normalize(xdpi, ydpi);
    m_frontLead.normalize(xdpi, ydpi);
    m_top.normalize(xdpi, ydpi);
    m_backTrail.normalize(xdpi, ydpi);
    m_fixed = true;
}

} // namespace Ovk::DetectSize
