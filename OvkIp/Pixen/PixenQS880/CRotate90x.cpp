// Quarter and half turns. Whole-byte samples are copied pixel by pixel (each plane on its own in line
// order); 1-bit pages are transposed in 8 x 8 blocks and then mirrored or reordered.
#include "CRotate90x.h"

#include "BitRows.h"
#include "RecordSize.h"

#include <cstring>
#include <vector>

namespace Ovk::Pixen {

namespace {

std::int32_t planesOf(const CImg& image) noexcept {
    return image.getRGBOrder() == RGBORDER_LINE ? image.getSpp() : 1;
}

// Bytes of one pixel within one plane row; 0 when a pixel is not a whole number of bytes.
std::int32_t pixelBytes(const CImg& image) noexcept {
    const std::int32_t bits = image.getBps() * (image.getRGBOrder() == RGBORDER_LINE ? 1 : image.getSpp());
    return bits % 8 == 0 ? bits / 8 : 0;
}

bool createTurned(CImg& out, const CImg& in, std::int32_t width, std::int32_t height, std::int32_t& result) {
    const std::int32_t sync = CImg::calcMinSync(width, in.getBps(), in.getSpp(), in.getRGBOrder());
    if (out.createImg(in.getXpos(), in.getYpos(), width, height, sync, in.getBps(), in.getSpp(),
                      in.getRGBOrder(), in.getXResolution(), in.getYResolution()) == 0) {
        result = RTN_PAR;
        return false;
    }
    if (out.isNull()) {
        result = RTN_MEMORY;
        return false;
    }
    return true;
}

void halfTurnBytes(const CImg& in, CImg& out, std::int32_t bytes) {
    const std::int32_t w = in.getWidth();
    const std::int32_t h = in.getHeight();
    for (std::int32_t plane = 0; plane < planesOf(in); ++plane)
        for (std::int32_t y = 0; y < h; ++y) {
            const std::uint8_t* src = in.getLine(y, plane);
            std::uint8_t* dst = out.getLine(h - 1 - y, plane) + std::int64_t{w - 1} * bytes;
            for (std::int32_t x = 0; x < w; ++x, src += bytes, dst -= bytes)
                std::memcpy(dst, src, static_cast<std::size_t>(bytes));
        }
}

// Clockwise: out(y, x) = in(H - 1 - x, y); counter-clockwise: out(y, x) = in(x, W - 1 - y).
void quarterTurnBytes(const CImg& in, CImg& out, std::int32_t bytes, bool clockwise) {
    const std::int32_t w = in.getWidth();
    const std::int32_t h = in.getHeight();
    for (std::int32_t plane = 0; plane < planesOf(in); ++plane)
        for (std::int32_t y = 0; y < h; ++y) {
            const std::uint8_t* src = in.getLine(y, plane);
            const std::int32_t column = clockwise ? h - 1 - y : y;
            for (std::int32_t x = 0; x < w; ++x, src += bytes) {
                const std::int32_t row = clockwise ? x : w - 1 - x;
                std::memcpy(out.getLine(row, plane) + std::int64_t{column} * bytes, src,
                            static_cast<std::size_t>(bytes));
            }
        }
}

void halfTurnBits(const CImg& in, CImg& out) {
    const std::int32_t h = in.getHeight();
    for (std::int32_t y = 0; y < h; ++y)
        mirrorBitRow(in.getLine(y), out.getLine(h - 1 - y), in.getWidth(), out.getSync());
}

// Transposes in (rows become columns), reversing the row order for a counter-clockwise turn and mirroring
// each row for a clockwise one.
void quarterTurnBits(const CImg& in, CImg& out, bool clockwise) {
    const std::int32_t w = in.getWidth();
    const std::int32_t h = in.getHeight();
    for (std::int32_t top = 0; top < h; top += 8) {
        for (std::int32_t column = 0; column * 8 < w; ++column) {
            std::uint8_t block[8] = {};
            for (std::int32_t i = 0; i < 8 && top + i < h; ++i)
                block[i] = in.getLine(top + i)[column];
            std::uint8_t turned[8];
            transposeBits8(block, turned);
            for (std::int32_t j = 0; j < 8 && column * 8 + j < w; ++j) {
                const std::int32_t x = column * 8 + j;
                out.getLine(clockwise ? x : w - 1 - x)[top / 8] = turned[j];
            }
        }
    }
    if (!clockwise)
        return;
    const std::int32_t bytes = out.getSync();
    std::vector<std::uint8_t> mirrored(static_cast<std::size_t>(bytes));
    for (std::int32_t y = 0; y < w; ++y) {
        mirrorBitRow(out.getLine(y), mirrored.data(), h, bytes);
        std::memcpy(out.getLine(y), mirrored.data(), mirrored.size());
    }
}

} // namespace

std::int32_t CRotate90x::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagROTATE90XINFO>(info) != RTN_OK)
        return RTN_PAR;
    const auto* record = static_cast<const tagROTATE90XINFO*>(info);
    if (record->lDegree / 90 * 90 != record->lDegree)
        return RTN_PAR;
    m_Info = *record;
    return RTN_OK;
}

std::int32_t CRotate90x::IP(CImg& image) {
    const std::int32_t degrees = ((m_Info.lDegree % 360) + 360) % 360;
    if (degrees == 0 || image.isNull())
        return RTN_OK;
    if (image.getRGBOrder() != RGBORDER_PIXEL && image.getRGBOrder() != RGBORDER_LINE)
        return RTN_NOT_APPLICABLE;
    return turn(image, degrees);
}

std::int32_t CRotate90x::turn(CImg& image, std::int32_t degrees) {
    const bool bits = image.getBps() == 1 && image.getSpp() == 1;
    const std::int32_t bytes = pixelBytes(image);
    if (!bits && bytes == 0)
        return RTN_NOT_APPLICABLE;
    const bool half = degrees == 180;
    CImg out;
    std::int32_t result = RTN_OK;
    if (!createTurned(out, image, half ? image.getWidth() : image.getHeight(),
                      half ? image.getHeight() : image.getWidth(), result))
        return result;
    if (bits && half)
        halfTurnBits(image, out);
    else if (bits)
        quarterTurnBits(image, out, degrees == 90);
    else if (half)
        halfTurnBytes(image, out, bytes);
    else
        quarterTurnBytes(image, out, bytes, degrees == 90);
    image.attachImg(out);
    return RTN_OK;
}

} // namespace Ovk::Pixen
