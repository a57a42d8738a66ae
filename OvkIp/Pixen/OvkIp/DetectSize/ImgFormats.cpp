// Pixel access and format conversions of the binary, grey and colour size-detection images. Coordinates
// outside the image read 0 and write nothing.
#include "DetectSize/Img.h"

namespace Ovk::DetectSize {

namespace {

constexpr std::uint8_t kBitMask[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};

std::uint8_t secondSample(std::uint32_t rgb) {
    return static_cast<std::uint8_t>(rgb >> 8);
}

} // namespace

void CBinaryImg::put(std::int32_t x, std::int32_t y, std::uint32_t value) {
    if (!inside(x, y))
        return;
    std::uint8_t& byte = line(y)[x / 8];
    if (value != 0)
        byte = static_cast<std::uint8_t>(byte | kBitMask[x & 7]);
    else
        byte = static_cast<std::uint8_t>(byte & ~kBitMask[x & 7]);
}

std::uint32_t CBinaryImg::get(std::int32_t x, std::int32_t y) const {
    if (!inside(x, y))
        return 0;
    return (line(y)[x / 8] & kBitMask[x & 7]) != 0 ? 1u : 0u;
}

std::unique_ptr<CImg> CBinaryImg::binary(std::uint8_t) const {
    return clone();
}

bool CBinaryImg::black(std::int32_t x, std::int32_t y, std::uint8_t) const {
    return get(x, y) != 0;
}

void CGrayImg::put(std::int32_t x, std::int32_t y, std::uint32_t value) {
    if (inside(x, y))
        line(y)[x] = static_cast<std::uint8_t>(value);
}

std::uint32_t CGrayImg::get(std::int32_t x, std::int32_t y) const {
    return inside(x, y) ? line(y)[x] : 0u;
}

std::unique_ptr<CImg> CGrayImg::color() const {
    std::unique_ptr<CImg> out = createLike(24, 0);
    if (!out)
        return nullptr;
    for (std::int32_t y = 0; y < height(); ++y)
        for (std::int32_t x = 0; x < width(); ++x) {
            const std::uint32_t v = get(x, y);
            out->put(x, y, v | (v << 8) | (v << 16));
        }
    return out;
}

bool CGrayImg::black(std::int32_t x, std::int32_t y, std::uint8_t threshold) const {
    return inside(x, y) && get(x, y) < threshold;
}

void CGrayImg::add(const CImg& image) {
    if (std::unique_ptr<CImg> converted = image.gray())
        appendRows(*converted);
}

void CColorImg::put(std::int32_t x, std::int32_t y, std::uint32_t value) {
    if (!inside(x, y))
        return;
    std::uint8_t* p = line(y) + 3 * x;
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
}

std::uint32_t CColorImg::get(std::int32_t x, std::int32_t y) const {
    if (!inside(x, y))
        return 0;
    const std::uint8_t* p = line(y) + 3 * x;
    return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
}

std::unique_ptr<CImg> CColorImg::binary(std::uint8_t threshold) const {
    std::unique_ptr<CImg> out = createLike(1, 0);
    if (!out)
        return nullptr;
    for (std::int32_t y = 0; y < height(); ++y)
        for (std::int32_t x = 0; x < width(); ++x)
            out->put(x, y, black(x, y, threshold) ? 1u : 0u);
    return out;
}

std::unique_ptr<CImg> CColorImg::gray() const {
    std::unique_ptr<CImg> out = createLike(8, 0);
    if (!out)
        return nullptr;
    for (std::int32_t y = 0; y < height(); ++y)
        for (std::int32_t x = 0; x < width(); ++x)
            out->put(x, y, secondSample(get(x, y)));
    return out;
}

std::unique_ptr<CImg> CColorImg::color() const {
    std::unique_ptr<CImg> out = createLike(24, 0);
    if (!out)
        return nullptr;
    for (std::int32_t y = 0; y < height(); ++y)
        for (std::int32_t x = 0; x < width(); ++x)
            out->put(x, y, get(x, y));
    return out;
}

bool CColorImg::black(std::int32_t x, std::int32_t y, std::uint8_t threshold) const {
    return inside(x, y) && secondSample(get(x, y)) < threshold;
}

void CColorImg::add(const CImg& image) {
    if (std::unique_ptr<CImg> converted = image.color())
        appendRows(*converted);
}

void CColorImg2::put(std::int32_t x, std::int32_t y, std::uint32_t value) {
    if (!inside(x, y))
        return;
    const std::int32_t plane = sync() / 3;
    std::uint8_t* p = line(y) + x;
    p[0] = static_cast<std::uint8_t>(value);
    p[plane] = static_cast<std::uint8_t>(value >> 8);
    p[2 * plane] = static_cast<std::uint8_t>(value >> 16);
}

std::uint32_t CColorImg2::get(std::int32_t x, std::int32_t y) const {
    if (!inside(x, y))
        return 0;
    const std::int32_t plane = sync() / 3;
    const std::uint8_t* p = line(y) + x;
    return p[0] | (std::uint32_t{p[plane]} << 8) | (std::uint32_t{p[2 * plane]} << 16);
}

} // namespace Ovk::DetectSize
