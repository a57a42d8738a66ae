// Conversion of the scanner's colour to standard colour: every pixel times a 3 x 3 fixed-point matrix
// (1024 = 1.0), one for the feeder, one for the flatbed glass, or the caller's.
#pragma once

#include "QS880/CBandFilter.h"
#include "QS880Records.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

class CSRGBConversion : public CBandFilter {
public:
    const char* getName() const override { return "SRGBConversion"; }
    std::int32_t setInfo(CImg& image, void* info) override;

    virtual void getSRGBMatrixFlatbed(std::int32_t out[9]) const;
    virtual void getSRGBMatrixFeeder(std::int32_t out[9]) const;

    std::int32_t SRGBConversion(CImg& band);
    // One pixel-order line in place.
    static void SRGBConversionLine(std::uint8_t* line, std::int32_t width, const std::int32_t matrix[9]);

protected:
    std::int32_t bandOperation(CImg& band) override { return SRGBConversion(band); }

private:
    tagSRGBCONVERSIONINFO m_Info{};
};

} // namespace Ovk::Pixen::QS880
