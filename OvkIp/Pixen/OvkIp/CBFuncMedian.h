// Median slice: each pixel is compared with the median of the 9 x 9 window made of its own line and the
// eight lines before it. The first eight lines of a run, which have no full window, use the fixed slice.
// The eight previous lines live in the object, so a band continues the window of the band before it.
#pragma once

#include "CBFunc.h"

#include <vector>

class CBFuncMedian : public CBFunc {
public:
    // storeBytes: size of the line store before it first grows (eight lines).
    explicit CBFuncMedian(int32_t storeBytes = 400);

    using CBFunc::Line;
    void Line() override;

    static constexpr int32_t kStoredLines = 8;
    static constexpr int32_t kWindow = 9;

private:
    void Reserve(int32_t width);
    // Thresholds of the current line into m_threshold from the stored lines plus the current one.
    void MedianThresholds();

    int32_t m_lineBytes = 0; // bytes of one stored line
    std::vector<unsigned char> m_store;
    std::vector<unsigned char> m_threshold;
};
