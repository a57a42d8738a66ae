// The line stretchers of the resampler: the box rule driven by the spread table, and the 2:3 reducer with
// fixed 171/85 weights that hands its last pixels to linear interpolation. Channels are 1 (grey) or 3.
#pragma once

#include "CResolutionConvertNormal.h"

namespace Ovk::Pixen {

template <int Channels> class CStretchBoxData : public CStretchDataCore {
public:
    void StretchDataProc(std::uint8_t* dst, std::int32_t dstCount, const std::uint8_t* src,
                         std::int32_t srcCount, const std::uint32_t* table) const override;
};

template <int Channels> class CStretchFix2_3Data : public CStretchDataCore {
public:
    void StretchDataProc(std::uint8_t* dst, std::int32_t dstCount, const std::uint8_t* src,
                         std::int32_t srcCount, const std::uint32_t* table) const override;
};

using CStretchData = CStretchBoxData<1>;
using CStretchRGBData = CStretchBoxData<3>;
using CStretchFix2_3GrayData = CStretchFix2_3Data<1>;
using CStretchFix2_3RGBData = CStretchFix2_3Data<3>;

// n destination pixels from m source pixels by linear interpolation in 1/256 steps; the last destination
// pixel is the last source pixel.
void stretchLinear(std::uint8_t* dst, std::int32_t n, const std::uint8_t* src, std::int32_t m,
                   int channels) noexcept;

// (256 - 85) / 256 and 85 / 256: the weights of two output pixels between three input pixels.
bool IsStretch2_3(std::int32_t nDst, std::int32_t nSrc) noexcept;

} // namespace Ovk::Pixen
