// Tone and colour filters on small known inputs.
#include "ToneFilters.h"
#include "CGRC.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

using namespace Ovk::Pixen;
using pixentest::bytesOf;
using pixentest::patterned;

namespace {

// One line of pixels given as R, G, B triples, stored in either colour order.
CImg colourPixels(std::initializer_list<std::uint8_t> rgb, std::uint32_t order = Ovk::RGBORDER_PIXEL) {
    const auto width = static_cast<std::int32_t>(rgb.size() / 3);
    CImg image;
    image.createImg(width, 1, 8, 3, order, 300, 300);
    std::int32_t i = 0;
    for (const std::uint8_t sample : rgb) {
        const std::int32_t x = i / 3, channel = i % 3;
        ++i;
        if (order == Ovk::RGBORDER_PIXEL)
            image.getImage()[x * 3 + channel] = sample;
        else
            image.getLine(0, channel)[x] = sample;
    }
    return image;
}

template <class Filter, class Record> std::int32_t runOnce(Filter& filter, CImg& image, Record* record) {
    const std::int32_t set = filter.setInfo(image, record);
    return set != RTN_OK ? set : filter.IP(image);
}

tagDROPOUTCOLORINFO selectRecord(std::int32_t colour) {
    return {sizeof(tagDROPOUTCOLORINFO), colour, nullptr, nullptr, 0, 0};
}

} // namespace

TEST(EraseBackPage, LiftsFaintPixelsAboveTheThreshold) {
    CEraseBackPage filter;
    tagERASEBACKPAGEINFO record{sizeof record, 3, 253};
    CImg white = colourPixels({255, 255, 255, 10, 10, 10});
    ASSERT_EQ(runOnce(filter, white, &record), RTN_OK);
    // White: q = 4048, a = 256 * 4048 >> 12 = 253 reaches the threshold; the dark pixel's a is 0.
    EXPECT_EQ(bytesOf(white), (std::vector<std::uint8_t>{255, 255, 255, 10, 10, 10}));

    CImg grey = colourPixels({200, 200, 200});
    record.ulThreshold = 1000; // above every a
    ASSERT_EQ(runOnce(filter, grey, &record), RTN_OK);
    EXPECT_EQ(bytesOf(grey), (std::vector<std::uint8_t>{200, 200, 200}));
    record.ulThreshold = 100; // a = 256 * 1953 >> 12 = 122
    ASSERT_EQ(runOnce(filter, grey, &record), RTN_OK);
    EXPECT_EQ(bytesOf(grey), (std::vector<std::uint8_t>{255, 255, 255}));
}

TEST(EraseBackPage, RefusesBadCoefficientsAndGreyBands) {
    CEraseBackPage filter;
    CImg band = colourPixels({1, 2, 3});
    for (const std::uint32_t coefficient : {0u, 8u}) {
        tagERASEBACKPAGEINFO record{sizeof record, coefficient, 0};
        EXPECT_EQ(filter.setInfo(band, &record), RTN_PAR);
    }
    CImg grey = patterned(4, 2, 8, 1, Ovk::RGBORDER_PIXEL);
    tagERASEBACKPAGEINFO record{sizeof record, 1, 0};
    ASSERT_EQ(filter.setInfo(grey, &record), RTN_OK);
    EXPECT_EQ(filter.IP(grey), RTN_PAR);
}

TEST(ColourSelect, DropOutAndEmphasisOfRed) {
    CDropOutColor dropOut;
    CEmphasisColor emphasis;
    auto red = selectRecord(COLORSELECT_RED);
    CImg a = colourPixels({255, 0, 0, 10, 20, 31});
    ASSERT_EQ(runOnce(dropOut, a, &red), RTN_OK);
    EXPECT_EQ(bytesOf(a), (std::vector<std::uint8_t>{255, 255, 255, 10, 10, 10}));
    CImg b = colourPixels({255, 0, 0, 10, 20, 31});
    auto redEmphasis =
        tagEMPHASISCOLORINFO{sizeof(tagEMPHASISCOLORINFO), COLORSELECT_RED, nullptr, nullptr, 0, 0};
    ASSERT_EQ(runOnce(emphasis, b, &redEmphasis), RTN_OK);
    EXPECT_EQ(bytesOf(b), (std::vector<std::uint8_t>{0, 0, 0, 25, 25, 25}));
}

TEST(ColourSelect, SelectorsThatDoNotApply) {
    CDropOutColor dropOut;
    const auto before = std::vector<std::uint8_t>{1, 2, 3};
    using Case = std::pair<std::int32_t, std::int32_t>;
    for (const auto& [colour, expected] :
         {Case{COLORSELECT_NONE, RTN_OK}, Case{COLORSELECT_LIST, RTN_NOT_APPLICABLE}, Case{7, RTN_PAR}}) {
        CImg band = colourPixels({1, 2, 3});
        auto record = selectRecord(colour);
        EXPECT_EQ(runOnce(dropOut, band, &record), expected) << colour;
        EXPECT_EQ(bytesOf(band), before);
    }
    CImg planar = colourPixels({1, 2, 3}, Ovk::RGBORDER_LINE);
    auto green = selectRecord(COLORSELECT_GREEN);
    EXPECT_EQ(runOnce(dropOut, planar, &green), RTN_NOT_APPLICABLE);
}

TEST(ColorToGray, WeightedSumInBothColourOrders) {
    CColorToGray filter;
    for (const std::uint32_t order : {Ovk::RGBORDER_PIXEL, Ovk::RGBORDER_LINE}) {
        CImg band = colourPixels({255, 255, 255, 100, 50, 10, 0, 0, 255}, order);
        ASSERT_EQ(runOnce(filter, band, static_cast<void*>(nullptr)), RTN_OK);
        EXPECT_EQ(band.getSpp(), 1);
        EXPECT_EQ(band.getSync(), 3);
        // (299*100 + 587*50 + 114*10) / 1000 = 60; (114*255) / 1000 = 29
        EXPECT_EQ(bytesOf(band), (std::vector<std::uint8_t>{255, 60, 29}));
    }
    CImg grey = patterned(3, 1, 8, 1, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(filter.setInfo(grey, nullptr), RTN_PAR);
}

TEST(ColorToGray, WideBandsMatchTheWeightedSumOfEveryPixel) {
    // Widths that leave each remainder after the vector loops; both orders read the same pixels.
    for (const std::int32_t width : {1, 15, 33, 2480})
        for (const std::uint32_t order : {Ovk::RGBORDER_PIXEL, Ovk::RGBORDER_LINE}) {
            CImg band = patterned(width, 3, 8, 3, order, 17);
            std::vector<std::uint8_t> expected;
            for (std::int32_t y = 0; y < 3; ++y)
                for (std::int32_t x = 0; x < width; ++x) {
                    std::uint32_t rgb[3];
                    for (std::int32_t c = 0; c < 3; ++c)
                        rgb[c] =
                            order == Ovk::RGBORDER_PIXEL ? band.getLine(y)[3 * x + c] : band.getLine(y, c)[x];
                    expected.push_back(
                        static_cast<std::uint8_t>((299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2]) / 1000));
                }
            CColorToGray filter;
            ASSERT_EQ(runOnce(filter, band, static_cast<void*>(nullptr)), RTN_OK);
            EXPECT_EQ(bytesOf(band), expected) << "width " << width << ", order " << order;
        }
}

TEST(ColorToGray, EveryGreyLevelAndRandomPixelsMatchTheWeightedSum) {
    // Equal colours sum to a whole multiple of 1000, where a rounding division would first go wrong.
    std::mt19937 random(3);
    CImg band;
    band.createImg(512, 1, 8, 3, Ovk::RGBORDER_PIXEL, 300, 300);
    std::uint8_t* p = band.getImage();
    for (std::int32_t x = 0; x < 512; ++x)
        for (std::int32_t c = 0; c < 3; ++c)
            p[3 * x + c] = x < 256 ? static_cast<std::uint8_t>(x) : static_cast<std::uint8_t>(random());
    std::vector<std::uint8_t> expected;
    for (std::int32_t x = 0; x < 512; ++x)
        expected.push_back(
            static_cast<std::uint8_t>((299u * p[3 * x] + 587u * p[3 * x + 1] + 114u * p[3 * x + 2]) / 1000));
    CColorToGray filter;
    ASSERT_EQ(runOnce(filter, band, static_cast<void*>(nullptr)), RTN_OK);
    EXPECT_EQ(bytesOf(band), expected);
}

TEST(Inverse, ComplementsGreyAndBits) {
    CInverse filter;
    CImg grey = patterned(3, 2, 8, 1, Ovk::RGBORDER_PIXEL);
    auto expected = bytesOf(grey);
    for (auto& b : expected)
        b = static_cast<std::uint8_t>(255 - b);
    ASSERT_EQ(filter.IP(grey), RTN_OK);
    EXPECT_EQ(bytesOf(grey), expected);

    CImg bits = patterned(12, 2, 1, 1, Ovk::RGBORDER_PIXEL);
    expected = bytesOf(bits);
    for (auto& b : expected)
        b = static_cast<std::uint8_t>(~b);
    ASSERT_EQ(filter.IP(bits), RTN_OK);
    EXPECT_EQ(bytesOf(bits), expected);

    CImg colour = colourPixels({1, 2, 3});
    EXPECT_EQ(filter.IP(colour), RTN_PAR);
}

TEST(GRC, ContrastLevelsAndCurvePoints) {
    EXPECT_EQ(CGRC::contrastLevel(0), 1);
    EXPECT_EQ(CGRC::contrastLevel(36), 1);
    EXPECT_EQ(CGRC::contrastLevel(128), 4);
    EXPECT_EQ(CGRC::contrastLevel(219), 7);
    EXPECT_EQ(CGRC::contrastLevel(255), 7);
    EXPECT_EQ(CGRC::calcGrayGamma(0, 128, 4), 8);
    EXPECT_EQ(CGRC::calcGrayGamma(255, 128, 4), 298); // no upper limit
    EXPECT_EQ(CGRC::calcColorGamma(0, 128, 4), 0);
    // The binary curve at level 4 is 280 * x / 255 + 0.5: 128 is reached at x = 255 * 127.5 / 280.
    EXPECT_NEAR(CGRC::calcBinGammaInv(128, 0, 4), 255 * 127.5 / 280, 1e-9);
}

TEST(GRC, ComputedCurvesByOutputKind) {
    tagGRCINFO record{};
    record.ulSize = sizeof record;
    record.ucBrightness = 128;
    record.ucContrast = 128;
    CGRC filter;
    CImg grey;
    grey.createImg(2, 1, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    grey.getImage()[1] = 255;
    filter.setMode(COLORMODE_GRAY, false);
    ASSERT_EQ(runOnce(filter, grey, &record), RTN_OK);
    EXPECT_EQ(bytesOf(grey), (std::vector<std::uint8_t>{8, 255}));

    CImg colour = colourPixels({0, 0, 0});
    filter.setMode(COLORMODE_COLOR, true);
    ASSERT_EQ(runOnce(filter, colour, &record), RTN_OK);
    EXPECT_EQ(bytesOf(colour), (std::vector<std::uint8_t>{0, 0, 0}));

    // Binary without diffusion: 280 * (128/255) + 0.5 = 141; with diffusion the colour curve applies.
    for (const bool diffusion : {false, true}) {
        CImg mid;
        mid.createImg(1, 1, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
        mid.getImage()[0] = 128;
        filter.setMode(COLORMODE_BINARY, diffusion);
        ASSERT_EQ(runOnce(filter, mid, &record), RTN_OK);
        const int expected =
            diffusion ? static_cast<int>(345 * std::pow(128 / 255.0, 1 / 2.2) - 55 + 0.5) : 141;
        EXPECT_EQ(mid.getImage()[0], expected) << diffusion;
    }
}

TEST(GRC, BrightnessZeroAppliesTheCallersTables) {
    tagGRCINFO record{};
    record.ulSize = sizeof record;
    for (int i = 0; i < 256; ++i) {
        record.ucRed[i] = static_cast<std::uint8_t>(255 - i);
        record.ucGreen[i] = static_cast<std::uint8_t>(i / 2);
        record.ucBlue[i] = 7;
    }
    CGRC filter;
    filter.setMode(COLORMODE_COLOR, false);
    CImg colour = colourPixels({10, 100, 200});
    ASSERT_EQ(runOnce(filter, colour, &record), RTN_OK);
    EXPECT_EQ(bytesOf(colour), (std::vector<std::uint8_t>{245, 50, 7}));
    CImg planar = colourPixels({10, 100, 200}, Ovk::RGBORDER_LINE);
    EXPECT_EQ(filter.IP(planar), RTN_NOT_APPLICABLE);
    CImg wide = patterned(2, 1, 16, 1, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(filter.IP(wide), RTN_PAR);
}
