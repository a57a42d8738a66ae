// Properties of the single-side paper detector on synthetic scans: a white sheet on the dark backing.
#include "DetectSize/DetectSize.h"
#include "DetectSize/DetectSizeStatus.h"
#include "DetectSize/OvkDetectSlantAndSize.h"
#include "SyntheticPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

using namespace Ovk::DetectSize;
using SyntheticPage::Sheet;

namespace {

constexpr int kW = 1500, kH = 2000, kDpi = 300;
constexpr int kMargin = kDpi * 10 / 254; // the detector's default corner margin, 1 mm

Sheet sheetAt(double degrees) {
    return Sheet{750, 1000, 1200, 1600, degrees * std::numbers::pi / 180};
}

CDetectSize::tagOPTION defaults() {
    CDetectSize::tagOPTION o{};
    o.size = sizeof(o);
    o.refAx = o.refAy = o.refBx = o.refBy = -1;
    o.edgeThreshold = o.trailThreshold = o.cornerMargin = o.distance = -1;
    return o;
}

struct Page {
    std::vector<std::uint8_t> px;
    CImg::tagIMGSET set;
};

Page greyPage(const Sheet& sheet, int noise, int xdpi = kDpi, int ydpi = kDpi, int w = kW, int h = kH) {
    Page p{SyntheticPage::grey(sheet, w, h, 40, 220, SyntheticPage::Noise{777, noise}), {}};
    p.set = CImg::tagIMGSET{p.px.data(), w, h, w, xdpi, ydpi, 8, 0};
    return p;
}

// Runs the detector over the page in bands of the given heights (the last band takes the rest).
tagDETECTSIZEINFO detect(const CImg::tagIMGSET& page, std::vector<int> bands = {},
                         CDetectSize::tagOPTION option = defaults()) {
    CDetectSize d;
    EXPECT_EQ(d.Initialize(page, option), kStatusOk);
    int y = 0;
    for (std::size_t i = 0; y < page.height; ++i) {
        CImg::tagIMGSET band = page;
        band.pImg = page.pImg + static_cast<std::ptrdiff_t>(y) * page.sync;
        band.height = i < bands.size() ? std::min(bands[i], page.height - y) : page.height - y;
        EXPECT_EQ(i == 0 ? d.first(band) : d.mid(band), kStatusOk);
        y += band.height;
    }
    EXPECT_EQ(d.last(CImg::tagIMGSET{}), kStatusOk);
    tagDETECTSIZEINFO info{};
    info.size = sizeof(info);
    EXPECT_EQ(d.result(info, option), kStatusOk);
    return info;
}

double ratio(const tagDETECTSIZEINFO& info) {
    return info.a > info.b ? double(info.b) / info.a : double(info.a) / info.b;
}

// Each reported corner lies on the sheet and at most two margins (plus the edge search's line) from the true
// one.
void expectCornersNear(const tagDETECTSIZEINFO& info, const Sheet& sheet, int xdpi = kDpi, int ydpi = kDpi) {
    std::int32_t got[8];
    order_corners(info, xdpi, ydpi, got);
    const std::vector<SyntheticPage::Point> want = SyntheticPage::imageCorners(sheet);
    const double tolerance = 2 * kMargin + 4;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(got[2 * i], want[i].x, tolerance);
        EXPECT_NEAR(got[2 * i + 1], want[i].y, tolerance);
        double u, v;
        sheet.local(got[2 * i], got[2 * i + 1], u, v);
        EXPECT_LE(std::abs(u), sheet.width / 2 + 2);
        EXPECT_LE(std::abs(v), sheet.height / 2 + 2);
    }
}

} // namespace

TEST(DetectSize, AxisAlignedSheetHasNoSlantAndCornersInsideTheMargins) {
    const Sheet sheet = sheetAt(0);
    const tagDETECTSIZEINFO info = detect(greyPage(sheet, 5).set);
    EXPECT_EQ(info.a, 1);
    EXPECT_EQ(info.b, 0);
    expectCornersNear(info, sheet);
    EXPECT_NEAR(info.xmin, 150, kMargin);
    EXPECT_NEAR(info.xmax, 1350, kMargin);
    EXPECT_NEAR(info.ymin, 200, 2 * kMargin);
    EXPECT_NEAR(info.ymax, 1800, 2 * kMargin + 2);
}

TEST(DetectSize, RotatedSheetGivesItsSlantBothWays) {
    for (double degrees : {0.7, -0.7, 1.5, -1.5, 3.0, -3.0}) {
        SCOPED_TRACE(degrees);
        const Sheet sheet = sheetAt(degrees);
        const tagDETECTSIZEINFO info = detect(greyPage(sheet, 5).set);
        EXPECT_NEAR(ratio(info), std::tan(std::abs(sheet.angle)), 0.002);
        // The pair points along the top edge when it descends to the right, else along the right edge.
        EXPECT_EQ(info.a > info.b, degrees > 0);
        expectCornersNear(info, sheet);
    }
}

TEST(DetectSize, AnyBandSplitGivesTheWholePageResult) {
    for (double degrees : {0.0, -2.0}) {
        // Without noise the first line of the page and of many bands is uniform; those bands count too.
        for (int noise : {0, 5}) {
            const Sheet sheet = sheetAt(degrees);
            const Page page = greyPage(sheet, noise);
            const tagDETECTSIZEINFO whole = detect(page.set);
            expectCornersNear(whole, sheet);
            for (const std::vector<int>& bands :
                 {std::vector<int>{1, 1, 5, 250}, std::vector<int>(200, 7), std::vector<int>{999, 3, 600}}) {
                const tagDETECTSIZEINFO split = detect(page.set, bands);
                EXPECT_EQ(0, std::memcmp(&whole, &split, sizeof(whole)));
            }
        }
    }
}

TEST(DetectSize, ColourBandsInEitherOrderMatchGrey) {
    const Sheet sheet = sheetAt(1.2);
    const Page grey = greyPage(sheet, 4);
    const tagDETECTSIZEINFO want = detect(grey.set);
    std::vector<std::uint8_t> pixel(grey.px.size() * 3), line(grey.px.size() * 3);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const std::uint8_t v = grey.px[std::size_t(y) * kW + x];
            const std::size_t p = std::size_t(y) * kW * 3;
            pixel[p + 3 * x] = 0, pixel[p + 3 * x + 1] = v, pixel[p + 3 * x + 2] = 255;
            line[p + x] = 0, line[p + kW + x] = v, line[p + 2 * kW + x] = 255;
        }
    const tagDETECTSIZEINFO fromPixel = detect({pixel.data(), kW, kH, 3 * kW, kDpi, kDpi, 24, 0}, {300});
    const tagDETECTSIZEINFO fromLine = detect({line.data(), kW, kH, 3 * kW, kDpi, kDpi, 24, 1}, {300});
    EXPECT_EQ(0, std::memcmp(&want, &fromPixel, sizeof(want)));
    EXPECT_EQ(0, std::memcmp(&want, &fromLine, sizeof(want)));
}

TEST(DetectSize, UnequalResolutionsAreAlignedAndScaledBack) {
    // 600 x 300 dpi: a sheet with square corners, sampled twice as densely across.
    const Sheet sheet{750, 1000, 1200, 1600, 1.5 * std::numbers::pi / 180};
    std::vector<std::uint8_t> px(std::size_t(2 * kW) * kH);
    SyntheticPage::Noise noise{99, 4};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < 2 * kW; ++x)
            px[std::size_t(y) * 2 * kW + x] =
                SyntheticPage::clampByte((sheet.inside(x / 2.0, y) ? 220 : 40) + noise.next());
    const tagDETECTSIZEINFO info = detect({px.data(), 2 * kW, kH, 2 * kW, 600, 300, 8, 0});
    // The pair is in page pixels: the top edge drops tan(angle) / 2 lines per 600-dpi column.
    EXPECT_NEAR(double(info.b) / info.a, std::tan(sheet.angle) / 2, 0.002);
    const SyntheticPage::Point lt = sheet.corner(-1, -1), rt = sheet.corner(1, -1);
    EXPECT_NEAR(info.P4.x, 2 * lt.x, 2 * (2 * kMargin + 4));
    EXPECT_NEAR(info.P4.y, lt.y, 2 * kMargin + 4);
    EXPECT_NEAR(info.P3.x, 2 * rt.x, 2 * (2 * kMargin + 4));
    EXPECT_NEAR(info.P3.y, rt.y, 2 * kMargin + 4);
}

TEST(DetectSize, ImplausibleResultsFallBackToTheMarginRectangle) {
    const Page page = greyPage(sheetAt(1.5), 4);
    CDetectSize::tagOPTION tooLong = defaults();
    tooLong.paperLength = kDpi * 9000 / 254; // 900 mm forces "no slant"
    const tagDETECTSIZEINFO longPaper = detect(page.set, {}, tooLong);
    EXPECT_EQ(longPaper.a, 1);
    EXPECT_EQ(longPaper.b, 0);

    // Reference points far off the upper edge: the fit is rejected for the margins' rectangle.
    CDetectSize::tagOPTION off = defaults();
    off.refAx = 300, off.refAy = 900, off.refBx = 1200, off.refBy = 1000;
    off.topMargin = 10, off.leftMargin = 20, off.rightMargin = 30;
    const tagDETECTSIZEINFO info = detect(page.set, {}, off);
    EXPECT_EQ(info.a, 1);
    EXPECT_EQ(info.b, 0);
    EXPECT_EQ(info.xmin, 20);
    EXPECT_EQ(info.ymin, 10);
    EXPECT_EQ(info.xmax, kW - 30);
    EXPECT_EQ(info.P1.x, 20);
    EXPECT_EQ(info.P1.y, info.ymax);
}

TEST(DetectSize, EdgeSearchNeedsARunLongerThanAQuarterMillimetre) {
    // A bright streak of 2 lines (R = 2 at 300 dpi) on the backing is no edge; the sheet below it is.
    Page page = greyPage(sheetAt(0), 0);
    for (int y = 60; y < 62; ++y)
        std::fill_n(page.px.begin() + y * kW, kW, 220);
    const tagDETECTSIZEINFO info = detect(page.set);
    EXPECT_NEAR(info.ymin, 200, 2 * kMargin);
}

TEST(DetectSize, ResolutionsWithoutAWindowAreRefused) {
    CDetectSize d;
    const Page page = greyPage(sheetAt(0), 0);
    CImg::tagIMGSET set = page.set;
    set.ydpi = 0;
    EXPECT_EQ(d.Initialize(set, defaults()), kStatusBadArgument);
    set.ydpi = 20; // 1 mm is no line: the comparison window would be empty
    EXPECT_EQ(d.Initialize(set, defaults()), kStatusBadArgument);
    EXPECT_EQ(d.first(page.set), kStatusBadArgument);
    CDetectSize::tagOPTION bad = defaults();
    bad.size -= 1;
    EXPECT_EQ(d.Initialize(page.set, bad), kStatusBadArgument);
    set.ydpi = kDpi;
    set.width = 0;
    EXPECT_EQ(d.Initialize(set, defaults()), kStatusNoMemory);
}

TEST(DetectSize, EvenMedianWindowAt120DpiStillFindsTheSlant) {
    // 120 dpi makes the slant median's window 4; it must neither abort nor lose the result.
    Sheet sheet{300, 400, 480, 640, 2.0 * std::numbers::pi / 180};
    const tagDETECTSIZEINFO info = detect(greyPage(sheet, 3, 120, 120, 600, 800).set);
    EXPECT_NEAR(ratio(info), std::tan(sheet.angle), 0.004);
    EXPECT_GT(info.a, info.b);
}

TEST(DetectSize, BandsOfAnotherWidthOrDepthAreRefused) {
    const Page page = greyPage(sheetAt(0), 0);
    CDetectSize d;
    ASSERT_EQ(d.Initialize(page.set, defaults()), kStatusOk);
    CImg::tagIMGSET narrow = page.set;
    narrow.width -= 1;
    EXPECT_EQ(d.first(narrow), kStatusBadArgument);
    CImg::tagIMGSET binary = page.set;
    binary.bpp = 1;
    EXPECT_EQ(d.first(binary), kStatusBadArgument);
    CImg::tagIMGSET shortLines = page.set;
    shortLines.bpp = 24;
    EXPECT_EQ(d.first(shortLines), kStatusBadArgument);
}
