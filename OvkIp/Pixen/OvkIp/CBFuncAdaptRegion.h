// Binarisation mode 8: adaptive thresholds per region. The record's two levels (brightness and contrast
// settings, 0..255) set the edge, busy-area and flat-area levels of the method along two straight lines.
#pragma once

#include "CBFunc.h"

class CBFuncAdaptRegion : public CBFunc {
public:
    // Levels of the method, all unsigned: S strong edge, K weak edge, T busy contrast split, G activity
    // (block measures are compared with 8 times these), F flat threshold, U busy threshold.
    struct Levels {
        uint32_t S;
        uint32_t K;
        uint32_t T;
        uint32_t G;
        uint32_t F;
        uint32_t U;
    };
    // sliceLevel: word 2 of the record (brightness); contrast: word 3. Both are clamped to 0..255.
    static Levels ComputeLevels(int32_t sliceLevel, int32_t contrast);
    // y1 when the line is degenerate; else the line through (x1, y1), (x2, y2) at x, by two truncating
    // divisions (the tables of levels rely on that rounding).
    static int32_t GetLinearY(int32_t x, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

    using CBFunc::Line;
    using CBFunc::Rect;
    // Whole rectangles only: a single line has no blocks.
    void Line() override {}
    // Binarises the rectangle; failures go to the last-error cell (14 no working image, 8 no memory).
    void Rect() override;
};
