// The preview frame's geometry and the scan area's three forms, as pure functions: frames, rounding
// and clamping, drags, handles, rotations and units, and the guards against dividing by 0.
#include "QSCropGeometry.h"
#include "QSPaperSize.h"
#include "QSScanAreaGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr QSizeF kLetter(10200, 13200); // 1/1200 inch
constexpr QSizeF kNoMinimum(0, 0);

TEST(QSCropGeometry, TheFrameKeepsThePagesShapeInsideTheMarginAndFillsTheViewWhenZoomed) {
    const QRectF frame = CalcImageFrame(QRectF(0, 0, 300, 400), kLetter, 1);
    EXPECT_EQ(frame.width(), 260); // the width limits: 20 points of margin each side
    EXPECT_NEAR(frame.height(), 260 * 13200.0 / 10200, 2);
    EXPECT_NEAR(frame.center().y(), 200, 1);
    EXPECT_EQ(frame, frame.toAlignedRect().toRectF());
    EXPECT_NEAR(CalcImageFrame(QRectF(0, 0, 300, 400), kLetter, 2).height(), 300 * 13200.0 / 10200, 2);
    // Nothing to show, or no room: an empty frame, and every scale through it is 0.
    EXPECT_TRUE(CalcImageFrame(QRectF(0, 0, 300, 400), QSizeF(0, 0), 1).isEmpty());
    EXPECT_TRUE(CalcImageFrame(QRectF(0, 0, 30, 30), kLetter, 1).isEmpty());
    EXPECT_EQ(CropScale(QRectF(0, 0, 100, 100), QSizeF(0, 0)), QPointF(0, 0));
    EXPECT_EQ(CropBoundsFromRect(QRectF(1, 2, 3, 4), QRectF(5, 5, 100, 100), QSizeF(0, 0)),
              QRectF(5, 5, 0, 0));
}

TEST(QSCropGeometry, ACropIsRoundedCutAtThePageAndRaisedToTheMinimum) {
    const QSizeF minimum(384, 384);
    EXPECT_EQ(ClampCropRect(QRectF(100.4, 200.6, 20000, 500.5), kLetter, minimum),
              QRectF(100, 201, 10100, 501));
    EXPECT_EQ(ClampCropRect(QRectF(0, 0, 10, 13200), kLetter, minimum), QRectF(0, 0, 384, 13200));
    // Cut at the page with the unrounded origin, then rounded.
    EXPECT_EQ(ClampCropRect(QRectF(0.6, 0, 10200, 50), kLetter, kNoMinimum).width(), 10199);
}

TEST(QSCropGeometry, HandlesWinOverTheInsideAndEachMovesItsEdges) {
    const QRectF bounds(100, 100, 50, 40);
    EXPECT_EQ(TestMouseRegion(bounds, QPointF(101, 101)), 0); // inside too, the handle wins
    EXPECT_EQ(TestMouseRegion(bounds, QPointF(151, 141)), 2);
    EXPECT_EQ(TestMouseRegion(bounds, QPointF(125, 98)), 4);
    EXPECT_EQ(TestMouseRegion(bounds, QPointF(99, 120)), 7);
    EXPECT_EQ(TestMouseRegion(bounds, QPointF(115, 110)), kInsideCropRegion);
    EXPECT_EQ(TestMouseRegion(bounds, QPointF(10, 10)), kNoCropRegion);
    const int expected[] = {9, 3, 6, 12, 1, 2, 4, 8, 0};
    for (int region = 0; region < kCropRegionCount; ++region)
        EXPECT_EQ(CropRegionEdges(region), expected[region]) << region;
    EXPECT_EQ(CropRegionEdges(kNoCropRegion), 0);
}

TEST(QSCropGeometry, DraggingAnEdgePastTheOtherStopsAtTheMinimumFromThatEdge) {
    const QRectF frame(20, 20, 200, 200);
    const QSizeF base(1000, 1000);  // 5 units a point
    const QSizeF minimum(100, 100); // 20 points
    const QRectF start(60, 60, 80, 80);
    const QRectF left = DragCropBounds(7, start, QPointF(500, 0), frame, base, minimum);
    EXPECT_EQ(left, QRectF(120, 60, 20, 80)); // the right edge stays at 140
    const QRectF top = DragCropBounds(0, start, QPointF(0, 500), frame, base, minimum);
    EXPECT_EQ(top.bottom(), 140);
    EXPECT_EQ(top.height(), 20);
    EXPECT_EQ(DragCropBounds(5, start, QPointF(-500, 0), frame, base, minimum).width(), 20);
    // Edges stop at the frame; a moved rectangle never leaves it.
    EXPECT_EQ(DragCropBounds(2, start, QPointF(500, 500), frame, base, minimum), QRectF(60, 60, 160, 160));
    EXPECT_EQ(DragCropBounds(0, start, QPointF(-500, -500), frame, base, minimum).topLeft(), QPointF(20, 20));
    EXPECT_EQ(DragCropBounds(8, start, QPointF(500, -500), frame, base, minimum), QRectF(140, 20, 80, 80));
    // No frame to drag on: nothing changes, nothing is divided by 0.
    EXPECT_EQ(DragCropBounds(2, start, QPointF(5, 5), QRectF(20, 20, 0, 0), base, minimum), start);
}

TEST(QSCropGeometry, OnlyTheComponentsADragChangedAreConvertedBack) {
    const QRectF frame(20, 20, 300, 300);
    const QSizeF base(1000, 1000); // 0.3 points a unit
    const QRectF rect(101, 203, 307, 409);
    const QRectF bounds = CropBoundsFromRect(rect, frame, base);
    const QRectF moved = bounds.translated(30, 0);
    EXPECT_EQ(CropRectFromBounds(moved, bounds, rect, frame, base), QRectF(201, 203, 307, 409));
    EXPECT_EQ(CropRectFromBounds(moved, bounds, rect, frame, QSizeF(0, 0)), rect);
}

TEST(QSCropGeometry, ZoomShapesTheDocumentToThePageAndNeverBelowTheClipView) {
    EXPECT_EQ(ZoomedFrameSize(QSizeF(300, 400), kLetter, 1), QSizeF(300, 400));
    const QSizeF two = ZoomedFrameSize(QSizeF(300, 400), kLetter, 2);
    EXPECT_NEAR(two.height() / two.width(), 13200.0 / 10200, 0.01);
    EXPECT_GE(two.width(), 300);
    EXPECT_EQ(ZoomedFrameSize(QSizeF(300, 400), QSizeF(0, 0), 2), QSizeF(600, 800));
}

TEST(QSCropGeometry, AnImageIsDrawnAtItsResolutionAndAnUnknownOneFillsTheFrame) {
    const QRectF frame(20, 20, 170, 220);
    // 150 dpi of a page half the base's height: full width, the top half.
    const QSizeF half = DrawnImageSize(QSize(1275, 825), frame, kLetter, 150, 1200);
    EXPECT_EQ(half.width(), 171);
    EXPECT_EQ(half.height(), 110); // from the width before it filled the frame
    EXPECT_EQ(DrawnImageSize(QSize(1275, 1650), frame, kLetter, 0, 1200), QSizeF(171, 221));
    EXPECT_EQ(DrawnImageSize(QSize(1275, 1650), frame, kLetter, 150, 0), QSizeF(171, 221));
    EXPECT_EQ(DrawnImageSize(QSize(0, 0), frame, kLetter, 150, 1200), QSizeF(0, 0));
}

TEST(QSCropGeometry, TheMessageShrinksToFitAndStopsAtTheSmallestSize) {
    int calls = 0;
    auto neverFits = [&calls](int, double) {
        ++calls;
        return QSizeF(1e6, 1e6);
    };
    EXPECT_EQ(FitMessagePointSize(neverFits, QRectF(0, 0, 200, 200)), kMessageSmallestPointSize);
    EXPECT_LE(calls, kMessageLargestPointSize - kMessageSmallestPointSize);
    // A layout of 18 points or less counts as not laid out at all.
    EXPECT_EQ(FitMessagePointSize([](int, double) { return QSizeF(10, 10); }, QRectF(0, 0, 200, 200)),
              kMessageSmallestPointSize);
    auto fitsFromTwelve = [](int size, double width) { return QSizeF(size <= 12 ? width : width + 1, 20); };
    EXPECT_EQ(FitMessagePointSize(fitsFromTwelve, QRectF(0, 0, 200, 200)), 12);
}

TEST(QSScanAreaGeometry, EveryRotationShowsAndStoresTheSameArea) {
    const QSizeF native(6000, 9000);
    const QRectF stored(100, 200, 1000, 3000);
    for (int orientation = 1; orientation <= 4; ++orientation) {
        const QSizeF base = ExchangesSides(orientation) ? native.transposed() : native;
        EXPECT_EQ(NativeSize(base, orientation), native);
        const QRectF shown = ShownAreaFromStored(stored, orientation, base);
        EXPECT_TRUE(QRectF(QPointF(0, 0), base).contains(shown)) << orientation;
        EXPECT_EQ(StoredAreaFromShown(shown, orientation, base), stored) << orientation;
    }
    // 100 wide and 300 high shows 300 wide and 100 high when turned a quarter.
    EXPECT_EQ(ShownAreaFromStored(QRectF(0, 0, 100, 300), 2, QSizeF(9000, 6000)).size(), QSizeF(300, 100));
    EXPECT_EQ(ShownAreaFromStored(QRectF(0, 0, 100, 300), 4, QSizeF(9000, 6000)), QRectF(0, 5900, 300, 100));
    EXPECT_EQ(ShownAreaFromStored(stored, 7, native), stored);
    EXPECT_EQ(StoredAreaFromShown(stored, 0, native), std::nullopt);
    EXPECT_EQ(StoredAreaFromShown(stored, 5, native), std::nullopt);
}

TEST(QSScanAreaGeometry, AnAreaPokingOutOfThePageBecomesTheWholePage) {
    const QSizeF page(6000, 9000);
    EXPECT_EQ(AreaWithinPage(QRectF(100, 100, 500, 500), page), QRectF(100, 100, 500, 500));
    EXPECT_EQ(AreaWithinPage(QRectF(5800, 100, 500, 500), page), QRectF(0, 0, 6000, 9000));
    EXPECT_EQ(AreaWithinPage(QRectF(-1, 0, 500, 500), page), QRectF(0, 0, 6000, 9000));
}

TEST(QSScanAreaGeometry, UnitsShowAndTakeLengthsAndPixelsNeverShowBelow64) {
    EXPECT_EQ(FormatScanLength(12000, EPaperUnit::Pixels, 300), "3000");
    EXPECT_EQ(FormatScanLength(100, EPaperUnit::Pixels, 300), "64");
    EXPECT_EQ(FormatScanLength(3000, EPaperUnit::Inches, 300), "2.50");
    EXPECT_EQ(FormatScanLength(12000, EPaperUnit::Millimetres, 300), "254.00");
    EXPECT_FLOAT_EQ(ScanLengthFromShown(3000, EPaperUnit::Pixels, 300), 12000);
    EXPECT_FLOAT_EQ(ScanLengthFromShown(2.5, EPaperUnit::Inches, 300), 3000);
    EXPECT_FLOAT_EQ(ScanLengthFromShown(254, EPaperUnit::Millimetres, 300), 12000);
    EXPECT_EQ(MinCropLength(300), 256); // 64 pixels
    EXPECT_EQ(MinCropLength(7000), 10); // remainder dropped
    // An unknown resolution counts as the internal unit instead of dividing by 0.
    EXPECT_EQ(MinCropLength(0), 64);
    EXPECT_FLOAT_EQ(ScanLengthFromShown(100, EPaperUnit::Pixels, 0), 100);
    EXPECT_EQ(FormatScanLength(1200, EPaperUnit::Pixels, -5), "1200");
}

TEST(QSScanAreaGeometry, ZoomStepsAre1246And8) {
    EXPECT_EQ(NextZoomRatio(1, 1), 2);
    EXPECT_EQ(NextZoomRatio(2, 1), 4);
    EXPECT_EQ(NextZoomRatio(6, 1), 8);
    EXPECT_EQ(NextZoomRatio(8, 1), 8);
    EXPECT_EQ(NextZoomRatio(2, -1), 1);
    EXPECT_EQ(NextZoomRatio(1, -1), 1);
    EXPECT_EQ(NextZoomRatio(3.5f, 1), 4); // an odd zoom rounds down to an even step
}

TEST(QSPaperSize, APaperCodeMatchingNoPaperFallsBackToThePhysicalSize) {
    const fnd::Dictionary papers{
        {"OriginalPapers",
         fnd::Array{fnd::Value(fnd::Dictionary{{"ID", 3}, {"Width", 6992}, {"Height", 9921}})}},
        {"CustomPapers",
         fnd::Array{fnd::Value(fnd::Dictionary{{"Name", "Ticket"}, {"Width", 2400}, {"Height", 4800}})}}};
    const QSizeF physical(10200, 16800);
    EXPECT_EQ(PaperSizeForCode(&papers, 3, "", physical), QSizeF(6992, 9921));
    EXPECT_EQ(PaperSizeForCode(&papers, 42, "", physical), physical);
    EXPECT_EQ(PaperSizeForCode(&papers, -2, "Ticket", physical), QSizeF(2400, 4800));
    EXPECT_EQ(PaperSizeForCode(&papers, -2, "Gone", physical), physical);
    EXPECT_EQ(PaperSizeForCode(&papers, -1, "Ticket", physical), physical);
    EXPECT_EQ(PaperSizeForCode(nullptr, 3, "", physical), physical);
}

} // namespace
