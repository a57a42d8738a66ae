// Corner geometry of the size detectors. Each paper side is the tightest line of the slant's direction (or
// its perpendicular) that still has every edge point on its inner side; the corners are where they meet.
#include "DetectSize/DetectSizeGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <numeric>

namespace Ovk::DetectSize {

namespace {

std::int32_t scaled(std::int32_t v, std::int32_t num, std::int32_t den) {
    return static_cast<std::int32_t>(std::int64_t{v} * num / den);
}

// Intercepts of the tightest lines along (d0 max, d2 min) and across (d1 max, d3 min) the slant.
struct Intercepts {
    std::int64_t d0 = std::numeric_limits<std::int64_t>::min();
    std::int64_t d2 = std::numeric_limits<std::int64_t>::max();
    std::int64_t d1 = std::numeric_limits<std::int64_t>::min();
    std::int64_t d3 = std::numeric_limits<std::int64_t>::max();
    bool any = false;

    void add(std::int64_t a, std::int64_t b, std::int64_t x, std::int64_t v) {
        const std::int64_t along = (a * v - b * x) / a;
        const std::int64_t across = (b * v + a * x) / b;
        d0 = std::max(d0, along);
        d2 = std::min(d2, along);
        d1 = std::max(d1, across);
        d3 = std::min(d3, across);
        any = true;
    }
};

void rectangle_points(CornerFit& fit, std::int32_t m) {
    const EdgeRect& r = fit.rect;
    const std::int32_t h = m / 2;
    fit.P[0] = {r.left + h, r.bottom - m};
    fit.P[1] = {r.right - h, r.bottom - m};
    fit.P[2] = {r.right - h, r.top + m};
    fit.P[3] = {r.left + h, r.top + m};
    fit.P1s = fit.P[0];
    fit.P4s = fit.P[3];
    fit.P3s = fit.P[2];
}

void move(PointL& p, std::int32_t dx, std::int32_t dy) {
    p.x = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{p.x} + dx, INT_MIN, INT_MAX));
    p.y = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{p.y} + dy, INT_MIN, INT_MAX));
}

} // namespace

std::int32_t trunc_to_int(double v) {
    if (!(v > INT_MIN) || !(v < INT_MAX))
        return std::isnan(v) ? 0 : (v > 0 ? INT_MAX : INT_MIN);
    return static_cast<std::int32_t>(v);
}

SlantPair fit_slant(ConstEdgeSpan e, std::int32_t x1, std::int32_t x2, std::int32_t minLength) {
    std::vector<std::int32_t> outline;
    std::int32_t firstContact = x1;
    get_outline(e, x1, x2, outline, firstContact);
    std::vector<std::int32_t> parts[2];
    get_sep_xvec(e, outline, parts);
    const std::int32_t lenL = parts[0].back() - outline.front();
    const std::int32_t lenR = outline.back() - parts[1].back();
    const std::int32_t flat = parts[1].back() - parts[0].back();
    if (flat >= lenL && flat >= lenR)
        return {1, 0};
    const bool left = lenL > lenR;
    std::vector<PVec> segments = get_pvec(e, parts[left ? 0 : 1]);
    std::erase_if(segments, CRemovePVec{minLength});
    if (segments.size() > 1) {
        const PVec reference = *std::max_element(segments.begin(), segments.end(), CMaxLengthVec{});
        std::erase_if(segments, CRemovePVec2(reference));
    }
    const PVec sum = std::accumulate(segments.begin(), segments.end(), PVec{0, 0}, CSumPVec{});
    // Without any usable segment the edge gives no evidence of skew.
    if (sum.dx == 0 && sum.dy == 0)
        return {1, 0};
    return left ? SlantPair{sum.dy, sum.dx} : SlantPair{sum.dx, sum.dy};
}

EdgeRect calc_rect(ConstEdgeSpan lead, ConstEdgeSpan trail) {
    EdgeRect r{0, 0, 0, 0};
    const std::int32_t first = std::min(firstValid(trail), firstValid(lead));
    const std::int32_t last = std::max(lastValid(trail), lastValid(lead));
    if (last >= 0) {
        r.left = first;
        r.right = last;
    }
    const auto validOnly = [](std::int32_t v) { return v >= 0; };
    std::int32_t top = INT_MAX, bottom = INT_MIN;
    for (std::int32_t v : lead)
        if (validOnly(v))
            top = std::min(top, v);
    for (std::int32_t v : trail)
        if (validOnly(v))
            bottom = std::max(bottom, v);
    r.top = top == INT_MAX ? 0 : top;
    r.bottom = bottom == INT_MIN ? 0 : bottom;
    return r;
}

PointL cross(std::int32_t a, std::int32_t b, std::int32_t c1, std::int32_t c2) {
    const double k = static_cast<double>(b) / a;
    const double x = (static_cast<double>(c2) - c1) / (k + 1.0 / k);
    return {trunc_to_int(x), trunc_to_int(k * x + c1)};
}

void calc_points(CornerFit& fit, ConstEdgeSpan lead, ConstEdgeSpan trail, std::int32_t m) {
    const std::int32_t a = fit.slant.a, b = fit.slant.b;
    Intercepts d;
    if (a != 0 && b != 0) {
        for (std::int32_t x = std::max(fit.rect.left, 0); x <= fit.rect.right; ++x)
            for (ConstEdgeSpan e : {lead, trail})
                if (x < static_cast<std::int32_t>(e.size()) && e[x] >= 0)
                    d.add(a, b, x, e[x]);
    }
    const std::int32_t L = trunc_to_int(std::sqrt(static_cast<float>(a) * a + static_cast<float>(b) * b));
    if (!d.any || L == 0) {
        rectangle_points(fit, m);
        return;
    }
    const auto c = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
    };
    fit.P[0] = cross(a, b, c(d.d0), c(d.d3));
    fit.P[1] = cross(a, b, c(d.d0), c(d.d1));
    fit.P[2] = cross(a, b, c(d.d2), c(d.d1));
    fit.P[3] = cross(a, b, c(d.d2), c(d.d3));
    fit.P1s = fit.P[0];
    fit.P4s = fit.P[3];
    fit.P3s = fit.P[2];
    // Margin steps along and across the slant, in 64 bits: m * a can pass the 32-bit range.
    const auto step = [&](std::int64_t factor, std::int32_t v) { return c(factor * m * v / L); };
    const std::int32_t A = step(1, a), B = step(1, b), A2 = step(-2, a), B2 = step(-2, b);
    const std::int32_t A1 = step(-1, a), B1 = step(-1, b), Bp = step(2, b);
    if (a <= b) {
        move(fit.P[0], A + B, B + A);
        move(fit.P[1], A2 + B, B2 + A);
        move(fit.P[2], A2 + B1, B2 + A);
        move(fit.P[3], A + B1, B + A);
    } else {
        move(fit.P[0], Bp + A, A2 + B);
        move(fit.P[1], Bp + A1, A2 + B1);
        move(fit.P[2], B1 + A1, A + B1);
        move(fit.P[3], B1 + A, A + B);
    }
}

std::int32_t normalize_edge(EdgeVector& e, std::int32_t xdpi, std::int32_t ydpi) {
    if (xdpi <= 0 || ydpi <= 0 || xdpi == ydpi)
        return static_cast<std::int32_t>(e.size());
    if (xdpi < ydpi) {
        for (std::int32_t& v : e)
            if (v >= 0)
                v = scaled(v, xdpi, ydpi);
        return static_cast<std::int32_t>(e.size());
    }
    const std::int32_t width = scaled(static_cast<std::int32_t>(e.size()), ydpi, xdpi);
    EdgeVector resampled(static_cast<std::size_t>(width));
    for (std::int32_t i = 0; i < width; ++i)
        resampled[static_cast<std::size_t>(i)] = e[static_cast<std::size_t>(scaled(i, xdpi, ydpi))];
    e.swap(resampled);
    return width;
}

void scale_back(CornerFit& fit, std::int32_t xdpi, std::int32_t ydpi) {
    if (xdpi <= 0 || ydpi <= 0 || xdpi == ydpi)
        return;
    for (PointL& p : fit.P) {
        if (xdpi > ydpi)
            p.x = scaled(p.x, xdpi, ydpi);
        else
            p.y = scaled(p.y, ydpi, xdpi);
    }
    if (xdpi > ydpi)
        fit.slant.a = scaled(fit.slant.a, xdpi, ydpi);
    else
        fit.slant.b = scaled(fit.slant.b, ydpi, xdpi);
}

void fill_info(tagDETECTSIZEINFO& info, const CornerFit& fit, std::int32_t width, std::int32_t lines) {
    info.P1 = fit.P[0];
    info.P2 = fit.P[1];
    info.P3 = fit.P[2];
    info.P4 = fit.P[3];
    info.a = fit.slant.a;
    info.b = fit.slant.b;
    info.xmin = std::max(info.P1.x, 0);
    info.ymin = std::max(info.P4.y, 0);
    info.xmax = std::min(info.P3.x, width);
    info.ymax = std::min(info.P2.y, lines);
}

bool corners_in_order(const tagDETECTSIZEINFO& info) {
    const bool steep = info.a < info.b;
    const PointL& q1 = steep ? info.P1 : info.P4;
    const PointL& q2 = steep ? info.P4 : info.P3;
    const PointL& q3 = steep ? info.P2 : info.P1;
    const PointL& q4 = steep ? info.P3 : info.P2;
    return q1.y <= q3.y && q2.y <= q4.y && q1.x <= q2.x && q3.x <= q4.x;
}

void roll_back_result(tagDETECTSIZEINFO& info, const FallbackMargins& margins, std::int32_t width,
                      std::int32_t lines) {
    info.a = 1;
    info.b = 0;
    info.xmin = std::max(margins.left, 0);
    info.ymin = std::max(margins.top, 0);
    info.xmax = margins.right < 0 ? width - info.xmin : width - margins.right;
    info.ymax = lines;
    info.P1 = {info.xmin, info.ymax};
    info.P2 = {info.xmax, info.ymax};
    info.P3 = {info.xmax, info.ymin};
    info.P4 = {info.xmin, info.ymin};
}

} // namespace Ovk::DetectSize
