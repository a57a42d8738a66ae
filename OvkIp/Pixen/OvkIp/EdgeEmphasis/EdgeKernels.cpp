// Kernel loops: the border pixels through the general sum, the inner ones through a fixed expression, and
// the number of neighbour lines fixed at compile time, so the inner loops carry no per-pixel branch.
#include "EdgeEmphasis/EdgeKernels.h"

#include "EdgeEmphasis/EdgeLevels.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// Sum of the neighbour lines at sample i; Lines of them (0, 1 or 2) exist.
template <int Lines> inline int32_t Vertical(const uint8_t* a, const uint8_t* b, int32_t i) {
    if constexpr (Lines == 0)
        return 0;
    else if constexpr (Lines == 1)
        return a[i];
    else
        return a[i] + b[i];
}

#if defined(__SSE2__)
// Inner samples of a line with both neighbour lines, eight at a time, from `first` on; returns where it
// stopped. The measure (at most 4 * 255 either way) and the level (limited to +-255) fit 16-bit lanes, the
// level is looked up per sample, and the final pack limits to 0..255 exactly as kEdgeToByte does.
template <int Step, int Sign>
int32_t FourNeighbourEight(uint8_t* out, const uint8_t* a, const uint8_t* line, const uint8_t* b,
                           int32_t first, int32_t end, const int32_t* level) {
    const __m128i zero = _mm_setzero_si128();
    const auto load = [zero](const uint8_t* q) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)), zero);
    };
    alignas(16) int16_t measure[8];
    alignas(16) int16_t added[8];
    int32_t i = first;
    for (; i + 8 <= end; i += 8) {
        const __m128i p = load(line + i);
        const __m128i sum = _mm_add_epi16(_mm_add_epi16(load(line + i - Step), load(line + i + Step)),
                                          _mm_add_epi16(load(a + i), load(b + i)));
        const __m128i d = _mm_sub_epi16(_mm_slli_epi16(p, 2), sum); // k = 4
        _mm_store_si128(reinterpret_cast<__m128i*>(measure), Sign > 0 ? d : _mm_sub_epi16(zero, d));
        for (int k = 0; k < 8; ++k)
            added[k] = static_cast<int16_t>(level[measure[k]]);
        const __m128i value = _mm_add_epi16(p, _mm_load_si128(reinterpret_cast<const __m128i*>(added)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(value, value));
    }
    return i;
}
#endif

template <int Step, int Sign, int Lines>
void FourNeighbourRun(uint8_t* out, const uint8_t* a, const uint8_t* line, const uint8_t* b, int32_t width,
                      const int32_t* level) {
    const auto put = [&](int32_t i, int32_t k, int32_t sum) {
        const int32_t p = line[i];
        out[i] = kEdgeToByte[p + level[Sign * (k * p - sum)]];
    };
    const int32_t n = width * Step;
    if (width == 1) {
        for (int32_t i = 0; i < Step; ++i)
            put(i, Lines, Vertical<Lines>(a, b, i));
        return;
    }
    for (int32_t i = 0; i < Step; ++i)
        put(i, Lines + 1, line[i + Step] + Vertical<Lines>(a, b, i));
    int32_t i = Step;
#if defined(__SSE2__)
    if constexpr (Lines == 2)
        i = FourNeighbourEight<Step, Sign>(out, a, line, b, i, n - Step, level);
#endif
    for (; i < n - Step; ++i)
        put(i, Lines + 2, line[i - Step] + line[i + Step] + Vertical<Lines>(a, b, i));
    for (int32_t i = n - Step; i < n; ++i)
        put(i, Lines + 1, line[i - Step] + Vertical<Lines>(a, b, i));
}

// Weights over columns x - 2 .. x + 2 for the columns 0, 1, inner, w - 2, w - 1.
using Weights = int8_t[5][5];
constexpr Weights kOwnMiddle = {
    {0, 0, 8, 1, -1}, {0, 1, 9, 1, -1}, {-1, 2, 12, 2, -1}, {-1, 1, 9, 1, 0}, {-1, 1, 8, 0, 0}};
constexpr Weights kOwnEdge = {
    {0, 0, 4, 1, -1}, {0, 1, 4, 1, -1}, {-1, 1, 7, 1, -1}, {-1, 1, 4, 1, 0}, {-1, 1, 4, 0, 0}};
constexpr Weights kNeighbour = {
    {0, 0, -1, -1, -2}, {0, -1, -1, -1, -2}, {-2, -1, -1, -1, -2}, {-2, -1, -1, -1, 0}, {-2, -1, -1, 0, 0}};

template <int Lines>
void FiveByThreeRun(uint8_t* out, const uint8_t* a, const uint8_t* line, const uint8_t* b, int32_t width,
                    const int32_t* level) {
    const Weights& own = Lines == 2 ? kOwnMiddle : kOwnEdge;
    const auto put = [&](int32_t x, int32_t d) { out[x] = kEdgeToByte[line[x] + level[d]]; };
    const auto border = [&](int32_t x, int column) {
        int32_t d = 0;
        for (int j = 0; j < 5; ++j)
            if (own[column][j] != 0 || kNeighbour[column][j] != 0) {
                const int32_t c = x + j - 2;
                d += own[column][j] * line[c] + kNeighbour[column][j] * Vertical<Lines>(a, b, c);
            }
        put(x, d);
    };
    border(0, 0);
    border(1, 1);
    const int32_t centre = own[2][2], near = own[2][1];
    for (int32_t x = 2; x < width - 2; ++x) {
        const int32_t self =
            centre * line[x] + near * (line[x - 1] + line[x + 1]) - line[x - 2] - line[x + 2];
        const int32_t around = 2 * (Vertical<Lines>(a, b, x - 2) + Vertical<Lines>(a, b, x + 2)) +
                               Vertical<Lines>(a, b, x - 1) + Vertical<Lines>(a, b, x) +
                               Vertical<Lines>(a, b, x + 1);
        put(x, self - around);
    }
    border(width - 2, 3);
    border(width - 1, 4);
}
} // namespace

template <int BytesPerPixel, int Sign>
void FourNeighbourKernel<BytesPerPixel, Sign>::Line(uint8_t* out, const uint8_t* above, const uint8_t* line,
                                                    const uint8_t* below, int32_t width,
                                                    const int32_t* level) {
    if (above && below)
        FourNeighbourRun<BytesPerPixel, Sign, 2>(out, above, line, below, width, level);
    else if (above || below)
        FourNeighbourRun<BytesPerPixel, Sign, 1>(out, above ? above : below, line, nullptr, width, level);
    else
        FourNeighbourRun<BytesPerPixel, Sign, 0>(out, nullptr, line, nullptr, width, level);
}
template struct FourNeighbourKernel<1, 1>;
template struct FourNeighbourKernel<3, 1>;
template struct FourNeighbourKernel<3, -1>;

void FiveByThreeKernel::Line(uint8_t* out, const uint8_t* above, const uint8_t* line, const uint8_t* below,
                             int32_t width, const int32_t* level) {
    if (width < 4 || (!above && !below))
        std::memcpy(out, line, static_cast<size_t>(width));
    else if (above && below)
        FiveByThreeRun<2>(out, above, line, below, width, level);
    else
        FiveByThreeRun<1>(out, above ? above : below, line, nullptr, width, level);
}
