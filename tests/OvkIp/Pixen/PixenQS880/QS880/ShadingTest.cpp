// Shading and sRGB: the correction rule at its edges, the vector cores against the scalar ones, the
// gains from a white reference, the platen colour, and the fixed matrices.
#include "QS880/CSRGBConversion.h"
#include "QS880/CShading.h"
#include "ReferenceImages.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace Ovk::Pixen;
using namespace Ovk::Pixen::QS880;
using qs880test::referenceLine;
using qs880test::samples16;

namespace {

// A shading filter holding gains and black levels of the given values for a width-pixel line.
void prepare(CShading& filter, std::int32_t width, std::int32_t spp, std::uint16_t gain,
             std::uint16_t black) {
    tagSHADINGINFO info;
    info.imgWhite = referenceLine(width, spp, gain);
    info.imgBlack = referenceLine(width, spp, black);
    CImg none;
    ASSERT_EQ(0, filter.setInfo(none, &info));
}

std::uint8_t shadeOne(std::int32_t bps, std::uint16_t sample, std::uint16_t gain, std::uint16_t black) {
    CShading filter;
    prepare(filter, 1, 1, gain, black);
    CImg band;
    band.createImg(1, 1, bps, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    if (bps == 16)
        samples16(band)[0] = sample;
    else
        band.getImage()[0] = static_cast<std::uint8_t>(sample);
    EXPECT_EQ(0, filter.IP(band));
    EXPECT_EQ(8, band.getBps());
    return band.getImage()[0];
}

} // namespace

TEST(Shading, SampleCorrectionAtItsEdges) {
    EXPECT_EQ(190, shadeOne(8, 200, 4096, 10));
    EXPECT_EQ(255, shadeOne(8, 200, 8192, 10));
    EXPECT_EQ(0, shadeOne(8, 5, 4096, 10));
    EXPECT_EQ(200, shadeOne(16, 3200, 4096, 0)); // 3200 x 4096 / 65536
    // Black levels are kept on the 8-bit scale; a 12-bit sample loses 16 times the level.
    EXPECT_EQ(194, shadeOne(16, 3200, 4096, 6)); // 3104 x 4096 / 65536, rounded down
    EXPECT_EQ(0, shadeOne(16, 90, 4096, 6));
    EXPECT_EQ(255, shadeOne(16, 0xFFFF, 0xFFFF, 0)); // no overflow beyond 12 bits
}

TEST(Shading, WithoutReferencesSixteenBitsKeepTheUpperBitsAndEightBitsAreRefused) {
    CShading filter;
    CImg band;
    band.createImg(2, 1, 16, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    samples16(band)[0] = 0x0ABC;
    samples16(band)[1] = 0x1FFF; // beyond 12 bits: saturates
    ASSERT_EQ(0, filter.IP(band));
    EXPECT_EQ(0xAB, band.getImage()[0]);
    EXPECT_EQ(0xFF, band.getImage()[1]);
    CImg eight;
    eight.createImg(2, 1, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    EXPECT_EQ(RTN_PAR, filter.IP(eight));
}

TEST(Shading, LineOrderColourBecomesPixelOrderAndNarrowReferencesAreRefused) {
    CShading filter;
    prepare(filter, 2, 3, 4096, 0);
    CImg band;
    band.createImg(2, 1, 8, 3, Ovk::RGBORDER_LINE, 300, 300);
    const std::uint8_t planes[6] = {1, 2, 3, 4, 5, 6}; // R0 R1 G0 G1 B0 B1
    std::copy(planes, planes + 6, band.getImage());
    ASSERT_EQ(0, filter.IP(band));
    EXPECT_EQ(Ovk::RGBORDER_PIXEL, band.getRGBOrder());
    EXPECT_EQ((std::vector<std::uint8_t>{1, 3, 5, 2, 4, 6}),
              std::vector<std::uint8_t>(band.getImage(), band.getImage() + 6));

    CImg wide;
    wide.createImg(3, 1, 8, 3, Ovk::RGBORDER_LINE, 300, 300);
    EXPECT_EQ(RTN_PAR, filter.IP(wide));
    EXPECT_EQ(Ovk::RGBORDER_LINE, wide.getRGBOrder());
}

TEST(Shading, VectorCoresGiveTheScalarBytes) {
    std::mt19937 random(7);
    for (std::int32_t width = 0; width < 41; ++width) {
        std::vector<std::uint8_t> in(3 * static_cast<std::size_t>(width) + 1);
        std::vector<std::uint16_t> gains(3 * static_cast<std::size_t>(width) + 1);
        std::vector<std::uint16_t> blacks(static_cast<std::size_t>(width) + 1);
        for (auto& v : in)
            v = static_cast<std::uint8_t>(random());
        for (auto& v : gains)
            v = random() % 4 == 0 ? 0xFFFF : static_cast<std::uint16_t>(random());
        for (auto& v : blacks)
            v = random() % 8 == 0 ? 0xFFFF : static_cast<std::uint16_t>(random() % 64);
        std::vector<std::uint8_t> scalar(3 * static_cast<std::size_t>(width) + 1, 0xAA);
        std::vector<std::uint8_t> vector(scalar);
        CShading::ShadingGrayCore_NonSIMD(scalar.data(), in.data(), gains.data(), blacks.data(), width);
        CShading::ShadingGrayCore_SIMD(vector.data(), in.data(), gains.data(), blacks.data(), width);
        ASSERT_EQ(scalar, vector) << "grey, width " << width;
        CShading::ShadingColorCore_OrderLine2Pixel_NonSIMD(scalar.data(), in.data(), width, gains.data(),
                                                           width, blacks.data(), width);
        CShading::ShadingColorCore_OrderLine2Pixel_SIMD(vector.data(), in.data(), width, gains.data(), width,
                                                        blacks.data(), width);
        ASSERT_EQ(scalar, vector) << "colour, width " << width;
    }
}

TEST(ShadingData, WhiteValuesBecomeGainsAgainstTheTargets) {
    std::uint16_t line[4] = {4000, 200, 0, 270};
    CShading::makeWhiteDataLine(line, 4, 4312);
    EXPECT_EQ(4415, line[0]);
    EXPECT_EQ(0xFFFF, line[1]);
    EXPECT_EQ(0xFFFF, line[2]);
    EXPECT_EQ(65414, line[3]);
    CShading::makeWhiteDataLine(line, 4, 0);
    EXPECT_EQ(0, line[0]);
}

TEST(ShadingData, ReferencesGiveGainsBlackLevelsAndThePlatenColour) {
    CShading filter;
    CImg white = referenceLine(4, 1, 3100);
    CImg black = referenceLine(4, 1, 100);
    const CImg whiteOrg = referenceLine(4, 1, 1000); // the platen before the light-curve adjustment
    ASSERT_EQ(0, filter.makeShadingData(white, black, whiteOrg, CImg()));
    EXPECT_EQ(4312 * 4096 / 3000, samples16(white)[0]);
    EXPECT_EQ(6, samples16(black)[0]); // 100 >> 4
    EXPECT_EQ(1000 >> 4, filter.getPlatenOrgColor().gray);
    EXPECT_EQ((62 - 6) * (4312 * 4096 / 3000) / 4096, filter.getPlatenColor().gray);

    // A reference darker than its black level gives black, not a wrapped value.
    white = referenceLine(4, 1, 40);
    black = referenceLine(4, 1, 1000);
    ASSERT_EQ(0, filter.makeShadingData(white, black, referenceLine(4, 1, 40), CImg()));
    EXPECT_EQ(0, filter.getPlatenColor().gray);

    CImg shortBlack = referenceLine(3, 1, 0);
    EXPECT_EQ(RTN_PAR, filter.makeShadingData(white, shortBlack, white, CImg()));
}

TEST(ShadingData, PlatenImagesTakeTheReferenceColour) {
    CShading filter;
    CImg white = referenceLine(2, 3, 0);
    for (std::int32_t c = 0; c < 3; ++c)
        for (std::int32_t x = 0; x < 2; ++x)
            reinterpret_cast<std::uint16_t*>(white.getLine(0, c))[x] =
                static_cast<std::uint16_t>(1600 * (c + 1));
    CImg black = referenceLine(2, 3, 0);
    ASSERT_EQ(0, filter.makeShadingData(white, black, CImg(white), CImg()));
    CImg image;
    image.createImg(2, 2, 8, 3, Ovk::RGBORDER_LINE, 300, 300);
    ASSERT_EQ(0, filter.getPlatenImage(image));
    EXPECT_EQ(100, image.getLine(1, 0)[1]);
    EXPECT_EQ(200, image.getLine(1, 1)[1]);
    ASSERT_EQ(0, filter.fixPlatenImage(image));
    EXPECT_EQ(Ovk::RGBORDER_PIXEL, image.getRGBOrder());
    const CShading::tagSHADING_AVARAGE shaded = filter.getPlatenColor();
    EXPECT_EQ(shaded.green, image.getLine(1)[4]);
    CImg grey;
    grey.createImg(2, 2, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    EXPECT_EQ(RTN_PAR, filter.getPlatenImage(grey));
}

TEST(SRGBConversion, FixedMatricesAndGreyBands) {
    CSRGBConversion filter;
    tagSRGBCONVERSIONINFO info{sizeof info, 1, {}};
    CImg band;
    band.createImg(2, 1, 8, 3, Ovk::RGBORDER_PIXEL, 300, 300);
    const std::uint8_t pixels[6] = {255, 255, 255, 0, 0, 255};
    std::copy(pixels, pixels + 6, band.getImage());
    ASSERT_EQ(0, filter.setInfo(band, &info));
    ASSERT_EQ(0, filter.IP(band));
    EXPECT_EQ((std::vector<std::uint8_t>{255, 255, 255, 0, 6, 255}),
              std::vector<std::uint8_t>(band.getImage(), band.getImage() + 6));

    info = {sizeof info, 2, {1024, 0, 0, 0, 0, 1024, 0, 1024, 0}}; // swap green and blue
    ASSERT_EQ(0, filter.setInfo(band, &info));
    ASSERT_EQ(0, filter.IP(band));
    EXPECT_EQ(255, band.getImage()[4]);
    EXPECT_EQ(6, band.getImage()[5]);

    CImg grey;
    grey.createImg(2, 1, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    grey.getImage()[0] = 9;
    EXPECT_EQ(0, filter.IP(grey));
    EXPECT_EQ(9, grey.getImage()[0]);
    info.Type = 3;
    ASSERT_EQ(0, filter.setInfo(band, &info));
    EXPECT_EQ(RTN_PAR, filter.IP(band));
    info.ulSize = 40;
    EXPECT_EQ(RTN_PAR, filter.setInfo(band, &info));
}
