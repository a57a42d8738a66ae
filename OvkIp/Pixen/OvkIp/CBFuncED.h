// Error diffusion: a quarter of each pixel's error goes right, and an eighth to the next pixel but one
// and to four neighbours of the next line. The error row lives in the object, so errors carry from band
// to band of a run.
#pragma once

#include "CBFunc.h"

#include <vector>

class CBFuncED : public CBFunc {
public:
    // capacity: pixels the rows hold before they first grow.
    explicit CBFuncED(int32_t capacity = 200);

    using CBFunc::Line;
    using CBFunc::Start;
    int Start(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagBINFUNCINFO* info) override;
    void Line() override;

private:
    // Grows both rows to width pixels plus their margins, new entries zero.
    void Reserve(int32_t width);

    // Work row W[0 .. width + 1] and error row E[-2 .. width + 1]; kMargin entries precede index 0.
    static constexpr int32_t kMargin = 2;
    std::vector<int32_t> m_work;
    std::vector<int32_t> m_error;
};
