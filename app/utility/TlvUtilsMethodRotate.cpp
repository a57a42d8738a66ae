// One destination row at a time, so a writer turns a 1-bit page while it streams it out. Pixels are
// most significant bit first; a quarter turn reads one source column, a half turn one mirrored row.
#include "TlvUtilsMethod.h"

#include <algorithm>

namespace {

bool pixelAt(std::span<const std::uint8_t> row, int x) {
    return (row[static_cast<std::size_t>(x) >> 3] >> (7 - (x & 7))) & 1;
}

void setPixel(std::span<std::uint8_t> row, int x) {
    row[static_cast<std::size_t>(x) >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
}

std::size_t rowBytes(int pixels) {
    return (static_cast<std::size_t>(pixels) + 7) / 8;
}

} // namespace

bool TlvUtilsMethod::rotate_Image1Bpp(std::span<std::uint8_t> dst, int dstLine,
                                      std::span<const std::uint8_t> src, int srcW, int srcH, int direct) {
    if (srcW <= 0 || (direct != 2 && srcH <= 0))
        return false;
    const std::size_t srcRow = rowBytes(srcW);
    if (direct == 2) {
        if (dst.size() < srcRow || src.size() < srcRow)
            return false;
        std::fill_n(dst.begin(), srcRow, std::uint8_t{0});
        for (int x = 0; x < srcW; ++x)
            if (pixelAt(src, srcW - 1 - x))
                setPixel(dst, x);
        return true;
    }
    if ((direct != 0 && direct != 1) || dstLine < 0 || dstLine >= srcW || dst.size() < rowBytes(srcH) ||
        src.size() / srcRow < static_cast<std::size_t>(srcH))
        return false;
    std::fill_n(dst.begin(), rowBytes(srcH), std::uint8_t{0});
    const int column = direct == 0 ? dstLine : srcW - 1 - dstLine;
    for (int x = 0; x < srcH; ++x) {
        const int y = direct == 0 ? srcH - 1 - x : x;
        if (pixelAt(src.subspan(static_cast<std::size_t>(y) * srcRow, srcRow), column))
            setPixel(dst, x);
    }
    return true;
}
