// Backing lines below a page whose raw data ended early, and the generic chain on its own. The backing
// takes the platen colour that the side's shading measured, so it needs shading data of that side.
#include "QS880/CSpecialFilter.h"

#include "OvkLogger.h"
#include "QS880/CShading.h"
#include "QS880Logger.h"
#include "RecordSize.h"

namespace Ovk::Pixen::QS880 {

std::int32_t CSpecialFilter::appendPlatenBand(CImg& out, tagSIDE side, std::int32_t lHeight) {
    const CShading* shading = getShading(side);
    if (shading == nullptr || !shading->hasPlatenColor())
        return RTN_PAR;
    const tagIMAGEINFO& in = m_FilterInfo.InImageInfo;
    const std::int32_t sync = CImg::calcMinSync(in.lWidth, in.lBps, in.lSpp, in.ulRGBOrder);
    if (out.createImg(0, 0, in.lWidth, lHeight, sync, in.lBps, in.lSpp, in.ulRGBOrder, in.lXResolution,
                      in.lYResolution) == 0)
        return RTN_PAR;
    if (out.isNull())
        return RTN_MEMORY;
    return shading->getPlatenImage(out);
}

std::int32_t CSpecialFilter::IPAppendSimplex(CImg& out, tagFILTERSIMPLEXINFO* info, std::int32_t lHeight) {
    if (info != nullptr && hasRecordSize<tagFILTERSIMPLEXINFO>(info))
        QS880Logger::writeFILTERSIMPLEXINFO(*info);
    OvkLogger::writeLog("CSpecialFilter::IPAppendSimplex(lHeight = %d)", static_cast<int>(lHeight));
    CImg none;
    if (const std::int32_t result = setInfoLast(none, info); result != RTN_OK)
        return result;
    if (lHeight < 1 || !isSimplex())
        return RTN_PAR;
    std::int32_t result = appendPlatenBand(out, SIDE_FRONT, lHeight);
    if (result == RTN_OK)
        result = execDetect4Points(out, SIDE_FRONT, IMAGESTATE_LAST);
    if (result == RTN_OK && !out.isNull())
        result = getShading(SIDE_FRONT)->fixPlatenImage(out);
    if (result == RTN_OK)
        result = execSpecialFilter(out, SIDE_FRONT, IMAGESTATE_LAST);
    if (result == RTN_OK)
        result = execNormalFilter(out, SIDE_FRONT, IMAGESTATE_LAST);
    return result;
}

std::int32_t CSpecialFilter::IPAppendDuplex(CImg& front, CImg& back, tagFILTERDUPLEXINFO* info,
                                            std::int32_t lHeight) {
    if (info != nullptr && hasRecordSize<tagFILTERDUPLEXINFO>(info))
        QS880Logger::writeFILTERDUPLEXINFO(*info);
    OvkLogger::writeLog("CSpecialFilter::IPAppendDuplex(lHeight = %d)", static_cast<int>(lHeight));
    CImg none;
    if (const std::int32_t result = setInfoLast(none, info); result != RTN_OK)
        return result;
    if (lHeight < 1 || !isDuplex())
        return RTN_PAR;
    std::int32_t result = appendPlatenBand(front, SIDE_FRONT, lHeight);
    if (result == RTN_OK)
        result = appendPlatenBand(back, SIDE_BACK, lHeight);
    if (result != RTN_OK)
        return result;
    m_BackImage.attachImg(back); // the duplex corner detector reads the back band from here
    result = execDetect4PointsDuplex(front, IMAGESTATE_LAST);
    for (tagSIDE side : {SIDE_FRONT, SIDE_BACK}) {
        CImg& image = side == SIDE_FRONT ? front : m_BackImage;
        if (result == RTN_OK)
            result = execCutOffset(image, side, IMAGESTATE_LAST);
        if (result == RTN_OK && !image.isNull())
            result = getShading(side)->fixPlatenImage(image);
    }
    for (tagSIDE side : {SIDE_FRONT, SIDE_BACK})
        if (result == RTN_OK)
            result = execSpecialFilter(side == SIDE_FRONT ? front : m_BackImage, side, IMAGESTATE_LAST);
    if (result == RTN_OK)
        result = execNormalFilter(front, m_BackImage, IMAGESTATE_LAST);
    back.attachImg(m_BackImage);
    return result;
}

std::int32_t CSpecialFilter::NormalFilterSimplex(CImg& image, tagNORMALFILTERSIMPLEXINFO* info) {
    if (!hasRecordSize<tagNORMALFILTERSIMPLEXINFO>(info))
        return RTN_PAR;
    m_FilterInfo = tagFILTERDUPLEXINFO{}; // no model options may outlive the page they came with
    if (const std::int32_t result = CNormalFilter::setInfo(image, info); result != RTN_OK)
        return result;
    m_lCutWidth = info->OutImageInfo.lWidth;
    return execNormalFilter(image, SIDE_FRONT, IMAGESTATE_WHOLE);
}

std::int32_t CSpecialFilter::NormalFilterDuplex(CImg& image, tagNORMALFILTERDUPLEXINFO* info) {
    if (!hasRecordSize<tagNORMALFILTERDUPLEXINFO>(info))
        return RTN_PAR;
    m_FilterInfo = tagFILTERDUPLEXINFO{}; // no model options may outlive the page they came with
    if (const std::int32_t result = CNormalFilter::setInfo(image, info); result != RTN_OK)
        return result;
    m_lCutWidth = info->OutImageInfo.lWidth;
    // Both option blocks act on the one image; the back output receives whatever back side is held.
    return execNormalFilter(image, m_BackImage, IMAGESTATE_WHOLE);
}

} // namespace Ovk::Pixen::QS880
