// Deskew output compared byte for byte with a walk that checks every output pixel on its own, on slanted
// documents that cross each edge of the page, in grey and both colour orders.
#include "CSkewCorrection.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Ovk::Pixen;
using pixentest::bytesOf;
using pixentest::patterned;

namespace {

// The rule in its plainest form: each output pixel is placed by repeated additions and kept only when its
// right and bottom neighbours lie on the page. Corners are at the page's resolution.
CImg walkEveryPixel(const CImg& page, const tagDESKEWINFO& info) {
    const auto at = [](tagPOINT32 p) { return std::pair<double, double>(p.x, p.y); };
    const auto [ltx, lty] = at(info.LeftTop);
    const auto [rtx, rty] = at(info.RightTop);
    const auto [lbx, lby] = at(info.LeftBottom);
    const auto [rbx, rby] = at(info.RightBottom);
    const auto len = [](double x0, double y0, double x1, double y1) {
        return static_cast<std::int32_t>(std::ceil(std::hypot(x1 - x0, y1 - y0)));
    };
    const std::int32_t width = std::min(len(ltx, lty, rtx, rty), len(lbx, lby, rbx, rby));
    const std::int32_t height = std::min(len(ltx, lty, lbx, lby), len(rtx, rty, rbx, rby));
    const double sx = (rbx - lbx) / width, sy = (rby - lby) / width;
    const std::int32_t outW = info.bAutoSize ? width : info.lWidth;
    const std::int32_t outH = info.bAutoSize ? height : info.lHeight;
    const std::int32_t d = std::max(0, (width - outW) / 2);
    const auto fixed = [](double v) { return static_cast<std::int64_t>(std::trunc(v * 65536.0)) * 65536; };
    const std::int32_t placeX = info.bRightAlign == 1 ? outW - std::min(width, outW) : 0;
    const bool planar = page.getRGBOrder() == Ovk::RGBORDER_LINE;
    const std::int32_t planes = planar ? page.getSpp() : 1, samples = planar ? 1 : page.getSpp();

    CImg out;
    out.createImg(outW, outH, 8, page.getSpp(), page.getRGBOrder(), 300, 300);
    std::memset(out.getImage(), 255, out.getImageSize());
    const std::int64_t cx = fixed(sx), cy = fixed(sy);
    for (std::int32_t r = 0; r < std::min(height, outH); ++r) {
        std::int64_t px = fixed(ltx + d * sx) - r * cy, py = fixed(lty + d * sy) + r * cx;
        for (std::int32_t j = 0; j < std::min(width, outW); ++j, px += cx, py += cy) {
            const std::int64_t X = px >> 32, Y = py >> 32;
            if (X < 0 || Y < 0 || X >= page.getWidth() - 1 || Y >= page.getHeight() - 1)
                continue;
            const std::int32_t gx = (px >> 28) & 15, gy = (py >> 28) & 15;
            for (std::int32_t plane = 0; plane < planes; ++plane)
                for (std::int32_t s = 0; s < samples; ++s) {
                    const std::uint8_t* a = page.getLine(Y, plane) + X * samples + s;
                    const std::uint8_t* b = page.getLine(Y + 1, plane) + X * samples + s;
                    const std::int32_t top = a[0] + (((a[samples] - a[0]) * gx) >> 4);
                    const std::int32_t bottom = b[0] + (((b[samples] - b[0]) * gx) >> 4);
                    out.getLine(r, plane)[(placeX + j) * samples + s] =
                        static_cast<std::uint8_t>(top + (((bottom - top) * gy) >> 4));
                }
        }
    }
    return out;
}

tagDESKEWINFO corners(tagPOINT32 lt, tagPOINT32 rt, tagPOINT32 lb, tagPOINT32 rb) {
    tagDESKEWINFO info{};
    info.LeftTop = lt;
    info.RightTop = rt;
    info.LeftBottom = lb;
    info.RightBottom = rb;
    info.lXResolution = info.lYResolution = 300;
    info.bAutoSize = 1;
    return info;
}

struct Layout {
    std::int32_t spp;
    std::uint32_t order;
};

} // namespace

TEST(SkewSampling, EveryLayoutAndSlantMatchesThePixelByPixelWalk) {
    const tagDESKEWINFO documents[] = {
        corners({20, 10}, {180, 30}, {5, 150}, {165, 170}),     // slanted down to the right, inside
        corners({30, 40}, {190, 5}, {55, 170}, {215, 135}),     // slanted up, right edge off the page
        corners({-25, -15}, {150, -40}, {10, 160}, {185, 135}), // crosses the left and top edges
        corners({60, 70}, {260, 95}, {35, 260}, {235, 285}),    // runs off the right and bottom
        corners({0, 0}, {199, 0}, {0, 179}, {199, 179}),        // straight, to the last column and row
        corners({100, -60}, {230, 70}, {-30, 70}, {100, 200}),  // a quarter turn's half: 45 degrees
    };
    const Layout layouts[] = {{1, Ovk::RGBORDER_PIXEL}, {3, Ovk::RGBORDER_PIXEL}, {3, Ovk::RGBORDER_LINE}};
    for (const Layout& layout : layouts)
        for (const tagDESKEWINFO& info : documents) {
            const CImg page = patterned(200, 180, 8, layout.spp, layout.order, 3);
            const CImg expected = walkEveryPixel(page, info);
            CImg actual = page;
            CSkewCorrection filter;
            tagDESKEWINFO record = info;
            ASSERT_EQ(filter.setInfo(actual, &record), RTN_OK);
            ASSERT_EQ(filter.IP(actual), RTN_OK);
            ASSERT_EQ(actual.getWidth(), expected.getWidth());
            ASSERT_EQ(actual.getHeight(), expected.getHeight());
            EXPECT_EQ(bytesOf(actual), bytesOf(expected))
                << "spp " << layout.spp << " order " << layout.order << " corner " << info.LeftTop.x;
        }
}

TEST(SkewSampling, FixedNarrowOutputAtTheRightEdgeMatchesTheWalk) {
    // Wider and lower than the output, so the start moves along the top edge and rows are cut.
    tagDESKEWINFO info = corners({-10, 20}, {170, 45}, {-30, 160}, {150, 185});
    info.bAutoSize = 0;
    info.lWidth = 150;
    info.lHeight = 120;
    info.bRightAlign = 1;
    const CImg page = patterned(200, 180, 8, 3, Ovk::RGBORDER_PIXEL, 9);
    CImg actual = page;
    CSkewCorrection filter;
    ASSERT_EQ(filter.setInfo(actual, &info), RTN_OK);
    ASSERT_EQ(filter.IP(actual), RTN_OK);
    EXPECT_EQ(bytesOf(actual), bytesOf(walkEveryPixel(page, info)));
}
