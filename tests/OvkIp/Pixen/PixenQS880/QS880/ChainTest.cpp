// The model pipeline with the normal chain's page steps switched on: a tilted sheet on the dark backing,
// straightened, cropped, halved in resolution and binarised, must come out the same for every band split.
#include "QS880/PixenQS880.h"
#include "RawBands.h"
#include "Requests.h"

#include "tests/OvkIp/Pixen/OvkIp/DetectSize/SyntheticPage.h"

#include <gtest/gtest.h>

using namespace qs880test;

namespace {

constexpr std::int32_t kWidth = 2552;
constexpr std::int32_t kHeight = 600;

Page tiltedSheet() {
    const SyntheticPage::Sheet sheet{1276, 300, 1200, 420, 0.02};
    Page page{kWidth, kHeight, 1,
              SyntheticPage::grey(sheet, kWidth, kHeight, 40, 220, SyntheticPage::Noise{7, 4})};
    return page;
}

struct ChainRequest : IdentityRequests {
    ChainRequest() : IdentityRequests(kWidth, kHeight, 1) {
        corners.ulSize = sizeof corners;
        binary.ulSize = sizeof binary;
        tagFILTERSIMPLEXINFO& r = simplex;
        r.SpecialFilterInfo.pDetect4PointsInfo = &corners;
        r.NormalFilterInfo.bSkewCorrection = true;
        r.NormalFilterInfo.bAutoSize = true;
        r.NormalFilterInfo.pGrayToBinaryInfo = &binary;
        r.OutImageInfo.lXResolution = 150;
        r.OutImageInfo.lYResolution = 150;
        r.OutImageInfo.lWidth = kWidth / 2;
        r.OutImageInfo.lHeight = kHeight / 2;
        r.OutImageInfo.lBps = 1;
    }
    tagDETECT4POINTSINFO corners{};
    tagGRAYTOBINARYINFO binary{sizeof(tagGRAYTOBINARYINFO), 0, 128, 128};
};

std::vector<std::uint8_t> bytesOf(const CImg& image) {
    return image.isNull()
               ? std::vector<std::uint8_t>{}
               : std::vector<std::uint8_t>(image.getImage(), image.getImage() + image.getImageSize());
}

CImg run(const std::vector<std::uint8_t>& raw, const std::vector<std::int32_t>& heights,
         tagFILTERSIMPLEXINFO& request) {
    CImg page;
    std::int32_t first = 0;
    for (std::size_t b = 0; b < heights.size(); ++b) {
        CImg in = rawBand(raw, kWidth, 1, first, heights[b]);
        first += heights[b];
        CImg out;
        const bool last = b + 1 == heights.size();
        const std::int32_t result = heights.size() == 1 ? FilterSimplex(out, in, &request)
                                    : b == 0            ? FilterSimplexFirst(out, in, &request)
                                    : last              ? FilterSimplexLast(out, in, &request)
                                                        : FilterSimplexMiddle(out, in, &request);
        EXPECT_EQ(0, result) << "band " << b << " of " << heights.size();
        if (!out.isNull())
            EXPECT_EQ(1, page.appendImg(out));
    }
    return page;
}

} // namespace

TEST(Chain, DeskewedCroppedConvertedBinaryPageIsTheSameForEveryBandSplit) {
    std::int32_t lines = 0;
    const std::vector<std::uint8_t> raw = rawStream(tiltedSheet(), nullptr, 0, lines);
    ChainRequest request;
    const CImg whole = run(raw, {lines}, request.simplex);
    ASSERT_FALSE(whole.isNull());
    EXPECT_EQ(1, whole.getBps());
    EXPECT_EQ(150, whole.getXResolution());
    // Cropped to the sheet (600 x 210 at 150 dpi, a little less inside its edges), not the scan line.
    EXPECT_NEAR(600, whole.getWidth(), 30);
    EXPECT_NEAR(210, whole.getHeight(), 30);
    const std::vector<std::uint8_t> want = bytesOf(whole);
    for (const std::vector<std::int32_t>& heights : {std::vector<std::int32_t>{1, lines - 1},
                                                     {lines - 1, 1},
                                                     {200, 200, lines - 400},
                                                     randomSplit(lines, 7, 5)}) {
        const CImg banded = run(raw, heights, request.simplex);
        EXPECT_EQ(whole.getWidth(), banded.getWidth()) << heights.size() << " bands";
        EXPECT_TRUE(want == bytesOf(banded)) << heights.size() << " bands";
    }
}
