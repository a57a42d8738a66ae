// The picture form of a page (version 2 picture opcodes, big-endian), drawn in vertical strips so that
// no pixel map is wider than 24000 one-bit, 3000 grey or 1000 colour columns.
#pragma once

#include <cstdint>
#include <vector>

#include "PageBitmap.h"

// Columns of one strip for a page of that many samples and bits.
std::uint32_t PictStripWidth(const SPageBitmap& page);
// The picture alone; empty for an invalid page or one larger than the form's 16-bit coordinates.
std::vector<std::uint8_t> EncodePict(const SPageBitmap& page);
// A picture file: 512 zero bytes, then the picture.
std::vector<std::uint8_t> EncodePictFile(const SPageBitmap& page);
