// Resolution conversion: spread tables, averaging and interpolation rules, and the band-split invariant.
#include "CIPController.h"
#include "CResolutionConvertNormal.h"
#include "CResolutionConvertWithReduceMoire.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <numeric>

using namespace Ovk::Pixen;
using pixentest::bytesOf;
using pixentest::patterned;

namespace {

tagRESOLUTIONCONVERTINFO request(std::int32_t srcW, std::int32_t srcH, std::int32_t srcRes,
                                 std::int32_t dstRes, std::int32_t dstYRes = 0) {
    if (dstYRes == 0)
        dstYRes = dstRes;
    return {sizeof(tagRESOLUTIONCONVERTINFO),
            srcW * dstRes / srcRes,
            srcH * dstYRes / srcRes,
            dstRes,
            dstYRes,
            srcW,
            srcH,
            srcRes,
            srcRes};
}

// Runs a page through a fresh controller in bands of the given heights (one band: whole page).
template <class Filter>
std::int32_t convert(CImg& page, tagRESOLUTIONCONVERTINFO info, const std::vector<std::int32_t>& bands,
                     std::int32_t mode) {
    CIPController<CIPBase> controller;
    if (bands.size() <= 1)
        return controller.runStep<Filter>(mode, page, &info, IMAGESTATE_WHOLE);
    CImg result;
    std::int32_t top = 0;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        CImg band;
        band.createImg(page.getWidth(), bands[i], page.getBps(), page.getSpp(), page.getRGBOrder(),
                       page.getXResolution(), page.getYResolution());
        std::memcpy(band.getImage(), page.getLine(top), band.getImageSize());
        top += bands[i];
        const auto state = i == 0                  ? IMAGESTATE_FIRST
                           : i + 1 == bands.size() ? IMAGESTATE_LAST
                                                   : IMAGESTATE_MIDDLE;
        const std::int32_t code = controller.runStep<Filter>(mode, band, &info, state);
        if (code != RTN_OK)
            return code;
        if (!band.isNull() && result.appendImg(band) == 0)
            return -1;
    }
    page.attachImg(result);
    return RTN_OK;
}

std::vector<std::vector<std::int32_t>> splitsOf(std::int32_t height) {
    std::vector<std::int32_t> ones(static_cast<std::size_t>(height), 1);
    return {{height}, {height - 1, 1}, {1, height - 1}, {7, 5, height - 12}, ones};
}

} // namespace

TEST(ResolutionConvert, SpreadTables) {
    const auto pattern = [](std::int32_t dst, std::int32_t src, std::size_t n) {
        const auto table = CResolutionConvertNormal::makeSpreadCountTable(dst, src);
        EXPECT_EQ(std::accumulate(table.begin(), table.end(), 0u), static_cast<std::uint32_t>(dst))
            << dst << "/" << src;
        return std::vector<std::uint32_t>(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(n));
    };
    EXPECT_EQ(pattern(200, 300, 6), (std::vector<std::uint32_t>{1, 0, 1, 1, 0, 1}));
    EXPECT_EQ(pattern(150, 300, 4), (std::vector<std::uint32_t>{0, 1, 0, 1}));
    EXPECT_EQ(pattern(100, 300, 6), (std::vector<std::uint32_t>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(pattern(400, 300, 6), (std::vector<std::uint32_t>{1, 1, 2, 1, 1, 2}));
    EXPECT_EQ(pattern(600, 300, 3), (std::vector<std::uint32_t>{2, 2, 2}));
    EXPECT_EQ(CResolutionConvertNormal::makeSpreadCountTable(150, 300).back(), 1u);
}

TEST(ResolutionConvert, BoxAveragesWhenReducing) {
    // Sample (x, y) is x % 3 * 5 + y % 3 * 30: a 3 x 3 block holds 0, 5, 10, 30, 35, 40, 60, 65, 70.
    CImg page;
    page.createImg(300, 300, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    for (std::int32_t y = 0; y < 300; ++y)
        for (std::int32_t x = 0; x < 300; ++x)
            page.getLine(y)[x] = static_cast<std::uint8_t>(x % 3 * 5 + y % 3 * 30);
    CImg half = page, third = page;
    ASSERT_EQ(convert<CResolutionConvertNormal>(half, request(300, 300, 300, 150), {300}, BANDMODE_BAND),
              RTN_OK);
    ASSERT_EQ(half.getWidth(), 150);
    ASSERT_EQ(half.getHeight(), 150);
    EXPECT_EQ(half.getXResolution(), 150);
    EXPECT_EQ(half.getLine(0)[0], 17) << "0, 5, 30, 35 truncated";
    ASSERT_EQ(convert<CResolutionConvertNormal>(third, request(300, 300, 300, 100), {300}, BANDMODE_BAND),
              RTN_OK);
    ASSERT_EQ(third.getWidth(), 100);
    ASSERT_EQ(third.getHeight(), 100);
    EXPECT_EQ(third.getLine(0)[0], 35);
    EXPECT_EQ(third.getLine(50)[50], 35);
}

TEST(ResolutionConvert, FixedWeightsForTwoThirdsAcross) {
    CImg page;
    page.createImg(9, 1, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    const std::uint8_t row[9] = {10, 40, 70, 10, 40, 70, 0, 100, 200};
    std::copy(row, row + 9, page.getImage());
    auto info = request(9, 1, 300, 200, 300);
    ASSERT_EQ(convert<CResolutionConvertNormal>(page, info, {1}, BANDMODE_BAND), RTN_OK);
    ASSERT_EQ(page.getWidth(), 6);
    EXPECT_EQ(page.getImage()[0], 19);
    EXPECT_EQ(page.getImage()[1], 60);
    EXPECT_EQ(page.getImage()[5], 200) << "the last output pixel is the last input pixel";
}

TEST(ResolutionConvert, AtTargetResolutionTheBandIsUntouched) {
    CImg page = patterned(6, 4, 8, 3, Ovk::RGBORDER_PIXEL);
    const auto before = bytesOf(page);
    ASSERT_EQ(convert<CResolutionConvertNormal>(page, request(6, 4, 300, 300), {4}, BANDMODE_BAND), RTN_OK);
    EXPECT_EQ(bytesOf(page), before);
}

TEST(ResolutionConvert, BandThatCompletesNoLineIsPassedEmpty) {
    CIPController<CIPBase> controller;
    auto info = request(300, 3, 300, 100);
    CImg first = patterned(300, 1, 8, 1, Ovk::RGBORDER_PIXEL);
    ASSERT_EQ(controller.runStep<CResolutionConvertNormal>(BANDMODE_BAND, first, &info, IMAGESTATE_FIRST),
              RTN_OK);
    EXPECT_TRUE(first.isNull()) << "one input line of three completes no output line";
    CImg rest = patterned(300, 2, 8, 1, Ovk::RGBORDER_PIXEL);
    ASSERT_EQ(controller.runStep<CResolutionConvertNormal>(BANDMODE_BAND, rest, &info, IMAGESTATE_MIDDLE),
              RTN_OK);
    EXPECT_EQ(rest.getHeight(), 1);
}

TEST(ResolutionConvert, AnyBandSplitGivesTheWholePageResult) {
    struct Case {
        std::int32_t spp, srcRes, dstRes, dstYRes;
    };
    for (const Case c : {Case{1, 300, 150, 150}, Case{3, 300, 200, 200}, Case{1, 300, 200, 300},
                         Case{3, 300, 400, 400}, Case{1, 600, 100, 100}, Case{1, 300, 600, 600}}) {
        const CImg page = patterned(31, 37, 8, c.spp, Ovk::RGBORDER_PIXEL, 11);
        const auto info = request(31, 37, c.srcRes, c.dstRes, c.dstYRes);
        CImg whole = page;
        whole.getInfo();
        static_cast<Ovk::tagIMAGEINFO*>(whole)->lXResolution =
            static_cast<Ovk::tagIMAGEINFO*>(whole)->lYResolution = c.srcRes;
        const CImg source = whole;
        ASSERT_EQ(convert<CResolutionConvertNormal>(whole, info, {37}, BANDMODE_BAND), RTN_OK);
        for (const auto& split : splitsOf(37)) {
            CImg banded = source;
            ASSERT_EQ(convert<CResolutionConvertNormal>(banded, info, split, BANDMODE_BAND), RTN_OK);
            EXPECT_EQ(bytesOf(banded), bytesOf(whole)) << c.dstRes << " in " << split.size() << " bands";
        }
    }
}

TEST(ReduceMoire, RefusesOddResolutionsAndDepths) {
    CImg page = patterned(40, 20, 8, 1, Ovk::RGBORDER_PIXEL);
    static_cast<Ovk::tagIMAGEINFO*>(page)->lYResolution = 600;
    auto info = request(40, 20, 300, 200);
    EXPECT_EQ(convert<CResolutionConvertWithReduceMoire>(page, info, {20}, BANDMODE_HOLD_ALT), RTN_PAR);
    CImg deep = patterned(40, 20, 16, 1, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(convert<CResolutionConvertWithReduceMoire>(deep, info, {20}, BANDMODE_HOLD_ALT),
              RTN_NOT_APPLICABLE);
}

TEST(ReduceMoire, AnyBandSplitGivesTheWholePageResult) {
    for (const std::int32_t spp : {1, 3}) {
        const CImg page = patterned(60, 45, 8, spp, Ovk::RGBORDER_PIXEL, 5);
        const auto info = request(60, 45, 300, 200);
        CImg whole = page;
        ASSERT_EQ(convert<CResolutionConvertWithReduceMoire>(whole, info, {45}, BANDMODE_HOLD_ALT), RTN_OK);
        EXPECT_EQ(whole.getHeight(), 30);
        EXPECT_EQ(whole.getWidth(), 40);
        for (const auto& split : splitsOf(45)) {
            CImg banded = page;
            ASSERT_EQ(convert<CResolutionConvertWithReduceMoire>(banded, info, split, BANDMODE_HOLD_ALT),
                      RTN_OK);
            EXPECT_EQ(bytesOf(banded), bytesOf(whole)) << spp << " in " << split.size() << " bands";
        }
    }
}

TEST(ReduceMoire, SetInfoReportsAReducerThatCannotBeMade) {
    CResolutionConvertWithReduceMoire filter;
    CImg page = patterned(40, 20, 8, 1, Ovk::RGBORDER_PIXEL);
    auto info = request(40, 20, 300, 200);
    EXPECT_EQ(filter.setInfo(page, &info), RTN_OK);
    info.lSrcXResolution = 123; // no mask for this pair
    EXPECT_EQ(filter.setInfo(page, &info), RTN_PAR);
    info.ulSize = 32;
    EXPECT_EQ(filter.setInfo(page, &info), RTN_PAR);
}
