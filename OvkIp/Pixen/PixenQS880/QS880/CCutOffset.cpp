// Line cut against the side offset. Counters are 64-bit so that a very long page cannot wrap them.
#include "QS880/CCutOffset.h"

#include "QS880/ResultImage.h"
#include "RecordSize.h"

#include <cstdlib>
#include <cstring>

namespace Ovk::Pixen::QS880 {

std::int32_t CCutOffset::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagCUTOFFSETINFO>(info) != RTN_OK)
        return RTN_PAR;
    m_Info = *static_cast<const tagCUTOFFSETINFO*>(info);
    m_lTopSeen = 0;
    m_lBottomSeen = 0;
    return RTN_OK;
}

std::int32_t CCutOffset::CutOutHorizontal(CImg& band, std::int32_t first, std::int32_t count) {
    if (!isReadable(band) || first < 0 || count < 1 || count > band.getHeight() - first)
        return RTN_PAR;
    tagIMAGEINFO record = band.getInfo();
    record.lHeight = count;
    record.tImageSize = CImg::calcSize(record.lSync, count, record.lSpp, record.ulRGBOrder);
    CImg result;
    if (const std::int32_t code = createResult(result, record); code != RTN_OK)
        return code;
    const std::size_t lineBytes = band.getImageSize() / static_cast<std::uint32_t>(band.getHeight());
    std::memcpy(result.getImage(), band.getImage() + lineBytes * static_cast<std::size_t>(first),
                lineBytes * static_cast<std::size_t>(count));
    band.attachImg(result);
    return RTN_OK;
}

std::int32_t CCutOffset::CutOffset(CImg& band) {
    if (m_Info.lOffset == 0)
        return RTN_OK;
    const bool front = m_Info.Side == SIDE_FRONT;
    if ((m_Info.lOffset < 0 && front) || (m_Info.lOffset > 0 && !front))
        return CutTopOffSet(band);
    return CutBottomOffSet(band);
}

std::int32_t CCutOffset::CutTopOffSet(CImg& band) {
    const std::int64_t cut = std::llabs(static_cast<long long>(m_Info.lOffset));
    const std::int64_t seen = m_lTopSeen;
    const std::int64_t height = band.isNull() ? 0 : band.getHeight();
    m_lTopSeen += height;
    if (seen + height <= cut) {
        band.deleteImg();
        return RTN_OK;
    }
    if (seen < cut) {
        const auto kept = static_cast<std::int32_t>(seen + height - cut);
        return CutOutHorizontal(band, static_cast<std::int32_t>(height) - kept, kept);
    }
    return RTN_OK;
}

std::int32_t CCutOffset::CutBottomOffSet(CImg& band) {
    const std::int64_t length = m_Info.lLength;
    const std::int64_t passed = m_lBottomSeen;
    const std::int64_t height = band.isNull() ? 0 : band.getHeight();
    if (passed >= length) {
        band.deleteImg();
        m_lBottomSeen += height;
        return RTN_OK;
    }
    if (length < passed + height) {
        const std::int32_t code = CutOutHorizontal(band, 0, static_cast<std::int32_t>(length - passed));
        if (code != RTN_OK)
            return code;
    }
    m_lBottomSeen += band.isNull() ? 0 : band.getHeight();
    return RTN_OK;
}

} // namespace Ovk::Pixen::QS880
