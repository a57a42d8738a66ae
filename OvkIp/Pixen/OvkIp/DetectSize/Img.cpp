// Construction of the size-detection images and the operations shared by every format. Conversions go
// through the virtual get/put, so one implementation serves all formats.
#include "DetectSize/Img.h"

#include "DetectSize/DetectSizeStatus.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace Ovk::DetectSize {

namespace {

std::unique_ptr<CImg> newOfDepth(std::int32_t bpp, std::int32_t pixelorder) {
    switch (bpp) {
    case 1:
        return std::make_unique<CBinaryImg>();
    case 8:
        return std::make_unique<CGrayImg>();
    case 24:
        if (pixelorder == 1)
            return std::make_unique<CColorImg2>();
        return std::make_unique<CColorImg>();
    default:
        return nullptr;
    }
}

std::int32_t defaultSync(std::int32_t width, std::int32_t bpp) {
    if (bpp == 1)
        return (width + 7) / 8;
    return bpp == 24 ? 3 * width : width;
}

} // namespace

std::unique_ptr<CImg> makeImage(const CImg::tagIMGSET& set, bool owning) {
    if (set.width < 0 || set.height < 0 || set.sync < 0)
        return nullptr;
    try {
        std::unique_ptr<CImg> img = newOfDepth(set.bpp, set.pixelorder);
        if (!img)
            return nullptr;
        img->m_width = set.width;
        img->m_height = set.height;
        img->m_sync = set.sync != 0 ? set.sync : defaultSync(set.width, set.bpp);
        img->m_xdpi = set.xdpi;
        img->m_ydpi = set.ydpi;
        img->m_bpp = set.bpp;
        if (!owning) {
            img->m_pImg = set.pImg;
            return img;
        }
        const std::size_t bytes =
            static_cast<std::size_t>(img->m_sync) * static_cast<std::size_t>(set.height);
        img->m_owned.reset(new (std::nothrow) std::uint8_t[std::max<std::size_t>(bytes, 1)]());
        if (!img->m_owned)
            return nullptr;
        img->m_pImg = img->m_owned.get();
        if (set.pImg != nullptr && bytes > 0)
            std::memcpy(img->m_pImg, set.pImg, bytes);
        return img;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<CImg> CImg::Create(const tagIMGSET& set) {
    return makeImage(set, true);
}

std::unique_ptr<CImg> CImg::Set(const tagIMGSET& set) {
    if (set.pImg == nullptr || set.sync == 0)
        return nullptr;
    return makeImage(set, false);
}

void CImg::imgset(tagIMGSET& set) const {
    set = tagIMGSET{m_pImg, m_width, m_height, m_sync, m_xdpi, m_ydpi, m_bpp, 0};
}

std::unique_ptr<CImg> CImg::clone() const {
    tagIMGSET set{};
    imgset(set);
    set.pixelorder = pixelorder();
    return Create(set);
}

void CImg::change_pImg(std::uint8_t* pixels) {
    if (!m_owned)
        m_pImg = pixels;
}

std::unique_ptr<CImg> CImg::createLike(std::int32_t bpp, std::int32_t order) const {
    return Create(tagIMGSET{nullptr, m_width, m_height, 0, m_xdpi, m_ydpi, bpp, order});
}

std::int32_t CImg::past(std::int32_t, std::int32_t, const CImg&) {
    return kStatusNotImplemented;
}

std::unique_ptr<CImg> CImg::cutout(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) const {
    if (w < 0 || h < 0)
        return nullptr;
    std::unique_ptr<CImg> out = Create(tagIMGSET{nullptr, w, h, 0, m_xdpi, m_ydpi, m_bpp, pixelorder()});
    if (!out)
        return nullptr;
    for (std::int32_t row = 0; row < h; ++row)
        for (std::int32_t col = 0; col < w; ++col)
            out->put(col, row, get(x + col, y + row));
    return out;
}

std::unique_ptr<CImg> CImg::rivise_resolution() const {
    if (m_xdpi == m_ydpi)
        return clone();
    if (m_xdpi <= 0 || m_ydpi <= 0)
        return nullptr;
    tagIMGSET set{nullptr, m_width, m_height, 0, m_xdpi, m_ydpi, m_bpp, pixelorder()};
    const bool squeezeRows = m_xdpi < m_ydpi;
    if (squeezeRows) {
        set.height = static_cast<std::int32_t>(std::int64_t{m_height} * m_xdpi / m_ydpi);
        set.ydpi = m_xdpi;
    } else {
        set.width = static_cast<std::int32_t>(std::int64_t{m_width} * m_ydpi / m_xdpi);
        set.xdpi = m_ydpi;
    }
    std::unique_ptr<CImg> out = Create(set);
    if (!out)
        return nullptr;
    for (std::int32_t r = 0; r < set.height; ++r) {
        for (std::int32_t c = 0; c < set.width; ++c) {
            const std::int64_t sr = squeezeRows ? std::int64_t{r} * m_ydpi / m_xdpi : r;
            const std::int64_t sc = squeezeRows ? c : std::int64_t{c} * m_xdpi / m_ydpi;
            out->put(c, r, get(static_cast<std::int32_t>(sc), static_cast<std::int32_t>(sr)));
        }
    }
    return out;
}

std::int32_t CImg::rect(Ovk::tagRECT& r, Ovk::tagPOINT* points) const {
    r = {m_width, -1, -1, m_height};
    const auto blackAt = [&](std::int32_t x, std::int32_t y) { return black(x, y, 128); };
    const auto firstInLine = [&](std::int32_t y) {
        std::int32_t x = 0;
        while (x < m_width && !blackAt(x, y))
            ++x;
        return x;
    };
    const auto firstInColumn = [&](std::int32_t x) {
        std::int32_t y = 0;
        while (y < m_height && !blackAt(x, y))
            ++y;
        return y;
    };
    for (std::int32_t y = m_height - 1; y >= 0 && r.y < 0; --y)
        if (const std::int32_t x = firstInLine(y); x < m_width) {
            r.y = y;
            points[1] = {x, y};
        }
    if (r.y < 0)
        return 0;
    for (std::int32_t x = 0; x < m_width && r.x == m_width; ++x)
        if (const std::int32_t y = firstInColumn(x); y < m_height) {
            r.x = x;
            points[0] = {x, y};
        }
    for (std::int32_t x = m_width - 1; x >= 0 && r.width < 0; --x)
        if (const std::int32_t y = firstInColumn(x); y < m_height) {
            r.width = x;
            points[2] = {x, y};
        }
    for (std::int32_t y = 0; y < m_height && r.height == m_height; ++y)
        if (const std::int32_t x = firstInLine(y); x < m_width) {
            r.height = y;
            points[3] = {x, y};
        }
    return 0;
}

void CImg::revers() {
    const std::size_t bytes = static_cast<std::size_t>(m_sync) * static_cast<std::size_t>(m_height);
    for (std::size_t i = 0; i < bytes; ++i)
        m_pImg[i] = static_cast<std::uint8_t>(~m_pImg[i]);
}

void CImg::appendRows(const CImg& converted) {
    const std::int32_t rows = std::min(m_height - m_appendRow, converted.m_height);
    const std::size_t bytes = static_cast<std::size_t>(std::min(converted.m_sync, m_sync));
    for (std::int32_t r = 0; r < rows; ++r)
        std::memcpy(line(m_appendRow + r), converted.line(r), bytes);
    // Rows beyond the own height are dropped but still counted.
    m_appendRow += converted.m_height;
}

} // namespace Ovk::DetectSize
