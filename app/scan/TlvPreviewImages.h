// The pictures the preview shows: a page's thumbnail as an image, the zoomed view made from the page's
// raw file at 200 dots per inch (streamed row by row through the scaler, never held whole), and a
// picture turned by quarter turns, clockwise on screen as in every written file.
#pragma once

#include "TlvPageRecord.h"
#include "Value.h"

#include <QImage>
#include <QSize>

namespace tlv {

// Resolution of the zoomed view (dots per inch).
inline constexpr float kZoomResolution = 200.0f;

// The thumbnail's pixels as an image (1-bit with 0 black, grey or RGB); null for an empty thumbnail.
QImage imageOfThumbnail(const TlvThumbnail& thumbnail);

// A width x height page scanned at xRes x yRes, at 200 dots per inch (single precision, truncated);
// empty when a side or a resolution is not above 0.
QSize zoomSizeOf(int width, int height, float xRes, float yRes);

// The zoomed view of the page the record names in the temporary folder. Null, with a log line, when
// the record is not usable (no name, a resolution of 0, an unknown depth), the file is gone or shorter
// than its page, or memory or the scaler fail: never a picture of stale or foreign memory.
QImage createZoomImage(const fnd::Dictionary& record);

// The picture turned clockwise by quarterTurns (any integer; taken modulo 4).
QImage turnedImage(const QImage& image, int quarterTurns);

} // namespace tlv
