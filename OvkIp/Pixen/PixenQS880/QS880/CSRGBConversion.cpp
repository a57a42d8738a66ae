// sRGB conversion. Each output value is the rounded matrix product (512 is half of 1024), truncated
// toward zero and limited to a byte.
#include "CSRGBConversion.h"

#include "RecordSize.h"
#include "ResultImage.h"

#include <algorithm>

namespace Ovk::Pixen::QS880 {

namespace {

constexpr std::int32_t kFeeder[9] = {807, 204, 11, 36, 1005, -18, 64, -55, 1013};
constexpr std::int32_t kFlatbed[9] = {1012, 104, -93, -61, 1058, 26, 28, -177, 1171};

} // namespace

std::int32_t CSRGBConversion::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagSRGBCONVERSIONINFO>(info) != RTN_OK)
        return RTN_PAR;
    m_Info = *static_cast<const tagSRGBCONVERSIONINFO*>(info);
    return RTN_OK;
}

void CSRGBConversion::getSRGBMatrixFlatbed(std::int32_t out[9]) const {
    std::copy_n(kFlatbed, 9, out);
}

void CSRGBConversion::getSRGBMatrixFeeder(std::int32_t out[9]) const {
    std::copy_n(kFeeder, 9, out);
}

std::int32_t CSRGBConversion::SRGBConversion(CImg& band) {
    if (band.isNull() || band.getBps() != 8 || band.getSpp() != 3 || band.getRGBOrder() != RGBORDER_PIXEL)
        return RTN_OK;
    if (!isReadable(band))
        return RTN_PAR;
    std::int32_t matrix[9];
    if (m_Info.Type == 0)
        getSRGBMatrixFeeder(matrix);
    else if (m_Info.Type == 1)
        getSRGBMatrixFlatbed(matrix);
    else if (m_Info.Type == 2)
        std::copy_n(m_Info.Matrix, 9, matrix);
    else
        return RTN_PAR;
    for (std::int32_t y = 0; y < band.getHeight(); ++y)
        SRGBConversionLine(band.getLine(y), band.getWidth(), matrix);
    return RTN_OK;
}

void CSRGBConversion::SRGBConversionLine(std::uint8_t* line, std::int32_t width,
                                         const std::int32_t matrix[9]) {
    for (std::int32_t x = 0; x < width; ++x) {
        std::uint8_t* pixel = line + 3 * x;
        const std::int64_t r = pixel[0], g = pixel[1], b = pixel[2];
        for (std::int32_t k = 0; k < 3; ++k) {
            // 64-bit: a caller's matrix may hold any 32-bit coefficients.
            const std::int64_t sum = matrix[3 * k] * r + matrix[3 * k + 1] * g + matrix[3 * k + 2] * b + 512;
            pixel[k] = static_cast<std::uint8_t>(std::clamp<std::int64_t>(sum / 1024, 0, 255));
        }
    }
}

} // namespace Ovk::Pixen::QS880
