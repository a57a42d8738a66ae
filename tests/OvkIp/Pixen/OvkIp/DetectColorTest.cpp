// Colour or grey: fringes next to dark strokes do not make a page colour, real colour does, the
// sensitivity sets how much colour is enough, and bands give the whole page's answer.
#include "DetectColor/DetectColor.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {
struct Page {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> pixels;
    tagOVKIMAGEINFO info = {};

    Page(int32_t w, int32_t h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 3, 255) {
        info.ulSize = sizeof(info);
        info.lpImage = pixels.data();
        info.lWidth = w;
        info.lHeight = h;
        info.lSync = w * 3;
        info.lBps = 8;
        info.lSpp = 3;
        info.lXResolution = info.lYResolution = 300;
    }
    void fillRows(int32_t first, int32_t last, int32_t x0, int32_t x1, uint8_t r, uint8_t g, uint8_t b) {
        for (int32_t y = first; y <= last; ++y)
            for (int32_t x = x0; x <= x1; ++x) {
                uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
                p[0] = r;
                p[1] = g;
                p[2] = b;
            }
    }
};

tagDETECT_COLOR_INFO request(const Page& page) {
    tagDETECT_COLOR_INFO r = {};
    r.ulSize = sizeof(r);
    r.lWidth = page.width;
    r.lHeight = page.height;
    r.lXResolution = r.lYResolution = 300;
    return r;
}

// Runs the detector over the page, whole (band 0) or in bands; returns the band count, or the code.
int32_t detect(Page& page, tagDETECT_COLOR_INFO r, int32_t band = 0, int32_t* colour = nullptr) {
    r.lCommand = kColorCreate;
    if (const int code = IsColorImage(nullptr, &r))
        return code;
    if (band == 0) {
        r.lCommand = kColorWholePage;
        EXPECT_EQ(IsColorImage(&page.info, &r), 0);
    } else {
        for (int32_t y = 0; y < page.height; y += band) {
            tagOVKIMAGEINFO part = page.info;
            part.lpImage += static_cast<ptrdiff_t>(part.lSync) * y;
            part.lHeight = std::min(band, page.height - y);
            r.lCommand = y + band >= page.height ? kColorLastBand : (y == 0 ? kColorFirstBand : kColorBand);
            EXPECT_EQ(IsColorImage(&part, &r), 0);
        }
    }
    if (colour)
        *colour = r.lColor;
    r.lCommand = kColorRelease;
    EXPECT_EQ(IsColorImage(nullptr, &r), 0);
    return r.lBandCount;
}

// Grey strokes every 8 lines with a red fringe above and a blue one below, as the sensor leaves them.
Page fringedText() {
    Page page(400, 400);
    for (int32_t y = 0; y + 8 <= 400; y += 8) {
        page.fillRows(y, y + 1, 0, 399, 255, 0, 0);
        page.fillRows(y + 2, y + 5, 0, 399, 40, 40, 40);
        page.fillRows(y + 6, y + 7, 0, 399, 0, 0, 255);
    }
    return page;
}
} // namespace

TEST(DetectColor, FringesNextToDarkStrokesAreNotColour) {
    Page page = fringedText();
    int32_t colour = -1;
    EXPECT_EQ(detect(page, request(page), 0, &colour), 0);
    EXPECT_EQ(colour, 0);

    // The same fringes beside strokes that are not dark enough to explain them are colour.
    tagDETECT_COLOR_INFO lighter = request(page);
    lighter.byDarkLevel = 30;
    EXPECT_GT(detect(page, lighter, 0, &colour), 2);
    EXPECT_EQ(colour, 1);
}

TEST(DetectColor, SensitivitySetsHowManyBandsMakeColour) {
    Page page(400, 400);
    page.fillRows(100, 123, 40, 300, 255, 0, 0); // six lines at 75 dpi: one band
    tagDETECT_COLOR_INFO r = request(page);
    r.lMode = 3;
    std::copy(g_threshold_table2.begin(), g_threshold_table2.end(), r.byThreshold);
    int32_t colour = -1;
    r.lSensitivity = 1;
    EXPECT_EQ(detect(page, r, 0, &colour), 1);
    EXPECT_EQ(colour, 1);
    r.lSensitivity = 7;
    EXPECT_EQ(detect(page, r, 0, &colour), 1);
    EXPECT_EQ(colour, 0);
}

TEST(DetectColor, BandsGiveTheWholePageAnswer) {
    Page page = fringedText();
    std::mt19937 random(3);
    for (int blob = 0; blob < 12; ++blob) {
        const int32_t y = static_cast<int32_t>(random() % 360);
        const int32_t x = static_cast<int32_t>(random() % 300);
        page.fillRows(y, y + 30, x, x + 80, 30, 200, 60);
    }
    const int32_t whole = detect(page, request(page));
    EXPECT_GT(whole, 0);
    for (const int32_t band : {1, 3, 64, 399})
        EXPECT_EQ(detect(page, request(page), band), whole) << band;
}

TEST(DetectColor, TinyPagesAndBadCalls) {
    Page oneLine(400, 4); // one line at 75 dpi: nothing to compare it with
    oneLine.fillRows(0, 3, 0, 399, 255, 0, 0);
    EXPECT_EQ(detect(oneLine, request(oneLine)), 0);
    Page tooSmall(400, 3); // no line at all at 75 dpi
    EXPECT_EQ(detect(tooSmall, request(tooSmall)), -2);

    tagDETECT_COLOR_INFO r = request(oneLine);
    EXPECT_EQ(IsColorImage(nullptr, nullptr), -1);
    r.ulSize = 320; // too short for the words the detector reads
    EXPECT_EQ(IsColorImage(nullptr, &r), -4);
    r.ulSize = sizeof(r);
    int notADetector = 0;
    r.hDetector = &notADetector;
    r.lCommand = kColorFirstBand;
    EXPECT_EQ(IsColorImage(&oneLine.info, &r), -4);
    r.lCommand = kColorRelease;
    EXPECT_EQ(IsColorImage(nullptr, &r), 0);
    EXPECT_EQ(r.hDetector, nullptr);

    r.lCommand = kColorCreate;
    ASSERT_EQ(IsColorImage(nullptr, &r), 0);
    r.lCommand = kColorWholePage;
    ASSERT_EQ(IsColorImage(&oneLine.info, &r), 0);
    r.lCommand = kColorBand; // the page is analysed already
    EXPECT_EQ(IsColorImage(&oneLine.info, &r), -7);
    EXPECT_EQ(r.hDetector, nullptr);
}

TEST(ReviseColorGap, PaintsFringesAndKeepsTheLastLines) {
    Page page = fringedText();
    page.fillRows(398, 399, 0, 399, 255, 0, 0); // colour in the last two lines stays
    ASSERT_EQ(ReviseColorGap(&page.info), 0);
    EXPECT_EQ(page.pixels[0], 0);                 // the red fringe above the first stroke is now black
    EXPECT_EQ(page.pixels[(7 * 400) * 3 + 2], 0); // the blue fringe below it too
    EXPECT_EQ(page.pixels[(2 * 400) * 3], 40);    // the stroke itself is untouched
    EXPECT_EQ(page.pixels[(399 * 400) * 3], 255);
    EXPECT_EQ(ReviseColorGap(nullptr), -1);
}
