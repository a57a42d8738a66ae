// The model's steps: each builds its filter's record from the accepted request and runs the filter
// through the side's band controller, which creates the filter on first use.
#include "QS880/CSpecialFilter.h"

#include "QS880/CCollectArray.h"
#include "QS880/CColorGapCorrect.h"
#include "QS880/CCutOffset.h"
#include "QS880/CCutOutVertical.h"
#include "QS880/CDetect4Points.h"
#include "QS880/CSRGBConversion.h"
#include "QS880/CShading.h"

namespace Ovk::Pixen::QS880 {

namespace {

// Margin that a corner-detected cut keeps beyond the page, divided by the output dpi (3 columns at 300).
constexpr std::int32_t kCutMargin = 1119;

int index(tagSIDE side) {
    return side == SIDE_FRONT ? 0 : 1;
}

} // namespace

std::int32_t CSpecialFilter::execCollectArrayForSimplex(CImg& image, tagIMAGESTATE state) {
    tagCOLLECTARRAYINFO info = collectInfo();
    return m_CollectArrayForSimplex.runStep<CCollectArrayForSimplex>(BANDMODE_BAND, image, &info, state);
}

std::int32_t CSpecialFilter::execCollectArrayForDuplex(CImg& image, tagIMAGESTATE state) {
    tagCOLLECTARRAYINFO info = collectInfo();
    const std::int32_t result =
        m_CollectArrayForDuplex.runStep<CCollectArrayForDuplex>(BANDMODE_BAND, image, &info, state);
    if (auto* collector = static_cast<CCollectArrayForDuplex*>(m_CollectArrayForDuplex.getIP()))
        collector->getBackImage(m_BackImage);
    return result;
}

std::int32_t CSpecialFilter::execDetect4Points(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    tagDETECT4POINTSINFO* points = special(side).pDetect4PointsInfo;
    if (points == nullptr)
        return RTN_OK;
    const tagIMAGEINFO& in = m_FilterInfo.InImageInfo;
    const std::int32_t centre = in.lXpos + usableWidth() / 2;
    const std::int32_t reach = image.getXResolution() * 70 / 254; // 7 mm either side of the centre
    const std::int32_t top = points->lTopMargin * image.getYResolution() / in.lYResolution;
    tagDETECT4POINTSPARAM param{
        sizeof param, points, {centre - reach, top, centre + reach, top}, usableWidth(), in.lHeight};
    return m_Detect4Points[index(side)].runStep<CDetect4Points>(BANDMODE_HOLD, image, &param, state);
}

std::int32_t CSpecialFilter::execDetect4PointsDuplex(CImg& image, tagIMAGESTATE state) {
    tagDETECT4POINTSINFO* front = special(SIDE_FRONT).pDetect4PointsInfo;
    tagDETECT4POINTSINFO* back = special(SIDE_BACK).pDetect4PointsInfo;
    if (front == nullptr || back == nullptr)
        return RTN_OK;
    tagDETECT4POINTSDUPLEXPARAM param{sizeof param,  front,
                                      back,          {-1, -1, -1, -1},
                                      usableWidth(), m_FilterInfo.InImageInfo.lHeight,
                                      &m_BackImage,  getOffset(image.getYResolution())};
    return m_Detect4PointsDuplex.runStep<CDetect4PointsDuplex>(BANDMODE_HOLD, image, &param, state);
}

std::int32_t CSpecialFilter::execCutOffset(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    tagCUTOFFSETINFO info{sizeof info, getOffset(m_FilterInfo.InImageInfo.lYResolution), side,
                          m_FilterInfo.InImageInfo.lHeight};
    return m_CutOffset[index(side)].runStep<CCutOffset>(BANDMODE_BAND, image, &info, state);
}

std::int32_t CSpecialFilter::execShading(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    return m_Shading[index(side)].runStep<CShading>(BANDMODE_BAND, image, special(side).pShadingInfo, state);
}

std::int32_t CSpecialFilter::execExtendBitData12To16(CImg& image, tagIMAGESTATE state) {
    tagCOLLECTARRAYINFO info = collectInfo();
    return m_ExtendBitData12To16.runStep<CExtendBitData12To16>(BANDMODE_BAND, image, &info, state);
}

std::int32_t CSpecialFilter::execSpecialFilter(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    std::int32_t result = execColorGapCorrect(image, side, state);
    if (result == RTN_OK)
        result = execCutOutVertical(image, side, state);
    if (result == RTN_OK)
        result = execSRGBConversion(image, side, state);
    return result;
}

std::int32_t CSpecialFilter::execColorGapCorrect(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    if (m_FilterInfo.InImageInfo.lSpp != 3)
        return RTN_OK;
    return m_ColorGapCorrect[index(side)].runStep<CColorGapCorrect>(BANDMODE_HOLD, image, nullptr, state);
}

std::int32_t CSpecialFilter::execCutOutVertical(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    const tagIMAGEINFO& out = m_FilterInfo.OutImageInfo;
    tagCUTOUTVERTICALINFO info{sizeof info, m_FilterInfo.InImageInfo.lXpos, out.lWidth, usableWidth(),
                               out.lXResolution};
    m_lCutWidth = out.lWidth;
    if (special(side).pDetect4PointsInfo != nullptr) {
        const std::int32_t width = static_cast<std::int32_t>(std::int64_t{usableWidth()} * out.lXResolution /
                                                             m_FilterInfo.InImageInfo.lXResolution);
        info.lStart = 0;
        info.lWidth = width + kCutMargin / out.lXResolution;
        m_lCutWidth = width;
    }
    return m_CutOutVertical[index(side)].runStep<CCutOutVertical>(BANDMODE_BAND, image, &info, state);
}

std::int32_t CSpecialFilter::execSRGBConversion(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    const tagNORMALFILTERINFO& front = m_FilterInfo.FrontNormalFilterInfo;
    // Drop-out with back-page erasing wants the sensor's own colours; a missing record switches it off.
    if ((front.pDropOutColorInfo != nullptr && front.pEraseBackPageInfo != nullptr) ||
        special(side).pSRGBConversionInfo == nullptr)
        return RTN_OK;
    return m_SRGBConversion[index(side)].runStep<CSRGBConversion>(BANDMODE_BAND, image,
                                                                  special(side).pSRGBConversionInfo, state);
}

} // namespace Ovk::Pixen::QS880
