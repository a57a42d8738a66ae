// The scan area between its three forms: as stored in the capabilities (the scanner's orientation,
// 1/1200 inch), as shown on the preview frame (after the output rotation) and as typed in the user's unit.
// Pure functions; a resolution of 0 or less counts as 1200, the internal unit, so nothing divides by 0.
#pragma once

#include "PaperUnits.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

inline constexpr float kScanAreaUnitsPerInch = 1200;

// Output rotations 2 and 4 exchange width and height.
bool ExchangesSides(int orientation);
// The page in the scanner's orientation for a shown page of baseSize.
QSizeF NativeSize(QSizeF baseSize, int orientation);
// A stored area as shown; rotations other than 2, 3 and 4 show it as it is.
QRectF ShownAreaFromStored(QRectF stored, int orientation, QSizeF baseSize);
// A shown area as stored; none for a rotation outside 1 to 4.
std::optional<QRectF> StoredAreaFromShown(QRectF shown, int orientation, QSizeF baseSize);
// The stored area when it lies wholly on the native page, else the whole page.
QRectF AreaWithinPage(QRectF stored, QSizeF nativeSize);
// Smallest crop length in 1/1200 inch: 64 pixels at the scan resolution, remainder dropped.
float MinCropLength(float xResolution);

// The length (1/1200 inch) as the unit shows it; pixels never below 64.
QString FormatScanLength(float units, EPaperUnit unit, float xResolution);
// The number a field shows in the unit (as FormatScanLength gives it), back in 1/1200 inch.
float ScanLengthFromShown(double shown, EPaperUnit unit, float xResolution);

// The zoom after pressing zoom in (+1) or out (-1) at zoom: 1, 2, 4, 6, 8.
float NextZoomRatio(float zoom, int direction);
