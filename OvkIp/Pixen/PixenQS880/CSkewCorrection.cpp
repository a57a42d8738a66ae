// Deskew: the output is walked row by row; positions advance by the column and row steps in 32.32 fixed
// point (additions only), and each sample is interpolated from four neighbours with 4-bit weights.
#include "CSkewCorrection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
    if (out.createImg(0, 0, outW, outH, sync, image.getBps(), image.getSpp(), image.getRGBOrder(),
                      image.getXResolution(), image.getYResolution()) == 0)
        return RTN_PAR;
    if (out.isNull())
        return RTN_MEMORY;
    std::memset(out.getImage(), m_byBackground, out.getImageSize());

    const bool planar = image.getRGBOrder() == RGBORDER_LINE;
    const std::int32_t planes = planar ? image.getSpp() : 1;
    const std::int32_t samples = planar ? 1 : image.getSpp();
    const std::int64_t colX = toFixed(stepX), colY = toFixed(stepY);
    std::int64_t rowX = toFixed(x0), rowY = toFixed(y0);
    for (std::int32_t r = 0; r < copyH; ++r, rowX -= colY, rowY += colX) {
        std::int64_t px = rowX, py = rowY;
        for (std::int32_t j = 0; j < copyW; ++j, px += colX, py += colY) {
            const std::int64_t X = px >> 32, Y = py >> 32;
            // Column 0 and row 0 count: only the right and bottom neighbours must exist.
            if (X < 0 || Y < 0 || X >= image.getWidth() - 1 || Y >= image.getHeight() - 1)
                continue;
            const std::int32_t gx = static_cast<std::int32_t>((px >> 28) & 15);
            const std::int32_t gy = static_cast<std::int32_t>((py >> 28) & 15);
            for (std::int32_t plane = 0; plane < planes; ++plane) {
                const std::uint8_t* p00 = image.getLine(static_cast<std::int32_t>(Y), plane) + X * samples;
                const std::uint8_t* p01 =
                    image.getLine(static_cast<std::int32_t>(Y) + 1, plane) + X * samples;
                std::uint8_t* o = out.getLine(r, plane) + std::int64_t{placeX + j} * samples;
                for (std::int32_t s = 0; s < samples; ++s)
                    o[s] = bilinear(p00 + s, p01 + s, samples, gx, gy);
            }
        }
    }
    image.attachImg(out);
    return RTN_OK;
}

} // namespace Ovk::Pixen
