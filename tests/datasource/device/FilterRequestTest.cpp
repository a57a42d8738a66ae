// Request records as the device fills them: level tables are range-checked, options turn on only the
// sub-records they need, and two-sided input geometry is per side.
#include "FilterRequest.h"
#include "FakeImageLibrary.h"

#include <gtest/gtest.h>

namespace k3100::test {
namespace {

tagScanParam greyParams() {
    tagScanParam p{};
    p.resolution = 300;
    p.scanWidth = 10200;
    p.scanLength = 13200;
    p.pixelMode = 1;
    p.rotation = 1;
    p.opticalXRes = p.opticalYRes = 300;
    p.opticalLines = 3300;
    p.channelMode = 1;
    p.outLines = 3300;
    return p;
}

struct Built {
    FakeImageLibrary library;
    FilterRequest request;
    explicit Built(const tagScanParam& p) { request.fill(p, CImg(), {}, {}, false, library); }
};

TEST(FilterRequest, ContrastLevelsAreLookedUpOnlyInsideTheTable) {
    EXPECT_EQ(contrastForLevel(3, 0), 85);
    EXPECT_EQ(contrastForLevel(7, 0), 255);
    EXPECT_EQ(contrastForLevel(9, 0), 0);
    EXPECT_EQ(contrastForLevel(-1, 128), 128);
    tagScanParam p = greyParams();
    p.contrastFront = 3;
    EXPECT_EQ(Built(p).request.front.tone.ucContrast, 85);
    p.contrastFront = 9;
    EXPECT_EQ(Built(p).request.front.tone.ucContrast, 0);
    p.contrastFront = 1000000;
    p.pixelMode = 0;
    Built binary(p);
    EXPECT_EQ(binary.request.front.binary.ulContrast, 128u);
    EXPECT_EQ(binary.request.simplex.NormalFilterInfo.pGrayToBinaryInfo, &binary.request.front.binary);
}

TEST(FilterRequest, BinaryOutputChoosesMethodAndInversion) {
    tagScanParam p = greyParams();
    p.pixelMode = 0;
    p.binarization = 2;
    p.textBrightness = 40;
    p.textContrast = 60;
    p.brightnessFront = 3;
    Built text(p);
    const auto& block = text.request.simplex.NormalFilterInfo;
    EXPECT_EQ(text.request.front.binary.Method, 8);
    EXPECT_EQ(text.request.front.binary.ulBrightness, 40u);
    EXPECT_EQ(block.pGRCInfo, nullptr); // text enhancement keeps its own tone
    EXPECT_TRUE(block.bInverse);
    EXPECT_EQ(text.request.simplex.OutImageInfo.lBps, 1);
    p.binarization = 1;
    p.reverseScanType = 1;
    Built diffusion(p);
    EXPECT_EQ(diffusion.request.front.binary.Method, 1);
    EXPECT_FALSE(diffusion.request.simplex.NormalFilterInfo.bInverse);
    EXPECT_NE(diffusion.request.simplex.NormalFilterInfo.pGRCInfo, nullptr);
}

TEST(FilterRequest, OptionsTurnOnTheirRecordsOnly) {
    tagScanParam p = greyParams();
    Built plain(p);
    const auto& b = plain.request.simplex.NormalFilterInfo;
    EXPECT_EQ(plain.request.simplex.ulSize, sizeof(qs::tagFILTERSIMPLEXINFO));
    EXPECT_EQ(b.pRotate90xInfo, nullptr);
    EXPECT_EQ(b.pBlankPageInfo, nullptr);
    EXPECT_EQ(b.pEraseBackPageInfo, nullptr);
    EXPECT_EQ(plain.request.simplex.SpecialFilterInfo.pDetect4PointsInfo, nullptr);

    p.rotation = 2;
    p.blankSkip = (7u << 16) | 1;
    p.bleedThrough = (45u << 16) | 1;
    p.dropOutFront = 2;
    p.deskew = 1;
    Built options(p);
    const auto& o = options.request.simplex.NormalFilterInfo;
    ASSERT_NE(o.pRotate90xInfo, nullptr);
    EXPECT_EQ(o.pRotate90xInfo->lDegree, 90);
    ASSERT_NE(o.pBlankPageInfo, nullptr);
    EXPECT_EQ(o.pBlankPageInfo->lBlankSkipSlice, 7);
    ASSERT_NE(o.pEraseBackPageInfo, nullptr);
    EXPECT_EQ(o.pEraseBackPageInfo->ulCoefficient, 45u);
    EXPECT_EQ(o.pDropOutColorInfo->Color, 2);
    ASSERT_NE(options.request.simplex.SpecialFilterInfo.pDetect4PointsInfo, nullptr);
    EXPECT_EQ(options.request.front.points.lTopMargin, 118); // 10 mm at 300 dpi
    EXPECT_EQ(options.request.simplex.OutImageInfo.lHeight, 3300);

    p.rotation = 9; // not a quarter turn: no rotation rather than a wild angle
    EXPECT_EQ(Built(p).request.simplex.NormalFilterInfo.pRotate90xInfo, nullptr);
}

// The scan parameter always carries 1 in the low half, so only the level can switch edge emphasis off.
TEST(FilterRequest, EdgeEmphasisLevelZeroAsksForNoEdgeFilter) {
    tagScanParam p = greyParams();
    p.edgeEmphasis = (3u << 16) | 1;
    Built sharp(p);
    ASSERT_NE(sharp.request.simplex.NormalFilterInfo.pEmphasisEdgeInfo, nullptr);
    EXPECT_EQ(sharp.request.simplex.NormalFilterInfo.pEmphasisEdgeInfo->ulEmphasisLevel, 3u);
    p.edgeEmphasis = (0u << 16) | 1;
    EXPECT_EQ(Built(p).request.simplex.NormalFilterInfo.pEmphasisEdgeInfo, nullptr);
    p.edgeEmphasis = 3u << 16; // switched off in the low half
    EXPECT_EQ(Built(p).request.simplex.NormalFilterInfo.pEmphasisEdgeInfo, nullptr);
}

TEST(FilterRequest, DuplexInputIsOneSideOfTheBand) {
    tagScanParam p = greyParams();
    p.duplex = 2;
    p.contrastBack = 4;
    Built both(p);
    const auto& d = both.request.duplex;
    EXPECT_EQ(d.ulSize, sizeof(qs::tagFILTERDUPLEXINFO));
    EXPECT_EQ(d.InImageInfo.lWidth, 2552);
    EXPECT_EQ(d.InImageInfo.lSync, 2552);
    EXPECT_EQ(d.InImageInfo.lHeight, 3300);
    EXPECT_EQ(d.BackNormalFilterInfo.pGRCInfo->ucContrast, 128);
    EXPECT_EQ(d.FrontSpecialFilterInfo.pShadingInfo, &both.request.front.shading);
    EXPECT_EQ(d.BackSpecialFilterInfo.pShadingInfo, &both.request.back.shading);
}

} // namespace
} // namespace k3100::test
