// Rotation, deskew and auto size on small pages, checked against pixel-by-pixel references.
#include "CAutoSize.h"
#include "CRotate90x.h"
#include "CSkewCorrection.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace Ovk::Pixen;
using pixentest::bytesOf;
using pixentest::patterned;

namespace {

int bitAt(const CImg& image, std::int32_t x, std::int32_t y) {
    return (image.getLine(y)[x / 8] >> (7 - x % 8)) & 1;
}

std::int32_t rotate(CImg& image, std::int32_t degrees) {
    CRotate90x filter;
    tagROTATE90XINFO record{sizeof record, degrees};
    const std::int32_t set = filter.setInfo(image, &record);
    return set != RTN_OK ? set : filter.IP(image);
}

// Pixel (x, y) of an image, all its sample bytes, in either colour order.
std::vector<std::uint8_t> pixel(const CImg& image, std::int32_t x, std::int32_t y) {
    if (image.getBps() == 1)
        return {static_cast<std::uint8_t>(bitAt(image, x, y))};
    if (image.getRGBOrder() == Ovk::RGBORDER_LINE) {
        std::vector<std::uint8_t> samples;
        for (std::int32_t plane = 0; plane < image.getSpp(); ++plane)
            samples.push_back(image.getLine(y, plane)[x]);
        return samples;
    }
    const std::uint8_t* p = image.getLine(y) + x * image.getSpp();
    return {p, p + image.getSpp()};
}

void expectClockwiseQuarter(const CImg& in, const CImg& out) {
    ASSERT_EQ(out.getWidth(), in.getHeight());
    ASSERT_EQ(out.getHeight(), in.getWidth());
    for (std::int32_t y = 0; y < out.getHeight(); ++y)
        for (std::int32_t x = 0; x < out.getWidth(); ++x)
            ASSERT_EQ(pixel(out, x, y), pixel(in, y, in.getHeight() - 1 - x)) << x << "," << y;
}

void expectUsedBytesEqual(const CImg& a, const CImg& b) {
    ASSERT_EQ(a.getWidth(), b.getWidth());
    ASSERT_EQ(a.getHeight(), b.getHeight());
    for (std::int32_t y = 0; y < a.getHeight(); ++y)
        for (std::int32_t x = 0; x < a.getWidth(); ++x)
            ASSERT_EQ(pixel(a, x, y), pixel(b, x, y)) << x << "," << y;
}

struct Format {
    std::int32_t bps, spp;
    std::uint32_t order;
};

} // namespace

TEST(Rotate90x, QuarterTurnsOfEveryFormat) {
    for (const Format f : {Format{8, 1, 0}, Format{8, 3, 0}, Format{8, 3, 1}, Format{1, 1, 0}}) {
        for (const std::int32_t width : {5, 13, 16}) {
            const CImg original = patterned(width, 11, f.bps, f.spp, f.order, 3);
            CImg turned = original;
            ASSERT_EQ(rotate(turned, 90), RTN_OK);
            expectClockwiseQuarter(original, turned);
            CImg back = turned;
            for (int i = 0; i < 3; ++i)
                ASSERT_EQ(rotate(back, 90), RTN_OK);
            expectUsedBytesEqual(back, original);
        }
    }
}

TEST(Rotate90x, AnglesModulo360) {
    const CImg original = patterned(13, 7, 1, 1, Ovk::RGBORDER_PIXEL);
    CImg ccw = original, minus = original, plus = original, half = original, twice = original;
    ASSERT_EQ(rotate(ccw, 270), RTN_OK);
    ASSERT_EQ(rotate(minus, -90), RTN_OK);
    expectUsedBytesEqual(minus, ccw);
    ASSERT_EQ(rotate(plus, 450), RTN_OK);
    ASSERT_EQ(rotate(twice, 90), RTN_OK);
    expectUsedBytesEqual(plus, twice);
    ASSERT_EQ(rotate(twice, 90), RTN_OK);
    ASSERT_EQ(rotate(half, 540), RTN_OK);
    expectUsedBytesEqual(half, twice);
    for (const std::int32_t none : {0, 360}) {
        CImg same = original;
        ASSERT_EQ(rotate(same, none), RTN_OK);
        EXPECT_EQ(bytesOf(same), bytesOf(original));
    }
    CImg off = original;
    EXPECT_EQ(rotate(off, 45), RTN_PAR);
}

namespace {

// A grey page with a bright square at (left, top) of size side, dark elsewhere.
CImg pageWithSquare(std::int32_t width, std::int32_t height, std::int32_t left, std::int32_t top,
                    std::int32_t side) {
    CImg page;
    page.createImg(width, height, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    for (std::int32_t y = top; y < top + side; ++y)
        for (std::int32_t x = left; x < left + side; ++x)
            page.getLine(y)[x] = static_cast<std::uint8_t>(100 + (x + y) % 100);
    return page;
}

tagDESKEWINFO square(std::int32_t left, std::int32_t top, std::int32_t side) {
    tagDESKEWINFO info{};
    info.LeftTop = {left, top};
    info.RightTop = {left + side, top};
    info.LeftBottom = {left, top + side};
    info.RightBottom = {left + side, top + side};
    info.lXResolution = info.lYResolution = 300;
    info.bAutoSize = 1;
    return info;
}

std::int32_t deskew(CImg& page, tagDESKEWINFO& info) {
    CSkewCorrection filter;
    filter.setBackground(255);
    const std::int32_t set = filter.setInfo(page, &info);
    return set != RTN_OK ? set : filter.IP(page);
}

} // namespace

TEST(SkewCorrection, StraightDocumentIsCopiedFromItsFirstRowAndColumn) {
    CImg page = pageWithSquare(80, 80, 0, 0, 70);
    const CImg original = page;
    tagDESKEWINFO info = square(0, 0, 70);
    ASSERT_EQ(deskew(page, info), RTN_OK);
    ASSERT_EQ(page.getWidth(), 70);
    ASSERT_EQ(page.getHeight(), 70);
    for (std::int32_t y = 0; y < 70; ++y)
        for (std::int32_t x = 0; x < 70; ++x)
            ASSERT_EQ(page.getLine(y)[x], original.getLine(y)[x]) << x << "," << y;
}

TEST(SkewCorrection, FixedOutputSizeAndPlacement) {
    CImg page = pageWithSquare(100, 100, 10, 10, 64);
    tagDESKEWINFO info = square(10, 10, 64);
    info.bAutoSize = 0;
    info.lWidth = 80;
    info.lHeight = 70;
    info.bRightAlign = 1;
    ASSERT_EQ(deskew(page, info), RTN_OK);
    ASSERT_EQ(page.getWidth(), 80);
    ASSERT_EQ(page.getHeight(), 70);
    EXPECT_EQ(page.getLine(0)[15], 255) << "left of the document is background";
    EXPECT_EQ(page.getLine(0)[16], 100 + 20) << "the document lies at the right edge";
    EXPECT_EQ(page.getLine(65)[40], 255) << "below the document is background";
}

TEST(SkewCorrection, WideDocumentIsCentredAlongItsSlant) {
    // A document tilted downwards to the right, wider than the output: the start moves along the top edge.
    CImg page;
    page.createImg(200, 200, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    for (std::int32_t y = 0; y < 200; ++y)
        for (std::int32_t x = 0; x < 200; ++x)
            page.getLine(y)[x] = static_cast<std::uint8_t>(y);
    tagDESKEWINFO info{};
    info.LeftTop = {10, 20};
    info.RightTop = {110, 30};
    info.LeftBottom = {0, 120};
    info.RightBottom = {100, 130};
    info.lXResolution = info.lYResolution = 300;
    info.lWidth = 80;
    info.lHeight = 90;
    ASSERT_EQ(deskew(page, info), RTN_OK);
    // Width 101, d = 10, so the first sample lies 10 column steps along the top edge: y = 20 + 10 * 0.099.
    EXPECT_EQ(page.getLine(0)[0], 20);
    EXPECT_GE(page.getLine(0)[79], 27);
}

TEST(SkewCorrection, RefusesTinyDocumentsAndBinaryPages) {
    CImg page = pageWithSquare(100, 100, 0, 0, 63);
    tagDESKEWINFO info = square(0, 0, 63);
    EXPECT_EQ(deskew(page, info), RTN_PAR);
    CImg bits = patterned(100, 100, 1, 1, Ovk::RGBORDER_PIXEL);
    info = square(0, 0, 80);
    EXPECT_EQ(deskew(bits, info), RTN_NOT_APPLICABLE);
    info.lYResolution = 0;
    CImg grey = pageWithSquare(100, 100, 0, 0, 80);
    EXPECT_EQ(deskew(grey, info), RTN_PAR);
}

TEST(AutoSize, CropsAtThePagesResolution) {
    const CImg page = patterned(40, 30, 8, 3, Ovk::RGBORDER_PIXEL);
    CImg cropped = page;
    CAutoSize filter;
    // 600-dpi rectangle on a 300-dpi page: left 4, top 2, 10 x 8 pixels.
    tagAUTOSIZEINFO info{sizeof info, 8, 4, 20, 16, 600, 600};
    ASSERT_EQ(filter.setInfo(cropped, &info), RTN_OK);
    ASSERT_EQ(filter.IP(cropped), RTN_OK);
    ASSERT_EQ(cropped.getWidth(), 10);
    ASSERT_EQ(cropped.getHeight(), 8);
    for (std::int32_t y = 0; y < 8; ++y)
        for (std::int32_t x = 0; x < 10; ++x)
            ASSERT_EQ(pixel(cropped, x, y), pixel(page, x + 4, y + 2));

    CImg clipped = page;
    tagAUTOSIZEINFO beyond{sizeof info, 70, -10, 100, 100, 600, 600};
    ASSERT_EQ(filter.setInfo(clipped, &beyond), RTN_OK);
    ASSERT_EQ(filter.IP(clipped), RTN_OK);
    EXPECT_EQ(clipped.getWidth(), 5);
    EXPECT_EQ(clipped.getHeight(), 30);
    tagAUTOSIZEINFO outside{sizeof info, 80, 0, 10, 10, 600, 600};
    ASSERT_EQ(filter.setInfo(clipped, &outside), RTN_OK);
    EXPECT_EQ(filter.IP(clipped), RTN_PAR);
}
