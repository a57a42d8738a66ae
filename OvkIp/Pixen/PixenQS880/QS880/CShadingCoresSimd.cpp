// Vector shading cores (SSE2, eight samples at a time). The 8-bit sample less its black level saturates
// at 0 in unsigned 16-bit lanes; the product with the gain needs 24 bits, rebuilt from its high and low
// 16-bit halves, and the final pack saturates at 255, which is exactly the scalar rule.
#include "QS880/CShading.h"
#include "QS880/ShadingSample.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Ovk::Pixen::QS880 {

#if defined(__SSE2__)
namespace {

// Eight corrected samples as bytes in the low half of the result.
__m128i shadeEight(const std::uint8_t* in, const std::uint16_t* gains, const std::uint16_t* blacks) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i samples = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in)), zero);
    const __m128i black = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blacks));
    const __m128i gain = _mm_loadu_si128(reinterpret_cast<const __m128i*>(gains));
    const __m128i difference = _mm_subs_epu16(samples, black);
    const __m128i low = _mm_mullo_epi16(difference, gain);
    const __m128i high = _mm_mulhi_epu16(difference, gain);
    // difference <= 255, so (high << 4) stays below 4096 and the sum fits a signed 16-bit lane.
    const __m128i value = _mm_or_si128(_mm_slli_epi16(high, 16 - kShift8), _mm_srli_epi16(low, kShift8));
    return _mm_packus_epi16(value, zero);
}

// Four pixels, each the dword (r, g, b, 0), written by overlapping 4-byte stores 3 bytes apart. Each spare
// byte is overwritten by the following pixel, so the caller must write at least one pixel after them.
void storeFourPixels(std::uint8_t* out, __m128i pixels) {
    for (int i = 0; i < 4; ++i, pixels = _mm_srli_si128(pixels, 4)) {
        const auto value = static_cast<std::uint32_t>(_mm_cvtsi128_si32(pixels));
        std::memcpy(out + 3 * i, &value, 4);
    }
}

} // namespace

void CShading::ShadingGrayCore_SIMD(std::uint8_t* out, const std::uint8_t* in, const std::uint16_t* gains,
                                    const std::uint16_t* blacks, std::int32_t count) {
    std::int32_t x = 0;
    for (; x + 8 <= count; x += 8)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), shadeEight(in + x, gains + x, blacks + x));
    ShadingGrayCore_NonSIMD(out + x, in + x, gains + x, blacks + x, count - x);
}

void CShading::ShadingColorCore_OrderLine2Pixel_SIMD(std::uint8_t* out, const std::uint8_t* in,
                                                     std::int32_t inLineLength, const std::uint16_t* gains,
                                                     std::int32_t gainLineLength, const std::uint16_t* blacks,
                                                     std::int32_t width) {
    std::int32_t x = 0;
    // Strictly below the width: the last pixel of a block leaves a spare byte for the next one.
    for (; x + 8 < width; x += 8) {
        const __m128i red = shadeEight(in + x, gains + x, blacks + x);
        const __m128i green = shadeEight(in + inLineLength + x, gains + gainLineLength + x, blacks + x);
        const __m128i blue =
            shadeEight(in + 2 * inLineLength + x, gains + 2 * gainLineLength + x, blacks + x);
        const __m128i redGreen = _mm_unpacklo_epi8(red, green);
        const __m128i blueZero = _mm_unpacklo_epi8(blue, _mm_setzero_si128());
        storeFourPixels(out + 3 * x, _mm_unpacklo_epi16(redGreen, blueZero));
        storeFourPixels(out + 3 * x + 12, _mm_unpackhi_epi16(redGreen, blueZero));
    }
    ShadingColorCore_OrderLine2Pixel_NonSIMD(out + 3 * x, in + x, inLineLength, gains + x, gainLineLength,
                                             blacks + x, width - x);
}

#else

// Without the vector unit the feature test reports false and these are never chosen.
void CShading::ShadingGrayCore_SIMD(std::uint8_t* out, const std::uint8_t* in, const std::uint16_t* gains,
                                    const std::uint16_t* blacks, std::int32_t count) {
    ShadingGrayCore_NonSIMD(out, in, gains, blacks, count);
}

void CShading::ShadingColorCore_OrderLine2Pixel_SIMD(std::uint8_t* out, const std::uint8_t* in,
                                                     std::int32_t inLineLength, const std::uint16_t* gains,
                                                     std::int32_t gainLineLength, const std::uint16_t* blacks,
                                                     std::int32_t width) {
    ShadingColorCore_OrderLine2Pixel_NonSIMD(out, in, inLineLength, gains, gainLineLength, blacks, width);
}

#endif

} // namespace Ovk::Pixen::QS880
