// Cropping: the rectangle is brought to the page's resolution, clipped to the page, and its rows are
// copied from the first whole byte of the left edge.
#include "CAutoSize.h"

#include <algorithm>
#include <cstring>

namespace Ovk::Pixen {

std::int32_t CAutoSize::setInfo(CImg& image, void* info) {
    m_bHasInfo = false;
    if (info == nullptr)
        return RTN_OK;
    const auto* record = static_cast<const tagAUTOSIZEINFO*>(info);
    if (record->lXResolution == 0 || record->lYResolution == 0)
        return RTN_PAR;
    if (image.getBps() == 1)
        return RTN_NOT_APPLICABLE;
    m_Info = *record;
    m_bHasInfo = true;
    return RTN_OK;
}

std::int32_t CAutoSize::IP(CImg& image) {
    if (!m_bHasInfo || image.isNull())
        return RTN_OK;
    const auto scale = [](std::int32_t v, std::int32_t to, std::int32_t from) {
        return static_cast<std::int32_t>(std::int64_t{v} * to / from);
    };
    const std::int32_t x = std::max(0, scale(m_Info.lLeft, image.getXResolution(), m_Info.lXResolution));
    const std::int32_t y = std::max(0, scale(m_Info.lTop, image.getYResolution(), m_Info.lYResolution));
    const std::int32_t w = scale(m_Info.lWidth, image.getXResolution(), m_Info.lXResolution);
    const std::int32_t h = scale(m_Info.lHeight, image.getYResolution(), m_Info.lYResolution);
    if (x >= image.getWidth() || y >= image.getHeight())
        return RTN_PAR;
    const std::int32_t right =
        static_cast<std::int32_t>(std::min<std::int64_t>(image.getWidth(), std::int64_t{x} + w));
    const std::int32_t bottom =
        static_cast<std::int32_t>(std::min<std::int64_t>(image.getHeight(), std::int64_t{y} + h));
    CImg out;
    const std::int32_t sync =
        CImg::calcMinSync(right - x, image.getBps(), image.getSpp(), image.getRGBOrder());
    if (out.createImg(0, 0, right - x, bottom - y, sync, image.getBps(), image.getSpp(), image.getRGBOrder(),
                      image.getXResolution(), image.getYResolution()) == 0)
        return RTN_PAR;
    if (out.isNull())
        return RTN_MEMORY;
    const bool planar = image.getRGBOrder() == RGBORDER_LINE;
    const std::int32_t pixelBits = image.getBps() * (planar ? 1 : image.getSpp());
    const std::int32_t offset = static_cast<std::int32_t>((std::int64_t{x} * pixelBits + 7) / 8);
    // Never read past the source row, whatever the two line lengths are.
    const std::size_t bytes = static_cast<std::size_t>(std::min(out.getSync(), image.getSync() - offset));
    for (std::int32_t plane = 0; plane < (planar ? image.getSpp() : 1); ++plane)
        for (std::int32_t row = y; row < bottom; ++row)
            std::memcpy(out.getLine(row - y, plane), image.getLine(row, plane) + offset, bytes);
    image.attachImg(out);
    return RTN_OK;
}

} // namespace Ovk::Pixen
