// How the lines of text lie, from the page's dark-pixel profiles. Across text lines the sums go from full
// to empty at every line gap, while along them words and letters average out over many lines: that gives
// the axis. Within each line the dense band of small letters has more ink on the side of the ascenders,
// capitals and dots than on the side of the descenders, in every Latin script and type style: that gives
// which way up the lines are.
#pragma once

#include "page_image.h"

namespace vlm {

enum class LineAxis { Unknown, Rows, Columns };

struct LineEvidence {
    LineAxis axis = LineAxis::Unknown;
    // (ink beyond the letters' band on the page's top or right side - ink on the other side) / both:
    // positive for upright text (Rows) or text turned a quarter clockwise (Columns); 0 when unknown.
    double ascent = 0;
};

LineEvidence textLines(const GreyImage& grey);

} // namespace vlm
