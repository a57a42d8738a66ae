// Encoders that turn a whole page into file contents: TIFF and JPEG through libtiff and libjpeg, and the
// picture format of the native transfer's file form. Each answers an empty vector (or false) when the
// page is not valid or the library refused it; nothing is thrown but std::bad_alloc.
#pragma once

#include <cstdint>
#include <vector>

#include "PageBitmap.h"

enum class ETiffCompression { kNone, kBest };
// How 1-bit pages read: 0 black (the page bitmap's own form), or 1 black, stored as white-is-zero.
enum class EBilevelSense { kZeroIsBlack, kOneIsBlack };

// kBest: CCITT group 4 for 1-bit pages, Deflate for grey and colour.
std::vector<std::uint8_t> EncodeTiff(const SPageBitmap& page,
                                     ETiffCompression compression = ETiffCompression::kNone,
                                     EBilevelSense sense = EBilevelSense::kZeroIsBlack);
// The same bytes written straight into fd, an open, empty, seekable file the caller closes; false when
// the page is not valid or libtiff or the file refused it (the file's contents are then undefined).
bool WriteTiff(const SPageBitmap& page, int fd, ETiffCompression compression = ETiffCompression::kNone,
               EBilevelSense sense = EBilevelSense::kZeroIsBlack);
// quality 1..100; 1-bit pages are widened to 8-bit grey first, since JPEG has no 1-bit form.
std::vector<std::uint8_t> EncodeJpeg(const SPageBitmap& page, int quality = 75);
// The same bytes streamed into fd as they are compressed; false as WriteTiff.
bool WriteJpeg(const SPageBitmap& page, int fd, int quality = 75);
