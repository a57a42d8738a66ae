// A stalled pipe anywhere in a batch of numbered sheets: the scanner is asked again once the stall is
// cleared, so every sheet arrives whole and in order; a pipe that keeps stalling ends the batch with
// its fault, keeping the whole pages before it, never a page cut short or pieced from two sheets.
#include <string>
#include <vector>

#include "NumberedSheets.h"
#include "PageMeasures.h"
#include "ScanHarness.h"

namespace e2e {
namespace {

constexpr int kSheets = 8;
constexpr double kDpi = 150, kA4LengthInches = 297 / 25.4;

// The number of dark bars that start between two depths down the middle of the page.
int BarsBetween(const SPageBitmap& page, double fromInches, double toInches) {
    int bars = 0;
    for (const std::uint32_t y : DarkStarts(page, page.width / 2))
        bars += y >= fromInches * kDpi && y < toInches * kDpi;
    return bars;
}

// Which numbered sheet the page shows whole; 0 for none.
int SheetOf(const SPageBitmap& page) {
    const double span = kSheets * test::kBarPitchInches;
    const int top = BarsBetween(page, test::kBarsTopInches - 0.2, test::kBarsTopInches + span);
    const int bottom = BarsBetween(page, test::kBarsBottomInches - 0.2, test::kBarsBottomInches + span);
    const bool whole = std::abs(double(page.height) - kA4LengthInches * kDpi) <= 2;
    return whole && top == bottom ? top : 0;
}

class StalledPipe : public ScanHarness, public ::testing::WithParamInterface<std::vector<std::string>> {
protected:
    SBatch ScanSheets() {
        return Scan(test::writeNumberedSheets(mDir, kSheets),
                    {"--pixel-type", "grey", "--resolution", "150", "--paper", "a4"}, GetParam());
    }
};

TEST_P(StalledPipe, EverySheetArrivesWholeAndInOrder) {
    const SBatch batch = ScanSheets();
    EXPECT_EQ(batch.error, "");
    ASSERT_EQ(batch.pages.size(), std::size_t(kSheets));
    for (int i = 0; i < kSheets; ++i)
        EXPECT_EQ(SheetOf(batch.pages[i]), i + 1) << "page " << i + 1;
}

// At 150 dpi grey, reads that fall before the first sheet, inside the first, inside the third, and
// between the fifth and the sixth (where the data source asks whether paper is left).
INSTANTIATE_TEST_SUITE_P(AtEachPoint, StalledPipe,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"stall@read:10"},
                                           std::vector<std::string>{"stall@read:12"},
                                           std::vector<std::string>{"stall@read:24"},
                                           std::vector<std::string>{"stall@read:40"}),
                         [](const auto& info) {
                             return info.param.empty()
                                        ? std::string("None")
                                        : "Read" + info.param[0].substr(info.param[0].find(':') + 1);
                         });

class PipeThatStaysStalled : public StalledPipe {};

TEST_P(PipeThatStaysStalled, EndsTheBatchWithItsFaultKeepingTheWholePagesBefore) {
    const SBatch batch = ScanSheets();
    EXPECT_NE(batch.error, "");
    EXPECT_EQ(batch.pages.size(), 2u);
    for (std::size_t i = 0; i < batch.pages.size(); ++i)
        EXPECT_EQ(SheetOf(batch.pages[i]), int(i + 1)) << "page " << i + 1;
}

// Five stalls in a row inside the third sheet.
INSTANTIATE_TEST_SUITE_P(MidSheet, PipeThatStaysStalled,
                         ::testing::Values(std::vector<std::string>{"stall@read:24", "stall@read:25",
                                                                    "stall@read:26", "stall@read:27",
                                                                    "stall@read:28"}));

} // namespace
} // namespace e2e
