// Text direction: open a detection session, hand over the page (at most 10200 x 10200 pixels of it), close
// again. Framework results map to our codes: its out-of-memory kinds to 3, every other failure to 2.
#include "CTextImageDirection.h"

#include "OvkLogger.h"
#include "RecordSize.h"
#include "vellumv2.h"

#include <algorithm>

namespace Ovk::Pixen {

namespace {

constexpr std::int32_t MaxDetectPixels = 10200; // the framework's page limit in either direction

std::int32_t dispatchError(std::int32_t result) noexcept {
    if (result == VLM_ERR_DETECTNOMEMORY || result == VLM_ERR_ENGINENOMEMORY || result == VLM_ERR_NOMEMORY)
        return RTN_MEMORY;
    return RTN_PAR;
}

// Non-zero framework results: negative are errors, positive are warnings that we do not accept.
std::int32_t mapResult(std::int32_t result) noexcept {
    if (result == 0)
        return RTN_OK;
    return result < 0 ? dispatchError(result) : RTN_PAR;
}

std::int32_t imageKind(const CImg& image) noexcept {
    if (image.getSpp() == 3)
        return image.getBps() == 8 && image.getRGBOrder() == RGBORDER_PIXEL ? VLM_KIND_BGR : 0;
    if (image.getBps() == 8)
        return VLM_KIND_GRAY;
    return image.getBps() == 1 ? VLM_KIND_BW : 0;
}

} // namespace

CTextImageDirection::~CTextImageDirection() {
    closeLibrary();
}

std::int32_t CTextImageDirection::setOcrPath(const char* path) {
    const std::int32_t result = VLMC_changepath(path);
    OvkLogger::writeLog("CTextImageDirection::setOcrPath VLMC_changepath return %d",
                        static_cast<int>(result));
    return result;
}

std::int32_t CTextImageDirection::checkLibrary() {
    const std::int32_t result = VLMC_exmodeset(VLM_MODE_DETECT, VLM_LANG_ENGLISH, 0);
    OvkLogger::writeLog("CTextImageDirection::checkLibrary VLMC_exmodeset return %d",
                        static_cast<int>(result));
    return mapResult(result);
}

std::int32_t CTextImageDirection::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagTEXTIMAGEDIRECTIONINFO>(info) != RTN_OK)
        return RTN_PAR;
    m_Info = *static_cast<const tagTEXTIMAGEDIRECTIONINFO*>(info);
    m_Info.nDeg = 0;
    m_Info.dRad = 0.0;
    return RTN_OK;
}

std::int32_t CTextImageDirection::TextImageDirection(CImg& image) {
    m_nDeg = 0;
    m_dRad = 0.0;
    std::int32_t result = openLibrary();
    if (result == RTN_OK)
        result = execLibrary(image);
    closeLibrary();
    return result;
}

std::int32_t CTextImageDirection::openLibrary() {
    if (m_Info.tidlang == 0)
        return RTN_PAR;
    std::int32_t result = VLMC_exmodeset(VLM_MODE_DETECT, static_cast<std::uint32_t>(m_Info.tidlang),
                                         static_cast<std::uint32_t>(m_Info.tidcodepage));
    OvkLogger::writeLog("CTextImageDirection::openLibrary VLMC_exmodeset return %d",
                        static_cast<int>(result));
    if (result == 0) {
        result = VLMC_exopen(nullptr, VLM_OPEN_DETECT, 0);
        OvkLogger::writeLog("CTextImageDirection::openLibrary VLMC_exopen return %d",
                            static_cast<int>(result));
    }
    if (result != 0)
        return mapResult(result);
    m_lOpenLang = m_Info.tidlang;
    m_lOpenCodePage = m_Info.tidcodepage;
    return RTN_OK;
}

std::int32_t CTextImageDirection::execLibrary(CImg& image) {
    const std::int32_t kind = imageKind(image);
    if (kind == 0 || image.isNull())
        return RTN_PAR;
    const PdfPageImageDesc page{image.getImage(),
                                image.getSync(),
                                std::min(image.getWidth(), MaxDetectPixels),
                                std::min(image.getHeight(), MaxDetectPixels),
                                image.getXResolution(),
                                image.getYResolution(),
                                kind,
                                0,
                                0};
    const std::int32_t result = VLMD_spdetect(&page, &m_nDeg, &m_dRad);
    OvkLogger::writeLog("CTextImageDirection::execLibrary VLMD_spdetect return %d", static_cast<int>(result));
    return result < 0 ? dispatchError(result) : RTN_OK;
}

std::int32_t CTextImageDirection::closeLibrary() {
    if (m_lOpenLang == 0)
        return RTN_OK;
    const std::int32_t result = VLMC_exclose(0);
    OvkLogger::writeLog("CTextImageDirection::closeLibrary VLMC_exclose return %d", static_cast<int>(result));
    m_lOpenLang = 0;
    m_lOpenCodePage = 0;
    return result < 0 ? dispatchError(result) : RTN_OK;
}

} // namespace Ovk::Pixen
