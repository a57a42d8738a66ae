// One scanned page as the transfer hands it to the page list: its record (ImgInfoDict), its thumbnail
// and its index. And the checks that stand between the data source's numbers and the memory they
// would index: a page layout, a buffer size and each block are checked before they are used.
#pragma once

#include "ImgInfoKeys.h"
#include "Value.h"
#include "twain.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tlv {

// The thumbnail: rows of bytesPerRow bytes, packed like the page's rows (1-bit, grey or RGB).
struct TlvThumbnail {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int bytesPerRow = 0;
    std::vector<std::uint8_t> pixels;
};

struct TlvPageRecord {
    fnd::Dictionary info; // the ImgInfo_* keys
    TlvThumbnail thumbnail;
    int index = 0;
};

// A page layout taken from TW_IMAGEINFO once it was found sound.
struct TlvPageLayout {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0; // 1, 8 or 24
    std::uint32_t rowBytes = 0;
    float xRes = 0;
    float yRes = 0;
};

// The layout of a page whose information describes a real page (sides above 0 and within what a
// scanner can deliver, 1-bit or 8-bit samples making 1, 8 or 24 bits per pixel); none otherwise.
std::optional<TlvPageLayout> pageLayoutOf(const TW_IMAGEINFO& info);

// The transfer buffer's size: the data source's largest, when it holds at least one row and stays
// within what a page transfer may allocate; none otherwise.
std::optional<std::uint32_t> transferBufferSize(const TW_SETUPMEMXFER& setup, const TlvPageLayout& page);

// True when a block can be taken as it stands: it fits the buffer, its rows are at least the page's
// row length and lie inside what it wrote, and it brings no rows beyond the page's last.
bool isSoundBlock(const TW_IMAGEMEMXFER& block, std::uint32_t bufferSize, const TlvPageLayout& page,
                  int rowsSoFar);

// The thumbnail's size for a width x height page: fitted into 234 x 329 (upright pages) or
// 329 x 234, proportions kept, neither side below 1.
struct TlvThumbSize {
    int width;
    int height;
};
TlvThumbSize sizeForPreImg(int width, int height);

// The page's record as the page list keeps it.
fnd::Dictionary makeImgInfoDict(const TlvPageLayout& page, int pageIndex);

} // namespace tlv
