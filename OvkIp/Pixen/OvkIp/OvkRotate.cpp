// Quarter and half turns of 1-bit, 8-bit grey and 8-bit colour images. 1-bit images turn in 8 x 8 bit
// blocks: eight source bytes, one from each of eight lines, form a 64-bit matrix whose transpose holds
// eight destination bytes, each one column of the block, so no pixel is handled alone.
#include "OvkImageInfoPtr.h"

#include "OvkBits.h"
#include "OvkError.h"

#include <cstring>

namespace {

enum class Layout { Bits, Bytes, PixelColour, LineColour, Unsupported };

Layout LayoutOf(const CImageInfo& image) {
    if (image.GetBps() == 1 && image.GetSpp() == 1) {
        return Layout::Bits;
    }
    if (image.GetBps() != 8) {
        return Layout::Unsupported;
    }
    if (image.GetSpp() == 1) {
        return Layout::Bytes;
    }
    if (image.GetSpp() == 3) {
        return image.IsLineOrder() ? Layout::LineColour : Layout::PixelColour;
    }
    return Layout::Unsupported;
}

// Byte k of the result (from the most significant) is bit column k of the input rows, row 0 first.
uint64_t Transpose8(uint64_t x) {
    uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAULL;
    x = x ^ t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCULL;
    x = x ^ t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ULL;
    return x ^ t ^ (t << 28);
}

// Plane geometry shared by the byte-wise turns; one call per plane for line-order colour.
struct Plane {
    unsigned char* pixels;
    ptrdiff_t stride;
};

// Source rows are read in groups of eight in the order that makes one destination byte: bottom-up for
// a clockwise turn (destination x grows as the source row falls), top-down otherwise.
void QuarterTurnBits(const Plane& dst, const Plane& src, int32_t width, int32_t height, bool clockwise) {
    const int32_t groups = (height + 7) / 8;
    const int32_t byteColumns = (width + 7) / 8;
    for (int32_t g = 0; g < groups; ++g) {
        const unsigned char* rows[8];
        for (int j = 0; j < 8; ++j) {
            const int32_t row = clockwise ? height - 1 - 8 * g - j : 8 * g + j;
            rows[j] = row >= 0 && row < height ? src.pixels + src.stride * row : nullptr;
        }
        for (int32_t c = 0; c < byteColumns; ++c) {
            uint64_t block = 0;
            for (const unsigned char* row : rows) {
                block = (block << 8) | (row != nullptr ? row[c] : 0);
            }
            block = Transpose8(block);
            for (int k = 0; k < 8 && 8 * c + k < width; ++k) {
                const int32_t column = 8 * c + k;
                const int32_t line = clockwise ? column : width - 1 - column;
                dst.pixels[dst.stride * line + g] = static_cast<unsigned char>(block >> (56 - 8 * k));
            }
        }
    }
}

void QuarterTurnBytes(const Plane& dst, const Plane& src, int32_t width, int32_t height, int bytesPerPixel,
                      bool clockwise) {
    for (int32_t y = 0; y < height; ++y) {
        const unsigned char* from = src.pixels + src.stride * y;
        const ptrdiff_t dstX = static_cast<ptrdiff_t>(clockwise ? height - 1 - y : y) * bytesPerPixel;
        for (int32_t x = 0; x < width; ++x, from += bytesPerPixel) {
            const int32_t line = clockwise ? x : width - 1 - x;
            std::memcpy(dst.pixels + dst.stride * line + dstX, from, static_cast<size_t>(bytesPerPixel));
        }
    }
}

void HalfTurnBytes(const Plane& dst, const Plane& src, int32_t width, int32_t height, int bytesPerPixel) {
    for (int32_t y = 0; y < height; ++y) {
        unsigned char* to = dst.pixels + dst.stride * (height - 1 - y);
        const unsigned char* from = src.pixels + src.stride * y;
        if (bytesPerPixel == 1) {
            MemReverseCopy(to + width - 1, from, static_cast<size_t>(width));
        } else {
            RGBReverseCopy(to + 3 * static_cast<ptrdiff_t>(width - 1), from, static_cast<size_t>(width));
        }
    }
}

// Each line is copied, mirrored over its whole length and shifted back by its padding bits.
void HalfTurnBits(const Plane& dst, const Plane& src, int32_t width, int32_t height, int32_t srcSync) {
    for (int32_t y = 0; y < height; ++y) {
        unsigned char* to = dst.pixels + dst.stride * (height - 1 - y);
        std::memcpy(to, src.pixels + src.stride * y, static_cast<size_t>(srcSync));
        MemBitStepSwitch(to, static_cast<size_t>(srcSync), static_cast<size_t>(srcSync));
        MemBitStepShift(to, srcSync * 8 - width, srcSync, 1);
    }
}

void CheckGeometry(const CImageInfo& dst, const CImageInfo& src, bool quarter) {
    const bool sameKind = dst.GetBps() == src.GetBps() && dst.GetSpp() == src.GetSpp() &&
                          dst.IsLineOrder() == src.IsLineOrder();
    const int32_t width = quarter ? src.GetHeight() : src.GetWidth();
    const int32_t height = quarter ? src.GetWidth() : src.GetHeight();
    const bool fits = dst.GetWidth() == width && dst.GetHeight() == height && dst.IsValidLayout() &&
                      src.IsValidLayout() && (quarter || dst.GetSync() >= src.GetSync());
    if (!sameKind || !fits) {
        OnErrorThrowLong(kIpBadParameter);
    }
}

} // namespace

void RotateImage(CImageInfo& dst, const CImageInfo& src, long angle) {
    angle %= 360;
    if (angle < 0) {
        angle += 360;
    }
    const Layout layout = LayoutOf(src);
    if ((angle != 90 && angle != 180 && angle != 270) || layout == Layout::Unsupported) {
        OnErrorThrowLong(kIpNotEnoughMemory);
    }
    const bool quarter = angle != 180;
    CheckGeometry(dst, src, quarter);
    std::memset(dst.GetPtr(), 0, dst.GetSize());

    const int planes = layout == Layout::LineColour ? 3 : 1;
    const int bytesPerPixel = layout == Layout::PixelColour ? 3 : 1;
    for (int k = 0; k < planes; ++k) {
        const Plane to{dst.GetPtr() + static_cast<ptrdiff_t>(k) * dst.GetSync(), dst.GetStride()};
        const Plane from{src.GetPtr() + static_cast<ptrdiff_t>(k) * src.GetSync(), src.GetStride()};
        if (layout == Layout::Bits) {
            if (quarter) {
                QuarterTurnBits(to, from, src.GetWidth(), src.GetHeight(), angle == 90);
            } else {
                HalfTurnBits(to, from, src.GetWidth(), src.GetHeight(), src.GetSync());
            }
        } else if (quarter) {
            QuarterTurnBytes(to, from, src.GetWidth(), src.GetHeight(), bytesPerPixel, angle == 90);
        } else {
            HalfTurnBytes(to, from, src.GetWidth(), src.GetHeight(), bytesPerPixel);
        }
    }
}
