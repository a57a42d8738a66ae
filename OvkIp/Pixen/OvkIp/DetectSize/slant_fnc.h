// Helpers of the size detectors on edge vectors (one signed value per pixel column, -1 = invalid): the upper
// outline by contact points, its split at the top, segment filters, the running median and the run filter.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace Ovk::DetectSize {

inline constexpr std::int32_t kInvalid = -1;

using EdgeVector = std::vector<std::int32_t>;
using EdgeSpan = std::span<std::int32_t>;
using ConstEdgeSpan = std::span<const std::int32_t>;

// One outline segment as (|dx|, |dy|).
struct PVec {
    std::int32_t dx;
    std::int32_t dy;
};

std::int32_t GetContactPoint(ConstEdgeSpan e, std::int32_t x1, std::int32_t x2, int mode);
std::int32_t EnumContactPoint(ConstEdgeSpan e, std::int32_t x1, std::int32_t x2, int mode,
                              std::vector<std::int32_t>& out, std::int32_t& first, bool top);
// Columns of the upper outline from x1 to x2, both included; first receives the first top-level contact.
void get_outline(ConstEdgeSpan e, std::int32_t x1, std::int32_t x2, std::vector<std::int32_t>& out,
                 std::int32_t& first);
// parts[0]: outline start through its first minimum; parts[1]: outline end backwards through its last
// minimum.
void get_sep_xvec(ConstEdgeSpan e, const std::vector<std::int32_t>& outline,
                  std::vector<std::int32_t> parts[2]);
std::vector<PVec> get_pvec(ConstEdgeSpan e, const std::vector<std::int32_t>& part);

// Drops segments shorter than a length in pixels.
struct CRemovePVec {
    std::int32_t minLength;
    bool operator()(const PVec& v) const;
};
// Orders segments by length (for picking the longest, first of equals).
struct CMaxLengthVec {
    bool operator()(const PVec& l, const PVec& r) const;
};
// Drops segments whose ratio dy/dx lies outside [ratio - 0.1, ratio + 0.1]; a vertical segment matches only
// a vertical reference.
struct CRemovePVec2 {
    explicit CRemovePVec2(const PVec& reference);
    bool operator()(const PVec& v) const;

private:
    bool m_vertical;
    double m_ratio;
};
struct CSumPVec {
    PVec operator()(PVec sum, const PVec& v) const { return {sum.dx + v.dx, sum.dy + v.dy}; }
};

std::int32_t get_median_value(const std::int32_t* p, std::int32_t n);
// Replaces each entry by the median of the window centred on it, the ends padded with copies of the first
// and last value. Returns false (and changes nothing) for an even or non-positive window.
bool revise_median(std::int32_t* data, std::int32_t count, std::int32_t window);
// Invalidates runs of valid entries of at most limit columns; the run reaching the last column is kept
// unless dropLast is set.
void filtering_edge_data(EdgeSpan e, std::int32_t limit, bool dropLast = false);

// First and last valid columns; first is e.size() and last -1 when nothing is valid.
std::int32_t firstValid(ConstEdgeSpan e);
std::int32_t lastValid(ConstEdgeSpan e);

} // namespace Ovk::DetectSize
