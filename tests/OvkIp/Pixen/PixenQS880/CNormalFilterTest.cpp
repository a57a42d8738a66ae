// The chain's request checks, the order of its steps and the tone steps' output-format rules.
#include "ChainSupport.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

using namespace pixentest;

namespace {

tagERASEBACKPAGEINFO eraseRecord() {
    return {sizeof(tagERASEBACKPAGEINFO), 3, 1000};
}
tagGRAYTOBINARYINFO binaryRecord(std::int32_t method) {
    return {sizeof(tagGRAYTOBINARYINFO), method, 128, 0};
}

tagGRCINFO toneRecord(std::uint8_t brightness, std::uint8_t contrast) {
    tagGRCINFO grc{};
    grc.ulSize = sizeof grc;
    grc.ucBrightness = brightness;
    grc.ucContrast = contrast;
    return grc;
}

std::int32_t accept(TestChain& chain, tagNORMALFILTERINFO block) {
    CImg unused;
    auto request = simplexRequest(block, 8, 1);
    return chain.setInfo(unused, &request);
}

} // namespace

TEST(NormalFilterRequest, RefusesMissingAndMisSizedRecords) {
    TestChain chain;
    CImg unused;
    tagERASEBACKPAGEINFO erase = eraseRecord();
    auto block = emptyBlock();
    block.pEraseBackPageInfo = &erase;
    ASSERT_EQ(accept(chain, block), RTN_OK);

    EXPECT_EQ(chain.setInfo(unused, nullptr), RTN_PAR);
    EXPECT_EQ(chain.front().pEraseBackPageInfo, &erase) << "a null record keeps the stored request";

    block.ulSize = 60;
    EXPECT_EQ(accept(chain, block), RTN_PAR);
    EXPECT_EQ(chain.front().pEraseBackPageInfo, nullptr) << "a refused block clears the stored request";
    EXPECT_EQ(chain.storedSize(), 0u);

    std::uint32_t wrongSize = 100;
    EXPECT_EQ(chain.setInfo(unused, &wrongSize), RTN_PAR);
}

TEST(NormalFilterRequest, ConsistencyRules) {
    TestChain chain;
    tagERASEBACKPAGEINFO erase = eraseRecord();
    tagDROPOUTCOLORINFO dropOut{sizeof(tagDROPOUTCOLORINFO), 1, nullptr, nullptr, 0, 0};
    tagGRAYTOBINARYINFO adaptive = binaryRecord(8);

    auto block = emptyBlock();
    block.pDropOutColorInfo = &dropOut;
    EXPECT_EQ(accept(chain, block), RTN_OPTIONS) << "drop-out without show-through removal";
    EXPECT_EQ(chain.front().pDropOutColorInfo, &dropOut) << "a request refused with 5 stays stored";
    block.pEraseBackPageInfo = &erase;
    EXPECT_EQ(accept(chain, block), RTN_OK);

    block = emptyBlock();
    block.pGrayToBinaryInfo = &adaptive;
    block.pEraseBackPageInfo = &erase;
    EXPECT_EQ(accept(chain, block), RTN_OPTIONS);

    block.pEraseBackPageInfo = nullptr;
    tagGRCINFO brightOnly = toneRecord(10, 0);
    block.pGRCInfo = &brightOnly;
    EXPECT_EQ(accept(chain, block), RTN_OK);
    tagGRCINFO full = toneRecord(10, 20);
    block.pGRCInfo = &full;
    EXPECT_EQ(accept(chain, block), RTN_OPTIONS);
    tagDETECTCOLORORGRAYINFO detect{sizeof(tagDETECTCOLORORGRAYINFO), 3, 0};
    block.pDetectColorOrGrayInfo = &detect;
    EXPECT_EQ(accept(chain, block), RTN_OK) << "automatic colour lifts the tone rule";
}

TEST(NormalFilterRequest, DuplexChecksBothSides) {
    TestChain chain;
    CImg unused;
    tagERASEBACKPAGEINFO erase = eraseRecord();
    tagGRAYTOBINARYINFO adaptive = binaryRecord(8);
    auto back = emptyBlock();
    back.pGrayToBinaryInfo = &adaptive;
    back.pEraseBackPageInfo = &erase;
    auto request = duplexRequest(emptyBlock(), back, 1, 1, false);
    EXPECT_EQ(chain.setInfo(unused, &request), RTN_OPTIONS);

    request.BackNormalFilterInfo.ulSize = 0;
    EXPECT_EQ(chain.setInfo(unused, &request), RTN_PAR);
}

TEST(NormalFilterRequest, SideBySideWithBlankDetectionIsRefusedUpFront) {
    TestChain chain;
    CImg unused;
    tagBLANKPAGEINFO blank{sizeof(tagBLANKPAGEINFO), 10, false};
    auto back = emptyBlock();
    back.pBlankPageInfo = &blank;
    auto request = duplexRequest(emptyBlock(), back, 8, 1, true);
    EXPECT_EQ(chain.setInfo(unused, &request), RTN_PAR);
    request.bPutImageOnSide = false;
    EXPECT_EQ(chain.setInfo(unused, &request), RTN_OK);
}

TEST(NormalFilterChain, ColourBandTurnsGreyOnlyForGreyOutput) {
    TestChain chain;
    CImg unused;
    for (const std::int32_t outSpp : {1, 3}) {
        auto request = simplexRequest(emptyBlock(), 8, outSpp);
        ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
        CImg band = patterned(5, 4, 8, 3, Ovk::RGBORDER_PIXEL);
        ASSERT_EQ(chain.execNormalFilter(band, SIDE_FRONT, IMAGESTATE_WHOLE), RTN_OK);
        EXPECT_EQ(band.getSpp(), outSpp);
    }
    auto request = simplexRequest(emptyBlock(), 8, 1);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    CImg grey = patterned(5, 4, 8, 1, Ovk::RGBORDER_PIXEL);
    const auto before = bytesOf(grey);
    ASSERT_EQ(chain.execNormalFilter(grey, SIDE_FRONT, IMAGESTATE_WHOLE), RTN_OK);
    EXPECT_EQ(bytesOf(grey), before);
}

TEST(NormalFilterChain, BinaryOutputToneNeedsABinarisationRecord) {
    TestChain chain;
    CImg unused;
    tagGRCINFO tone = toneRecord(0, 0);
    auto block = emptyBlock();
    block.pGRCInfo = &tone;
    auto request = simplexRequest(block, 1, 1);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    CImg band = patterned(5, 4, 8, 1, Ovk::RGBORDER_PIXEL);
    const auto before = bytesOf(band);
    EXPECT_EQ(chain.execNormalFilter(band, SIDE_FRONT, IMAGESTATE_WHOLE), RTN_PAR);
    EXPECT_EQ(bytesOf(band), before);
}

TEST(NormalFilterChain, ShowThroughRemovalRunsBeforeDropOut) {
    // Erasing first lifts the faint pixel to white; dropping red first would leave a grey that the
    // erase threshold no longer reaches.
    TestChain chain;
    CImg unused;
    tagERASEBACKPAGEINFO erase{sizeof(tagERASEBACKPAGEINFO), 7, 1000};
    tagDROPOUTCOLORINFO dropOut{sizeof(tagDROPOUTCOLORINFO), 2, nullptr, nullptr, 0, 0};
    auto block = emptyBlock();
    block.pEraseBackPageInfo = &erase;
    block.pDropOutColorInfo = &dropOut;
    auto request = simplexRequest(block, 8, 3);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    CImg pixel;
    pixel.createImg(1, 1, 8, 3, Ovk::RGBORDER_PIXEL, 300, 300);
    const std::uint8_t rgb[3] = {250, 120, 250};
    std::copy(rgb, rgb + 3, pixel.getImage());
    ASSERT_EQ(chain.execNormalFilter(pixel, SIDE_FRONT, IMAGESTATE_WHOLE), RTN_OK);
    // q = 250*120*250/4096 = 1831, a = 1831 >= 1000 lifts all samples to 255; grey 120 first would give a =
    // 421.
    EXPECT_EQ(bytesOf(pixel), (std::vector<std::uint8_t>{255, 255, 255}));
}

namespace {

CImg turned(const CImg& page, std::int32_t degrees) {
    TestChain chain;
    CImg copy = page;
    tagROTATE90XINFO rotate{sizeof rotate, degrees};
    EXPECT_EQ(chain.Rotate90x(copy, &rotate), RTN_OK);
    return copy;
}

} // namespace

TEST(NormalFilterChain, BackFaceTurnsTheOtherWay) {
    TestChain chain;
    CImg unused;
    tagROTATE90XINFO rotate{sizeof rotate, 90};
    auto block = emptyBlock();
    block.pRotate90xInfo = &rotate;
    auto request = duplexRequest(block, block, 8, 1, false);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    const CImg page = patterned(7, 4, 8, 1, Ovk::RGBORDER_PIXEL);
    CImg front = page, back = page;
    ASSERT_EQ(chain.execNormalFilter(front, back, IMAGESTATE_WHOLE), RTN_OK);
    EXPECT_EQ(bytesOf(front), bytesOf(turned(page, 90)));
    EXPECT_EQ(bytesOf(back), bytesOf(turned(page, 270)));
}

TEST(NormalFilterChain, WithoutTurnOrDirectionNothingIsGathered) {
    TestChain chain;
    CImg unused;
    auto request = simplexRequest(emptyBlock(), 8, 1);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    CImg band = patterned(7, 4, 8, 1, Ovk::RGBORDER_PIXEL);
    ASSERT_EQ(chain.execNormalFilter(band, SIDE_FRONT, IMAGESTATE_FIRST), RTN_OK);
    EXPECT_EQ(band.getHeight(), 4) << "the band goes on at once";
}

TEST(NormalFilterChain, BlankMeasureLeavesThePageAndAnswersAtTheLastBand) {
    tagGRAYTOBINARYINFO binary = binaryRecord(0);
    tagBLANKPAGEINFO blank{sizeof blank, 1, false};
    auto block = emptyBlock();
    block.pGrayToBinaryInfo = &binary;
    block.bInverse = true;
    CImg white;
    white.createImg(200, 200, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    std::memset(white.getImage(), 255, white.getImageSize());
    const CImg busy = patterned(200, 200, 8, 1, Ovk::RGBORDER_PIXEL);
    const auto runPage = [&](const CImg& page, const tagNORMALFILTERINFO& options) {
        TestChain chain;
        CImg unused;
        auto request = simplexRequest(options, 1, 1);
        EXPECT_EQ(chain.setInfo(unused, &request), RTN_OK);
        blank.bBlankPage = true;
        CImg first = page;
        EXPECT_EQ(chain.execNormalFilter(first, SIDE_FRONT, IMAGESTATE_FIRST), RTN_OK);
        if (options.pBlankPageInfo != nullptr) {
            EXPECT_FALSE(blank.bBlankPage) << "no verdict before the last band";
        }
        CImg last;
        EXPECT_EQ(chain.execNormalFilter(last, SIDE_FRONT, IMAGESTATE_LAST), RTN_OK);
        return bytesOf(first);
    };
    const auto plain = runPage(busy, block);
    block.pBlankPageInfo = &blank;
    EXPECT_EQ(runPage(busy, block), plain);
    EXPECT_FALSE(blank.bBlankPage) << "a busy page has content";
    runPage(white, block);
    EXPECT_TRUE(blank.bBlankPage);
}

TEST(NormalFilterChain, BlankMeasureOfGreyOutputNeedsATone) {
    TestChain chain;
    CImg unused;
    tagBLANKPAGEINFO blank{sizeof blank, 10, false};
    auto block = emptyBlock();
    block.pBlankPageInfo = &blank;
    auto request = simplexRequest(block, 8, 1);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    CImg page = patterned(40, 30, 8, 1, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(chain.execNormalFilter(page, SIDE_FRONT, IMAGESTATE_WHOLE), RTN_PAR);

    tagGRCINFO tone = toneRecord(128, 128);
    block.pGRCInfo = &tone;
    blank.ulSize = 16;
    request = simplexRequest(block, 8, 1);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    EXPECT_EQ(chain.execNormalFilter(page, SIDE_FRONT, IMAGESTATE_WHOLE), RTN_PAR);
}

TEST(NormalFilterChain, SideBySideJoinIsTurnedByTheFrontOptions) {
    TestChain chain;
    CImg unused;
    tagROTATE90XINFO frontTurn{sizeof frontTurn, 90}, backTurn{sizeof backTurn, 180};
    auto front = emptyBlock(), back = emptyBlock();
    front.pRotate90xInfo = &frontTurn;
    back.pRotate90xInfo = &backTurn;
    auto request = duplexRequest(front, back, 8, 1, true);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    const CImg frontPage = patterned(6, 5, 8, 1, Ovk::RGBORDER_PIXEL, 1);
    const CImg backPage = patterned(4, 5, 8, 1, Ovk::RGBORDER_PIXEL, 2);
    CImg joined;
    {
        TestChain joiner;
        CImg f = frontPage, b = backPage;
        ASSERT_EQ(joiner.PutImageOnSide(joined, f, b), RTN_OK);
        EXPECT_EQ(bytesOf(b), bytesOf(backPage)) << "the one-shot join leaves the back image alone";
    }
    CImg f = frontPage, b = backPage;
    ASSERT_EQ(chain.execNormalFilter(f, b, IMAGESTATE_WHOLE), RTN_OK);
    EXPECT_TRUE(b.isNull());
    EXPECT_EQ(bytesOf(f), bytesOf(turned(joined, 90)));
}

TEST(NormalFilterChain, TextDirectionIsClearedUntilThePageIsWhole) {
    TestChain chain;
    CImg unused;
    tagTEXTIMAGEDIRECTIONINFO direction{sizeof direction, 0, 0, 90, 1.5};
    auto block = emptyBlock();
    block.pTextImageDirectionInfo = &direction;
    auto request = simplexRequest(block, 8, 1);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    CImg band = patterned(40, 30, 8, 1, Ovk::RGBORDER_PIXEL);
    ASSERT_EQ(chain.execNormalFilter(band, SIDE_FRONT, IMAGESTATE_FIRST), RTN_OK);
    EXPECT_TRUE(band.isNull()) << "the page is gathered for the detection";
    EXPECT_EQ(direction.nDeg, 0);
    EXPECT_EQ(direction.dRad, 0.0);
    direction.nDeg = 180;
    CImg last;
    EXPECT_EQ(chain.execNormalFilter(last, SIDE_FRONT, IMAGESTATE_LAST), RTN_PAR)
        << "no language to detect with";
    EXPECT_EQ(direction.nDeg, 180) << "a failed detection leaves the record alone";
}

TEST(NormalFilterChain, APageThatNoBandReachedPassesEveryStep) {
    // A last band that reaches a step which has seen no band runs as a whole page, empty or not.
    tagERASEBACKPAGEINFO erase = eraseRecord();
    tagEMPHASISCOLORINFO emphasis{sizeof(tagEMPHASISCOLORINFO), 1, nullptr, nullptr, 0, 0};
    tagGRCINFO tone = toneRecord(100, 100);
    tagEMPHASISEDGEINFO edge{sizeof(tagEMPHASISEDGEINFO), 1};
    tagGRAYTOBINARYINFO binary = binaryRecord(1);
    auto block = emptyBlock();
    block.pEraseBackPageInfo = &erase;
    block.pEmphasisColorInfo = &emphasis;
    block.pGRCInfo = &tone;
    block.pEmphasisEdgeInfo = &edge;
    block.pGrayToBinaryInfo = &binary;
    block.bInverse = true;
    TestChain chain;
    CImg unused;
    auto request = simplexRequest(block, 1, 1);
    ASSERT_EQ(chain.setInfo(unused, &request), RTN_OK);
    for (const tagIMAGESTATE state : {IMAGESTATE_FIRST, IMAGESTATE_LAST, IMAGESTATE_WHOLE}) {
        CImg empty;
        EXPECT_EQ(chain.execNormalFilter(empty, SIDE_FRONT, state), RTN_OK) << state;
        EXPECT_TRUE(empty.isNull());
    }
}

TEST(NormalFilterChain, BlankMeasureOfGreyAndColourPagesIsTheSameInAnyBandSplit) {
    tagGRCINFO tone = toneRecord(128, 128);
    tagBLANKPAGEINFO blank{sizeof blank, 10, false};
    for (const std::int32_t spp : {1, 3}) {
        CImg white;
        white.createImg(240, 300, 8, spp, Ovk::RGBORDER_PIXEL, 300, 300);
        std::memset(white.getImage(), 255, white.getImageSize());
        const CImg busy = patterned(240, 300, 8, spp, Ovk::RGBORDER_PIXEL);
        // Runs the page whole (no split) or in bands of `lines`; gives the output and the verdict.
        const auto run = [&](const CImg& page, std::int32_t lines, bool measure) {
            auto block = emptyBlock();
            block.pGRCInfo = &tone;
            block.pBlankPageInfo = measure ? &blank : nullptr;
            TestChain chain;
            CImg unused;
            auto request = simplexRequest(block, 8, spp);
            EXPECT_EQ(chain.setInfo(unused, &request), RTN_OK);
            std::vector<std::uint8_t> out;
            for (std::int32_t y = 0; y < page.getHeight(); y += lines) {
                const std::int32_t count = std::min(lines, page.getHeight() - y);
                CImg band;
                band.createImg(240, count, 8, spp, Ovk::RGBORDER_PIXEL, 300, 300);
                std::memcpy(band.getImage(), page.getLine(y), band.getImageSize());
                const bool last = y + count >= page.getHeight();
                const tagIMAGESTATE state = lines >= page.getHeight() ? IMAGESTATE_WHOLE
                                            : y == 0                  ? IMAGESTATE_FIRST
                                            : last                    ? IMAGESTATE_LAST
                                                                      : IMAGESTATE_MIDDLE;
                EXPECT_EQ(chain.execNormalFilter(band, SIDE_FRONT, state), RTN_OK);
                const std::vector<std::uint8_t> bytes = bytesOf(band);
                out.insert(out.end(), bytes.begin(), bytes.end());
            }
            return std::make_pair(out, measure && blank.bBlankPage);
        };
        for (const std::int32_t lines : {300, 100, 64}) {
            const auto busyRun = run(busy, lines, true);
            EXPECT_EQ(busyRun.first, run(busy, lines, false).first) << "the page goes on unchanged";
            EXPECT_FALSE(busyRun.second) << "spp " << spp << " bands of " << lines;
            EXPECT_TRUE(run(white, lines, true).second) << "spp " << spp << " bands of " << lines;
        }
    }
}
