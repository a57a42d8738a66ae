// Pages of known content scanned end to end (emulated scanner, source manager, K3100.ds, page library)
// and measured on arrival: page count and order, size, bit depth, where the generated page's bars and
// ramp land, the colours of the colour sample, and how straight a tilted sheet comes out.
#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "PageMeasures.h"
#include "ScanHarness.h"

namespace e2e {
namespace {

// The generated ramp page (emulator/PageImage.cpp) at 150 dpi: a black bar 37 lines deep every 148
// lines from line 37, across a ramp from white at the left to black at the right.
constexpr double kFirstBarInches = 37.0 / 150;
constexpr double kBarPitchInches = 148.0 / 150;
constexpr double kA4WidthInches = 210 / 25.4, kA4LengthInches = 297 / 25.4;

const char* const kRampThenBlank = "gen:ramp-a4,gen:blank-a4";
const char* const kBlankThenRamp = "gen:blank-a4,gen:ramp-a4";

enum class EFace { kRamp, kBlank };

std::string PixelTypeName(int bits, int samples) {
    return bits == 1 ? "bw" : samples == 3 ? "colour" : "grey";
}

// Checks one page against the ramp or the blank face, both A4 at `dpi`.
void ExpectFace(const SPageBitmap& page, EFace face, double dpi, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_NEAR(page.width, kA4WidthInches * dpi, 2);
    EXPECT_NEAR(page.height, kA4LengthInches * dpi, 2);
    EXPECT_FLOAT_EQ(page.xResolution, float(dpi));
    if (face == EFace::kBlank) {
        EXPECT_GT(MeanLuma(page, 0.05, 0.05, 0.95, 0.95), 200);
        return;
    }
    // Between the first two bars: white at the left, dark at the right (a mirrored side turns this round).
    const double top = (kFirstBarInches + 0.45) * dpi / page.height;
    const double bottom = (kFirstBarInches + 0.7) * dpi / page.height;
    EXPECT_GT(MeanLuma(page, 0.05, top, 0.15, bottom), 200);
    EXPECT_LT(MeanLuma(page, 0.85, top, 0.95, bottom), 90);
    // The bars start where the page puts them: a lost line offset or a page turned upside down moves them.
    std::vector<std::uint32_t> bars = DarkStarts(page, page.width / 10);
    // The sheet's trailing edge throws a shadow on the last rows.
    std::erase_if(bars, [&](std::uint32_t y) { return y > page.height - 0.1 * dpi; });
    ASSERT_EQ(bars.size(), 12u);
    for (std::size_t i = 0; i < bars.size(); ++i)
        EXPECT_NEAR(bars[i], (kFirstBarInches + i * kBarPitchInches) * dpi, 0.02 * dpi) << "bar " << i;
}

class Batch : public ScanHarness, public ::testing::WithParamInterface<std::tuple<std::string, int, bool>> {};

TEST_P(Batch, DeliversEveryFaceInOrderWithItsSizeDepthAndContent) {
    const auto& [pixelType, dpi, duplex] = GetParam();
    std::vector<std::string> options{"--pixel-type",      pixelType, "--resolution",
                                     std::to_string(dpi), "--paper", "a4"};
    if (duplex)
        options.push_back("--duplex");
    const SBatch batch = Scan({kRampThenBlank, kBlankThenRamp}, options);
    ASSERT_EQ(batch.error, "");
    const std::vector<EFace> expected =
        duplex ? std::vector{EFace::kRamp, EFace::kBlank, EFace::kBlank, EFace::kRamp}
               : std::vector{EFace::kRamp, EFace::kBlank};
    ASSERT_EQ(batch.pages.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const SPageBitmap& page = batch.pages[i];
        EXPECT_EQ(PixelTypeName(page.bitsPerSample, page.samplesPerPixel), pixelType);
        ExpectFace(page, expected[i], dpi, "page " + std::to_string(i + 1));
        if (pixelType == "bw") {
            // Bars (a quarter of the page) and the darker half of the ramp's remaining three quarters.
            const double black = BlackShare(page);
            EXPECT_TRUE(expected[i] == EFace::kBlank ? black < 0.01 : black > 0.45 && black < 0.75) << black;
        }
    }
}

// 600 dpi takes the scanner's other optical resolution; one case per pixel type keeps the run short.
INSTANTIATE_TEST_SUITE_P(AllPixelTypes, Batch,
                         ::testing::Values(std::tuple{"bw", 300, false}, std::tuple{"bw", 300, true},
                                           std::tuple{"grey", 300, false}, std::tuple{"grey", 300, true},
                                           std::tuple{"colour", 300, false}, std::tuple{"colour", 300, true},
                                           std::tuple{"bw", 600, true}, std::tuple{"grey", 600, false},
                                           std::tuple{"colour", 600, false}),
                         [](const auto& info) {
                             return std::get<0>(info.param) + std::to_string(std::get<1>(info.param)) +
                                    (std::get<2>(info.param) ? "Duplex" : "Simplex");
                         });

// Angle of the top edge of the bar nearest to a third of the page down, across the bright left fifth of
// the ramp (lighter than a colour scan's mid-tones); each column takes the bar edge nearest to the one
// found in the column before.
double BarAngle(const SPageBitmap& page) {
    std::vector<std::pair<double, double>> points;
    double last = page.height / 3.0;
    for (std::uint32_t x = page.width / 20; x < page.width / 5; x += 8) {
        const std::vector<std::uint32_t> starts = DarkStarts(page, x);
        if (starts.empty())
            continue;
        const auto nearest = std::min_element(starts.begin(), starts.end(), [&](auto a, auto b) {
            return std::abs(a - last) < std::abs(b - last);
        });
        last = *nearest;
        points.emplace_back(x, last);
    }
    return points.size() < 20 ? 90 : FittedAngle(points);
}

// The detector keeps about a millimetre inside each edge, so that no dark border shows: a page comes
// out up to a few millimetres smaller than its sheet, never larger.
void ExpectSheetSize(const SPageBitmap& page, double widthInches, double lengthInches, double dpi) {
    const double slack = 4 / 25.4 * dpi;
    EXPECT_LE(page.width, widthInches * dpi + 1);
    EXPECT_GE(page.width, widthInches * dpi - slack);
    EXPECT_LE(page.height, lengthInches * dpi + 1);
    EXPECT_GE(page.height, lengthInches * dpi - slack);
}

constexpr double kA5WidthInches = 148 / 25.4, kA5LengthInches = 210 / 25.4;

// A straightened page starts on the paper: no backing or edge shadow along the top of the ramp's white end.
void ExpectPaperAlongTheTop(const SPageBitmap& page) {
    EXPECT_GT(MeanLuma(page, 0.02, 0, 0.3, 3.0 / page.height), 200);
}

class TiltedSheet : public ScanHarness, public ::testing::WithParamInterface<std::string> {};

TEST_P(TiltedSheet, ComesOutStraightOnlyWhenDeskewIsAsked) {
    // The back of a sheet that feeds turned clockwise is seen turned the other way.
    const std::vector<std::string> base{"--pixel-type", GetParam(), "--resolution", "300",
                                        "--paper",      "a4",       "--duplex"};
    const std::string sheet = "gen:ramp-a4,gen:ramp-a4@3.5";
    const SBatch tilted = Scan({sheet}, base);
    ASSERT_EQ(tilted.error, "");
    ASSERT_EQ(tilted.pages.size(), 2u);
    EXPECT_NEAR(BarAngle(tilted.pages[0]), 3.5, 0.3);
    EXPECT_NEAR(BarAngle(tilted.pages[1]), -3.5, 0.3);

    std::vector<std::string> deskew = base;
    deskew.push_back("--deskew");
    const SBatch straight = Scan({sheet}, deskew);
    ASSERT_EQ(straight.error, "");
    ASSERT_EQ(straight.pages.size(), 2u);
    for (const SPageBitmap& page : straight.pages) {
        EXPECT_NEAR(BarAngle(page), 0, 0.2);
        EXPECT_NEAR(page.width, kA4WidthInches * 300, 2);
        EXPECT_NEAR(page.height, kA4LengthInches * 300, 2);
        ExpectPaperAlongTheTop(page);
    }

    // With the size detected as well, a smaller tilted sheet comes out straight and cut to its size.
    deskew.push_back("--detect-size");
    const SBatch cut = Scan({"gen:ramp-a5,gen:ramp-a5@3.5"}, deskew);
    ASSERT_EQ(cut.error, "");
    ASSERT_EQ(cut.pages.size(), 2u);
    for (const SPageBitmap& page : cut.pages) {
        EXPECT_NEAR(BarAngle(page), 0, 0.2);
        ExpectSheetSize(page, kA5WidthInches, kA5LengthInches, 300);
        ExpectPaperAlongTheTop(page);
    }
}

INSTANTIATE_TEST_SUITE_P(GreyAndColour, TiltedSheet, ::testing::Values("grey", "colour"));

class CutPage : public ScanHarness {};

TEST_F(CutPage, StaysInsideTheEdgesOfASlightlyTiltedSheet) {
    const SBatch batch = Scan({"gen:blank-a4,gen:blank-a4@1"}, {"--pixel-type", "grey", "--resolution", "300",
                                                                "--duplex", "--detect-size", "--deskew"});
    ASSERT_EQ(batch.error, "");
    ASSERT_EQ(batch.pages.size(), 2u);
    for (const SPageBitmap& page : batch.pages) {
        ExpectSheetSize(page, kA4WidthInches, kA4LengthInches, 300);
        const double row = 3.0 / page.height, column = 3.0 / page.width;
        EXPECT_GT(MeanLuma(page, 0, 0, 1, row), 240) << "top";
        EXPECT_GT(MeanLuma(page, 0, 1 - row, 1, 1), 240) << "bottom";
        EXPECT_GT(MeanLuma(page, 0, 0, column, 1), 240) << "left";
        EXPECT_GT(MeanLuma(page, 1 - column, 0, 1, 1), 240) << "right";
    }
}

class SamplePages : public ScanHarness {};

TEST_F(SamplePages, ColourSwatchesKeepTheirHueOnEitherSide) {
    const std::string colour = Sample("04-colour.tif");
    const SBatch batch = Scan({colour + ",gen:blank", "gen:blank," + colour},
                              {"--pixel-type", "colour", "--resolution", "300", "--duplex"});
    ASSERT_EQ(batch.error, "");
    ASSERT_EQ(batch.pages.size(), 4u);
    for (const std::size_t index : {std::size_t{0}, std::size_t{3}}) {
        SCOPED_TRACE("page " + std::to_string(index + 1));
        const SPageBitmap& page = batch.pages[index];
        // Five one-inch swatches from one inch in, 1.3 inch apart, 1.5 to 2.5 inch down an A4 page.
        const auto swatch = [&](int i) {
            const double left = (1.3 + 1.3 * i) / kA4WidthInches, top = 1.8 / kA4LengthInches;
            return MeanColour(page, left, top, left + 0.4 / kA4WidthInches, top + 0.4 / kA4LengthInches);
        };
        const SRgb red = swatch(0), green = swatch(1), blue = swatch(2), yellow = swatch(3),
                   black = swatch(4);
        EXPECT_GT(red.r, red.g + 80);
        EXPECT_GT(red.r, red.b + 80);
        EXPECT_GT(green.g, green.r + 60);
        EXPECT_GT(green.g, green.b + 40);
        EXPECT_GT(blue.b, blue.r + 80);
        EXPECT_GT(blue.b, blue.g + 40);
        EXPECT_GT(std::min(yellow.r, yellow.g), yellow.b + 100);
        EXPECT_LT(std::max({black.r, black.g, black.b}), 80);
    }
}

TEST_F(SamplePages, PrintedTextInBlackAndWhiteIsInkOnWhiteWithMargins) {
    const SBatch batch = Scan({Sample("01-text.tif")}, {"--pixel-type", "bw", "--resolution", "300"});
    ASSERT_EQ(batch.error, "");
    ASSERT_EQ(batch.pages.size(), 1u);
    const SPageBitmap& page = batch.pages[0];
    ASSERT_EQ(page.bitsPerSample, 1);
    const double black = BlackShare(page);
    EXPECT_GT(black, 0.01);
    EXPECT_LT(black, 0.15);
    // One-inch margins at the top and the left hold no ink; the text block below the title does.
    EXPECT_GT(MeanLuma(page, 0.02, 0.02, 0.98, 0.06), 250);
    EXPECT_GT(MeanLuma(page, 0.02, 0.2, 0.09, 0.8), 250);
    EXPECT_LT(MeanLuma(page, 0.15, 0.2, 0.85, 0.5), 245);
}

class AutomaticSize : public ScanHarness, public ::testing::WithParamInterface<bool> {};

TEST_P(AutomaticSize, EachPageTakesTheSizeOfItsOwnSheet) {
    const bool duplex = GetParam();
    // One side alone finds the paper by its light against the backing: blank sheets show every edge.
    const std::vector<std::string> sheets =
        duplex ? std::vector<std::string>{kBlankThenRamp, "gen:ramp-a5,gen:blank-a5"}
               : std::vector<std::string>{"gen:blank-a4", "gen:blank-a5"};
    std::vector<std::string> options{"--pixel-type", "grey", "--resolution", "300", "--detect-size"};
    if (duplex)
        options.push_back("--duplex");
    const SBatch batch = Scan(sheets, options);
    ASSERT_EQ(batch.error, "");
    ASSERT_EQ(batch.pages.size(), duplex ? 4u : 2u);
    for (std::size_t i = 0; i < batch.pages.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const bool a4 = i < batch.pages.size() / 2;
        ExpectSheetSize(batch.pages[i], a4 ? kA4WidthInches : kA5WidthInches,
                        a4 ? kA4LengthInches : kA5LengthInches, 300);
    }
}

INSTANTIATE_TEST_SUITE_P(OneAndTwoSided, AutomaticSize, ::testing::Bool());

} // namespace
} // namespace e2e
