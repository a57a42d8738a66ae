// Colours as on paper: a chart of grey steps and colour patches, scanned end to end with the default tone
// settings, comes back close to the sheet as the eye judges it (CIEDE2000), and its black stays black.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "ColourDifference.h"
#include "PageMeasures.h"
#include "ScanHarness.h"

namespace e2e {
namespace {

struct SPatch {
    std::uint8_t r, g, b;
};

// Grey steps from black to white, then the sample sheet's colours and a few between them.
const std::vector<SPatch> kChart = {
    {0, 0, 0},       {20, 20, 20},    {45, 45, 45},    {70, 70, 70},    {95, 95, 95},    {120, 120, 120},
    {145, 145, 145}, {170, 170, 170}, {195, 195, 195}, {220, 220, 220}, {245, 245, 245}, {200, 30, 30},
    {30, 160, 60},   {30, 60, 190},   {230, 200, 30},  {14, 57, 142},   {30, 70, 150},   {180, 120, 80},
    {90, 140, 200},  {220, 180, 200}, {120, 160, 90},  {240, 230, 180}, {100, 60, 120},  {160, 40, 90}};
constexpr std::size_t kGreySteps = 11;
constexpr std::size_t kBlack = 1; // the sample sheet's black, 20

// The default colour curve deepens dark greys and takes paper white to pure white, so a scan is never a
// copy of its sheet (about 4.6 for the steps, 6.2 for the colours); a curve applied on top of one already
// in the data lies near 15 and 20.
constexpr double kMeanSteps = 6, kMeanColours = 7.5, kMostForOnePatch = 15;

// An A4 sheet at the 200 dpi that the emulator gives a picture file naming none; patches of 0.8 inch
// one inch apart, seven to a row.
constexpr int kWidth = 1654, kHeight = 2339, kPatch = 160, kPitch = 200, kMargin = 120, kColumns = 7;

std::string WriteChart(const fs::path& folder) {
    std::vector<std::uint8_t> pixels(std::size_t(kWidth) * kHeight * 3, 255);
    for (std::size_t i = 0; i < kChart.size(); ++i) {
        const int left = kMargin + int(i % kColumns) * kPitch, top = kMargin + int(i / kColumns) * kPitch;
        for (int y = top; y < top + kPatch; ++y)
            for (int x = left; x < left + kPatch; ++x) {
                std::uint8_t* p = &pixels[(std::size_t(y) * kWidth + x) * 3];
                p[0] = kChart[i].r, p[1] = kChart[i].g, p[2] = kChart[i].b;
            }
    }
    const fs::path path = folder / "chart.ppm";
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << kWidth << ' ' << kHeight << "\n255\n";
    out.write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size()));
    return path.string();
}

// The middle of patch i on the scanned page, away from its edges.
SRgb PatchOnPage(const SPageBitmap& page, std::size_t i) {
    const double left = kMargin + double(i % kColumns) * kPitch + kPatch * 0.25;
    const double top = kMargin + double(i / kColumns) * kPitch + kPatch * 0.25;
    const double size = kPatch * 0.5;
    return MeanColour(page, left / kWidth, top / kHeight, (left + size) / kWidth, (top + size) / kHeight);
}

double Difference(const SPatch& sheet, const SRgb& scan) {
    return DeltaE2000(LabOfSrgb(sheet.r, sheet.g, sheet.b), LabOfSrgb(scan.r, scan.g, scan.b));
}

class ToneOnPaper : public ScanHarness {
protected:
    void SetUp() override {
        ScanHarness::SetUp();
        const SBatch batch = Scan({WriteChart(mDir)}, {"--pixel-type", "colour", "--resolution", "150"});
        ASSERT_EQ(batch.error, "");
        ASSERT_EQ(batch.pages.size(), 1u);
        page = batch.pages.front();
    }
    // The mean difference over patches [first, last), each within the most for one patch.
    double MeanDifference(std::size_t first, std::size_t last) {
        double sum = 0;
        for (std::size_t i = first; i < last; ++i) {
            const SRgb scanned = PatchOnPage(page, i);
            const double difference = Difference(kChart[i], scanned);
            sum += difference;
            EXPECT_LT(difference, kMostForOnePatch)
                << "patch " << i << ": " << scanned.r << ' ' << scanned.g << ' ' << scanned.b;
        }
        const double mean = sum / double(last - first);
        RecordProperty("meanDeltaE2000", std::to_string(mean));
        return mean;
    }

    SPageBitmap page;
};

TEST_F(ToneOnPaper, GreyStepsComeBackAsPrintedWithBlackStayingBlack) {
    EXPECT_LT(MeanDifference(0, kGreySteps), kMeanSteps);
    const SRgb black = PatchOnPage(page, kBlack);
    EXPECT_LT(std::max({black.r, black.g, black.b}), 30);
}

TEST_F(ToneOnPaper, ColoursComeBackAsPrinted) {
    EXPECT_LT(MeanDifference(kGreySteps, kChart.size()), kMeanColours);
}

// The measure itself, on published pairs of the formula's authors.
TEST(ColourDifference, MatchesPublishedPairs) {
    EXPECT_NEAR(DeltaE2000({50, 2.6772, -79.7751}, {50, 0, -82.7485}), 2.0425, 1e-4);
    EXPECT_NEAR(DeltaE2000({50, 0, 0}, {50, -1, 2}), 2.3669, 1e-4);
    EXPECT_NEAR(DeltaE2000({60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}), 1.2644, 1e-4);
    const SLab white = LabOfSrgb(255, 255, 255);
    EXPECT_NEAR(white.l, 100, 0.01);
    EXPECT_NEAR(white.a, 0, 0.01);
    EXPECT_NEAR(LabOfSrgb(119, 119, 119).l, 50, 0.5);
}

} // namespace
} // namespace e2e
