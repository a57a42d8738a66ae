// The library interface: result codes for bad records, bad images and calls out of sequence, the
// appended backing lines, and the settings queries.
#include "QS880/PixenQS880.h"
#include "RawBands.h"
#include "Requests.h"

#include <gtest/gtest.h>

using namespace qs880test;

namespace {

constexpr std::int32_t kWidth = 2552;

CImg marker() {
    CImg image;
    image.createImg(3, 1, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    image.getImage()[0] = 77;
    return image;
}

bool isMarker(const CImg& image) {
    return !image.isNull() && image.getWidth() == 3 && image.getImage()[0] == 77;
}

CImg greyBand(std::int32_t width, std::int32_t height) {
    const Page page = makePage(width, height, 1, 4);
    std::int32_t lines = 0;
    return rawBand(rawStream(page, nullptr, 0, lines), width, 1, 0, height);
}

} // namespace

TEST(Interface, BadRecordsAreRefusedBeforeAnythingIsTouched) {
    IdentityRequests requests(kWidth, 8, 1);
    CImg out = marker();
    CImg in = greyBand(kWidth, 8);
    EXPECT_EQ(RTN_PAR, FilterSimplex(out, in, nullptr));
    requests.simplex.ulSize -= 4;
    EXPECT_EQ(RTN_PAR, FilterSimplexFirst(out, in, &requests.simplex));
    requests.simplex.ulSize += 4;
    auto* simplexAsDuplex = reinterpret_cast<tagFILTERDUPLEXINFO*>(&requests.simplex);
    CImg back = marker();
    EXPECT_EQ(RTN_PAR, FilterDuplex(out, back, in, simplexAsDuplex));
    EXPECT_TRUE(isMarker(out));
    EXPECT_TRUE(isMarker(back));
    EXPECT_FALSE(in.isNull());
}

TEST(Interface, InputBandsOutsideTheModelsGeometryAreRefused) {
    IdentityRequests requests(kWidth, 8, 1);
    CImg out;
    CImg narrow = greyBand(2000, 8);
    EXPECT_EQ(RTN_PAR, FilterSimplex(out, narrow, &requests.simplex));
    CImg sixteen;
    sixteen.createImg(kWidth, 2, 16, 1, Ovk::RGBORDER_LINE, 300, 300);
    EXPECT_EQ(RTN_PAR, FilterSimplex(out, sixteen, &requests.simplex));
    CImg pixelOrder;
    pixelOrder.createImg(kWidth, 2, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    EXPECT_EQ(RTN_PAR, FilterSimplex(out, pixelOrder, &requests.simplex));
    CImg oddResolution;
    oddResolution.createImg(kWidth, 2, 8, 1, Ovk::RGBORDER_LINE, 400, 300);
    EXPECT_EQ(RTN_PAR, FilterSimplex(out, oddResolution, &requests.simplex));
    CImg oneSideWide = greyBand(kWidth, 8); // a two-sided band holds both sides
    CImg back;
    EXPECT_EQ(RTN_PAR, FilterDuplex(out, back, oneSideWide, &requests.duplex));
    EXPECT_TRUE(out.isNull());
}

TEST(Interface, AutomaticSizeWithoutCornerRecordIsRefused) {
    IdentityRequests requests(kWidth, 8, 1);
    requests.duplex.BackNormalFilterInfo.bAutoSize = true;
    CImg front;
    CImg back;
    CImg none;
    EXPECT_EQ(RTN_PAR, FilterDuplex(front, back, none, &requests.duplex));
    tagDETECT4POINTSINFO corners{};
    corners.ulSize = sizeof corners;
    requests.duplex.BackSpecialFilterInfo.pDetect4PointsInfo = &corners;
    EXPECT_EQ(RTN_OK, FilterDuplex(front, back, none, &requests.duplex)); // an empty band passes the checks
}

TEST(Interface, BandsOutOfSequenceGiveFour) {
    IdentityRequests requests(kWidth, 8, 1);
    CImg out;
    CImg in = greyBand(kWidth, 4);
    EXPECT_EQ(RTN_SEQUENCE, FilterSimplexMiddle(out, in, &requests.simplex));
    EXPECT_EQ(RTN_SEQUENCE, FilterSimplexLast(out, in, &requests.simplex));
    ASSERT_EQ(RTN_OK, FilterSimplexFirst(out, in, &requests.simplex));
    CImg back;
    CImg next = greyBand(2 * kWidth, 4);
    EXPECT_EQ(RTN_SEQUENCE, FilterDuplexMiddle(out, back, next, &requests.duplex));
    CImg last = greyBand(kWidth, 4);
    EXPECT_EQ(RTN_OK, FilterSimplexLast(out, last, &requests.simplex));
    EXPECT_EQ(RTN_SEQUENCE, FilterSimplexLast(out, last, &requests.simplex));
}

TEST(Interface, OffsetAndDummyPixels) {
    EXPECT_EQ(73, getOffset(300));
    EXPECT_EQ(147, getOffset(600));
    EXPECT_EQ(0, getOffset(0));
    setOffset(12700);
    EXPECT_EQ(150, getOffset(300));
    setOffset(6250);
    EXPECT_EQ(0, getDummyPixelCount(300));
    EXPECT_EQ(0, getDummyPixelCount(600));
}

TEST(Interface, OneShotOperationsWorkOnWholeImagesAndWaitForTheRunningPage) {
    CImg image;
    image.createImg(64, 8, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    for (std::int32_t y = 0; y < 8; ++y)
        for (std::int32_t x = 0; x < 64; ++x)
            image.getLine(y)[x] = static_cast<std::uint8_t>(x < 32 ? 10 : 240);
    EXPECT_EQ(RTN_OK, Inverse(image));
    EXPECT_EQ(245, image.getLine(3)[0]);
    EXPECT_EQ(RTN_PAR, GrayToBinary(image, nullptr));

    // Between the bands of a page the chain's filters hold that page: refused, image untouched.
    IdentityRequests requests(kWidth, 8, 1);
    CImg out;
    CImg band = greyBand(kWidth, 4);
    ASSERT_EQ(RTN_OK, FilterSimplexFirst(out, band, &requests.simplex));
    tagGRAYTOBINARYINFO binary{sizeof binary, 0, 128, 128};
    EXPECT_EQ(RTN_SEQUENCE, GrayToBinary(image, &binary));
    EXPECT_EQ(RTN_SEQUENCE, Inverse(image));
    EXPECT_EQ(8, image.getBps());
    CImg last = greyBand(kWidth, 4);
    ASSERT_EQ(RTN_OK, FilterSimplexLast(out, last, &requests.simplex));

    ASSERT_EQ(RTN_OK, GrayToBinary(image, &binary));
    EXPECT_EQ(1, image.getBps());
    EXPECT_EQ(64, image.getWidth());
}
