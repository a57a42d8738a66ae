// Request handling and step order of the model pipeline. Every band repeats the request, so each call
// re-checks it; the steps run in a fixed order and the first failing step ends the band.
#include "QS880/CSpecialFilter.h"

#include "OvkLogger.h"
#include "QS880/CShading.h"
#include "QS880Logger.h"
#include "RecordSize.h"

#include <cstring>

namespace Ovk::Pixen::QS880 {

namespace {

constexpr std::int32_t kMicrometresPerInch = 25400;

bool oneOf(std::int32_t value, std::initializer_list<std::int32_t> accepted) {
    for (std::int32_t a : accepted)
        if (value == a)
            return true;
    return false;
}

} // namespace

CSpecialFilter::CSpecialFilter() = default;

CSpecialFilter::~CSpecialFilter() = default;

void CSpecialFilter::abandonPage() noexcept {
    CNormalFilter::abandonPage();
    m_CollectArrayForSimplex.abandonPage();
    m_ExtendBitData12To16.abandonPage();
    m_CollectArrayForDuplex.abandonPage();
    m_Detect4PointsDuplex.abandonPage();
    abandonEach(m_CutOffset);
    abandonEach(m_Detect4Points);
    for (Controller& shading : m_Shading)
        shading.dropBands(); // the references come from the calibration, not from the page
    abandonEach(m_ColorGapCorrect);
    abandonEach(m_CutOutVertical);
    abandonEach(m_SRGBConversion);
    m_BackImage.deleteImg();
}

std::int32_t CSpecialFilter::setInfo(CImg& image, void* info) {
    if (info == nullptr) {
        OvkLogger::writeLog("CSpecialFilter::setInfo return RTN_PAR. (lpInfo == 0)");
        return RTN_PAR;
    }
    m_FilterInfo = tagFILTERDUPLEXINFO{};
    const bool duplex = hasRecordSize<tagFILTERDUPLEXINFO>(info);
    if (!duplex && !hasRecordSize<tagFILTERSIMPLEXINFO>(info)) {
        OvkLogger::writeLog("CSpecialFilter::setInfo return RTN_PAR. (pFilterDuplexInfo ulSize is error) ");
        return RTN_PAR;
    }
    if (duplex)
        QS880Logger::writeFILTERDUPLEXINFO(*static_cast<tagFILTERDUPLEXINFO*>(info));
    else
        QS880Logger::writeFILTERSIMPLEXINFO(*static_cast<tagFILTERSIMPLEXINFO*>(info));
    QS880Logger::writeIMAGEINFO(image);
    if (const std::int32_t result = checkInputImage(image, duplex); result != RTN_OK)
        return result;
    if (const std::int32_t result = takeRequest(info); result != RTN_OK)
        return result;
    if (const std::int32_t result = setNormalChain(image); result != RTN_OK)
        return result;
    if (const std::int32_t result = checkParamError(SIDE_FRONT); result != RTN_OK || !duplex)
        return result;
    return checkParamError(SIDE_BACK);
}

std::int32_t CSpecialFilter::checkInputImage(const CImg& image, bool duplex) const {
    if (image.isNull())
        return RTN_OK; // a band without data
    const bool width =
        duplex ? oneOf(image.getWidth(), {5104, 10208}) : oneOf(image.getWidth(), {2552, 5104});
    if (!width || image.getBps() != 8 || !oneOf(image.getSpp(), {1, 3}) ||
        image.getRGBOrder() != RGBORDER_LINE || !oneOf(image.getXResolution(), {300, 600}) ||
        !oneOf(image.getYResolution(), {100, 150, 200, 240, 300, 400, 600}))
        return RTN_PAR;
    return RTN_OK;
}

std::int32_t CSpecialFilter::takeRequest(void* info) {
    tagFILTERDUPLEXINFO request{};
    if (hasRecordSize<tagFILTERDUPLEXINFO>(info)) {
        request = *static_cast<const tagFILTERDUPLEXINFO*>(info);
    } else {
        const auto& simplex = *static_cast<const tagFILTERSIMPLEXINFO*>(info);
        request.ulSize = simplex.ulSize;
        request.InImageInfo = simplex.InImageInfo;
        request.OutImageInfo = simplex.OutImageInfo;
        request.FrontNormalFilterInfo = simplex.NormalFilterInfo;
        request.FrontSpecialFilterInfo = simplex.SpecialFilterInfo;
    }
    // Divisors of the step records: a request without them would stop the process, not the page.
    if (request.InImageInfo.lXResolution <= 0 || request.InImageInfo.lYResolution <= 0 ||
        request.OutImageInfo.lXResolution <= 0 || request.InImageInfo.lWidth <= 0)
        return RTN_PAR;
    m_FilterInfo = request;
    return RTN_OK;
}

std::int32_t CSpecialFilter::setNormalChain(CImg& image) {
    // The chain keeps its own copy of the request.
    if (isSimplex()) {
        tagNORMALFILTERSIMPLEXINFO request{sizeof request, m_FilterInfo.InImageInfo,
                                           m_FilterInfo.OutImageInfo, m_FilterInfo.FrontNormalFilterInfo};
        return CNormalFilter::setInfo(image, &request);
    }
    tagNORMALFILTERDUPLEXINFO request{sizeof request,
                                      m_FilterInfo.InImageInfo,
                                      m_FilterInfo.OutImageInfo,
                                      m_FilterInfo.FrontNormalFilterInfo,
                                      m_FilterInfo.BackNormalFilterInfo,
                                      m_FilterInfo.bPutImageOnSide};
    return CNormalFilter::setInfo(image, &request);
}

std::int32_t CSpecialFilter::checkParamError(tagSIDE side) const {
    const tagNORMALFILTERINFO& options = normal(side);
    if ((options.bAutoSize || options.bSkewCorrection) && special(side).pDetect4PointsInfo == nullptr)
        return RTN_PAR;
    return RTN_OK;
}

std::int32_t CSpecialFilter::QS880Filter(CImg& image, tagIMAGESTATE state) {
    if (isSimplex())
        return runSimplex(image, state);
    if (isDuplex())
        return runDuplex(image, state);
    return RTN_OK;
}

std::int32_t CSpecialFilter::runSimplex(CImg& image, tagIMAGESTATE state) {
    std::int32_t result = execCollectArrayForSimplex(image, state);
    if (result == RTN_OK)
        result = execDetect4Points(image, SIDE_FRONT, state);
    if (result == RTN_OK)
        result = execShading(image, SIDE_FRONT, state);
    if (result == RTN_OK)
        result = execExtendBitData12To16(image, state);
    if (result == RTN_OK)
        result = execSpecialFilter(image, SIDE_FRONT, state);
    if (result == RTN_OK)
        result = execNormalFilter(image, SIDE_FRONT, state);
    return result;
}

std::int32_t CSpecialFilter::runDuplex(CImg& image, tagIMAGESTATE state) {
    std::int32_t result = execCollectArrayForDuplex(image, state);
    if (result == RTN_OK)
        result = execDetect4PointsDuplex(image, state);
    for (tagSIDE side : {SIDE_FRONT, SIDE_BACK}) {
        CImg& sideImage = side == SIDE_FRONT ? image : m_BackImage;
        if (result == RTN_OK)
            result = execCutOffset(sideImage, side, state);
        if (result == RTN_OK)
            result = execShading(sideImage, side, state);
        if (result == RTN_OK)
            result = execSpecialFilter(sideImage, side, state);
    }
    if (result == RTN_OK)
        result = execNormalFilter(image, m_BackImage, state);
    return result;
}

const tagNORMALFILTERINFO& CSpecialFilter::normal(tagSIDE side) const {
    return side == SIDE_FRONT ? m_FilterInfo.FrontNormalFilterInfo : m_FilterInfo.BackNormalFilterInfo;
}

const tagSPECIALFILTERINFO& CSpecialFilter::special(tagSIDE side) const {
    return side == SIDE_FRONT ? m_FilterInfo.FrontSpecialFilterInfo : m_FilterInfo.BackSpecialFilterInfo;
}

tagDUMMYPIXELS CSpecialFilter::getDummyPixels(std::int32_t) {
    return {0, 0, 0}; // this sensor has none, at 600 dpi or any other resolution
}

std::int32_t CSpecialFilter::widthWithoutDummies(std::int32_t width, std::int32_t resolution) {
    const tagDUMMYPIXELS dummies = getDummyPixels(resolution);
    return width - (dummies.lDummy0 + dummies.lDummy1 + dummies.lDummy2);
}

std::int32_t CSpecialFilter::getMaxWidthWithoutDummyPixels(std::int32_t width, std::int32_t resolution) {
    return widthWithoutDummies(width, resolution);
}

std::int32_t CSpecialFilter::usableWidth() const {
    return widthWithoutDummies(m_FilterInfo.InImageInfo.lWidth, m_FilterInfo.InImageInfo.lXResolution);
}

std::int32_t CSpecialFilter::getOffset(std::int32_t res) const {
    return static_cast<std::int32_t>(std::int64_t{m_lOffset} * res / kMicrometresPerInch);
}

tagCOLLECTARRAYINFO CSpecialFilter::collectInfo() const {
    return {sizeof(tagCOLLECTARRAYINFO), getDummyPixels(m_FilterInfo.InImageInfo.lXResolution),
            usableWidth()};
}

CShading* CSpecialFilter::getShading(tagSIDE side) const {
    return static_cast<CShading*>(m_Shading[side == SIDE_FRONT ? 0 : 1].getIP());
}

} // namespace Ovk::Pixen::QS880
