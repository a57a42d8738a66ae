// Detection filters. The caller's result records are re-read from every band's request, because the
// data source builds its requests afresh for each call and an earlier band's pointer may be gone.
#include "QS880/CDetect4Points.h"

#include "DetectSize/DetectSlantAndSizeEx_OneRadiate2.h"
#include "RecordSize.h"
#include "ResultCodes.h"

#include <cstring>

namespace Ovk::Pixen::QS880 {

static_assert(sizeof(tagOVKIMAGEINFO) == sizeof(tagIMAGEINFO));

namespace {

constexpr std::uint32_t kResultAll = 31; // rectangle, corners and slant of both sides

tagOVKIMAGEINFO* analysisRecord(CImg& image) {
    return reinterpret_cast<tagOVKIMAGEINFO*>(static_cast<tagIMAGEINFO*>(image));
}

} // namespace

CDetect4PointsBase::~CDetect4PointsBase() {
    tagDETECTSLANTSIZEEXBASIC block{};
    block.ulSize = sizeof block;
    block.pHandle = m_hDetect;
    ReleaseSlantSizeExHandle(&block);
}

std::int32_t CDetect4PointsBase::IP(CImg& image) {
    return runSequence(image, DETECT_FIRST);
}

std::int32_t CDetect4PointsBase::IPLast(CImg& band) {
    return runSequence(band, DETECT_LAST);
}

std::int32_t CDetect4PointsBase::runSequence(CImg& image, std::uint32_t first) {
    CImg none;
    std::int32_t result = detect(image, first);
    if (result == RTN_OK)
        result = detect(image, DETECT_RESULT);
    if (result == RTN_OK)
        result = detect(none, DETECT_RELEASE);
    return result;
}

std::uint32_t CDetect4PointsBase::callDetector(CImg& image, tagDETECTSLANTSIZEEXBASIC& block,
                                               std::uint32_t command, const tagRECT32& area,
                                               const tagDETECT4POINTSINFO& info) {
    block.ulSize = sizeof block;
    block.ulMethod = kDetectMethodWithDuplex;
    block.pHandle = m_hDetect;
    block.ulCommand = command;
    block.ulResultMask = kResultAll;
    block.ulSideKind = 1;
    block.lRefPoint[0] = area.left;
    block.lRefPoint[1] = area.top;
    block.lRefPoint[2] = area.right;
    block.lRefPoint[3] = area.bottom;
    const std::int32_t layout[6] = {info.Size.width,    info.Size.height, info.lTopMargin,
                                    info.lBottomMargin, info.lLeftMargin, info.lRightMargin};
    std::memcpy(block.lResultOption, layout, sizeof layout);
    const std::uint32_t status = DetectSlantAndSizeEx(analysisRecord(image), &block);
    m_hDetect = block.pHandle;
    return status;
}

void CDetect4PointsBase::copyResult(tagDETECT4POINTSINFO& info, const void* sideResult) {
    const auto& side = *static_cast<const tagDETECTSLANTSIZESIDE*>(sideResult);
    tagPOINT32* corners[4] = {&info.LeftTop, &info.RightTop, &info.LeftBottom, &info.RightBottom};
    for (int i = 0; i < 4; ++i)
        *corners[i] = {side.lCorner[2 * i], side.lCorner[2 * i + 1]};
    info.rectDoc = {side.lLeft, side.lTop, side.lLeft + side.lWidth, side.lTop + side.lHeight};
    info.vectorSlant = {side.lSlant[0], side.lSlant[1]};
}

bool CDetect4PointsBase::validInfo(const tagDETECT4POINTSINFO* info) {
    return hasRecordSize<tagDETECT4POINTSINFO>(info);
}

std::int32_t CDetect4PointsBase::startPage(const CImg& band, std::int32_t width, std::int32_t length) {
    CImg none;
    if (m_hDetect != nullptr)
        detect(none, DETECT_RELEASE);
    CImg page; // geometry only: the detector is told the page's size before any pixels arrive
    tagIMAGEINFO& record = *static_cast<tagIMAGEINFO*>(page);
    record.ulSize = sizeof record;
    record.lWidth = width;
    record.lHeight = length;
    record.lBps = band.getBps();
    record.lSpp = band.getSpp();
    record.ulRGBOrder = band.getRGBOrder();
    record.lXResolution = band.getXResolution();
    record.lYResolution = band.getYResolution();
    const std::int32_t result = detect(page, DETECT_INIT);
    record = tagIMAGEINFO{};
    return result;
}

bool CDetect4Points::validParam(const void* info) {
    return hasRecordSize<tagDETECT4POINTSPARAM>(info) &&
           validInfo(static_cast<const tagDETECT4POINTSPARAM*>(info)->pDetect4PointsInfo);
}

std::int32_t CDetect4Points::setInfo(CImg& band, void* info) {
    if (!validParam(info))
        return RTN_PAR;
    m_Param = *static_cast<const tagDETECT4POINTSPARAM*>(info);
    return startPage(band, m_Param.lWidth, m_Param.lLength);
}

std::int32_t CDetect4Points::setInfoLast(CImg&, void* info) {
    if (!validParam(info))
        return RTN_PAR;
    const auto& given = *static_cast<const tagDETECT4POINTSPARAM*>(info);
    m_Param.pDetect4PointsInfo = given.pDetect4PointsInfo;
    return RTN_OK;
}

std::int32_t CDetect4Points::detect(CImg& image, std::uint32_t command) {
    if (m_Param.pDetect4PointsInfo == nullptr)
        return RTN_PAR;
    tagDETECTSLANTSIZEEXBASIC block{};
    tagDETECT4POINTSINFO& info = *m_Param.pDetect4PointsInfo;
    if (callDetector(image, block, command, m_Param.rcArea, info) != 0)
        return RTN_PAR;
    if (block.ulCommand == DETECT_RESULT)
        copyResult(info, &block.front);
    return RTN_OK;
}

bool CDetect4PointsDuplex::validParam(const void* info) {
    if (!hasRecordSize<tagDETECT4POINTSDUPLEXPARAM>(info))
        return false;
    const auto& param = *static_cast<const tagDETECT4POINTSDUPLEXPARAM*>(info);
    return validInfo(param.pFrontInfo) && validInfo(param.pBackInfo);
}

std::int32_t CDetect4PointsDuplex::setInfo(CImg& band, void* info) {
    if (!validParam(info))
        return RTN_PAR;
    m_Param = *static_cast<const tagDETECT4POINTSDUPLEXPARAM*>(info);
    return startPage(band, m_Param.lWidth, m_Param.lLength);
}

std::int32_t CDetect4PointsDuplex::setInfoMiddle(CImg&, void* info) {
    if (!validParam(info))
        return RTN_PAR;
    const auto& given = *static_cast<const tagDETECT4POINTSDUPLEXPARAM*>(info);
    m_Param.pFrontInfo = given.pFrontInfo;
    m_Param.pBackInfo = given.pBackInfo;
    m_Param.pBackImage = given.pBackImage;
    return RTN_OK;
}

std::int32_t CDetect4PointsDuplex::detect(CImg& image, std::uint32_t command) {
    if (m_Param.pFrontInfo == nullptr || m_Param.pBackInfo == nullptr)
        return RTN_PAR;
    tagDETECTSLANTSIZEEXBASIC block{};
    block.ulDuplex = 1;
    tagIMAGEINFO backRecord{};
    if (m_Param.pBackImage != nullptr)
        backRecord = m_Param.pBackImage->getInfo();
    block.pBackImage = reinterpret_cast<tagOVKIMAGEINFO*>(&backRecord);
    block.lSensorOffset = m_Param.lOffset;
    if (callDetector(image, block, command, m_Param.rcArea, *m_Param.pFrontInfo) != 0)
        return RTN_PAR;
    if (block.ulCommand == DETECT_RESULT) {
        copyResult(*m_Param.pFrontInfo, &block.front);
        copyResult(*m_Param.pBackInfo, &block.back);
    }
    return RTN_OK;
}

} // namespace Ovk::Pixen::QS880
