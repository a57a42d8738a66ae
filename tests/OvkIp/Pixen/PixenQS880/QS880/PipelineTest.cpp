// The whole pipeline through the library interface: raw bands made from a known page come back as that
// page with identity references, whatever the band split, for one side and for two.
#include "QS880/CColorGapCorrect.h"
#include "QS880/PixenQS880.h"
#include "RawBands.h"
#include "Requests.h"

#include <gtest/gtest.h>

#include <string>

using namespace qs880test;

namespace {

constexpr std::int32_t kWidth = 2552; // one side at 300 dpi
constexpr std::int32_t kHeight = 40;
constexpr std::int32_t kOffset300 = 73; // the back sensor's lag at 300 dpi

// What the pipeline must give for a page: the page itself, colour-gap corrected when it is in colour.
std::vector<std::uint8_t> expected(const Page& page) {
    CImg image;
    image.createImg(page.width, page.height, 8, page.spp, Ovk::RGBORDER_PIXEL, 300, 300);
    std::copy(page.pixels.begin(), page.pixels.end(), image.getImage());
    if (page.spp == 3) {
        CColorGapCorrect corrector;
        EXPECT_EQ(0, corrector.setInfo(image, nullptr));
        EXPECT_EQ(0, corrector.IP(image));
    }
    return bytesOf(image);
}

std::vector<std::vector<std::int32_t>> splits(std::int32_t lines) {
    return {{lines},
            {1, lines - 1},
            {lines - 1, 1},
            {13, 14, lines - 27},
            randomSplit(lines, 5, 3),
            randomSplit(lines, 9, 11)};
}

} // namespace

class SimplexPipeline : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(SimplexPipeline, IdentityReferencesGiveThePageBackForEveryBandSplit) {
    const std::int32_t spp = GetParam();
    const Page page = makePage(kWidth, kHeight, spp, 5);
    std::int32_t lines = 0;
    const std::vector<std::uint8_t> raw = rawStream(page, nullptr, 0, lines);
    const std::vector<std::uint8_t> want = expected(page);
    IdentityRequests requests(kWidth, kHeight, spp);
    for (const std::vector<std::int32_t>& heights : splits(lines)) {
        const CImg result = runSimplex(raw, kWidth, spp, heights, requests.simplex);
        EXPECT_EQ(kWidth, result.getWidth());
        EXPECT_EQ(kHeight, result.getHeight());
        EXPECT_TRUE(want == bytesOf(result)) << heights.size() << " bands";
    }
}

class DuplexPipeline : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(DuplexPipeline, BothSidesComeBackWithoutTheSensorOffsetForEveryBandSplit) {
    const std::int32_t spp = GetParam();
    const Page front = makePage(kWidth, kHeight, spp, 21);
    const Page back = makePage(kWidth, kHeight, spp, 22);
    std::int32_t lines = 0;
    const std::vector<std::uint8_t> raw = rawStream(front, &back, kOffset300, lines);
    const std::vector<std::uint8_t> wantFront = expected(front);
    const std::vector<std::uint8_t> wantBack = expected(back);
    IdentityRequests requests(kWidth, kHeight, spp);
    for (const std::vector<std::int32_t>& heights : splits(lines)) {
        CImg frontPage;
        CImg backPage;
        runDuplex(raw, kWidth, spp, heights, requests.duplex, frontPage, backPage);
        EXPECT_TRUE(wantFront == bytesOf(frontPage)) << heights.size() << " bands, front";
        EXPECT_TRUE(wantBack == bytesOf(backPage)) << heights.size() << " bands, back";
    }
}

INSTANTIATE_TEST_SUITE_P(GreyAndColour, SimplexPipeline, ::testing::Values(1, 3));
INSTANTIATE_TEST_SUITE_P(GreyAndColour, DuplexPipeline, ::testing::Values(1, 3));

TEST(Pipeline, TheColumnCutKeepsTheRequestedDocumentColumns) {
    const Page page = makePage(kWidth, 6, 1, 9);
    std::int32_t lines = 0;
    const std::vector<std::uint8_t> raw = rawStream(page, nullptr, 0, lines);
    IdentityRequests requests(kWidth, 6, 1);
    requests.simplex.InImageInfo.lXpos = 100;
    requests.simplex.OutImageInfo.lWidth = 2000;
    const CImg result = runSimplex(raw, kWidth, 1, {2, 4}, requests.simplex);
    ASSERT_EQ(2000, result.getWidth());
    for (std::int32_t y = 0; y < 6; ++y)
        for (std::int32_t x = 0; x < 2000; x += 37)
            ASSERT_EQ(page.at(x + 100, y, 0), result.getLine(y)[x]) << x << ", " << y;

    requests.simplex.InImageInfo.lXpos = 600; // 600 + 2000 columns lie past the sensor line
    CImg out;
    CImg in = rawBand(raw, kWidth, 1, 0, lines);
    EXPECT_EQ(RTN_PAR, FilterSimplex(out, in, &requests.simplex));
}
