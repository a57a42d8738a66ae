// Paper geometry shared by the single-side and the duplex size detectors: slant from the leading edge's
// outline, bounding rectangle, corners as the meeting points of the tightest lines along and across the
// slant, resolution alignment, and the plausibility test with its fallback rectangle.
#pragma once

#include "DetectSize/slant_fnc.h"

#include <cstdint>

namespace Ovk::DetectSize {

struct PointL {
    std::int32_t x;
    std::int32_t y;
};

// Direction (a, b) of the paper edge that descends to the right, in pixels; (1, 0) means no skew.
struct SlantPair {
    std::int32_t a;
    std::int32_t b;
};

struct EdgeRect {
    std::int32_t left;
    std::int32_t bottom;
    std::int32_t right;
    std::int32_t top;
};

// Result record of both detectors. With y growing down and a moderate skew, P1 is the lower left, P2 the
// lower right, P3 the upper right and P4 the upper left corner.
struct tagDETECTSIZEINFO {
    std::int32_t size;
    PointL P1, P2, P3, P4;
    std::int32_t a, b;
    std::int32_t xmin, ymax, xmax, ymin;
};
static_assert(sizeof(tagDETECTSIZEINFO) == 15 * 4);

// Working result of a detector, in its working resolution.
struct CornerFit {
    SlantPair slant{0, 0};
    EdgeRect rect{0, 0, 0, 0};
    PointL P[4]{};              // P1..P4
    PointL P1s{}, P4s{}, P3s{}; // contour before the margin is applied
};

// Margins of the fallback rectangle (negative = 0 / none).
struct FallbackMargins {
    std::int32_t top;   // lines
    std::int32_t left;  // columns
    std::int32_t right; // columns
};

// Reference points A and B on the paper's upper edge, as x, y pairs, into either detector's options.
template <class Option> void set_ref_points(Option& option, const std::int32_t refPoint[4]) {
    option.refAx = refPoint[0];
    option.refAy = refPoint[1];
    option.refBx = refPoint[2];
    option.refBy = refPoint[3];
}

// The option words a result reads, which both detectors' option records hold alike: paper length and
// the fallback margins.
template <class Option> void take_result_options(Option& into, const Option& from) {
    into.reserved5 = from.reserved5;
    into.paperLength = from.paperLength;
    into.reserved7 = from.reserved7;
    into.topMargin = from.topMargin;
    into.leftMargin = from.leftMargin;
    into.rightMargin = from.rightMargin;
}

// Truncates towards zero, saturating at the int32 range (NaN gives 0).
std::int32_t trunc_to_int(double v);

// Slant from the upper outline of e between columns x1 and x2: the longer side of the outline's top, its
// segments of at least minLength pixels and near the longest one's ratio summed. A flat top or no usable
// segment gives (1, 0).
SlantPair fit_slant(ConstEdgeSpan e, std::int32_t x1, std::int32_t x2, std::int32_t minLength);
EdgeRect calc_rect(ConstEdgeSpan lead, ConstEdgeSpan trail);
void calc_points(CornerFit& fit, ConstEdgeSpan lead, ConstEdgeSpan trail, std::int32_t margin);
// Meeting point of y = k x + c1 and y = -x / k + c2 with k = b / a (a, b non-zero).
PointL cross(std::int32_t a, std::int32_t b, std::int32_t c1, std::int32_t c2);

// x < y: values scaled by x / y; x > y: resampled to width * y / x columns. Returns the new width.
std::int32_t normalize_edge(EdgeVector& e, std::int32_t xdpi, std::int32_t ydpi);
// Corners and slant from the working resolution back to the page's.
void scale_back(CornerFit& fit, std::int32_t xdpi, std::int32_t ydpi);
// Corners, slant and the rectangle they span, limited to the page width and the lines seen.
void fill_info(tagDETECTSIZEINFO& info, const CornerFit& fit, std::int32_t width, std::int32_t lines);
// False when the corners are not in the order their slant implies.
bool corners_in_order(const tagDETECTSIZEINFO& info);
void roll_back_result(tagDETECTSIZEINFO& info, const FallbackMargins& margins, std::int32_t width,
                      std::int32_t lines);

} // namespace Ovk::DetectSize
