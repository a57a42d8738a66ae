// Text-direction detection: printed text turned by each quarter is found as turned; pages without
// text and misuse of the session give 0 or clear codes.
#include "line_axis.h"
#include "test_pages.h"
#include "vellumv2.h"

#include <gtest/gtest.h>
#include <numbers>

namespace {

using vlmtest::Page;

const std::vector<std::string> kText = {
    "Orientation detection looks at the shapes of many letters",
    "and decides in which of four directions the lines of text run.",
    "A page of ordinary printed text gives it plenty to look at:",
    "paragraphs, numbers like 1234567890 and punctuation marks.",
    "The quick brown fox jumps over the lazy dog again and again.",
    "Scanned documents arrive upright, sideways or upside down,",
    "and the reader should not have to turn every page by hand.",
    "Each of these lines adds evidence for the right direction.",
};

// Half an A4 page at 200 dpi: enough text for a firm answer, small enough to keep the test quick.
const Page& upright() {
    static const Page page = vlmtest::renderText(kText, 200, 595, 421);
    return page;
}

struct DetectionSession {
    DetectionSession() {
        opened = VLMC_exmodeset(VLM_MODE_DETECT, 3, 0) == VLM_OK &&
                 VLMC_exopen(nullptr, VLM_OPEN_DETECT, 0) == VLM_OK;
    }
    ~DetectionSession() {
        if (opened)
            VLMC_exclose(0);
    }
    int32_t detect(const Page& page, double* radians = nullptr) {
        PdfPageImageDesc desc = page.desc();
        int32_t degrees = -1;
        double rad = -1;
        result = VLMD_spdetect(&desc, &degrees, &rad);
        if (radians != nullptr)
            *radians = rad;
        return degrees;
    }
    bool opened = false;
    int32_t result = 1;
};

TEST(TextDirection, FindsEachQuarterTurnOfPrintedText) {
    DetectionSession session;
    ASSERT_TRUE(session.opened);
    Page page = upright();
    for (int32_t expected : {0, 90, 180, 270}) {
        double radians = -1;
        EXPECT_EQ(session.detect(page, &radians), expected);
        EXPECT_EQ(session.result, VLM_OK);
        EXPECT_NEAR(radians, expected * std::numbers::pi / 180.0, 1e-9);
        page = vlmtest::rotateClockwise(page);
    }
}

// Real prose on A4 at 300 dpi in styles that defeat the model alone (small type, whole pages in italic):
// every quarter turn is found.
TEST(TextDirection, FindsEachQuarterTurnOfProseInSeveralStyles) {
    DetectionSession session;
    ASSERT_TRUE(session.opened);
    const vlmtest::TextStyle styles[] = {{"Times-Italic", 12}, {"Courier-Bold", 8}, {"Helvetica", 9}};
    for (const vlmtest::TextStyle& style : styles) {
        Page page = vlmtest::renderText(vlmtest::proseLines(style), 300, 595, 842, style);
        for (int32_t expected : {0, 90, 180, 270}) {
            EXPECT_EQ(session.detect(page), expected) << style.font << " " << style.sizePt;
            page = vlmtest::rotateClockwise(page);
        }
    }
}

// Sans faces blur the ink beyond the small letters' band; their lines must still tell the side clearly
// enough (an ascent of 0.3) to spare the model, which takes ten times as long.
TEST(TextDirection, LinesOfSansPagesTellTheSideOnTheirOwn) {
    for (const vlmtest::TextStyle& style :
         {vlmtest::TextStyle{"Helvetica", 9}, vlmtest::TextStyle{"Helvetica", 18}}) {
        Page page = vlmtest::renderText(vlmtest::proseLines(style), 300, 595, 842, style);
        for (int32_t turn : {0, 90, 180}) {
            const vlm::ImageView view{page.pixels.data(), static_cast<size_t>(page.sync), page.width,
                                      page.height, VLM_KIND_GRAY};
            const vlm::LineEvidence lines = vlm::textLines(vlm::greyReduced(view, 1));
            EXPECT_EQ(lines.axis, turn == 90 ? vlm::LineAxis::Columns : vlm::LineAxis::Rows) << style.sizePt;
            EXPECT_GE(turn == 180 ? -lines.ascent : lines.ascent, 0.3)
                << style.sizePt << " pt, turn " << turn;
            page = vlmtest::rotateClockwise(page);
        }
    }
}

TEST(TextDirection, WorksOnColourAndBilevelPages) {
    DetectionSession session;
    ASSERT_TRUE(session.opened);
    const Page sideways =
        vlmtest::rotateClockwise(vlmtest::rotateClockwise(vlmtest::rotateClockwise(upright())));
    EXPECT_EQ(session.detect(vlmtest::toBgr(sideways)), 270);
    EXPECT_EQ(session.detect(vlmtest::toBw(sideways)), 270);
}

TEST(TextDirection, PagesWithoutEnoughTextAnswerZero) {
    DetectionSession session;
    ASSERT_TRUE(session.opened);
    Page blank = upright();
    std::fill(blank.pixels.begin(), blank.pixels.end(), 255);
    EXPECT_EQ(session.detect(vlmtest::rotateClockwise(blank)), 0);
    EXPECT_EQ(session.result, VLM_OK);
    // One line is too thin a ground to turn a whole page.
    const Page line = vlmtest::rotateClockwise(vlmtest::renderText({kText[0]}, 200, 595, 100));
    EXPECT_EQ(session.detect(line), 0);
}

TEST(TextDirection, RefusesMisuse) {
    Page page = upright();
    PdfPageImageDesc desc = page.desc();
    int32_t degrees = 7;
    double radians = 7;
    EXPECT_EQ(VLMD_spdetect(&desc, &degrees, &radians), VLM_ERR_NOTOPEN);
    EXPECT_EQ(degrees, 0);

    DetectionSession session;
    ASSERT_TRUE(session.opened);
    EXPECT_EQ(VLMC_exopen(nullptr, VLM_OPEN_DETECT, 0), VLM_ERR_ALREADYOPEN);
    EXPECT_EQ(VLMD_spdetect(nullptr, &degrees, &radians), VLM_ERR_PARAM);
    EXPECT_EQ(VLMD_spdetect(&desc, nullptr, &radians), VLM_ERR_PARAM);
    desc.lKind = 16;
    EXPECT_EQ(VLMD_spdetect(&desc, &degrees, &radians), VLM_ERR_IMAGE);
    desc = page.desc();
    desc.lSync = page.width - 1;
    EXPECT_EQ(VLMD_spdetect(&desc, &degrees, &radians), VLM_ERR_IMAGE);
}

// A data folder without the model (the data source's own) leaves the system's in use; without any model
// the mode is refused before a page is given, and so is the open.
TEST(TextDirection, MissingOrientationModelIsAnErrorAtModeAndOpen) {
    const std::string empty = vlmtest::scratchFolder("no-osd");
    ASSERT_EQ(VLMC_changepath(empty.c_str()), VLM_OK);
    {
        DetectionSession session;
        EXPECT_TRUE(session.opened);
        EXPECT_EQ(session.detect(vlmtest::rotateClockwise(upright())), 90);
    }
    setenv("TESSDATA_PREFIX", empty.c_str(), 1);
    const int32_t mode = VLMC_exmodeset(VLM_MODE_DETECT, 3, 0);
    const int32_t opened = VLMC_exopen(nullptr, VLM_OPEN_DETECT, 0);
    unsetenv("TESSDATA_PREFIX");
    VLMC_changepath(nullptr);
    EXPECT_EQ(mode, VLM_ERR_LANGUAGE);
    EXPECT_EQ(opened, VLM_ERR_LANGUAGE);
    EXPECT_EQ(VLMC_exclose(0), VLM_ERR_NOTOPEN);
}

} // namespace
