// Analysis filters: their own decisions (threshold tables, blank-page normalisation, failure handling)
// on small pages; what the analysis layer computes is tested with the layer.
#include "CDetectColorOrGray.h"
#include "CEmphasisEdge.h"
#include "CGrayToBinary.h"
#include "CIsBlankPage.h"
#include "CTextImageDirection.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace Ovk::Pixen;
using pixentest::bytesOf;
using pixentest::patterned;

namespace {

template <class Filter, class Record> std::int32_t runOnce(Filter& filter, CImg& image, Record* record) {
    const std::int32_t set = filter.setInfo(image, record);
    return set != RTN_OK ? set : filter.IP(image);
}

CImg uniform(std::int32_t width, std::int32_t height, std::uint8_t value, std::int32_t resolution = 300) {
    CImg image;
    image.createImg(width, height, 8, 1, Ovk::RGBORDER_PIXEL, resolution, resolution);
    std::memset(image.getImage(), value, image.getImageSize());
    return image;
}

} // namespace

TEST(ColorOrGrayThreshold, TableLowersOnlyBrightLevels) {
    for (std::int32_t level = 1; level <= 7; ++level) {
        std::uint8_t table[256];
        CColorOrGrayThreshold threshold(level);
        ASSERT_EQ(threshold.BuildThreshold(table, 256), 1);
        EXPECT_EQ(table[0], 0);
        for (int i = 0; i < 256; ++i) {
            ASSERT_LE(table[i], i);
            if (347.0 * std::pow(i / 255.0, 1 / 2.2) - 55.0 <= 45.0) {
                ASSERT_EQ(table[i], i) << "dark level " << i << " keeps its value";
            }
        }
    }
    std::uint8_t table[256] = {};
    EXPECT_EQ(CColorOrGrayThreshold(0).BuildThreshold(table, 256), 0);
    EXPECT_EQ(CColorOrGrayThreshold(8).BuildThreshold(table, 256), 0);
    EXPECT_EQ(CColorOrGrayThreshold(3).BuildThreshold(table, 255), 0);
    double offset = 0;
    EXPECT_EQ(CColorOrGrayThreshold(3).GetOffset(&offset, 0), 0);
    EXPECT_DOUBLE_EQ(offset, 0.069);
    EXPECT_EQ(CColorOrGrayThreshold(3).GetOffset(&offset, 9), 259);
    EXPECT_EQ(CColorOrGrayThreshold(0).GetOffset(&offset, 0), 87);
}

TEST(DetectColorOrGray, DecidesOnAWholePage) {
    CDetectColorOrGray filter;
    tagDETECT_COLOR_INFO info{};
    info.ulSize = sizeof info;
    info.lWidth = 300;
    info.lHeight = 300;
    info.lXResolution = info.lYResolution = 300;
    info.lMode = 2;
    info.lTablePreset = 3;
    info.lSensitivity = 3;
    CImg grey;
    grey.createImg(300, 300, 8, 3, Ovk::RGBORDER_PIXEL, 300, 300);
    std::memset(grey.getImage(), 128, grey.getImageSize());
    ASSERT_EQ(runOnce(filter, grey, &info), RTN_OK);
    bool colour = true;
    std::int32_t count = -1;
    ASSERT_EQ(filter.getDetectColorOrGrayResult(&colour, &count), RTN_OK);
    EXPECT_FALSE(colour);
    info.ulSize = 12;
    EXPECT_EQ(filter.setInfo(grey, &info), RTN_PAR);
}

TEST(IsBlankPage, ThresholdsAndResolutionDivisor) {
    const tagBLANKRESOLUTION table[BlankResolutionCount] = {{200, -0.1}, {0, 0}};
    CIsBlankPage filter(257, table, false);
    CImg page = uniform(200, 200, 255);
    tagBLANKPAGEFILTERINFO off{sizeof off, 0, 128, 0, 1};
    ASSERT_EQ(runOnce(filter, page, &off), RTN_OK);
    EXPECT_FALSE(filter.isBlank()) << "threshold 0 never reports blank";
    tagBLANKPAGEFILTERINFO always{sizeof always, 0, 256, 100, 0};
    ASSERT_EQ(runOnce(filter, page, &always), RTN_OK);
    EXPECT_TRUE(filter.isBlank());

    tagBLANKPAGEFILTERINFO measure{sizeof measure, 0, 128, 100, 0};
    ASSERT_EQ(runOnce(filter, page, &measure), RTN_OK);
    EXPECT_TRUE(filter.isBlank()) << "a white page has no content";
    CImg coarse = uniform(60, 60, 255, 75);
    EXPECT_EQ(runOnce(filter, coarse, &measure), RTN_PAR) << "below 100 dpi there is no divisor";
    CImg empty;
    EXPECT_EQ(runOnce(filter, empty, &measure), RTN_PAR);
    measure.ulSize = 16;
    EXPECT_EQ(filter.setInfo(page, &measure), RTN_PAR);
}

TEST(GrayToBinary, ThresholdTable) {
    CGrayToBinary filter;
    EXPECT_EQ(filter.getThresholdTable(0), 245);
    EXPECT_EQ(filter.getThresholdTable(127), 132);
    EXPECT_EQ(filter.getThresholdTable(128), 132);
    EXPECT_EQ(filter.getThresholdTable(255), 35);
}

TEST(GrayToBinary, BinarisesAndKeepsTheBandOnFailure) {
    CGrayToBinary filter;
    CImg band = uniform(20, 3, 0);
    std::memset(band.getLine(1), 255, 20);
    tagGRAYTOBINARYINFO info{sizeof info, 0, 128, 0};
    ASSERT_EQ(runOnce(filter, band, &info), RTN_OK);
    ASSERT_EQ(band.getBps(), 1);
    EXPECT_EQ(band.getSync(), 3);
    EXPECT_EQ(band.getLine(0)[0], 0xFF) << "dark is a set bit";
    EXPECT_EQ(band.getLine(1)[0], 0x00);

    CImg grey = uniform(20, 3, 90);
    const auto before = bytesOf(grey);
    tagGRAYTOBINARYINFO unknown{sizeof info, 99, 128, 0};
    EXPECT_EQ(runOnce(filter, grey, &unknown), RTN_PAR);
    EXPECT_EQ(grey.getBps(), 8);
    EXPECT_EQ(bytesOf(grey), before);

    CImg deep = patterned(4, 2, 16, 1, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(filter.setInfo(deep, &info), RTN_PAR);
}

TEST(EmphasisEdge, WholePageKeepsItsHeight) {
    CEmphasisEdge filter;
    tagEMPHASISEDGEINFO info{sizeof info, 2};
    for (const std::int32_t spp : {1, 3}) {
        CImg page = patterned(30, 17, 8, spp, Ovk::RGBORDER_PIXEL, 4);
        ASSERT_EQ(runOnce(filter, page, &info), RTN_OK);
        EXPECT_EQ(page.getHeight(), 17);
        EXPECT_EQ(page.getWidth(), 30);
    }
    tagEMPHASISEDGEINFO none{sizeof info, 0};
    CImg page = patterned(30, 17, 8, 1, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(filter.setInfo(page, &none), RTN_PAR);
}

TEST(TextImageDirection, RefusesWithoutLanguageOrForDeepPages) {
    CTextImageDirection filter;
    tagTEXTIMAGEDIRECTIONINFO info{sizeof info, 0, 0, 90, 1.0};
    CImg page = uniform(50, 50, 255);
    EXPECT_EQ(runOnce(filter, page, &info), RTN_PAR);
    info.tidlang = 2;
    CImg deep = patterned(50, 50, 16, 1, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(runOnce(filter, deep, &info), RTN_PAR);
    info.ulSize = 20;
    EXPECT_EQ(filter.setInfo(page, &info), RTN_PAR);
}
