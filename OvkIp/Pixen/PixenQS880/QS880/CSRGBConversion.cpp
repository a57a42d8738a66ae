// sRGB conversion. Each output value is the rounded matrix product (512 is half of 1024), truncated
// toward zero and limited to a byte.
#include "QS880/CSRGBConversion.h"

#include "OvkVectorClones.h"
#include "QS880/ResultImage.h"
#include "RecordSize.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace Ovk::Pixen::QS880 {

namespace {

constexpr std::int32_t kFeeder[9] = {807, 204, 11, 36, 1005, -18, 64, -55, 1013};
constexpr std::int32_t kFlatbed[9] = {1012, 104, -93, -61, 1058, 26, 28, -177, 1171};

// True when every row's sum over bytes, rounding included, stays inside 32 bits: the built-in matrices and
// any sensible caller's do, and 32-bit arithmetic is about twice as fast here.
bool fitsInt32(const std::int32_t matrix[9]) {
    for (std::int32_t k = 0; k < 3; ++k) {
        std::int64_t reach = 512;
        for (std::int32_t c = 0; c < 3; ++c)
            reach += 255 * std::abs(std::int64_t{matrix[3 * k + c]});
        if (reach > INT32_MAX)
            return false;
    }
    return true;
}

template <class Sum>
OVK_VECTOR_CLONES void convertLine(std::uint8_t* line, std::int32_t width, const std::int32_t matrix[9]) {
    const Sum m[9] = {matrix[0], matrix[1], matrix[2], matrix[3], matrix[4],
                      matrix[5], matrix[6], matrix[7], matrix[8]};
    for (std::int32_t x = 0; x < width; ++x) {
        std::uint8_t* pixel = line + 3 * x;
        const Sum r = pixel[0], g = pixel[1], b = pixel[2];
        const Sum v0 = (m[0] * r + m[1] * g + m[2] * b + 512) / 1024;
        const Sum v1 = (m[3] * r + m[4] * g + m[5] * b + 512) / 1024;
        const Sum v2 = (m[6] * r + m[7] * g + m[8] * b + 512) / 1024;
        pixel[0] = static_cast<std::uint8_t>(std::clamp<Sum>(v0, 0, 255));
        pixel[1] = static_cast<std::uint8_t>(std::clamp<Sum>(v1, 0, 255));
        pixel[2] = static_cast<std::uint8_t>(std::clamp<Sum>(v2, 0, 255));
    }
}

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
    if (fitsInt32(matrix)) {
        convertLine<std::int32_t>(line, width, matrix);
    } else {
        convertLine<std::int64_t>(line, width, matrix); // a caller's matrix may hold any 32-bit coefficients
    }
}

} // namespace Ovk::Pixen::QS880
