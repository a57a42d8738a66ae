// Page layouts, buffer sizes and blocks are checked in 64-bit arithmetic, so that no product of the
// data source's numbers can wrap before it is compared.
#include "TlvPageRecord.h"

#include "FG_Zoom.h"
#include "TlvUtilsMethod.h"
#include "VX_TWAINCommon.h"

#include <string>

namespace tlv {

namespace {

// The widest row a scanner of this kind delivers is far below this (a 600 dpi legal sheet is about
// 5100 pixels); longer pages than the row limit come only from continuous paper.
constexpr std::int32_t kMaxColumns = 1 << 16;
constexpr std::int32_t kMaxRows = 1 << 20;
// A page transfer's buffer: the data source proposes it, the application allocates it.
constexpr std::uint64_t kMaxTransferBuffer = 64ull << 20; /* bytes */

bool isSamplesLayout(const TW_IMAGEINFO& info) {
    switch (info.BitsPerPixel) {
    case 1:
        return info.SamplesPerPixel == 1 && info.BitsPerSample[0] == 1;
    case 8:
        return info.SamplesPerPixel == 1 && info.BitsPerSample[0] == 8;
    case 24:
        return info.SamplesPerPixel == 3 && info.BitsPerSample[0] == 8;
    default:
        return false;
    }
}

} // namespace

std::optional<TlvPageLayout> pageLayoutOf(const TW_IMAGEINFO& info) {
    if (info.ImageWidth <= 0 || info.ImageWidth > kMaxColumns || info.ImageLength <= 0 ||
        info.ImageLength > kMaxRows || !isSamplesLayout(info))
        return std::nullopt;
    TlvPageLayout page;
    page.width = info.ImageWidth;
    page.height = info.ImageLength;
    page.bitsPerPixel = info.BitsPerPixel;
    page.rowBytes = static_cast<std::uint32_t>((std::uint64_t{static_cast<std::uint32_t>(page.width)} *
                                                    static_cast<std::uint32_t>(page.bitsPerPixel) +
                                                7) /
                                               8);
    page.xRes = VX_TWAINCommon::fix32ToFloat(info.XResolution);
    page.yRes = VX_TWAINCommon::fix32ToFloat(info.YResolution);
    return page;
}

std::optional<std::uint32_t> transferBufferSize(const TW_SETUPMEMXFER& setup, const TlvPageLayout& page) {
    const std::uint32_t size = setup.MaxBufSize; // a copy: the record is packed
    if (size < page.rowBytes || size > kMaxTransferBuffer)
        return std::nullopt;
    return size;
}

bool isSoundBlock(const TW_IMAGEMEMXFER& block, std::uint32_t bufferSize, const TlvPageLayout& page,
                  int rowsSoFar) {
    const std::uint64_t rowsBytes = std::uint64_t{block.Rows} * block.BytesPerRow;
    return block.BytesWritten <= bufferSize && block.BytesPerRow >= page.rowBytes &&
           rowsBytes <= block.BytesWritten &&
           std::uint64_t{block.Rows} + static_cast<std::uint64_t>(rowsSoFar) <=
               static_cast<std::uint64_t>(page.height);
}

TlvThumbSize sizeForPreImg(int width, int height) {
    const bool upright = height > width;
    const FG_ZoomSize size = FG_Zoom_FitInBox(width, height, upright ? 234 : 329, upright ? 329 : 234);
    return {size.width, size.height};
}

fnd::Dictionary makeImgInfoDict(const TlvPageLayout& page, int pageIndex) {
    fnd::Dictionary info;
    info.set(ImgInfo_NameKey, TlvUtilsMethod::tmpBaseImageFileName(pageIndex));
    info.set(ImgInfo_bppKey, std::int32_t{page.bitsPerPixel});
    info.set(ImgInfo_WidthKey, std::int32_t{page.width});
    info.set(ImgInfo_HeightKey, std::int32_t{page.height});
    info.set(ImgInfo_XResKey, page.xRes);
    info.set(ImgInfo_YResKey, page.yRes);
    info.set(ImgInfo_RotateKey, std::int32_t{0});
    return info;
}

} // namespace tlv
