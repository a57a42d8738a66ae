// The sample pages built for the emulator: all four are there, load as sheets, and the tilted one
// reaches the sensor tilted.
#include "EmulatorTest.h"

#include "SampleSheets.h"

#include <cmath>

namespace k3100::test {
namespace {

TEST(Samples, FourPagesLoadIntoTheFeeder) {
    const auto files = emu::sampleFiles();
    ASSERT_EQ(files.size(), 4u) << emu::sampleDirectory();
    emu::Emulator emulator;
    std::string error;
    ASSERT_TRUE(emu::loadSampleSheets(emulator, error)) << error;
    EXPECT_EQ(emulator.sheetsInFeeder(), 4u);
}

TEST(Samples, PagesAreWhatTheirNamesSay) {
    std::string error;
    const auto files = emu::sampleFiles();
    ASSERT_EQ(files.size(), 4u);
    auto darkShare = [](const emu::PageImage& page) {
        size_t dark = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                dark += page.pixel(x, y)[0] < 128;
        return double(dark) / (double(page.width()) * page.height());
    };
    const auto text = emu::PageImage::load(files[0], error);
    ASSERT_TRUE(text) << error;
    EXPECT_EQ(text->dpi(), 200);
    EXPECT_GT(darkShare(*text), 0.01);

    const auto skewed = emu::sheetFromSpec(files[1], error);
    ASSERT_TRUE(skewed) << error;
    EXPECT_DOUBLE_EQ(skewed->skewDegrees, 3.5);
    EXPECT_NEAR(skewed->length1200, 14031, 10) << "A4";

    const auto blank = emu::PageImage::load(files[2], error);
    ASSERT_TRUE(blank) << error;
    EXPECT_GT(darkShare(*blank), 0.0);
    EXPECT_LT(darkShare(*blank), 0.001);

    const auto colour = emu::PageImage::load(files[3], error);
    ASSERT_TRUE(colour) << error;
    int saturated = 0;
    for (int y = 0; y < colour->height(); y += 4)
        for (int x = 0; x < colour->width(); x += 4) {
            const uint8_t* p = colour->pixel(x, y);
            saturated += std::abs(p[0] - p[1]) > 100 || std::abs(p[1] - p[2]) > 100;
        }
    EXPECT_GT(saturated, 1000);
}

// Every sample is A4, the paper the scan settings start with, so no page shows the backing below it.
TEST(Samples, EveryPageIsA4) {
    std::string error;
    for (const std::string& file : emu::sampleFiles()) {
        const auto page = emu::PageImage::load(file, error);
        ASSERT_TRUE(page) << file << ": " << error;
        EXPECT_NEAR(double(page->width()) / page->dpi(), 8.27, 0.01) << file;
        EXPECT_NEAR(double(page->height()) / page->dpi(), 11.69, 0.01) << file;
    }
}

class TiltedSheet : public EmulatorTest {};

TEST_F(TiltedSheet, PaperEdgeRunsAtTheTilt) {
    // Six inches wide, so both edges stay on the sensor when the sheet turns.
    emu::Sheet tilted = emu::sheetFromImages("narrow", emu::PageImage(600, 1100, 100), std::nullopt);
    tilted.skewDegrees = 4;
    emulator.loadSheet(tilted);
    setWindows(window(300, 150, usb::kCompositionGrey, 13200));
    ASSERT_EQ(scanner->ExecSetAdjustData({0, 103, 700, 700, 700}, {}), kScanOk);
    const uint8_t front[] = {0};
    ASSERT_EQ(scanner->ExecScan(front), kScanOk);
    const Page page = readPage();
    ASSERT_EQ(page.bytes.size(), size_t(2552) * 1650);
    // Leftmost paper column (page orientation; the raw line is mirrored) on two lines 1000 lines apart.
    auto leftEdge = [&](int line) {
        for (int column = 0; column < 2552; ++column)
            if (page.bytes[size_t(line) * 2552 + (2551 - column)] > 120)
                return column;
        return -1;
    };
    const int top = leftEdge(400), bottom = leftEdge(1400);
    ASSERT_GE(top, 0);
    ASSERT_GE(bottom, 0);
    // 1000 lines at 150 dpi are 2000 columns' worth at 300 dpi; tan 4 degrees of that is 140.
    EXPECT_NEAR(std::abs(bottom - top), 140, 6);
}

TEST(TiltSpec, OutOfRangeTiltIsRefused) {
    std::string error;
    EXPECT_FALSE(emu::sheetFromSpec("gen:blank@45", error));
    EXPECT_FALSE(emu::sheetFromSpec("gen:blank@", error));
    EXPECT_FALSE(emu::sheetFromSpec("gen:blank@x", error));
    EXPECT_TRUE(emu::sheetFromSpec("gen:blank@-2.5", error));
}

} // namespace
} // namespace k3100::test
