// Shadow-edge filters: a line is part of a shadow when it is dark (below 100) and at least 41 darker than
// the line a few (5 at 150 dpi) lines away on the bright side.
#include "DetectSize/EdgeFlt.h"

#include "DetectSize/DetectSizeGeometry.h"

#include <algorithm>
#include <new>

namespace Ovk::DetectSize {

namespace {

constexpr int kMinContrast = 40;
constexpr int kDarkLimit = 100;

} // namespace

bool CEdge::init(std::int32_t width) {
    try {
        m_pos.assign(static_cast<std::size_t>(std::max(width, 0)), kInvalid);
        m_run.assign(static_cast<std::size_t>(std::max(width, 0)), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CEdge::normalize(std::int32_t xdpi, std::int32_t ydpi) {
    normalize_edge(m_pos, xdpi, ydpi);
}

bool CEdgeFlt::init(std::int32_t width, std::int32_t, std::int32_t ydpi) {
    const std::int32_t ys = (ydpi + getFltTrgDPI() - 1) / getFltTrgDPI();
    m_up = getFltTopTrgDPI() * ys;
    m_down = getFltBottomTrgDPI() * ys;
    return CEdge::init(width);
}

void CEdgeFlt::noizegate(std::int32_t xdpi, std::int32_t) {
    // Runs of 5 mm or less are specks, also at the right end.
    filtering_edge_data(m_pos, xdpi * 50 / 254, true);
    trim();
    const std::int32_t f = firstValid(m_pos), l = lastValid(m_pos);
    if (f < l)
        revise_median(m_pos.data() + f, l - f, std::max(2 * (xdpi * 10 / 254) + 1, 3));
}

void CEdgeFlt_ShadowEdge::setEndTrim(std::int32_t millimetres, std::int32_t ydpi) {
    m_endTrim = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{millimetres} * ydpi * 10 / 254, 0, 1 << 30));
}

void CEdgeFlt_ShadowEdge::trim() {
    const std::int32_t l = firstValid(m_pos), r = lastValid(m_pos);
    if (r < 0)
        return;
    trimEnd(l, 1, l + m_endTrim);
    trimEnd(r, -1, r - m_endTrim);
}

// Walks from an end inwards while the neighbour lies before the limit. Flat steps are kept pending; a step
// away from the paper drops the position and the flat steps before it; a step towards it ends the trim.
void CEdgeFlt_ShadowEdge::trimEnd(std::int32_t from, std::int32_t step, std::int32_t limit) {
    const std::int32_t n = static_cast<std::int32_t>(m_pos.size());
    std::int32_t pending = from;
    for (std::int32_t x = from; (x + step - limit) * step < 0; x += step) {
        const std::int32_t next = x + step;
        if (next < 0 || next >= n || m_pos[static_cast<std::size_t>(next)] < 0)
            return;
        const std::int32_t d = m_pos[static_cast<std::size_t>(next)] - m_pos[static_cast<std::size_t>(x)];
        if (d == 0)
            continue;
        if (d * trimSign() < 0)
            return;
        for (std::int32_t k = pending; k != next; k += step)
            m_pos[static_cast<std::size_t>(k)] = kInvalid;
        pending = next;
    }
}

// Rows are looked up once per line: finding a row in the ring costs a division.
void CEdgeFlt_TopShadowEdge::filter(const CImgLineBuffer& queue, std::int32_t line, std::int32_t width) {
    const std::uint8_t* above = queue.row(line - m_up);
    const std::uint8_t* here = queue.row(line);
    const std::uint8_t* previous = queue.row(line - 1);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width); ++i) {
        if (m_pos[i] != kInvalid && m_run[i] == 0)
            continue;
        const int avg = (here[i] + previous[i]) / 2;
        if (above[i] - avg > kMinContrast && avg < kDarkLimit) {
            m_pos[i] = line + 1;
            ++m_run[i];
        } else {
            m_run[i] = 0;
        }
    }
}

void CEdgeFlt_BtmShadowEdge::filter(const CImgLineBuffer& queue, std::int32_t line, std::int32_t width) {
    const std::uint8_t* below = queue.row(line + m_down);
    const std::uint8_t* here = queue.row(line);
    const std::uint8_t* next = queue.row(line + 1);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width); ++i) {
        const int avg = (here[i] + next[i]) / 2;
        if (below[i] - avg > kMinContrast && avg < kDarkLimit) {
            m_pos[i] = line - m_run[i] - 1;
            ++m_run[i];
        } else {
            m_run[i] = 0;
        }
    }
}

} // namespace Ovk::DetectSize
