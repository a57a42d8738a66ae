// Pages whose raw data ends early: the missing lines are filled with the platen colour measured by the
// calibration, processed as the page's last band, and joined below the last real band.
#include "QS880/CSpecialFilter.h"
#include "QS880/PixenQS880.h"
#include "RawBands.h"
#include "Requests.h"

#include <gtest/gtest.h>

using namespace qs880test;

namespace {

constexpr std::int32_t kWidth = 2552;
constexpr std::uint32_t kBlockSize = 524288;

// A light-curve block with one grey curve per side at 300 dpi whose scale 0 leaves the white as it is.
std::vector<std::uint8_t> neutralCurveBlock() {
    std::vector<std::uint8_t> block(kBlockSize, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        block[at] = static_cast<std::uint8_t>(v);
        block[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    put32(0, 1); // time stamp
    put32(8, 2); // two records
    std::size_t at = 12;
    for (std::uint32_t side = 0; side < 2; ++side) {
        put16(at, 36); // header bytes
        put16(at + 2, side);
        put16(at + 4, 1);  // one table
        put16(at + 6, 16); // of 16-bit entries
        put32(at + 12, kWidth);
        put32(at + 16, kWidth * 2);
        put32(at + 20, kWidth * 2);
        put16(at + 24, 300);
        put16(at + 26, 1);
        put32(at + 28, 1); // usable
        at += 36 + kWidth * 2;
    }
    return block;
}

// Gives the pipeline's shading its platen colour: a grey white reference of 3200 over black 100, and
// starts from no page, whatever a test before left in the process-wide pipeline.
void calibrate() {
    AbandonPage();
    const std::vector<std::uint8_t> block = neutralCurveBlock();
    for (const tagSIDE side : {SIDE_FRONT, SIDE_BACK}) {
        CImg white = constantLine(kWidth, 1, 3200);
        CImg black = constantLine(kWidth, 1, 100);
        tagADJUSTINFO info{};
        info.ulSize = sizeof info;
        info.lXResolution = 300;
        ASSERT_EQ(0, AdjustLightFix(white, black, &info, side, block.data(), kBlockSize));
    }
}

bool allLinesAre(const CImg& image, std::int32_t from, std::uint8_t value) {
    for (std::int32_t y = from; y < image.getHeight(); ++y)
        for (std::int32_t x = 0; x < image.getWidth(); ++x)
            if (image.getLine(y)[x] != value)
                return false;
    return true;
}

} // namespace

TEST(Append, MissingLinesFollowTheLastBandInThePlatenColour) {
    calibrate();
    const Page page = makePage(kWidth, 10, 1, 8);
    std::int32_t lines = 0;
    const std::vector<std::uint8_t> raw = rawStream(page, nullptr, 0, lines);
    IdentityRequests requests(kWidth, 16, 1); // the page is 16 lines, the scanner sent 10
    CImg out;
    CImg in = rawBand(raw, kWidth, 1, 0, 4);
    ASSERT_EQ(0, FilterSimplexFirst(out, in, &requests.simplex));
    CImg page2 = out;
    in = rawBand(raw, kWidth, 1, 4, 6);
    ASSERT_EQ(0, FilterSimplexLastAppended(out, in, &requests.simplex, 6));
    ASSERT_EQ(1, page2.appendImg(out));
    ASSERT_EQ(16, page2.getHeight());
    for (std::int32_t y = 0; y < 10; ++y)
        ASSERT_TRUE(std::equal(page2.getLine(y), page2.getLine(y) + kWidth, &page.pixels[y * kWidth])) << y;
    // White paper is brighter than the strip's average shaded to 255, and so is the platen.
    EXPECT_TRUE(allLinesAre(page2, 10, 255));

    // A last band made only of missing lines gives just those lines.
    CImg empty;
    CImg only;
    ASSERT_EQ(0, FilterSimplexLastAppended(only, empty, &requests.simplex, 5));
    EXPECT_EQ(5, only.getHeight());
    EXPECT_TRUE(allLinesAre(only, 0, 255));
}

TEST(Append, NoLinesIsAPlainLastBandAndNoShadingDataIsRefused) {
    IdentityRequests requests(kWidth, 8, 1);
    const Page page = makePage(kWidth, 8, 1, 3);
    std::int32_t lines = 0;
    const std::vector<std::uint8_t> raw = rawStream(page, nullptr, 0, lines);
    CImg out;
    CImg in = rawBand(raw, kWidth, 1, 0, 4);
    ASSERT_EQ(0, FilterSimplexFirst(out, in, &requests.simplex));
    in = rawBand(raw, kWidth, 1, 4, 4);
    ASSERT_EQ(0, FilterSimplexLastAppended(out, in, &requests.simplex, 0));
    EXPECT_EQ(4, out.getHeight());
    EXPECT_EQ(RTN_SEQUENCE, FilterSimplexLastAppended(out, in, &requests.simplex, 0)); // the page has ended

    CSpecialFilter fresh; // no page and no calibration yet: no platen colour to fill with
    CImg band;
    EXPECT_EQ(RTN_PAR, fresh.IPAppendSimplex(band, &requests.simplex, 4));
    EXPECT_EQ(RTN_PAR, fresh.IPAppendSimplex(band, &requests.simplex, 0));
    EXPECT_TRUE(band.isNull());
}

TEST(Append, BothSidesOfATwoSidedPageGetTheirBackingLines) {
    calibrate();
    const Page front = makePage(kWidth, 10, 1, 31);
    const Page back = makePage(kWidth, 10, 1, 32);
    std::int32_t lines = 0;
    const std::vector<std::uint8_t> raw = rawStream(front, &back, 73, lines);
    IdentityRequests requests(kWidth, 16, 1); // 16 lines per side, the scanner sent 10 + the offset
    CImg frontOut;
    CImg backOut;
    CImg in = rawBand(raw, 2 * kWidth, 1, 0, lines);
    ASSERT_EQ(0, FilterDuplexLastAppended(frontOut, backOut, in, &requests.duplex, 6));
    ASSERT_EQ(16, frontOut.getHeight());
    ASSERT_EQ(16, backOut.getHeight());
    for (std::int32_t y = 0; y < 10; ++y) {
        ASSERT_TRUE(std::equal(frontOut.getLine(y), frontOut.getLine(y) + kWidth, &front.pixels[y * kWidth]))
            << y;
        ASSERT_TRUE(std::equal(backOut.getLine(y), backOut.getLine(y) + kWidth, &back.pixels[y * kWidth]))
            << y;
    }
    // The front reads ahead of the back: its last lines came from the scanner (the backing it saw, 0x5A
    // in the raw stream), while the back's missing lines are the appended ones.
    EXPECT_TRUE(allLinesAre(frontOut, 10, 0x5A));
    EXPECT_TRUE(allLinesAre(backOut, 10, 255));
}
