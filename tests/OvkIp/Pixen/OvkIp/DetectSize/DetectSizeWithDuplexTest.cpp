// The duplex detector on synthetic front/back pairs: the trailing edge's shadow on the front image, the
// leading edge's shadow on the back image, which is mirrored and lags by the sensor offset.
#include "DetectSize/DetectSizeWithDuplex.h"
#include "DetectSize/DetectSizeStatus.h"
#include "DetectSize/OvkDetectSlantAndSize.h"
#include "SyntheticPage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

using namespace Ovk::DetectSize;
using SyntheticPage::Sheet;

namespace {

constexpr int kW = 1500, kH = 2000, kDpi = 300;
constexpr int kMargin = kDpi * 10 / 254;

struct Pair {
    Sheet front;
    Sheet back; // where the back image shows the sheet
    std::vector<std::uint8_t> f, b;
    CImg::tagIMGSET fs() { return {f.data(), kW, kH, kW, kDpi, kDpi, 8, 0}; }
    CImg::tagIMGSET bs() { return {b.data(), kW, kH, kW, kDpi, kDpi, 8, 0}; }
};

Pair makePair(double degrees, int offset, int backing = 200, int shadow = 50) {
    Pair p;
    p.front = Sheet{750, 1000, 1200, 1600, degrees * std::numbers::pi / 180};
    p.back = p.front;
    p.back.mirrored = true;
    p.back.imageWidth = kW;
    p.back.cy += offset;
    p.f = SyntheticPage::shadowed(p.front, kW, kH, false, 4, SyntheticPage::Noise{1, 4}, backing, shadow);
    p.b = SyntheticPage::shadowed(p.back, kW, kH, true, 4, SyntheticPage::Noise{2, 4}, backing, shadow);
    return p;
}

CDetectSizeWithDuplex::tagOPTION options(int offset, int side = 1) {
    CDetectSizeWithDuplex::tagOPTION o{};
    o.size = sizeof(o);
    o.cornerMargin = o.endTrim = -1;
    o.lineOffset = offset;
    o.side = side;
    o.leftMargin = 7;
    return o;
}

struct Sides {
    tagDETECTSIZEINFO front{}, back{};
};

Sides detect(Pair& p, int offset, int bandHeight = kH) {
    CDetectSizeWithDuplex d;
    EXPECT_EQ(d.Initialize(p.fs(), p.bs(), options(offset)), kStatusOk);
    for (int y = 0; y < kH; y += bandHeight) {
        CImg::tagIMGSET f = p.fs(), b = p.bs();
        f.pImg += std::ptrdiff_t(y) * kW;
        b.pImg += std::ptrdiff_t(y) * kW;
        f.height = b.height = std::min(bandHeight, kH - y);
        EXPECT_EQ(y == 0 ? d.first(f, b) : d.mid(f, b), kStatusOk);
    }
    EXPECT_EQ(d.last(CImg::tagIMGSET{}, CImg::tagIMGSET{}), kStatusOk);
    Sides s;
    s.front.size = s.back.size = sizeof(tagDETECTSIZEINFO);
    EXPECT_EQ(d.result(s.front, options(offset, 1)), kStatusOk);
    EXPECT_EQ(d.result(s.back, options(offset, 0)), kStatusOk);
    return s;
}

void expectCornersNear(const tagDETECTSIZEINFO& info, Sheet expected) {
    std::int32_t got[8];
    order_corners(info, kDpi, kDpi, got);
    const std::vector<SyntheticPage::Point> want = SyntheticPage::imageCorners(expected);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(got[2 * i], want[i].x, 2 * kMargin + 4);
        EXPECT_NEAR(got[2 * i + 1], want[i].y, 2 * kMargin + 4);
    }
}

} // namespace

TEST(DetectSizeWithDuplex, FindsBothSidesOfAPairWithSensorOffset) {
    for (double degrees : {0.0, 1.5, -2.5}) {
        for (int offset : {0, 40}) {
            SCOPED_TRACE(testing::Message() << degrees << " deg, offset " << offset);
            Pair p = makePair(degrees, offset);
            const Sides s = detect(p, offset);
            expectCornersNear(s.front, p.front);
            // The back side's corners come back in its own mirrored columns, on the front's lines.
            Sheet back = p.back;
            back.cy -= offset;
            expectCornersNear(s.back, back);
            const double tangent = std::tan(std::abs(p.front.angle));
            for (const tagDETECTSIZEINFO* side : {&s.front, &s.back}) {
                const double r = side->a >= side->b ? double(side->b) / side->a : double(side->a) / side->b;
                EXPECT_NEAR(r, tangent, 0.002);
            }
            // Mirroring turns the skew the other way round on the back.
            if (degrees != 0) {
                EXPECT_NE(s.front.a > s.front.b, s.back.a > s.back.b);
            }
            EXPECT_NEAR(s.front.ymax, s.back.ymax, 2);
        }
    }
}

TEST(DetectSizeWithDuplex, AnyBandSplitGivesTheWholePageResult) {
    Pair p = makePair(-1.0, 25);
    const Sides whole = detect(p, 25);
    for (int band : {1, 20, 21, 333}) {
        SCOPED_TRACE(band);
        const Sides split = detect(p, 25, band);
        EXPECT_EQ(0, std::memcmp(&whole.front, &split.front, sizeof(tagDETECTSIZEINFO)));
        EXPECT_EQ(0, std::memcmp(&whole.back, &split.back, sizeof(tagDETECTSIZEINFO)));
    }
}

TEST(DetectSizeWithDuplex, ShadowMustBeDarkerThan100) {
    // Backing 141: a shadow of 99 is 42 darker and counts; one of 100 does not, and the side falls back.
    Pair found = makePair(1.0, 0, 141, 99);
    Pair missed = makePair(1.0, 0, 141, 100);
    for (Pair* p : {&found, &missed}) {
        std::fill(p->f.begin(), p->f.end(), 0);
        p->f = SyntheticPage::shadowed(p->front, kW, kH, false, 4, SyntheticPage::Noise{1, 0}, 141,
                                       p == &found ? 99 : 100);
        p->b = SyntheticPage::shadowed(p->back, kW, kH, true, 4, SyntheticPage::Noise{2, 0}, 141,
                                       p == &found ? 99 : 100);
    }
    expectCornersNear(detect(found, 0).front, found.front);
    const tagDETECTSIZEINFO fallback = detect(missed, 0).front;
    EXPECT_EQ(fallback.a, 1);
    EXPECT_EQ(fallback.b, 0);
    EXPECT_EQ(fallback.xmin, 7);
    EXPECT_EQ(fallback.ymax, kH);
}

TEST(DetectSizeWithDuplex, RefusesBadOptionsAndMismatchedBands) {
    Pair p = makePair(0, 0);
    CDetectSizeWithDuplex d;
    EXPECT_EQ(d.first(p.fs(), p.bs()), kStatusBadArgument);
    CDetectSizeWithDuplex::tagOPTION bad = options(0);
    bad.size += 4;
    EXPECT_EQ(d.Initialize(p.fs(), p.bs(), bad), kStatusBadArgument);
    CImg::tagIMGSET noRes = p.bs();
    noRes.ydpi = 0;
    EXPECT_EQ(d.Initialize(p.fs(), noRes, options(0)), kStatusBadArgument);
    ASSERT_EQ(d.Initialize(p.fs(), p.bs(), options(0)), kStatusOk);
    CImg::tagIMGSET shorter = p.bs();
    shorter.height -= 1;
    EXPECT_EQ(d.first(p.fs(), shorter), kStatusBadArgument);
    CImg::tagIMGSET otherSync = p.bs();
    otherSync.sync += 1;
    EXPECT_EQ(d.first(p.fs(), otherSync), kStatusBadArgument);
}
