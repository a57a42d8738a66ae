// Page checks, packing and grey reduction. Packing copies every line once; the reduction sums
// factor x factor blocks per output pixel, so a page is read only once either way.
#include "page_image.h"

#include <algorithm>

namespace vlm {
namespace {

// Largest side accepted (pixels): 10200 is the callers' own limit, a little room above it.
constexpr int32_t kMaxSide = 32768;
constexpr int32_t kMaxResolution = 9600; // dots per inch

uint8_t greyOfPixel(const uint8_t* line, int32_t x, int32_t kind) {
    switch (kind) {
    case VLM_KIND_BW:
        return (line[x / 8] & (0x80 >> (x % 8))) ? 0 : 255;
    case VLM_KIND_GRAY:
        return line[x];
    case kKindRgb: {
        const uint8_t* p = line + 3 * static_cast<size_t>(x);
        return static_cast<uint8_t>((p[0] * 299 + p[1] * 587 + p[2] * 114 + 500) / 1000);
    }
    default: {
        const uint8_t* p = line + 3 * static_cast<size_t>(x);
        return static_cast<uint8_t>((p[0] * 114 + p[1] * 587 + p[2] * 299 + 500) / 1000);
    }
    }
}

void copyBits(const uint8_t* src, int32_t firstBit, int32_t count, uint8_t* dst) {
    const int32_t shift = firstBit % 8;
    const uint8_t* s = src + firstBit / 8;
    const size_t bytes = (static_cast<size_t>(count) + 7) / 8;
    for (size_t i = 0; i < bytes; ++i) {
        unsigned v = static_cast<unsigned>(s[i]) << shift;
        if (shift != 0 && static_cast<int64_t>(i + 1) * 8 < count + shift)
            v |= s[i + 1] >> (8 - shift);
        dst[i] = static_cast<uint8_t>(v);
    }
    if (count % 8 != 0) // padding bits are white
        dst[bytes - 1] &= static_cast<uint8_t>(0xFF << (8 - count % 8));
}

} // namespace

size_t lineBytes(int32_t kind, int32_t width) {
    const size_t w = static_cast<size_t>(width);
    switch (kind) {
    case VLM_KIND_BW:
        return (w + 7) / 8;
    case VLM_KIND_GRAY:
        return w;
    default:
        return 3 * w;
    }
}

int32_t viewOfPage(const PdfPageImageDesc& page, const PdfPageRect* rect, ImageView& view) {
    view = {};
    if (page.lKind != VLM_KIND_BW && page.lKind != VLM_KIND_GRAY && page.lKind != VLM_KIND_BGR)
        return VLM_ERR_IMAGE;
    if (page.pImage == nullptr || page.lWidth <= 0 || page.lHeight <= 0 || page.lWidth > kMaxSide ||
        page.lHeight > kMaxSide)
        return VLM_ERR_IMAGE;
    if (page.lXResolution <= 0 || page.lYResolution <= 0 || page.lXResolution > kMaxResolution ||
        page.lYResolution > kMaxResolution)
        return VLM_ERR_IMAGE;
    if (page.lSync <= 0 || static_cast<size_t>(page.lSync) < lineBytes(page.lKind, page.lWidth))
        return VLM_ERR_IMAGE;
    view = {page.pImage, static_cast<size_t>(page.lSync), page.lWidth, page.lHeight, page.lKind};
    if (rect == nullptr)
        return VLM_OK;
    const int64_t right = int64_t{rect->lLeft} + rect->lWidth;
    const int64_t bottom = int64_t{rect->lTop} + rect->lHeight;
    if (rect->lLeft < 0 || rect->lTop < 0 || rect->lWidth <= 0 || rect->lHeight <= 0 || right > page.lWidth ||
        bottom > page.lHeight) {
        view = {};
        return VLM_ERR_PARAM;
    }
    // 1-bit columns that do not start on a byte are shifted when packing; the view keeps whole bytes.
    const size_t columnByte =
        page.lKind == VLM_KIND_BW ? static_cast<size_t>(rect->lLeft / 8) : lineBytes(page.lKind, rect->lLeft);
    view.data += static_cast<size_t>(rect->lTop) * view.stride + columnByte;
    view.width = rect->lWidth;
    view.height = rect->lHeight;
    return VLM_OK;
}

PackedImage packImage(const ImageView& view, int32_t firstColumn) {
    PackedImage image;
    const size_t bytes = lineBytes(view.kind, view.width);
    image.pixels.resize(bytes * static_cast<size_t>(view.height));
    for (int32_t y = 0; y < view.height; ++y) {
        const uint8_t* src = view.data + static_cast<size_t>(y) * view.stride;
        uint8_t* dst = image.pixels.data() + static_cast<size_t>(y) * bytes;
        if (view.kind == VLM_KIND_BW) {
            copyBits(src, firstColumn % 8, view.width, dst);
        } else if (view.kind == VLM_KIND_GRAY) {
            std::copy_n(src, bytes, dst);
        } else {
            for (size_t i = 0; i < bytes; i += 3) {
                dst[i] = src[i + 2];
                dst[i + 1] = src[i + 1];
                dst[i + 2] = src[i];
            }
        }
    }
    image.view = {image.pixels.data(), bytes, view.width, view.height,
                  view.kind == VLM_KIND_BGR ? kKindRgb : view.kind};
    return image;
}

GreyImage greyReduced(const ImageView& view, int32_t factor) {
    GreyImage grey;
    factor = std::max(factor, 1);
    grey.width = std::max(view.width / factor, 1);
    grey.height = std::max(view.height / factor, 1);
    const int32_t spanX = std::min(factor, view.width);
    const int32_t spanY = std::min(factor, view.height);
    grey.pixels.resize(static_cast<size_t>(grey.width) * static_cast<size_t>(grey.height));
    std::vector<uint32_t> sums(static_cast<size_t>(grey.width));
    for (int32_t oy = 0; oy < grey.height; ++oy) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int32_t dy = 0; dy < spanY; ++dy) {
            const uint8_t* line = view.data + static_cast<size_t>(oy * factor + dy) * view.stride;
            for (int32_t ox = 0; ox < grey.width; ++ox)
                for (int32_t dx = 0; dx < spanX; ++dx)
                    sums[static_cast<size_t>(ox)] += greyOfPixel(line, ox * factor + dx, view.kind);
        }
        const uint32_t count = static_cast<uint32_t>(spanX * spanY);
        uint8_t* out = grey.pixels.data() + static_cast<size_t>(oy) * static_cast<size_t>(grey.width);
        for (int32_t ox = 0; ox < grey.width; ++ox)
            out[ox] = static_cast<uint8_t>((sums[static_cast<size_t>(ox)] + count / 2) / count);
    }
    return grey;
}

} // namespace vlm
