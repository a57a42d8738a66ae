// Column cut. The kept range is checked against the band, so a start or width from the request that
// lies outside the sensor line is refused instead of read past the buffer.
#include "QS880/CCutOutVertical.h"

#include "QS880/ResultImage.h"
#include "RecordSize.h"

#include <algorithm>
#include <cstring>

namespace Ovk::Pixen::QS880 {

std::int32_t CCutOutVertical::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagCUTOUTVERTICALINFO>(info) != RTN_OK)
        return RTN_PAR;
    const auto& record = *static_cast<const tagCUTOUTVERTICALINFO*>(info);
    if (record.lResolution == 0)
        return RTN_PAR;
    m_Info = record;
    return RTN_OK;
}

std::int32_t CCutOutVertical::CutOutVertical(CImg& band) {
    if (band.isNull())
        return RTN_OK;
    const std::int32_t depth = band.getBps() * band.getSpp();
    if (depth != 8 && depth != 24)
        return RTN_NOT_APPLICABLE;
    if (!isReadable(band) || (depth == 24 && band.getBps() != 8) || band.getRGBOrder() > RGBORDER_LINE)
        return RTN_PAR;
    const std::int64_t base = band.getXResolution() <= 300 ? 300 : 600;
    const std::int64_t width =
        std::min<std::int64_t>(m_Info.lWidth * base / m_Info.lResolution, m_Info.lMaxWidth);
    if (width < 1 || m_Info.lStart < 0 || m_Info.lStart + width > band.getWidth())
        return RTN_PAR;
    const auto w = static_cast<std::int32_t>(width);
    const bool planes = depth == 24 && band.getRGBOrder() == RGBORDER_LINE;
    CImg result;
    const std::int32_t sync = CImg::calcMinSync(w, band.getBps(), band.getSpp(), band.getRGBOrder());
    const tagIMAGEINFO record =
        CImg::makeInfo(0, 0, w, band.getHeight(), sync, band.getBps(), band.getSpp(), band.getRGBOrder(),
                       band.getXResolution(), band.getYResolution());
    if (result.createImgUnfilled(&record) == 0) // every line of every plane is copied below
        return RTN_PAR;
    if (result.isNull())
        return RTN_MEMORY;
    const std::int32_t bytesPerPixel = planes ? 1 : band.getSpp();
    for (std::int32_t y = 0; y < band.getHeight(); ++y)
        for (std::int32_t plane = 0; plane < (planes ? 3 : 1); ++plane)
            std::memcpy(result.getLine(y, plane), band.getLine(y, plane) + m_Info.lStart * bytesPerPixel,
                        static_cast<std::size_t>(sync));
    band.attachImg(result);
    return RTN_OK;
}

} // namespace Ovk::Pixen::QS880
