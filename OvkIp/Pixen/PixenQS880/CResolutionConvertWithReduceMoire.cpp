// Drives the moire reducer: create at setInfo, one command per band (whole page, first, further, end), and
// at the last band a flush image whose lines make the reducer release what it still holds.
#include "CResolutionConvertWithReduceMoire.h"

#include "LayerRecord.h"
#include "RecordSize.h"

#include <algorithm>
#include <cstring>

namespace Ovk::Pixen {

namespace {

std::int32_t fromReducer(int result) noexcept {
    if (result == 0)
        return RTN_OK;
    return result == -2 ? RTN_MEMORY : RTN_PAR;
}

bool scannerResolution(const CImg& band) noexcept {
    return (band.getXResolution() == 300 && band.getYResolution() == 300) ||
           (band.getXResolution() == 600 && band.getYResolution() == 600);
}

} // namespace

CResolutionConvertWithReduceMoire::~CResolutionConvertWithReduceMoire() {
    deleteHandle();
}

void CResolutionConvertWithReduceMoire::deleteHandle() noexcept {
    if (m_Info.ulSize == 0)
        m_Info.ulSize = sizeof(tagREDUCEMOIREFILTERINFO);
    m_Info.lCommand = kMoireRelease;
    ReduceMoire(nullptr, nullptr, &m_Info);
}

std::int32_t CResolutionConvertWithReduceMoire::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagRESOLUTIONCONVERTINFO>(info) != RTN_OK)
        return RTN_PAR;
    const auto* request = static_cast<const tagRESOLUTIONCONVERTINFO*>(info);
    deleteHandle();
    m_Info = {};
    m_Info.ulSize = sizeof(tagREDUCEMOIREFILTERINFO);
    m_Info.lCommand = kMoireCreate;
    m_Info.lDstXResolution = request->lDstXResolution;
    m_Info.lDstYResolution = request->lDstYResolution;
    m_Info.lDstWidth = request->lDstWidth;
    m_Info.lDstHeight = request->lDstHeight;
    m_Info.lSrcXResolution = request->lSrcXResolution;
    m_Info.lSrcYResolution = request->lSrcYResolution;
    m_Info.lSrcWidth = request->lSrcWidth;
    m_Info.lSrcHeight = request->lSrcHeight;
    // Without a reducer every band would fail later with a less telling code.
    return fromReducer(ReduceMoire(nullptr, nullptr, &m_Info));
}

std::int32_t CResolutionConvertWithReduceMoire::IP(CImg& image) {
    const std::int32_t result = convert(image, kMoireWholePage);
    deleteHandle();
    return result;
}

std::int32_t CResolutionConvertWithReduceMoire::IPFirst(CImg& band) {
    m_lSpp = band.getSpp();
    m_lBps = band.getBps();
    return convert(band, kMoireFirstBand);
}

std::int32_t CResolutionConvertWithReduceMoire::IPMiddle(CImg& band) {
    return convert(band, kMoireNextBand);
}

std::int32_t CResolutionConvertWithReduceMoire::IPLast(CImg& band) {
    std::int32_t result = convert(band, kMoireNextBand);
    if (result == RTN_OK && m_Info.lHeldLines != 0)
        result = flush(band);
    deleteHandle();
    return result;
}

// The end command takes its input as the page's continuation; the reducer repeats the page's last line
// below it, so the flush image's own (zero) pixels never reach the output.
std::int32_t CResolutionConvertWithReduceMoire::flush(CImg& band) {
    CImg tail;
    if (tail.createImg(m_Info.lSrcWidth, m_Info.lHeldLines, m_lBps, m_lSpp, RGBORDER_PIXEL,
                       m_Info.lSrcXResolution, m_Info.lSrcYResolution) == 0)
        return RTN_PAR;
    if (tail.isNull())
        return RTN_MEMORY;
    const std::int32_t result = convert(tail, kMoireEnd);
    if (result != RTN_OK)
        return result;
    return band.appendImg(tail) != 0 ? RTN_OK : RTN_MEMORY;
}

std::int32_t CResolutionConvertWithReduceMoire::convert(CImg& band, std::int32_t command) {
    m_Info.lCommand = command;
    if (band.isNull())
        return RTN_OK;
    if (band.getBps() != 8 || (band.getSpp() == 3 && band.getRGBOrder() != RGBORDER_PIXEL))
        return RTN_NOT_APPLICABLE;
    if (band.getXResolution() == m_Info.lDstXResolution && band.getYResolution() == m_Info.lDstYResolution)
        return RTN_OK;
    if (!scannerResolution(band))
        return RTN_PAR;
    try {
        const std::int32_t height =
            static_cast<std::int32_t>(std::int64_t{band.getHeight()} * m_Info.lDstHeight /
                                      std::max(1, m_Info.lSrcHeight)) +
            5;
        CImg out;
        const std::int32_t sync =
            CImg::calcMinSync(m_Info.lDstWidth, band.getBps(), band.getSpp(), RGBORDER_PIXEL);
        if (out.createImg(band.getXpos(), band.getYpos(), m_Info.lDstWidth, height, sync, band.getBps(),
                          band.getSpp(), RGBORDER_PIXEL, m_Info.lDstXResolution, m_Info.lDstYResolution) == 0)
            return RTN_PAR;
        if (out.isNull())
            return RTN_MEMORY;
        const std::int32_t result = fromReducer(ReduceMoire(layerRecord(out), layerRecord(band), &m_Info));
        if (result != RTN_OK)
            return result;
        const std::int32_t produced = std::min(static_cast<const CImg&>(out).getHeight(), height);
        CImg lines;
        if (produced > 0) {
            if (lines.createImg(out.getXpos(), out.getYpos(), out.getWidth(), produced, sync, out.getBps(),
                                out.getSpp(), RGBORDER_PIXEL, out.getXResolution(),
                                out.getYResolution()) == 0)
                return RTN_PAR;
            if (lines.isNull())
                return RTN_MEMORY;
            std::memcpy(lines.getImage(), out.getImage(), lines.getImageSize());
        }
        band.attachImg(lines);
        return RTN_OK;
    } catch (...) {
        return RTN_MEMORY;
    }
}

} // namespace Ovk::Pixen
