// Edge-vector helpers of the size detectors. The outline is the chain of contact points of the edge with
// the chords above it, which follows the paper's outline and skips dents from dirt or torn corners.
#include "DetectSize/slant_fnc.h"

#include <algorithm>
#include <cmath>

namespace Ovk::DetectSize {

std::int32_t GetContactPoint(ConstEdgeSpan e, std::int32_t x1, std::int32_t x2, int mode) {
    if (x1 == x2)
        return x2;
    const std::int32_t rise = e[x2] - e[x1];
    const auto slope = [&](std::int32_t x) { return rise * x / (x2 - x1); };
    const std::int32_t c0 = e[x1] - slope(x1);
    std::int32_t lowest = c0, lowestAt = x1, highest = c0, highestAt = x1;
    const std::int32_t step = x1 < x2 ? 1 : -1;
    for (std::int32_t x = x1; x != x2 + step; x += step) {
        if (e[x] < 0)
            continue;
        const std::int32_t v = e[x] - slope(x);
        if (v < lowest) {
            lowest = v;
            lowestAt = x;
        }
        if (v > highest) {
            highest = v;
            highestAt = x;
        }
    }
    return mode == 0 ? lowestAt : highestAt;
}

std::int32_t EnumContactPoint(ConstEdgeSpan e, std::int32_t x1, std::int32_t x2, int mode,
                              std::vector<std::int32_t>& out, std::int32_t& first, bool top) {
    if (x1 == x2)
        return 0;
    const std::int32_t p = GetContactPoint(e, x1, x2, mode);
    if (p == x1 || p == x2)
        return 0;
    std::int32_t n = EnumContactPoint(e, x1, p, mode, out, first, false);
    if (top)
        first = p;
    out.push_back(p);
    return n + 1 + EnumContactPoint(e, p, x2, mode, out, first, false);
}

void get_outline(ConstEdgeSpan e, std::int32_t x1, std::int32_t x2, std::vector<std::int32_t>& out,
                 std::int32_t& first) {
    out.clear();
    out.push_back(x1);
    EnumContactPoint(e, x1, x2, 0, out, first, true);
    out.push_back(x2);
}

void get_sep_xvec(ConstEdgeSpan e, const std::vector<std::int32_t>& outline,
                  std::vector<std::int32_t> parts[2]) {
    parts[0].clear();
    parts[1].clear();
    if (outline.empty())
        return;
    const auto byValue = [&](std::int32_t l, std::int32_t r) { return e[l] < e[r]; };
    const auto firstMin = std::min_element(outline.begin(), outline.end(), byValue);
    const auto lastMin = std::min_element(outline.rbegin(), outline.rend(), byValue);
    parts[0].assign(outline.begin(), firstMin + 1);
    parts[1].assign(outline.rbegin(), lastMin + 1);
}

std::vector<PVec> get_pvec(ConstEdgeSpan e, const std::vector<std::int32_t>& part) {
    std::vector<PVec> segments;
    for (std::size_t i = 1; i < part.size(); ++i) {
        const std::int32_t u = part[i - 1], v = part[i];
        segments.push_back({std::abs(v - u), std::abs(e[v] - e[u])});
    }
    return segments;
}

bool CRemovePVec::operator()(const PVec& v) const {
    const float length = std::sqrt(static_cast<float>(v.dx) * v.dx + static_cast<float>(v.dy) * v.dy);
    return length < static_cast<float>(minLength);
}

bool CMaxLengthVec::operator()(const PVec& l, const PVec& r) const {
    return std::int64_t{l.dx} * l.dx + std::int64_t{l.dy} * l.dy <
           std::int64_t{r.dx} * r.dx + std::int64_t{r.dy} * r.dy;
}

CRemovePVec2::CRemovePVec2(const PVec& reference)
    : m_vertical(reference.dx == 0),
      m_ratio(reference.dx == 0 ? 0.0 : static_cast<double>(reference.dy) / reference.dx) {}

bool CRemovePVec2::operator()(const PVec& v) const {
    if (m_vertical || v.dx == 0)
        return m_vertical != (v.dx == 0);
    const double ratio = static_cast<double>(v.dy) / v.dx;
    return ratio < m_ratio - 0.1 || ratio > m_ratio + 0.1;
}

std::int32_t get_median_value(const std::int32_t* p, std::int32_t n) {
    if (p == nullptr)
        return 0;
    if (n < 3)
        return p[0];
    std::vector<std::int32_t> copy(p - n / 2, p - n / 2 + n);
    std::nth_element(copy.begin(), copy.begin() + n / 2, copy.end());
    return copy[n / 2];
}

bool revise_median(std::int32_t* data, std::int32_t count, std::int32_t window) {
    if (window <= 0 || window % 2 == 0)
        return false;
    if (count <= 0)
        return true;
    const std::int32_t half = window / 2;
    std::vector<std::int32_t> padded(static_cast<std::size_t>(count + 2 * half));
    std::fill_n(padded.begin(), half, data[0]);
    std::copy_n(data, count, padded.begin() + half);
    std::fill_n(padded.end() - half, half, data[count - 1]);
    for (std::int32_t i = 0; i < count; ++i)
        data[i] = get_median_value(padded.data() + half + i, window);
    return true;
}

void filtering_edge_data(EdgeSpan e, std::int32_t limit, bool dropLast) {
    const std::int32_t n = static_cast<std::int32_t>(e.size());
    std::int32_t x = 0;
    while (x < n) {
        if (e[x] < 0) {
            ++x;
            continue;
        }
        const std::int32_t start = x;
        while (x < n && e[x] >= 0)
            ++x;
        if (x - start <= limit && (x < n || dropLast))
            std::fill(e.begin() + start, e.begin() + x, kInvalid);
    }
}

std::int32_t firstValid(ConstEdgeSpan e) {
    const auto it = std::find_if(e.begin(), e.end(), [](std::int32_t v) { return v >= 0; });
    return static_cast<std::int32_t>(it - e.begin());
}

std::int32_t lastValid(ConstEdgeSpan e) {
    for (std::int32_t x = static_cast<std::int32_t>(e.size()) - 1; x >= 0; --x)
        if (e[x] >= 0)
            return x;
    return -1;
}

} // namespace Ovk::DetectSize
