// Outline chains, their hulls, and the mask outside them.
#include "Blank/Outline.h"
#include "OvkError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {
OutlineChain chainOf(std::initializer_list<Ovk::tagPOINT> points) {
    OutlineChain chain(static_cast<int32_t>(points.size()));
    int32_t i = 0;
    for (const Ovk::tagPOINT& p : points)
        chain[i++] = p;
    return chain;
}

// 1-bit page, set bits dark, with a clear (bright) rectangle.
std::unique_ptr<CImageInfo> darkPageWithSheet(int32_t width, int32_t height, Ovk::tagRECT sheet) {
    auto page = std::make_unique<CImageInfo>(width, height, 1, 1, kOvkPixelOrder);
    std::memset(page->GetPtr(), 0xFF, page->GetSize());
    for (int32_t y = sheet.y; y < sheet.y + sheet.height; ++y)
        for (int32_t x = sheet.x; x < sheet.x + sheet.width; ++x)
            page->PSET2(x, y, 0);
    page->SetResolution(300, 300);
    return page;
}

tagDETOUTLINEINFO outlineRecord() {
    tagDETOUTLINEINFO info = {};
    info.ulSize = sizeof(info);
    return info;
}
} // namespace

TEST(OutlineChain, HullKeepsTheSideItIsAskedFor) {
    OutlineChain left = chainOf({{5, 0}, {3, 1}, {5, 2}});
    EXPECT_EQ(TraceOutline(left, 0), 3);
    OutlineChain right = chainOf({{5, 0}, {3, 1}, {5, 2}});
    EXPECT_EQ(TraceOutline(right, 1), 2);
    EXPECT_EQ(right[1].y, 2);

    OutlineChain straight = chainOf({{0, 0}, {1, 1}, {2, 2}, {3, 3}});
    EXPECT_EQ(GetContactPoint(straight.data(), straight.data() + 3, 0), straight.data());
}

TEST(OutlineChain, MedianNeedsEnoughWindows) {
    OutlineChain chain = chainOf({{1, 0}, {9, 1}, {1, 2}, {1, 3}, {1, 4}});
    EXPECT_EQ(MedianOutline(chain, 3), 5);
    EXPECT_EQ(chain[1].x, 9);
    EXPECT_THROW(MedianOutline(chain, 2), int);

    OutlineChain spiky = chainOf({{1, 0}, {1, 1}, {9, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}, {1, 8}});
    const int32_t n = MedianOutline(spiky, 3);
    for (int32_t i = 0; i < n; ++i)
        EXPECT_EQ(spiky[i].x, 1);
}

TEST(Outline, RectangleGivesItsFourCorners) {
    const auto page = darkPageWithSheet(40, 30, {10, 5, 20, 15});
    tagDETOUTLINEINFO info = outlineRecord();
    ASSERT_EQ(DetectOutline(page->GetInfo(), &info), 0);
    ASSERT_EQ(info.lLeftCount, 2);
    ASSERT_EQ(info.lRightCount, 2);
    EXPECT_EQ(info.pLeft[0].x, 10);
    EXPECT_EQ(info.pLeft[0].y, 5);
    EXPECT_EQ(info.pLeft[1].y, 19);
    EXPECT_EQ(info.pRight[0].x, 29);
    EXPECT_EQ(info.pRight[1].y, 19);
    ReleaseOutline(&info);
    EXPECT_EQ(info.pLeft, nullptr);
    EXPECT_EQ(info.lDetected, 0);
}

TEST(Outline, NothingFoundLeavesTheRecordAlone) {
    const auto page = darkPageWithSheet(40, 30, {0, 0, 0, 0});
    tagDETOUTLINEINFO info = outlineRecord();
    info.lLevel = 77;
    EXPECT_EQ(DetectOutlineBin(page->GetInfo(), &info), -1);
    EXPECT_EQ(IpGetLastError(), 0);
    EXPECT_EQ(info.lDetected, 0);
    EXPECT_EQ(info.pLeft, nullptr);

    info.lDetected = 1; // a record still holding chains is refused
    EXPECT_EQ(DetectOutlineBin(page->GetInfo(), &info), -1);
    EXPECT_EQ(IpGetLastError(), 87);
}

TEST(ImageMask, PaintsOutsideTheOutlineAndKeepsTheDocument) {
    CImageInfo page(40, 30, 8, 1, kOvkPixelOrder);
    std::memset(page.GetPtr(), 0, page.GetSize()); // dark backing
    for (int32_t y = 5; y < 20; ++y)
        for (int32_t x = 10; x < 30; ++x)
            page.PSET8(x, y, 100); // document, bright enough for the default level
    page.SetResolution(300, 300);
    tagDETOUTLINEINFO info = outlineRecord();
    ASSERT_EQ(ImageMask(page.GetInfo(), &info), 0);
    EXPECT_EQ(page.PGET8(0, 0), 255);
    EXPECT_EQ(page.PGET8(9, 10), 255);
    EXPECT_EQ(page.PGET8(10, 10), 255); // the chain itself is outside
    EXPECT_EQ(page.PGET8(11, 10), 100);
    EXPECT_EQ(page.PGET8(28, 10), 100);
    EXPECT_EQ(page.PGET8(29, 10), 255);
    EXPECT_EQ(page.PGET8(15, 4), 255);
    EXPECT_EQ(page.PGET8(15, 19), 100); // the last document row stays
    EXPECT_EQ(page.PGET8(15, 20), 255);
    EXPECT_EQ(info.lDetected, 0); // chains found here are freed here
}

TEST(ImageMask, MarginReachesIntoTheDocument) {
    CImageInfo page(100, 60, 8, 1, kOvkPixelOrder);
    std::memset(page.GetPtr(), 0, page.GetSize());
    for (int32_t y = 10; y < 50; ++y)
        for (int32_t x = 20; x < 80; ++x)
            page.PSET8(x, y, 100);
    page.SetResolution(300, 300);
    tagDETOUTLINEINFO info = outlineRecord();
    info.lMargin = -1000; // 1 mm at 300 dpi: 11 pixels
    ASSERT_EQ(ImageMask(page.GetInfo(), &info), 0);
    EXPECT_EQ(page.PGET8(31, 30), 255);
    EXPECT_EQ(page.PGET8(32, 30), 100);
    EXPECT_EQ(page.PGET8(50, 20), 255);
    EXPECT_EQ(page.PGET8(50, 21), 100);
}

TEST(ImageMask, TrapezoidNeedsHorizontalEdges) {
    CImageInfo page(10, 10, 8, 1, kOvkPixelOrder);
    std::memset(page.GetPtr(), 0, page.GetSize());
    EXPECT_EQ(FillTrapezoid(page, {0, 0}, {5, 1}, {5, 5}, {0, 5}, 255), 0);
    EXPECT_EQ(page.PGET8(2, 2), 0);
    EXPECT_EQ(FillTrapezoid(page, {0, 2}, {3, 2}, {5, 4}, {0, 4}, 255), 1);
    EXPECT_EQ(page.PGET8(3, 2), 255);
    EXPECT_EQ(page.PGET8(4, 2), 0);
    EXPECT_EQ(page.PGET8(5, 4), 255);
}
