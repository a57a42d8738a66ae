// The model pipeline with the normal chain's page steps switched on: a tilted sheet on the dark backing,
// straightened, cropped, halved in resolution and binarised, must come out the same for every band split,
// on one side and on both.
#include "QS880/PixenQS880.h"
#include "RawBands.h"
#include "Requests.h"

#include "SyntheticPage.h"

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
        for (tagDETECT4POINTSINFO& side : corners)
            side.ulSize = sizeof side;
        switchOn(simplex.NormalFilterInfo, simplex.OutImageInfo);
        simplex.SpecialFilterInfo.pDetect4PointsInfo = &corners[0];
        switchOn(duplex.FrontNormalFilterInfo, duplex.OutImageInfo);
        switchOn(duplex.BackNormalFilterInfo, duplex.OutImageInfo);
        duplex.FrontSpecialFilterInfo.pDetect4PointsInfo = &corners[0];
        duplex.BackSpecialFilterInfo.pDetect4PointsInfo = &corners[1];
    }
    void switchOn(tagNORMALFILTERINFO& options, Ovk::tagIMAGEINFO& out) {
        options.bSkewCorrection = true;
        options.bAutoSize = true;
        options.pGrayToBinaryInfo = &binary;
        out.lXResolution = 150;
        out.lYResolution = 150;
        out.lWidth = kWidth / 2;
        out.lHeight = kHeight / 2;
        out.lBps = 1;
    }
    tagDETECT4POINTSINFO corners[2]{};
    tagGRAYTOBINARYINFO binary{sizeof(tagGRAYTOBINARYINFO), 0, 128, 128};
};

} // namespace

TEST(Chain, DeskewedCroppedConvertedBinaryPageIsTheSameForEveryBandSplit) {
    std::int32_t lines = 0;
    const std::vector<std::uint8_t> raw = rawStream(tiltedSheet(), nullptr, 0, lines);
    ChainRequest request;
    const CImg whole = runSimplex(raw, kWidth, 1, {lines}, request.simplex);
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
        const CImg banded = runSimplex(raw, kWidth, 1, heights, request.simplex);
        EXPECT_EQ(whole.getWidth(), banded.getWidth()) << heights.size() << " bands";
        EXPECT_TRUE(want == bytesOf(banded)) << heights.size() << " bands";
    }
}

TEST(Chain, BothSidesOfATiltedSheetAreStraightenedTheSameWayForEveryBandSplit) {
    constexpr std::int32_t kOffset300 = 73; // the back sensor's lag at 300 dpi
    const Page sheet = tiltedSheet();
    std::int32_t lines = 0;
    const std::vector<std::uint8_t> raw = rawStream(sheet, &sheet, kOffset300, lines);
    ChainRequest request;
    CImg front;
    CImg back;
    runDuplex(raw, kWidth, 1, {lines}, request.duplex, front, back);
    ASSERT_FALSE(front.isNull());
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(1, back.getBps());
    EXPECT_EQ(150, back.getXResolution());
    // At most the converted scan: the corners found bound what is kept.
    EXPECT_GE(kWidth / 2, back.getWidth());
    EXPECT_GE(kHeight / 2, back.getHeight());
    EXPECT_EQ(front.getWidth(), back.getWidth()) << "the same sheet on both sides";
    const std::vector<std::uint8_t> wantFront = bytesOf(front);
    const std::vector<std::uint8_t> wantBack = bytesOf(back);
    for (const std::vector<std::int32_t>& heights :
         {std::vector<std::int32_t>{1, lines - 1}, {150, 150, lines - 300}, randomSplit(lines, 6, 9)}) {
        CImg bandedFront;
        CImg bandedBack;
        runDuplex(raw, kWidth, 1, heights, request.duplex, bandedFront, bandedBack);
        EXPECT_TRUE(wantFront == bytesOf(bandedFront)) << heights.size() << " bands, front";
        EXPECT_TRUE(wantBack == bytesOf(bandedBack)) << heights.size() << " bands, back";
    }
}
