// Corner detection through the filter, band by band as the pipeline drives it: the result lands in the
// caller's record only at the end of the page, and the detector is released for the next page.
#include "QS880/CDetect4Points.h"
#include "ResultCodes.h"

#include "SyntheticPage.h"

#include <gtest/gtest.h>

using namespace Ovk::Pixen;
using namespace Ovk::Pixen::QS880;

namespace {

constexpr int kW = 1200, kH = 1600;

CImg bandOf(const std::vector<std::uint8_t>& page, int first, int height) {
    CImg band;
    band.createImg(kW, height, 8, 1, Ovk::RGBORDER_PIXEL, 300, 300);
    std::copy_n(page.data() + static_cast<std::size_t>(first) * kW, static_cast<std::size_t>(height) * kW,
                band.getImage());
    return band;
}

} // namespace

TEST(Detect4Points, CornersOfASheetOnTheBackingReachTheCallersRecord) {
    const SyntheticPage::Sheet sheet{600, 800, 800, 1100, 0};
    const std::vector<std::uint8_t> page =
        SyntheticPage::grey(sheet, kW, kH, 40, 220, SyntheticPage::Noise{5, 4});
    tagDETECT4POINTSINFO points{};
    points.ulSize = sizeof points;
    tagDETECT4POINTSPARAM param{sizeof param, &points, {-1, -1, -1, -1}, kW, kH};
    CDetect4Points filter;
    CImg first = bandOf(page, 0, 600);
    ASSERT_EQ(0, filter.setInfoFirst(first, &param));
    ASSERT_EQ(0, filter.IPFirst(first));
    CImg middle = bandOf(page, 600, 600);
    ASSERT_EQ(0, filter.setInfoMiddle(middle, &param));
    ASSERT_EQ(0, filter.IPMiddle(middle));
    EXPECT_EQ(0, points.rectDoc.right); // nothing before the page's end
    CImg last = bandOf(page, 1200, 400);
    ASSERT_EQ(0, filter.setInfoLast(last, &param));
    ASSERT_EQ(0, filter.IPLast(last));
    // The detector measures the paper a little inside its edges.
    EXPECT_NEAR(200, points.rectDoc.left, 15);
    EXPECT_NEAR(250, points.rectDoc.top, 15);
    EXPECT_NEAR(1000, points.rectDoc.right, 15);
    EXPECT_NEAR(1350, points.rectDoc.bottom, 15);
    EXPECT_NEAR(points.rectDoc.left, points.LeftBottom.x, 4);
    EXPECT_NEAR(points.rectDoc.bottom, points.RightBottom.y, 4);

    // The next page starts with a fresh detector.
    CImg again = bandOf(page, 0, 600);
    EXPECT_EQ(0, filter.setInfo(again, &param));
    points.ulSize = 80;
    EXPECT_EQ(RTN_PAR, filter.setInfo(again, &param));
    param.pDetect4PointsInfo = nullptr;
    EXPECT_EQ(RTN_PAR, filter.setInfo(again, &param));
}
