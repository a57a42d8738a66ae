// Deskew: the output is walked row by row; positions advance by the column and row steps in 32.32 fixed
// point (additions only), and each sample is interpolated from four neighbours with 4-bit weights.
#include "CSkewCorrection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Ovk::Pixen {

namespace {

constexpr std::int32_t MinDocument = 64; // pixels; anything smaller is no document

struct Corners {
    double ltx, lty, rtx, rty, lbx, lby, rbx, rby;
};

std::int64_t toFixed(double v) noexcept {
    return static_cast<std::int64_t>(std::trunc(v * 65536.0)) * 65536;
}

std::int32_t edge(double x0, double y0, double x1, double y1) noexcept {
    return static_cast<std::int32_t>(std::ceil(std::hypot(x1 - x0, y1 - y0)));
}

// One output sample from the four neighbours of (X, Y); gx, gy are 0..15.
std::uint8_t bilinear(const std::uint8_t* p00, const std::uint8_t* p01, std::int32_t step, std::int32_t gx,
                      std::int32_t gy) noexcept {
    const std::int32_t top = p00[0] + (((p00[step] - p00[0]) * gx) >> 4);
    const std::int32_t bottom = p01[0] + (((p01[step] - p01[0]) * gx) >> 4);
    return static_cast<std::uint8_t>(top + (((bottom - top) * gy) >> 4));
}

std::int64_t floorDiv(std::int64_t n, std::int64_t d) noexcept { // d > 0
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

struct Span {
    std::int32_t first, last; // columns [first, last)
};

// Columns j of [0, count) whose fixed-point coordinate a + j * b lies in [lo, hi). The position moves
// linearly along a row, so the columns whose neighbours all exist form one run.
Span within(std::int64_t a, std::int64_t b, std::int64_t lo, std::int64_t hi, std::int32_t count) noexcept {
    std::int64_t first = 0, last = count;
    if (b > 0) {
        first = -floorDiv(a - lo, b);
        last = -floorDiv(a - hi, b);
    } else if (b < 0) {
        first = floorDiv(a - hi, -b) + 1;
        last = floorDiv(a - lo, -b) + 1;
    } else if (a < lo || a >= hi) {
        last = 0;
    }
    return {static_cast<std::int32_t>(std::clamp<std::int64_t>(first, 0, count)),
            static_cast<std::int32_t>(std::clamp<std::int64_t>(last, 0, count))};
}

#if defined(__SSE2__)
// The three samples of a pixel at once, in 16-bit lanes: top and bottom rows are interpolated together.
// Every intermediate (a byte difference times a 4-bit weight) fits a signed lane, so the arithmetic
// shifts give the scalar bytes. Reads 8 bytes at each of p00 and p01; the pixel is in the low 3 bytes.
std::uint32_t bilinear3(const std::uint8_t* p00, const std::uint8_t* p01, std::int32_t gx,
                        std::int32_t gy) noexcept {
    const __m128i zero = _mm_setzero_si128();
    const __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p00)), zero);
    const __m128i bottom = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p01)), zero);
    const __m128i left = _mm_unpacklo_epi64(top, bottom); // lanes 0-2 top row, 4-6 bottom row
    const __m128i right = _mm_unpacklo_epi64(_mm_srli_si128(top, 6), _mm_srli_si128(bottom, 6));
    const __m128i step = _mm_mullo_epi16(_mm_sub_epi16(right, left), _mm_set1_epi16(static_cast<short>(gx)));
    const __m128i rows = _mm_add_epi16(left, _mm_srai_epi16(step, 4));
    const __m128i down =
        _mm_mullo_epi16(_mm_sub_epi16(_mm_srli_si128(rows, 8), rows), _mm_set1_epi16(static_cast<short>(gy)));
    const __m128i value = _mm_add_epi16(rows, _mm_srai_epi16(down, 4));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(value, value)));
}
#endif

// One source plane: its first byte, bytes from one line to the next, bytes per pixel, and the end of the
// buffer, which wide reads must not pass.
struct Plane {
    const std::uint8_t* base;
    std::int64_t lineStep;
    std::int32_t samples;
    const std::uint8_t* end;
};

// Fills `count` output pixels from position (px, py) on; every neighbour lies on the page. Samples is the
// pixel size when known at compile time (0: take the plane's).
template <std::int32_t Samples>
void sampleRun(const Plane& src, std::uint8_t* out, std::int64_t px, std::int64_t py, std::int64_t colX,
               std::int64_t colY, std::int32_t count) noexcept {
    const std::int32_t samples = Samples != 0 ? Samples : src.samples;
    for (std::int32_t j = 0; j < count; ++j, px += colX, py += colY, out += samples) {
        const std::uint8_t* p00 = src.base + (py >> 32) * src.lineStep + (px >> 32) * samples;
        const std::uint8_t* p01 = p00 + src.lineStep;
        // A slanted walk meets each source row in short pieces that the hardware does not prefetch; the
        // row below is what the next output row reads here.
        __builtin_prefetch(p01 + src.lineStep);
        const auto gx = static_cast<std::int32_t>((px >> 28) & 15);
        const auto gy = static_cast<std::int32_t>((py >> 28) & 15);
#if defined(__SSE2__)
        if (Samples == 3 && p01 + 8 <= src.end) {
            const std::uint32_t pixel = bilinear3(p00, p01, gx, gy);
            // One 4-byte store; its spare byte belongs to the next pixel, which is written after it.
            if (j + 1 < count)
                std::memcpy(out, &pixel, 4);
            else
                std::memcpy(out, &pixel, 3);
            continue;
        }
#endif
        for (std::int32_t s = 0; s < samples; ++s)
            out[s] = bilinear(p00 + s, p01 + s, samples, gx, gy);
    }
}

void sampleRun(const Plane& src, std::uint8_t* out, std::int64_t px, std::int64_t py, std::int64_t colX,
               std::int64_t colY, std::int32_t count) noexcept {
    if (src.samples == 1)
        sampleRun<1>(src, out, px, py, colX, colY, count);
    else if (src.samples == 3)
        sampleRun<3>(src, out, px, py, colX, colY, count);
    else
        sampleRun<0>(src, out, px, py, colX, colY, count);
}

// Start and steps of the walk in 32.32 fixed point (a row moves by (-colY, colX)) and the part of the
// output it covers.
struct Walk {
    std::int64_t x, y;
    std::int64_t colX, colY;
    std::int32_t copyW, copyH, placeX;
};

// Writes every byte of `out` once: the samples the walk finds on the page, the background around them.
void resample(const CImg& page, CImg& out, Walk walk, std::uint8_t background) noexcept {
    const bool planar = page.getRGBOrder() == RGBORDER_LINE;
    const std::int32_t planes = planar ? page.getSpp() : 1;
    const std::int32_t samples = planar ? 1 : page.getSpp();
    // Column 0 and row 0 count: only the right and bottom neighbours must exist.
    const std::int64_t endX = (std::int64_t{page.getWidth()} - 1) << 32;
    const std::int64_t endY = (std::int64_t{page.getHeight()} - 1) << 32;
    for (std::int32_t r = 0; r < out.getHeight(); ++r, walk.x -= walk.colY, walk.y += walk.colX) {
        Span run{0, 0};
        if (r < walk.copyH) {
            const Span alongX = within(walk.x, walk.colX, 0, endX, walk.copyW);
            const Span alongY = within(walk.y, walk.colY, 0, endY, walk.copyW);
            run = {std::max(alongX.first, alongY.first), std::min(alongX.last, alongY.last)};
        }
        const std::int32_t count = std::max(0, run.last - run.first);
        const std::int64_t begin = count > 0 ? std::int64_t{walk.placeX + run.first} * samples : 0;
        const std::int64_t end = begin + std::int64_t{count} * samples;
        for (std::int32_t plane = 0; plane < planes; ++plane) {
            std::uint8_t* line = out.getLine(r, plane);
            std::memset(line, background, static_cast<std::size_t>(begin));
            if (count > 0) {
                const Plane src{page.getLine(0, plane), std::int64_t{page.getSync()} * planes, samples,
                                page.getImage() + page.getImageSize()};
                sampleRun(src, line + begin, walk.x + run.first * walk.colX, walk.y + run.first * walk.colY,
                          walk.colX, walk.colY, count);
            }
            std::memset(line + end, background, static_cast<std::size_t>(out.getSync() - end));
        }
    }
}

} // namespace

std::int32_t CSkewCorrection::setInfo(CImg& image, void* info) {
    if (info == nullptr)
        return RTN_PAR;
    const auto* record = static_cast<const tagDESKEWINFO*>(info);
    if (record->lXResolution == 0 || record->lYResolution == 0)
        return RTN_PAR;
    if (image.getBps() == 1)
        return RTN_NOT_APPLICABLE;
    m_Info = *record;
    return RTN_OK;
}

std::int32_t CSkewCorrection::IP(CImg& image) {
    if (image.getBps() != 8)
        return RTN_NOT_APPLICABLE;
    const auto sx = [&](std::int32_t v) {
        return double(std::int64_t{v} * image.getXResolution() / m_Info.lXResolution);
    };
    const auto sy = [&](std::int32_t v) {
        return double(std::int64_t{v} * image.getYResolution() / m_Info.lYResolution);
    };
    const Corners c{sx(m_Info.LeftTop.x),     sy(m_Info.LeftTop.y),    sx(m_Info.RightTop.x),
                    sy(m_Info.RightTop.y),    sx(m_Info.LeftBottom.x), sy(m_Info.LeftBottom.y),
                    sx(m_Info.RightBottom.x), sy(m_Info.RightBottom.y)};
    const std::int32_t width = std::min(edge(c.ltx, c.lty, c.rtx, c.rty), edge(c.lbx, c.lby, c.rbx, c.rby));
    const std::int32_t height = std::min(edge(c.ltx, c.lty, c.lbx, c.lby), edge(c.rtx, c.rty, c.rbx, c.rby));
    if (width <= 0 || height <= 0 || width < MinDocument || height < MinDocument)
        return RTN_PAR;
    const double stepX = (c.rbx - c.lbx) / width;
    const double stepY = (c.rby - c.lby) / width;

    const std::int32_t outW = m_Info.bAutoSize != 0 ? width : m_Info.lWidth;
    const std::int32_t outH = m_Info.bAutoSize != 0 ? height : m_Info.lHeight;
    const std::int32_t copyW = std::min(width, outW);
    const std::int32_t copyH = std::min(height, outH);
    const std::int32_t placeX = m_Info.bRightAlign == 1 ? outW - copyW : 0;
    // A document wider than the output is centred; the start follows the column step both ways.
    const std::int32_t d = std::max(0, (width - outW) / 2);
    const double x0 = c.ltx + d * stepX;
    const double y0 = c.lty + d * stepY;

    CImg out;
    const std::int32_t sync = CImg::calcMinSync(outW, image.getBps(), image.getSpp(), image.getRGBOrder());
    const tagIMAGEINFO record =
        CImg::makeInfo(0, 0, outW, outH, sync, image.getBps(), image.getSpp(), image.getRGBOrder(),
                       image.getXResolution(), image.getYResolution());
    if (out.createImgUnfilled(&record) == 0) // resample writes every byte
        return RTN_PAR;
    if (out.isNull())
        return RTN_MEMORY;
    resample(image, out, {toFixed(x0), toFixed(y0), toFixed(stepX), toFixed(stepY), copyW, copyH, placeX},
             m_byBackground);
    image.attachImg(out);
    return RTN_OK;
}

} // namespace Ovk::Pixen
