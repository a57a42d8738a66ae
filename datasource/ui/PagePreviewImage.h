// A scanned page as an image the preview frame can draw: black and white, grey or colour rows copied
// into a QImage of the same pixel size. A page of another depth, or a damaged one, gives a null image.
#pragma once

#include "PageBitmap.h"

#include <QImage>

QImage PreviewImageFromPage(const SPageBitmap& page);
