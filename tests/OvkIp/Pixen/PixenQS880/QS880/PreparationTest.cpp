// Raw-data preparation filters: splitting and un-mirroring, 12-bit unpacking, the offset cut and the
// column cut, on small hand-made bands whose every byte is known.
#include "QS880/CCollectArray.h"
#include "QS880/CCutOffset.h"
#include "QS880/CCutOutVertical.h"
#include "ReferenceImages.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Ovk::Pixen;
using namespace Ovk::Pixen::QS880;
using qs880test::samples16;

namespace {

CImg bandOf(const std::vector<std::uint8_t>& bytes, std::int32_t width, std::int32_t height, std::int32_t bps,
            std::int32_t sync, std::uint32_t order = Ovk::RGBORDER_LINE) {
    CImg band;
    band.createImg(0, 0, width, height, sync, bps, 1, order, 300, 300);
    std::copy(bytes.begin(), bytes.end(), band.getImage());
    return band;
}

tagCOLLECTARRAYINFO collectInfo(std::int32_t width) {
    return {sizeof(tagCOLLECTARRAYINFO), {0, 0, 0}, width};
}

std::vector<std::uint8_t> bytes(const CImg& image) {
    return {image.getImage(), image.getImage() + image.getImageSize()};
}

} // namespace

TEST(CollectArray, DuplexEightBitLineSplitsIntoUnmirroredFrontAndBack) {
    CImg band = bandOf({10, 20, 11, 21, 12, 22}, 6, 1, 8, 6);
    CCollectArrayForDuplex filter;
    tagCOLLECTARRAYINFO info = collectInfo(3);
    ASSERT_EQ(0, filter.setInfo(band, &info));
    ASSERT_EQ(0, filter.IP(band));
    CImg back;
    filter.getBackImage(back);
    EXPECT_EQ((std::vector<std::uint8_t>{12, 11, 10}), bytes(band));
    EXPECT_EQ((std::vector<std::uint8_t>{20, 21, 22}), bytes(back));
    EXPECT_EQ(3, band.getWidth());
    EXPECT_EQ(3, back.getWidth());
}

TEST(CollectArray, WideDuplexLinesSplitEveryPairWhateverTheRemainder) {
    for (const std::int32_t pairs : {1, 15, 16, 17, 31, 32, 33, 100}) {
        std::vector<std::uint8_t> in(2 * static_cast<std::size_t>(pairs));
        for (std::size_t i = 0; i < in.size(); ++i)
            in[i] = static_cast<std::uint8_t>(i * 37 + 5);
        std::vector<std::uint8_t> front(pairs + 1, 0xEE), back(pairs + 1, 0xEE);
        CCollectArray::Separate(front.data(), back.data(), in.data(), 2 * pairs);
        for (std::int32_t i = 0; i < pairs; ++i) {
            ASSERT_EQ(front[pairs - 1 - i], in[2 * i]) << pairs << " pairs, pair " << i;
            ASSERT_EQ(back[i], in[2 * i + 1]) << pairs << " pairs, pair " << i;
        }
        EXPECT_EQ(front[pairs], 0xEE);
        EXPECT_EQ(back[pairs], 0xEE);
    }
}

TEST(CollectArray, TwelveBitSamplesUnpackAndTheOddOneUsesTwoBytes) {
    std::uint16_t out[3] = {};
    const std::uint8_t packed[5] = {0x21, 0x43, 0x65, 0xBC, 0x0A};
    CCollectArray::Extend12To16BitCore(out, packed, 3);
    EXPECT_EQ(0x321, out[0]);
    EXPECT_EQ(0x654, out[1]);
    EXPECT_EQ(0xABC, out[2]);

    // Duplex 12-bit: sample order f0 b0 f1 b1.
    CImg band = bandOf({0x21, 0x43, 0x65, 0x87, 0xA9, 0xCB}, 4, 1, 12, 6);
    CCollectArrayForDuplex filter;
    tagCOLLECTARRAYINFO info = collectInfo(2);
    ASSERT_EQ(0, filter.setInfo(band, &info));
    ASSERT_EQ(0, filter.IP(band));
    CImg back;
    filter.getBackImage(back);
    ASSERT_EQ(16, band.getBps());
    EXPECT_EQ(0x987, samples16(band)[0]);
    EXPECT_EQ(0x321, samples16(band)[1]);
    EXPECT_EQ(0x654, samples16(back)[0]);
    EXPECT_EQ(0xCBA, samples16(back)[1]);
}

TEST(CollectArray, SimplexReversesEachColourLineAndRefusesBadBands) {
    CImg band;
    band.createImg(0, 0, 3, 1, 4, 8, 3, Ovk::RGBORDER_LINE, 300, 300);
    const std::uint8_t raw[12] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0};
    std::copy(raw, raw + 12, band.getImage());
    CCollectArrayForSimplex filter;
    tagCOLLECTARRAYINFO info = collectInfo(3);
    ASSERT_EQ(0, filter.setInfo(band, &info));
    ASSERT_EQ(0, filter.IP(band));
    EXPECT_EQ((std::vector<std::uint8_t>{3, 2, 1, 0, 6, 5, 4, 0, 9, 8, 7, 0}), bytes(band));

    CImg odd = bandOf({1, 2, 3}, 3, 1, 8, 3);
    EXPECT_EQ(RTN_PAR, filter.IP(odd)); // odd line length
    CImg pixelOrder = bandOf({1, 2}, 2, 1, 8, 2, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(RTN_PAR, filter.setInfo(pixelOrder, &info));
    info.ulSize = 16;
    EXPECT_EQ(RTN_PAR, filter.setInfo(band, &info));
    EXPECT_EQ(RTN_PAR, filter.setInfo(band, nullptr));
}

TEST(CollectArray, OtherDepthsKeepTheirPixelsAndTakeOnlyANarrowerWidth) {
    CImg band;
    band.createImg(4, 1, 16, 1, Ovk::RGBORDER_LINE, 300, 300);
    samples16(band)[3] = 7;
    CCollectArrayForSimplex filter;
    tagCOLLECTARRAYINFO info = collectInfo(3);
    ASSERT_EQ(0, filter.setInfo(band, &info));
    ASSERT_EQ(0, filter.IP(band));
    EXPECT_EQ(3, band.getWidth());
    EXPECT_EQ(7, samples16(band)[3]);
    info.lWidth = 9; // wider than the buffer: the band keeps its own width
    ASSERT_EQ(0, filter.setInfo(band, &info));
    ASSERT_EQ(0, filter.IP(band));
    EXPECT_EQ(3, band.getWidth());
}

TEST(ExtendBitData12To16, PixelOrderColourLineTurnsRoundWhole) {
    CImg band;
    band.createImg(0, 0, 2, 1, 9, 12, 3, Ovk::RGBORDER_PIXEL, 300, 300);
    // R0 G0 B0 R1 G1 B1 = 1..6
    const std::uint8_t packed[9] = {0x01, 0x20, 0x00, 0x03, 0x40, 0x00, 0x05, 0x60, 0x00};
    std::copy(packed, packed + 9, band.getImage());
    CExtendBitData12To16 filter;
    tagCOLLECTARRAYINFO info = collectInfo(2);
    ASSERT_EQ(0, filter.setInfo(band, &info));
    ASSERT_EQ(0, filter.IP(band));
    ASSERT_EQ(12, band.getSync());
    const std::vector<std::uint16_t> got(samples16(band), samples16(band) + 6);
    EXPECT_EQ((std::vector<std::uint16_t>{6, 5, 4, 3, 2, 1}), got);
}

namespace {

CImg linesNumbered(std::int32_t first, std::int32_t height) {
    CImg band;
    band.createImg(0, 0, 2, height, 2, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    for (std::int32_t y = 0; y < height; ++y)
        band.getLine(y)[0] = static_cast<std::uint8_t>(first + y);
    return band;
}

} // namespace

TEST(CutOffset, TopCutDropsTheOffsetAcrossBands) {
    CCutOffset filter;
    tagCUTOFFSETINFO info{sizeof info, -50, SIDE_FRONT, 1000};
    CImg first = linesNumbered(0, 32);
    ASSERT_EQ(0, filter.setInfo(first, &info));
    ASSERT_EQ(0, filter.IPFirst(first));
    CImg second = linesNumbered(32, 32);
    ASSERT_EQ(0, filter.IPMiddle(second));
    CImg third = linesNumbered(64, 32);
    ASSERT_EQ(0, filter.IPLast(third));
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(14, second.getHeight());
    EXPECT_EQ(50, second.getLine(0)[0]);
    EXPECT_EQ(32, third.getHeight());
}

TEST(CutOffset, BottomCutLimitsThePageAndEmptiesLaterBands) {
    CCutOffset filter;
    tagCUTOFFSETINFO info{sizeof info, 50, SIDE_FRONT, 100};
    std::vector<std::int32_t> heights;
    CImg band = linesNumbered(0, 60);
    ASSERT_EQ(0, filter.setInfo(band, &info));
    for (std::int32_t start = 0; start < 200; start += 60) {
        band = linesNumbered(start, 60);
        ASSERT_EQ(0, filter.IPMiddle(band));
        heights.push_back(band.isNull() ? 0 : band.getHeight());
    }
    EXPECT_EQ((std::vector<std::int32_t>{60, 40, 0, 0}), heights);
    // The back side with a positive offset loses its top instead.
    info.Side = SIDE_BACK;
    ASSERT_EQ(0, filter.setInfo(band, &info));
    band = linesNumbered(0, 60);
    ASSERT_EQ(0, filter.IPFirst(band));
    EXPECT_EQ(10, band.getHeight());
}

TEST(CutOutVertical, KeepsColumnsAtTheBaseResolutionWithinTheBand) {
    CImg band;
    band.createImg(0, 0, 5104, 2, 5104 * 3, 8, 3, Ovk::RGBORDER_PIXEL, 600, 600);
    for (std::int32_t x = 0; x < 5104 * 3; ++x)
        band.getLine(1)[x] = static_cast<std::uint8_t>(x / 3);
    CCutOutVertical filter;
    tagCUTOUTVERTICALINFO info{sizeof info, 2, 2550, 5104, 300};
    ASSERT_EQ(0, filter.setInfo(band, &info));
    CImg copy = band;
    ASSERT_EQ(0, filter.IP(copy));
    EXPECT_EQ(5100, copy.getWidth());
    EXPECT_EQ(2, copy.getLine(1)[0]);
    EXPECT_EQ(3, copy.getLine(1)[3]);

    info.lMaxWidth = 4000;
    ASSERT_EQ(0, filter.setInfo(band, &info));
    copy = band;
    ASSERT_EQ(0, filter.IP(copy));
    EXPECT_EQ(4000, copy.getWidth());

    info = {sizeof info, 100, 2550, 5104, 300}; // 100 + 5100 columns lie past the band
    ASSERT_EQ(0, filter.setInfo(band, &info));
    EXPECT_EQ(RTN_PAR, filter.IP(band));
    EXPECT_EQ(5104, band.getWidth());
    info.lResolution = 0;
    EXPECT_EQ(RTN_PAR, filter.setInfo(band, &info));
}

TEST(CutOutVertical, LineOrderColourKeepsItsOrderAndOtherDepthsDoNotApply) {
    CImg band;
    band.createImg(0, 0, 4, 1, 4, 8, 3, Ovk::RGBORDER_LINE, 300, 300);
    for (std::int32_t i = 0; i < 12; ++i)
        band.getImage()[i] = static_cast<std::uint8_t>(i);
    CCutOutVertical filter;
    tagCUTOUTVERTICALINFO info{sizeof info, 1, 2, 4, 300};
    ASSERT_EQ(0, filter.setInfo(band, &info));
    ASSERT_EQ(0, filter.IP(band));
    EXPECT_EQ((std::vector<std::uint8_t>{1, 2, 5, 6, 9, 10}), bytes(band));
    CImg wide = qs880test::referenceLine(4, 1, 0);
    EXPECT_EQ(RTN_NOT_APPLICABLE, filter.IP(wide));
}
