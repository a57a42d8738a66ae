// Single-side paper detector. The leading edge of a column is where both a brightening and a darkening run
// have started (paper against the backing and its shadow); the skew comes from the outline of those edges.
#include "DetectSize/DetectSize.h"

#include "DetectSize/DetectSizeStatus.h"
#include "DetectSize/SampleLayout.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace Ovk::DetectSize {

namespace {

// y on the line through p and q at column x; a vertical line gives vertical.y.
std::int64_t line_y(PointL p, PointL q, std::int64_t x, std::int32_t vertical) {
    if (q.x == p.x)
        return vertical;
    return p.y + (std::int64_t{q.y} - p.y) * (x - p.x) / (std::int64_t{q.x} - p.x);
}

} // namespace

std::int32_t CDetectSize::Initialize(const CImg::tagIMGSET& page, const tagOPTION& option) {
    m_initialized = false;
    if (option.size != static_cast<std::int32_t>(sizeof(tagOPTION)) || page.xdpi < 1 || page.ydpi < 1 ||
        page.xdpi > kMaxDpi || page.ydpi > kMaxDpi || page.width < 0 || option.cornerMargin > kMaxMargin)
        return kStatusBadArgument;
    m_fit = CornerFit{};
    if (page.width == 0)
        return kStatusNoMemory;
    try {
        for (EdgeVector& e : m_edges.e)
            e.assign(static_cast<std::size_t>(page.width), kInvalid);
    } catch (const std::bad_alloc&) {
        return kStatusNoMemory;
    }
    m_option = option;
    m_T = page.xdpi * 100 / 254;
    m_m = option.cornerMargin >= 0 ? option.cornerMargin : page.xdpi * 10 / 254;
    std::uint8_t thresholds[2] = {10, 50};
    if (option.edgeThreshold >= 0)
        thresholds[0] = static_cast<std::uint8_t>(option.edgeThreshold);
    if (option.trailThreshold >= 0)
        thresholds[1] = static_cast<std::uint8_t>(option.trailThreshold);
    const std::int32_t distance = option.distance > 0 ? option.distance : page.ydpi * 10 / 254;
    // Below 26 dpi one millimetre is no line at all; the window needs at least one.
    const std::int32_t status = m_search.initialize(page.width, page.ydpi, thresholds, distance);
    if (status != kStatusOk)
        return status;
    m_page = page;
    m_page.pImg = nullptr;
    m_page.sync = 0;
    m_work = m_page;
    m_initialized = true;
    return kStatusOk;
}

std::int32_t CDetectSize::piece(const CImg::tagIMGSET& band) {
    if (!m_initialized)
        return kStatusBadArgument;
    if (band.height <= 0)
        return kStatusOk;
    SampleLayout layout{};
    if (band.pImg == nullptr || band.width != m_page.width || !sample_layout(band, layout))
        return kStatusBadArgument;
    const std::uint8_t* p = band.pImg;
    for (std::int32_t y = 0; y < band.height; ++y, p += band.sync)
        m_search.search(p + layout.offset, layout.stride, m_edges);
    m_search.end();
    return kStatusOk;
}

std::int32_t CDetectSize::last(const CImg::tagIMGSET& band) {
    if (band.pImg == nullptr || band.height == 0)
        return kStatusOk;
    return piece(band);
}

std::int32_t CDetectSize::result(tagDETECTSIZEINFO& info, const tagOPTION& option) {
    if (!m_initialized)
        return kStatusBadArgument;
    take_result_options(m_option, option);
    align_resolution();
    prepare_edges();
    calc_slant();
    m_fit.rect = calc_rect(m_edges.e[2], m_edges.e[3]);
    calc_points(m_fit, m_edges.e[2], m_edges.e[3], m_m);
    make_result(info);
    return kStatusOk;
}

std::int32_t CDetectSize::result(const CImg::tagIMGSET& image, tagDETECTSIZEINFO& info,
                                 const tagOPTION& option) {
    if (info.size != static_cast<std::int32_t>(sizeof(tagDETECTSIZEINFO)))
        return kStatusBadArgument;
    std::int32_t status = Initialize(image, option);
    if (status >= 0)
        status = first(image);
    if (status >= 0)
        status = last(CImg::tagIMGSET{});
    if (status >= 0)
        status = result(info, option);
    return status;
}

void CDetectSize::align_resolution() {
    const std::int32_t x = m_page.xdpi, y = m_page.ydpi;
    if (x == y)
        return;
    std::int32_t width = m_work.width;
    for (EdgeVector& e : m_edges.e)
        width = normalize_edge(e, x, y);
    if (x < y) {
        m_work.ydpi = x;
        return;
    }
    m_work.width = width;
    m_work.xdpi = y;
    m_T = m_T * y / x;
    m_m = m_m * y / x;
}

void CDetectSize::prepare_edges() {
    const std::int32_t d = m_search.distance();
    EdgeVector& e2 = m_edges.e[2];
    EdgeVector& e3 = m_edges.e[3];
    for (std::size_t x = 0; x < e2.size(); ++x) {
        std::int32_t& e0 = m_edges.e[0][x];
        std::int32_t& e1 = m_edges.e[1][x];
        if (e0 >= 0)
            e0 += d;
        if (e1 >= 0)
            e1 += d * 8 / 10;
        // Both runs must exist: an invalid one (-1) is the minimum.
        e2[x] = std::min(e0, e1);
    }
    const std::int32_t xw = m_work.xdpi;
    filtering_edge_data(e2, xw * 100 / 254);
    filtering_edge_data(e3, xw * 100 / 254);
    const std::int32_t f = firstValid(e3), l = lastValid(e3);
    if (f < l)
        revise_median(e3.data() + f, l - f, std::max(2 * (xw * 10 / 254) + 1, 3));
}

void CDetectSize::calc_slant() {
    EdgeVector& e2 = m_edges.e[2];
    const std::int32_t xw = m_work.xdpi;
    const std::int32_t n = static_cast<std::int32_t>(e2.size());
    const std::int32_t f = firstValid(e2), l = lastValid(e2), t = xw * 30 / 254;
    m_fit.slant = {1, 0};
    if (l < 0)
        return;
    // Edges within 3 mm of the paper's sides are not trusted.
    std::fill(e2.begin() + f, e2.begin() + std::min(f + t, n), kInvalid);
    std::fill(e2.begin() + std::max(l - t + 1, 0), e2.begin() + l + 1, kInvalid);
    const std::int32_t x1 = f + t, x2 = l - t;
    if (x1 >= x2)
        return;
    // An even window (e.g. 120 dpi) has no middle; the next odd one keeps the median defined.
    std::int32_t window = std::max(xw * 100 / 2540, 3);
    window += 1 - window % 2;
    revise_median(e2.data() + x1, x2 - x1, window);
    const std::int32_t nearStart = m_search.distance() * 180 / 100;
    for (std::int32_t x = x1; x < x2; ++x)
        if (e2[static_cast<std::size_t>(x)] <= nearStart)
            e2[static_cast<std::size_t>(x)] = kInvalid;
    m_fit.slant = fit_slant(e2, x1, x2, m_T);
    if (IsTooLongPaper())
        m_fit.slant = {1, 0};
}

bool CDetectSize::IsTooLongPaper() const {
    return m_option.paperLength >= 1 &&
           std::int64_t{m_option.paperLength} >= std::int64_t{m_page.ydpi} * 9000 / 254;
}

void CDetectSize::make_result(tagDETECTSIZEINFO& info) {
    scale_back(m_fit, m_page.xdpi, m_page.ydpi);
    m_work = m_page;
    fill_info(info, m_fit, m_page.width, comparisons());
    if (!revise_result(info))
        roll_back_result(info, margins(), m_page.width, comparisons());
}

bool CDetectSize::revise_result(tagDETECTSIZEINFO& info) const {
    if (!corners_in_order(info) || !contour_fits() || !reference_points_fit(info))
        return false;
    const std::int32_t c = comparisons();
    return m_option.paperLength == 0 || m_option.paperLength <= c - m_option.topMargin - m_search.distance();
}

bool CDetectSize::contour_fits() const {
    const EdgeVector& e2 = m_edges.e[2];
    const std::int32_t f = firstValid(e2), l = lastValid(e2);
    const PointL p1 = m_fit.P1s, p4 = m_fit.P4s, p3 = m_fit.P3s;
    std::int32_t misses = 0;
    for (std::int32_t x = f; x < l; ++x) {
        const std::int64_t expected = x < p4.x ? line_y(p1, p4, x, p4.y) : line_y(p4, p3, x, p4.y);
        if (std::abs(expected - e2[static_cast<std::size_t>(x)]) > m_T)
            ++misses;
    }
    const std::int32_t looked = std::max(l - f, 0);
    return misses < looked - misses;
}

bool CDetectSize::reference_points_fit(const tagDETECTSIZEINFO& info) const {
    const tagOPTION& o = m_option;
    if (o.refAx < 0 || o.refAy < 0 || o.refBx < 0 || o.refBy < 0)
        return true;
    const auto fits = [&](std::int32_t x, std::int32_t y) {
        const std::int64_t expected =
            info.P4.x < x ? line_y(info.P4, info.P3, x, info.P4.y) : line_y(info.P1, info.P4, x, info.P4.y);
        return std::abs(y - expected) <= m_T;
    };
    return fits(o.refAx, o.refAy) || fits(o.refBx, o.refBy);
}

FallbackMargins CDetectSize::margins() const {
    return {m_option.topMargin, m_option.leftMargin, m_option.rightMargin};
}

} // namespace Ovk::DetectSize
