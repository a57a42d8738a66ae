// Scalar shading cores for 8-bit lines: the reference against which the vector cores are checked.
#include "QS880/CShading.h"
#include "QS880/ShadingSample.h"

namespace Ovk::Pixen::QS880 {

void CShading::ShadingColorCore_OrderLine2Pixel_NonSIMD(std::uint8_t* out, const std::uint8_t* in,
                                                        std::int32_t inLineLength, const std::uint16_t* gains,
                                                        std::int32_t gainLineLength,
                                                        const std::uint16_t* blacks, std::int32_t width) {
    for (std::int32_t x = 0; x < width; ++x)
        for (std::int32_t c = 0; c < 3; ++c)
            out[3 * x + c] =
                shadeSample(in[c * inLineLength + x], blacks[x], gains[c * gainLineLength + x], kShift8);
}

void CShading::ShadingGrayCore_NonSIMD(std::uint8_t* out, const std::uint8_t* in, const std::uint16_t* gains,
                                       const std::uint16_t* blacks, std::int32_t count) {
    for (std::int32_t x = 0; x < count; ++x)
        out[x] = shadeSample(in[x], blacks[x], gains[x], kShift8);
}

} // namespace Ovk::Pixen::QS880
