// Geometry of the preview frame, as pure functions so that every rule is tested without a window: where
// the page is drawn, the crop rectangle in base units and in view coordinates, the handles, and what a
// drag does to the rectangle. View coordinates grow downwards; base units are whatever the controller
// chose (1/1200 inch, or the pixels of a kept prescan page). A base length of 0 scales by 0, never divides.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

#include <array>
#include <functional>

inline constexpr int kNoCropRegion = -1;
inline constexpr int kInsideCropRegion = 8; // moves the whole rectangle
inline constexpr int kCropRegionCount = 9;
// Edges a region's drag moves, added together; 0 moves the whole rectangle.
enum ECropEdge : int { kCropTopEdge = 1, kCropRightEdge = 2, kCropBottomEdge = 4, kCropLeftEdge = 8 };

// Where the document is drawn in a view of these bounds: inset by 20 points at zoom 1, the whole bounds
// when zoomed in; the base's aspect, centred and integral. Empty for an empty base.
QRectF CalcImageFrame(QRectF bounds, QSizeF baseSize, double zoom);
// View points per base unit on each axis; 0 on an axis whose base length is not positive.
QPointF CropScale(QRectF imageFrame, QSizeF baseSize);
// The crop rectangle (base units) in view coordinates.
QRectF CropBoundsFromRect(QRectF cropRect, QRectF imageFrame, QSizeF baseSize);
// A crop rectangle as the frame keeps it: origin rounded, width and height cut at the base's far edges or
// raised to the minimum, then rounded.
QRectF ClampCropRect(QRectF rect, QSizeF baseSize, QSizeF minCropSize);

// The nine regions of crop bounds: eight 9 x 9 handles (0 top-left, 1 top-right, 2 bottom-right,
// 3 bottom-left, 4 top, 5 right, 6 bottom, 7 left) and the inside.
std::array<QRectF, kCropRegionCount> CalcMouseRegions(QRectF cropBounds);
// The first region holding the point, so handles win over the inside; kNoCropRegion for none.
int TestMouseRegion(QRectF cropBounds, QPointF point);
int CropRegionEdges(int region);

// The crop bounds after the pointer moved by delta since a drag of region began on startBounds: edges
// stop at the image frame and never bring the rectangle below the minimum (base units), measured from
// the opposite edge. Unchanged when the frame shows nothing.
QRectF DragCropBounds(int region, QRectF startBounds, QPointF delta, QRectF imageFrame, QSizeF baseSize,
                      QSizeF minCropSize);
// The crop rectangle in base units after bounds moved from previousBounds: each changed component is
// converted back, the others keep their previous value; all four rounded.
QRectF CropRectFromBounds(QRectF bounds, QRectF previousBounds, QRectF previousRect, QRectF imageFrame,
                          QSizeF baseSize);

// The document view's size at a zoom within a clip view of clipSize: zoomed in, shaped to the base's
// aspect, never smaller than the clip view.
QSizeF ZoomedFrameSize(QSizeF clipSize, QSizeF baseSize, double zoom);
// Size to draw an image of imagePixels in the frame: at its resolution against the base's, snapped to
// fill the frame when within 4 points. An unknown resolution (0) fills the frame's width instead.
QSizeF DrawnImageSize(QSize imagePixels, QRectF imageFrame, QSizeF baseSize, double imageResolution,
                      double baseResolution);

inline constexpr int kMessageLargestPointSize = 16;
inline constexpr int kMessageSmallestPointSize = 8;
// The point size for the empty preview's message: the largest from 16 down whose layout, as wide as the
// image frame inset by the point size, is wider than 18 points and fits that inset frame; 8 when none
// does. layout answers the text's size at a point size within a width.
int FitMessagePointSize(const std::function<QSizeF(int, double)>& layout, QRectF imageFrame);
