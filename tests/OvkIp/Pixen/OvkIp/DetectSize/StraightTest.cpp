// The whole-page straight-line corner finder, its line geometry, and the second command interface.
#include "DetectSize/DetectSizeStatus.h"
#include "DetectSize/OvkDetectSlantAndSize.h"
#include "DetectSize/OvkStraight.h"
#include "SyntheticPage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>

using namespace Ovk::DetectSize;
using SyntheticPage::Sheet;

namespace {

constexpr int kW = 800, kH = 1000;

tagOVKIMAGEINFO record(std::vector<std::uint8_t>& px) {
    tagOVKIMAGEINFO r{};
    r.ulSize = sizeof(r);
    r.lpImage = px.data();
    r.lWidth = kW;
    r.lHeight = kH;
    r.lSync = kW;
    r.lBps = 8;
    r.lSpp = 1;
    r.lXResolution = r.lYResolution = 200;
    return r;
}

tagSLANTSIZEINFO2 info2(std::uint32_t command) {
    tagSLANTSIZEINFO2 r{};
    r.ulSize = sizeof(r);
    r.ulCommand = command;
    for (std::int32_t& v : r.lRefPoint)
        v = -1;
    for (std::int32_t& v : r.lOption)
        v = -1;
    r.lOption[1] = r.lOption[2] = r.lOption[3] = 0;
    return r;
}

} // namespace

TEST(Straight, LinesThroughTwoPoints) {
    tagSTRAIGHT line{};
    EXPECT_EQ(CalcStraight(line, {3, 4}, {3, 4}), 5);
    ASSERT_EQ(CalcStraight(line, {7, 1}, {7, 9}), 0);
    EXPECT_EQ(line.x, 7);
    ASSERT_EQ(CalcStraight(line, {1, 5}, {9, 5}), 0);
    EXPECT_EQ(line.y, 5);
    ASSERT_EQ(CalcStraight(line, {0, 10}, {10, 30}), 0);
    EXPECT_DOUBLE_EQ(line.slope, 2.0);
    EXPECT_DOUBLE_EQ(line.intercept, 10.0);
    EXPECT_EQ(SetXGetY(line, 4), 18);
}

TEST(Straight, MeetingPoints) {
    tagSTRAIGHT a{}, b{}, v1{}, v2{}, h{}, flat{};
    CalcStraight(a, {0, 0}, {10, 10});
    CalcStraight(b, {0, 5}, {10, 15});
    CalcStraight(v1, {4, 0}, {4, 9});
    CalcStraight(v2, {6, 0}, {6, 9});
    CalcStraight(h, {0, 3}, {9, 3});
    Ovk::tagPOINT p{};
    EXPECT_EQ(CalcPointFrom2Straights(a, b, p), 4);
    EXPECT_EQ(CalcPointFrom2Straights(v1, v2, p), 3);
    ASSERT_EQ(CalcPointFrom2Straights(h, v1, p), 0);
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(p.y, 3);
    ASSERT_EQ(CalcPointFrom2Straights(b, v2, p), 0);
    EXPECT_EQ(p.y, 11);
    ASSERT_EQ(CalcPointFrom2Straights(h, b, p), 0);
    EXPECT_EQ(p.x, -2);
    tagSTRAIGHT c{};
    CalcStraight(c, {0, 20}, {10, 0});
    ASSERT_EQ(CalcPointFrom2Straights(a, c, p), 0);
    EXPECT_EQ(p.x, 6);
    EXPECT_EQ(p.y, 6);
    // A flat line stored in the sloped form never meets a horizontal one: no division by zero.
    flat.intercept = 8;
    EXPECT_EQ(CalcPointFrom2Straights(flat, h, p), 4);
}

TEST(Straight, WholePageCornersOfARotatedSheet) {
    for (double degrees : {0.0, 2.0, -3.0}) {
        SCOPED_TRACE(degrees);
        const Sheet sheet{400, 500, 600, 800, degrees * std::numbers::pi / 180};
        std::vector<std::uint8_t> px =
            SyntheticPage::grey(sheet, kW, kH, 30, 230, SyntheticPage::Noise{8, 3});
        tagOVKIMAGEINFO image = record(px);
        tagSLANTSIZEINFO2 req = info2(0);
        ASSERT_EQ(DetectSlantAndSize3(&image, &req), 0);
        const std::vector<SyntheticPage::Point> want = SyntheticPage::imageCorners(sheet);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(req.lCorner[2 * i], want[i].x, 3);
            EXPECT_NEAR(req.lCorner[2 * i + 1], want[i].y, 3);
        }
    }
}

TEST(Straight, PaperLineRetriesWiderProbes) {
    const Sheet sheet{400, 500, 600, 800, 0};
    std::vector<std::uint8_t> px = SyntheticPage::grey(sheet, kW, kH, 30, 230, SyntheticPage::Noise{});
    // Dark columns under the first three probe pairs of the top and bottom edges.
    for (int k = 0; k < 3; ++k)
        for (int x : {kW / 2 - kW / 8 - k, kW / 2 + kW / 8 + k})
            for (int y = 0; y < kH; ++y)
                px[std::size_t(y) * kW + x] = 0;
    const auto image = CImg::Set({px.data(), kW, kH, kW, 200, 200, 8, 0});
    tagSTRAIGHT top{}, bottom{}, left{}, right{};
    ASSERT_EQ(GetPaperLine(top, bottom, left, right, *image), 0);
    EXPECT_EQ(top.y, 100);
    EXPECT_EQ(bottom.y, 900);
    EXPECT_EQ(left.x, 100);

    std::fill(px.begin(), px.end(), 0);
    EXPECT_EQ(GetTopStraight(top, *image, 9), 1);
    EXPECT_EQ(GetPaperLine(top, bottom, left, right, *image), 1);
    tagOVKIMAGEINFO rec = record(px);
    tagSLANTSIZEINFO2 req = info2(0);
    EXPECT_EQ(DetectSlantAndSize3(&rec, &req), 1);
    rec.lBps = 16;
    EXPECT_EQ(DetectSlantAndSize3(&rec, &req), kStatusNoMemory) << "an image it cannot read";
}

TEST(Straight, SecondInterfaceMatchesTheFirstOnSquarePixels) {
    const Sheet sheet{400, 500, 600, 800, -1.5 * std::numbers::pi / 180};
    std::vector<std::uint8_t> px = SyntheticPage::grey(sheet, kW, kH, 30, 230, SyntheticPage::Noise{8, 3});
    tagOVKIMAGEINFO image = record(px);
    tagSLANTSIZEREQ one{};
    one.ulSize = sizeof(one);
    for (std::int32_t& v : one.lRefPoint)
        v = -1;
    tagSLANTSIZEINFO2 two = info2(0);
    for (std::uint32_t command : {0u, 1u, 5u}) {
        one.ulCommand = command;
        two.ulCommand = command;
        ASSERT_EQ(DetectSlantAndSize(&image, &one), 0);
        ASSERT_EQ(DetectSlantAndSize2(&image, &two), 0);
    }
    EXPECT_EQ(0, std::memcmp(one.lCorner, two.lCorner,
                             sizeof(one.lCorner) + sizeof(one.lRect) + sizeof(one.lSlant)));
    EXPECT_NE(one.lSlant[0], 0);
    two.ulCommand = 4;
    EXPECT_EQ(DetectSlantAndSize2(&image, &two), 0);
    EXPECT_EQ(two.pDetector, nullptr);
    one.ulCommand = 4;
    EXPECT_EQ(DetectSlantAndSize(&image, &one), 0);
    two.ulSize -= 4;
    EXPECT_EQ(DetectSlantAndSize2(&image, &two), static_cast<std::int32_t>(0x80000008u));
}

TEST(Straight, ExtremeOptionWordsAreRefusedOrHarmless) {
    const Sheet sheet{400, 500, 600, 800, 2.0 * std::numbers::pi / 180};
    std::vector<std::uint8_t> px = SyntheticPage::grey(sheet, kW, kH, 30, 230, SyntheticPage::Noise{8, 3});
    tagOVKIMAGEINFO image = record(px);
    tagSLANTSIZEINFO2 req = info2(0);
    req.lOption[6] = INT32_MAX; // corner margin
    EXPECT_EQ(DetectSlantAndSize2(&image, &req), kStatusBadArgument);
    EXPECT_EQ(req.pDetector, nullptr);

    // Reference points at the ends of the range only fail the plausibility test.
    req = info2(0);
    req.lRefPoint[0] = INT32_MAX, req.lRefPoint[1] = INT32_MAX;
    req.lRefPoint[2] = 0, req.lRefPoint[3] = 0;
    req.lOption[1] = 5;
    for (std::uint32_t command : {0u, 1u, 5u}) {
        req.ulCommand = command;
        ASSERT_EQ(DetectSlantAndSize2(&image, &req), 0);
    }
    EXPECT_EQ(req.lSlant[0], 1);
    EXPECT_EQ(req.lSlant[1], 0);
    EXPECT_EQ(req.lRect[1], 5);
    req.ulCommand = 4;
    EXPECT_EQ(DetectSlantAndSize2(&image, &req), 0);
}
