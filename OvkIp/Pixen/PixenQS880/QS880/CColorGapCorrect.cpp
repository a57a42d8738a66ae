// Colour-gap filter. Between bands the corrector keeps the last lines of the page; a band that yields no
// line yet is emptied, so that every line reaches the page exactly once whatever the band split.
#include "QS880/CColorGapCorrect.h"

#include "ColorGap/ColorGapCorrect.h"
#include "QS880/ResultImage.h"
#include "ResultCodes.h"

#include <cstring>

namespace Ovk::Pixen {

namespace {

tagOVKIMAGEINFO* analysisRecord(tagIMAGEINFO& record) {
    return reinterpret_cast<tagOVKIMAGEINFO*>(&record);
}

bool isPixelColour(const CImg& band) {
    return band.getSpp() == 3 && band.getBps() == 8 && band.getRGBOrder() == RGBORDER_PIXEL;
}

} // namespace

CColorGapCorrect::CColorGapCorrect() noexcept {
    m_Held.ulSize = sizeof m_Held;
}

CColorGapCorrect::~CColorGapCorrect() {
    releaseCorrector();
}

void CColorGapCorrect::releaseCorrector() noexcept {
    COLORGAPINFO info{};
    info.ulSize = sizeof info;
    info.hColorGap = m_hColorGap;
    ReleaseColorGapHandle(&info);
    m_hColorGap = nullptr;
}

std::int32_t CColorGapCorrect::setInfo(CImg&, void*) {
    m_Held = tagIMAGEINFO{};
    m_Held.ulSize = sizeof m_Held;
    return RTN_OK;
}

std::int32_t CColorGapCorrect::IPFirst(CImg& band) {
    releaseCorrector();
    return CorrectColorGap(band, false);
}

std::int32_t CColorGapCorrect::IP(CImg& image) {
    std::int32_t result = IPFirst(image);
    if (result != RTN_OK)
        return result;
    CImg tail;
    result = IPLast(tail);
    if (result == RTN_OK && image.appendImg(tail) == 0)
        return RTN_PAR;
    return result;
}

std::int32_t CColorGapCorrect::CorrectColorGap(CImg& band, bool last) {
    if (!(band.isNull() && last) && !isPixelColour(band))
        return RTN_NOT_APPLICABLE;
    if (!band.isNull() && !QS880::isReadable(band))
        return RTN_PAR;
    tagIMAGEINFO input = band.getInfo();
    if (band.isNull()) {
        input = m_Held; // the flush: the page's geometry with no new lines
        input.lHeight = 0;
        input.tImageSize = 0;
        input.lpImage = nullptr;
    }
    tagIMAGEINFO output = input;
    CImg flushed;
    if (last) {
        tagIMAGEINFO room = m_Held;
        room.lHeight = m_Held.lHeight + input.lHeight;
        room.tImageSize = CImg::calcSize(room.lSync, room.lHeight, room.lSpp, room.ulRGBOrder);
        if (room.lHeight == 0)
            return RTN_OK; // nothing held and nothing given
        if (const std::int32_t code = QS880::createResult(flushed, room); code != RTN_OK)
            return code;
        output = flushed.getInfo();
    }
    COLORGAPINFO info{};
    info.ulSize = sizeof info;
    info.ulLast = last ? 1 : 0;
    info.ulHeldLines = static_cast<std::uint32_t>(m_Held.lHeight);
    info.hColorGap = m_hColorGap;
    const int status = ColorGapCorrect(analysisRecord(output), analysisRecord(input), &info);
    m_hColorGap = info.hColorGap;
    if (status != 0)
        return RTN_PAR;
    m_Held = input;
    m_Held.lHeight = last ? 0 : static_cast<std::int32_t>(info.ulHeldLines);
    return takeOutput(band, flushed, output, last);
}

// The corrected lines lie at the top of the output buffer; only they stay in the band.
std::int32_t CColorGapCorrect::takeOutput(CImg& band, CImg& flushed, const tagIMAGEINFO& output, bool last) {
    CImg& source = last ? flushed : band;
    if (output.lHeight <= 0) {
        band.deleteImg();
        return RTN_OK;
    }
    if (output.lHeight == source.getHeight()) {
        if (last)
            band.attachImg(flushed);
        return RTN_OK;
    }
    tagIMAGEINFO record = source.getInfo();
    record.lHeight = output.lHeight;
    record.tImageSize = CImg::calcSize(record.lSync, record.lHeight, record.lSpp, record.ulRGBOrder);
    CImg result;
    if (const std::int32_t code = QS880::createResult(result, record); code != RTN_OK)
        return code;
    std::memcpy(result.getImage(), source.getImage(), record.tImageSize);
    band.attachImg(result);
    return RTN_OK;
}

} // namespace Ovk::Pixen
