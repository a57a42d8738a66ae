// The chain's steps: each decides from the side's options whether it runs, then its step routine creates
// the filter on first use and hands the image to the band controller.
#include "CNormalFilter.h"

#include "ToneFilters.h"

#include <new>

namespace Ovk::Pixen {

namespace {

constexpr std::int32_t BinaryErrorDiffusionMethod = 1;

} // namespace

std::int32_t CNormalFilter::execIP(Controller* controller, CImg& image, void* info, tagIMAGESTATE state) {
    return controller->execIP(image, info, state);
}

std::int32_t CNormalFilter::execDetectColorOrGray(CImg&, tagSIDE, tagIMAGESTATE) {
    return RTN_NOT_APPLICABLE;
}

std::int32_t CNormalFilter::execResolutionConvertNormal(CImg&, tagSIDE side, tagIMAGESTATE) {
    return sideInfo(side).bReduceMoire ? RTN_OK : RTN_NOT_APPLICABLE;
}

std::int32_t CNormalFilter::execResolutionConvertWithReduceMoire(CImg&, tagSIDE side, tagIMAGESTATE) {
    return sideInfo(side).bReduceMoire ? RTN_NOT_APPLICABLE : RTN_OK;
}

std::int32_t CNormalFilter::execSkewCorrection(CImg&, tagSIDE, tagIMAGESTATE) {
    return RTN_NOT_APPLICABLE;
}

std::int32_t CNormalFilter::execAutoSize(CImg&, tagSIDE, tagIMAGESTATE) {
    return RTN_NOT_APPLICABLE;
}

std::int32_t CNormalFilter::execEraseBackPage(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    tagERASEBACKPAGEINFO* info = sideInfo(side).pEraseBackPageInfo;
    return info == nullptr ? RTN_OK : coreEraseBackPage(image, side, state, info);
}

std::int32_t CNormalFilter::execDropOutColor(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    tagDROPOUTCOLORINFO* info = sideInfo(side).pDropOutColorInfo;
    return info == nullptr ? RTN_OK : coreDropOutColor(image, side, state, info);
}

std::int32_t CNormalFilter::execEmphasisColor(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    tagEMPHASISCOLORINFO* info = sideInfo(side).pEmphasisColorInfo;
    return info == nullptr ? RTN_OK : coreEmphasisColor(image, side, state, info);
}

std::int32_t CNormalFilter::execColorToGray(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    if (image.getSpp() != 3 || OutImageInfo.lSpp != 1)
        return RTN_OK;
    return coreColorToGray(image, side, state);
}

std::int32_t CNormalFilter::execGRC(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    const tagNORMALFILTERINFO& block = sideInfo(side);
    if (block.pGRCInfo == nullptr)
        return RTN_OK;
    if (OutImageInfo.lSpp == 3)
        return coreGRC(image, side, state, block.pGRCInfo, COLORMODE_COLOR, false);
    if (OutImageInfo.lBps == 8)
        return coreGRC(image, side, state, block.pGRCInfo, COLORMODE_GRAY, false);
    if (block.pGrayToBinaryInfo == nullptr)
        return RTN_PAR; // a binary output needs its method to choose the curve
    const bool diffusion = block.pGrayToBinaryInfo->Method == BinaryErrorDiffusionMethod;
    return coreGRC(image, side, state, block.pGRCInfo, COLORMODE_BINARY, diffusion);
}

std::int32_t CNormalFilter::execEmphasisEdge(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    tagEMPHASISEDGEINFO* info = sideInfo(side).pEmphasisEdgeInfo;
    return info == nullptr ? RTN_OK : coreEmphasisEdge(image, side, state, info);
}

std::int32_t CNormalFilter::execTextImageDirection(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    tagTEXTIMAGEDIRECTIONINFO* info = sideInfo(side).pTextImageDirectionInfo;
    return info == nullptr ? RTN_OK : coreTextImageDirection(image, side, state, info);
}

std::int32_t CNormalFilter::execRotate90x(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    if (bPutImageOnSide)
        return RTN_OK; // the joined image is turned by the duplex run
    const tagNORMALFILTERINFO& block = sideInfo(side);
    std::int32_t angle = 0;
    if (block.pTextImageDirectionInfo != nullptr)
        angle = 360 - block.pTextImageDirectionInfo->nDeg;
    if (block.pRotate90xInfo == nullptr) {
        if (angle == 0)
            return RTN_OK;
    } else if (side == SIDE_FRONT) {
        angle += block.pRotate90xInfo->lDegree;
    } else {
        angle = angle - block.pRotate90xInfo->lDegree + 360; // the back face turns the other way
    }
    tagROTATE90XINFO rotate{sizeof(tagROTATE90XINFO), angle};
    return coreRotate90x(image, side, state, &rotate);
}

std::int32_t CNormalFilter::execGrayToBinary(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    tagGRAYTOBINARYINFO* info = sideInfo(side).pGrayToBinaryInfo;
    return info == nullptr ? RTN_OK : coreGrayToBinary(image, side, state, info);
}

std::int32_t CNormalFilter::execInverse(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    return sideInfo(side).bInverse ? coreInverse(image, side, state) : RTN_OK;
}

std::int32_t CNormalFilter::coreDropOutColor(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                             tagDROPOUTCOLORINFO* info) {
    return m_DropOutColor[index].runStep<CDropOutColor>(BANDMODE_BAND, image, info, state);
}

std::int32_t CNormalFilter::coreEmphasisColor(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                              tagEMPHASISCOLORINFO* info) {
    return m_EmphasisColor[index].runStep<CEmphasisColor>(BANDMODE_BAND, image, info, state);
}

std::int32_t CNormalFilter::coreEraseBackPage(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                              tagERASEBACKPAGEINFO* info) {
    return m_EraseBackPage[index].runStep<CEraseBackPage>(BANDMODE_BAND, image, info, state);
}

std::int32_t CNormalFilter::coreColorToGray(CImg& image, std::int32_t index, tagIMAGESTATE state) {
    return m_ColorToGray[index].runStep<CColorToGray>(BANDMODE_BAND, image, nullptr, state);
}

std::int32_t CNormalFilter::coreGRC(CImg& image, std::int32_t index, tagIMAGESTATE state, tagGRCINFO* info,
                                    ColorMode mode, bool errorDiffusion) {
    Controller& controller = m_GRC[index];
    try {
        controller.createIP<CGRC>(BANDMODE_BAND).setMode(mode, errorDiffusion);
    } catch (const std::bad_alloc&) {
        return RTN_MEMORY;
    }
    return controller.execIP(image, info, state);
}

std::int32_t CNormalFilter::coreInverse(CImg& image, std::int32_t index, tagIMAGESTATE state) {
    return m_Inverse[index].runStep<CInverse>(BANDMODE_BAND, image, nullptr, state);
}

std::int32_t CNormalFilter::DropOutColor(CImg& image, tagDROPOUTCOLORINFO* info) {
    return coreDropOutColor(image, SIDE_FRONT, IMAGESTATE_WHOLE, info);
}

std::int32_t CNormalFilter::EmphasisColor(CImg& image, tagEMPHASISCOLORINFO* info) {
    return coreEmphasisColor(image, SIDE_FRONT, IMAGESTATE_WHOLE, info);
}

std::int32_t CNormalFilter::EraseBackPage(CImg& image, tagERASEBACKPAGEINFO* info) {
    return coreEraseBackPage(image, SIDE_FRONT, IMAGESTATE_WHOLE, info);
}

std::int32_t CNormalFilter::ColorToGray(CImg& image) {
    return coreColorToGray(image, SIDE_FRONT, IMAGESTATE_WHOLE);
}

std::int32_t CNormalFilter::GRC(CImg& image, tagGRCINFO* info, ColorMode mode, bool errorDiffusion) {
    return coreGRC(image, SIDE_FRONT, IMAGESTATE_WHOLE, info, mode, errorDiffusion);
}

std::int32_t CNormalFilter::EmphasisEdge(CImg& image, tagEMPHASISEDGEINFO* info) {
    return coreEmphasisEdge(image, SIDE_FRONT, IMAGESTATE_WHOLE, info);
}

std::int32_t CNormalFilter::GrayToBinary(CImg& image, tagGRAYTOBINARYINFO* info) {
    return coreGrayToBinary(image, SIDE_FRONT, IMAGESTATE_WHOLE, info);
}

std::int32_t CNormalFilter::Inverse(CImg& image) {
    return coreInverse(image, SIDE_FRONT, IMAGESTATE_WHOLE);
}

std::int32_t CNormalFilter::TextImageDirection(CImg& image, tagTEXTIMAGEDIRECTIONINFO* info) {
    return coreTextImageDirection(image, SIDE_FRONT, IMAGESTATE_WHOLE, info);
}

std::int32_t CNormalFilter::Rotate90x(CImg& image, tagROTATE90XINFO* info) {
    return coreRotate90x(image, SIDE_FRONT, IMAGESTATE_WHOLE, info);
}

std::int32_t CNormalFilter::IsBlankPage(CImg& image, tagBLANKPAGEINFO* info) {
    constexpr std::int32_t MidGrey = 128;
    return coreIsBlankPage(image, SIDE_FRONT, IMAGESTATE_WHOLE, info, MidGrey);
}

} // namespace Ovk::Pixen
