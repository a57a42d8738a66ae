// Line stretchers. All arithmetic is integer: sums and counts for the box rule, 1/256 weights for the
// interpolations.
#include "StretchData.h"

#include <algorithm>

namespace Ovk::Pixen {

template <int Channels>
void CStretchBoxData<Channels>::StretchDataProc(std::uint8_t* dst, std::int32_t, const std::uint8_t* src,
                                                std::int32_t srcCount, const std::uint32_t* table) const {
    std::uint32_t sum[Channels] = {};
    std::uint32_t count = 0;
    for (std::int32_t i = 0; i < srcCount; ++i, src += Channels) {
        const std::uint32_t entry = table[i];
        if (entry == 0 || count != 0) {
            for (int c = 0; c < Channels; ++c)
                sum[c] += src[c];
            ++count;
        }
        if (entry == 0)
            continue;
        if (count != 0) {
            for (int c = 0; c < Channels; ++c) {
                *dst++ = static_cast<std::uint8_t>(sum[c] / count);
                sum[c] = 0;
            }
            count = 0;
            continue;
        }
        for (std::uint32_t k = 0; k < entry; ++k)
            for (int c = 0; c < Channels; ++c)
                *dst++ = src[c];
    }
}

template <int Channels>
void CStretchFix2_3Data<Channels>::StretchDataProc(std::uint8_t* dst, std::int32_t dstCount,
                                                   const std::uint8_t* src, std::int32_t srcCount,
                                                   const std::uint32_t*) const {
    const std::int32_t groups = std::min(srcCount / 3, dstCount / 2) - 1;
    if (groups <= 0)
        return;
    for (std::int32_t g = 0; g < groups; ++g, src += 3 * Channels) {
        for (int c = 0; c < Channels; ++c) {
            const std::uint32_t s0 = src[c], s1 = src[Channels + c], s2 = src[2 * Channels + c];
            dst[c] = static_cast<std::uint8_t>((171 * s0 + 85 * s1) / 256);
            dst[Channels + c] = static_cast<std::uint8_t>((85 * s1 + 171 * s2) / 256);
        }
        dst += 2 * Channels;
    }
    stretchLinear(dst, dstCount - 2 * groups, src, srcCount - 3 * groups, Channels);
}

template class CStretchBoxData<1>;
template class CStretchBoxData<3>;
template class CStretchFix2_3Data<1>;
template class CStretchFix2_3Data<3>;

void stretchLinear(std::uint8_t* dst, std::int32_t n, const std::uint8_t* src, std::int32_t m,
                   int channels) noexcept {
    if (n <= 0 || m <= 0)
        return;
    constexpr std::int64_t Unit = CResolutionConvertNormal::LINER_UNIT;
    for (std::int32_t j = 0; j + 1 < n; ++j) {
        const std::int64_t p = std::int64_t{j} * Unit * (m - 1) / (n - 1);
        const std::int64_t i = p / Unit;
        const std::int64_t f = p - Unit * i;
        for (int c = 0; c < channels; ++c) {
            const std::int64_t a = src[i * channels + c];
            const std::int64_t b = src[std::min<std::int64_t>(i + 1, m - 1) * channels + c];
            dst[std::int64_t{j} * channels + c] =
                static_cast<std::uint8_t>((a * (Unit - f) + b * f + Unit / 2) / Unit);
        }
    }
    for (int c = 0; c < channels; ++c)
        dst[std::int64_t{n - 1} * channels + c] = src[std::int64_t{m - 1} * channels + c];
}

bool IsStretch2_3(std::int32_t nDst, std::int32_t nSrc) noexcept {
    if (nSrc <= 0)
        return false;
    const std::int64_t q = std::int64_t{256} * nDst / nSrc;
    return q == 170 || q == 171;
}

} // namespace Ovk::Pixen
