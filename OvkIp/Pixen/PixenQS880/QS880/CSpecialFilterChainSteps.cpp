// The chain's steps that this model replaces: their records come from the raw geometry and the corners the
// model detected, so colour detection, resolution conversion, deskew and cropping see the page as scanned.
#include "QS880/CSpecialFilter.h"

#include "CAutoSize.h"
#include "CDetectColorOrGray.h"
#include "CResolutionConvertWithReduceMoire.h"
#include "CSkewCorrection.h"

#include <new>

namespace Ovk::Pixen::QS880 {

namespace {

constexpr std::int32_t kAutoColourTablePreset = 2; // the detector's built-in threshold table
constexpr std::int32_t kBinaryAdaptiveMethod = 8;
constexpr std::uint8_t kDeskewBackground = 255;

bool isFinal(tagIMAGESTATE state) {
    return state == IMAGESTATE_WHOLE || state == IMAGESTATE_LAST;
}

// A page that no line reached has nothing to convert; the converters would refuse its missing format.
bool isEmptyPage(const CImg& image, tagIMAGESTATE state) {
    return state == IMAGESTATE_WHOLE && image.isNull();
}

} // namespace

// Raw lines of the page together with the margins the corner detection scans beyond it.
std::int32_t CSpecialFilter::rawPageHeight(const tagDETECT4POINTSINFO& points) const {
    return InImageInfo.lHeight + points.lTopMargin + points.lBottomMargin;
}

std::int32_t CSpecialFilter::execDetectColorOrGray(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    tagNORMALFILTERINFO& block = sideInfo(side);
    const tagDETECTCOLORORGRAYINFO* autoColour = block.pDetectColorOrGrayInfo;
    if (autoColour == nullptr)
        return RTN_OK;
    if (autoColour->ulSize != sizeof(tagDETECTCOLORORGRAYINFO) || block.pGrayToBinaryInfo == nullptr)
        return RTN_PAR;
    std::int32_t height = InImageInfo.lHeight;
    if (block.bAutoSize) {
        const tagDETECT4POINTSINFO* points = special(side).pDetect4PointsInfo;
        if (points == nullptr)
            return RTN_OPTIONS;
        if (state == IMAGESTATE_WHOLE) {
            if (image.getYResolution() == 0)
                return RTN_PAR;
            height = image.getHeight();
        } else {
            height = rawPageHeight(*points);
        }
    }
    tagDETECT_COLOR_INFO info{};
    info.ulSize = sizeof info;
    info.lWidth = widthWithoutDummies(InImageInfo.lWidth, InImageInfo.lXResolution);
    info.lHeight = height;
    info.lXResolution = InImageInfo.lXResolution;
    info.lYResolution = InImageInfo.lYResolution;
    info.lMode = kAutoColourTablePreset;
    info.lTablePreset = autoColour->lSensitivityOfAutoColor;
    info.lSensitivity = static_cast<std::int32_t>(autoColour->ulIntensityOfAutoColor);
    info.lReserved80 = 1;
    Controller& controller = m_DetectColorOrGray[side];
    const std::int32_t result = controller.runStep<CDetectColorOrGray>(BANDMODE_PAGE, image, &info, state);
    if (result != RTN_OK || !isFinal(state))
        return result;
    bool colour = false;
    std::int32_t count = 0;
    static_cast<CDetectColorOrGray*>(controller.getIP())->getDetectColorOrGrayResult(&colour, &count);
    // A joined page cannot be half colour: the back follows what the front decided.
    if (bPutImageOnSide && side == SIDE_BACK)
        colour = OutImageInfo.lSpp == 3;
    return applyColourVerdict(side, colour);
}

std::int32_t CSpecialFilter::applyColourVerdict(tagSIDE side, bool colour) {
    tagNORMALFILTERINFO& block = sideInfo(side);
    if (colour) {
        block.bInverse = false;
        block.pGrayToBinaryInfo = nullptr;
        OutImageInfo.lBps = 8;
        OutImageInfo.lSpp = 3;
        return RTN_OK;
    }
    OutImageInfo.lBps = 1;
    OutImageInfo.lSpp = 1;
    if (block.pGrayToBinaryInfo->Method == kBinaryAdaptiveMethod) {
        // The adaptive binarisation finds its own levels on the untoned page.
        block.pEmphasisEdgeInfo = nullptr;
        if (block.pGRCInfo != nullptr && block.pGRCInfo->ucBrightness != 0 && block.pGRCInfo->ucContrast != 0)
            block.pGRCInfo = nullptr;
    }
    return RTN_OK;
}

tagRESOLUTIONCONVERTINFO CSpecialFilter::resolutionInfo(const CImg& image, tagSIDE side) const {
    tagRESOLUTIONCONVERTINFO info{sizeof info,
                                  m_lCutWidth,
                                  OutImageInfo.lHeight,
                                  OutImageInfo.lXResolution,
                                  OutImageInfo.lYResolution,
                                  image.getWidth(),
                                  InImageInfo.lHeight,
                                  InImageInfo.lXResolution,
                                  InImageInfo.lYResolution};
    const tagDETECT4POINTSINFO* points = special(side).pDetect4PointsInfo;
    if (side == SIDE_BACK ? BackNormalFilterInfo.bAutoSize : FrontNormalFilterInfo.bAutoSize) {
        info.lSrcWidth = widthWithoutDummies(InImageInfo.lWidth, InImageInfo.lXResolution);
        // Cropping follows, so the whole scanned length including the sensor lag is converted.
        const std::int32_t margins = points == nullptr ? 0 : points->lTopMargin + points->lBottomMargin;
        info.lSrcHeight = InImageInfo.lHeight + margins + getOffset(InImageInfo.lYResolution);
        info.lDstHeight = static_cast<std::int32_t>(static_cast<std::uint32_t>(info.lSrcHeight) *
                                                    static_cast<std::uint32_t>(OutImageInfo.lYResolution) /
                                                    static_cast<std::uint32_t>(InImageInfo.lYResolution));
    }
    return info;
}

std::int32_t CSpecialFilter::execResolutionConvertNormal(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    if (sideInfo(side).bReduceMoire || isEmptyPage(image, state))
        return RTN_OK;
    tagRESOLUTIONCONVERTINFO info = resolutionInfo(image, side);
    return m_ResolutionConvertNormal[side].runStep<CResolutionConvertNormal>(BANDMODE_BAND, image, &info,
                                                                             state);
}

std::int32_t CSpecialFilter::execResolutionConvertWithReduceMoire(CImg& image, tagSIDE side,
                                                                  tagIMAGESTATE state) {
    if (!sideInfo(side).bReduceMoire || isEmptyPage(image, state))
        return RTN_OK;
    tagRESOLUTIONCONVERTINFO info = resolutionInfo(image, side);
    return m_ResolutionConvertWithReduceMoire[side].runStep<CResolutionConvertWithReduceMoire>(
        BANDMODE_HOLD_ALT, image, &info, state);
}

std::int32_t CSpecialFilter::execSkewCorrection(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    const tagNORMALFILTERINFO& block = sideInfo(side);
    if (!block.bSkewCorrection)
        return RTN_OK;
    const tagDETECT4POINTSINFO* points = special(side).pDetect4PointsInfo;
    if (points == nullptr)
        return RTN_OPTIONS;
    tagDESKEWINFO info{};
    if (isFinal(state)) {
        const std::int32_t inX = InImageInfo.lXResolution;
        const std::int32_t inY = InImageInfo.lYResolution;
        info.LeftTop = points->LeftTop;
        info.RightTop = points->RightTop;
        info.LeftBottom = points->LeftBottom;
        info.RightBottom = points->RightBottom;
        info.vectorSlant = points->vectorSlant;
        info.lWidth = OutImageInfo.lWidth -
                      (points->lLeftMargin + points->lRightMargin) * OutImageInfo.lXResolution / inX;
        info.lHeight = OutImageInfo.lHeight -
                       (points->lTopMargin + points->lBottomMargin) * OutImageInfo.lYResolution / inY;
        info.lXResolution = inX;
        info.lYResolution = inY;
        info.bAutoSize = block.bAutoSize ? 1 : 0;
        info.bRightAlign = bPutImageOnSide && side == SIDE_FRONT ? 1 : 0;
    }
    Controller& controller = m_SkewCorrection[side];
    try {
        if (controller.getIP() == nullptr)
            controller.createIP<CSkewCorrection>(BANDMODE_PAGE).setBackground(kDeskewBackground);
    } catch (const std::bad_alloc&) {
        return RTN_MEMORY;
    }
    return controller.execIP(image, &info, state);
}

std::int32_t CSpecialFilter::execAutoSize(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    const tagNORMALFILTERINFO& block = sideInfo(side);
    if (!block.bAutoSize)
        return RTN_OK;
    const tagDETECT4POINTSINFO* points = special(side).pDetect4PointsInfo;
    if (points == nullptr)
        return RTN_OPTIONS;
    if (block.bSkewCorrection)
        return RTN_OK; // the deskew has cropped already
    const tagRECT32& doc = points->rectDoc;
    tagAUTOSIZEINFO info{sizeof info,
                         doc.left,
                         doc.top,
                         doc.right - doc.left,
                         doc.bottom - doc.top,
                         InImageInfo.lXResolution,
                         InImageInfo.lYResolution};
    return m_AutoSize[side].runStep<CAutoSize>(BANDMODE_PAGE, image, &info, state);
}

} // namespace Ovk::Pixen::QS880
