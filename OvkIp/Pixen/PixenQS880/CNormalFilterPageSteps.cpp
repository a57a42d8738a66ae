// The chain's analysis and geometry steps: binarisation, edge emphasis, text direction, rotation, the
// blank-page measure (on the page's grey form) and the side-by-side join of a duplex page.
#include "CNormalFilter.h"

#include "CEmphasisEdge.h"
#include "CGrayToBinary.h"
#include "CIsBlankPage.h"
#include "CPutImageOnSide.h"
#include "CRotate90x.h"
#include "CTextImageDirection.h"
#include "OvkLogger.h"
#include "ToneFilters.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace Ovk::Pixen {

namespace {

constexpr std::int32_t AdaptiveMethod = 8;
constexpr std::int32_t MidGrey = 128;
constexpr std::uint32_t BlankOptions = 257; // edge measure with the page frame excluded

// Corrections of the content count per resolution, tuned for this chain's grey levels.
constexpr tagBLANKRESOLUTION ChainBlankTable[BlankResolutionCount] = {
    {100, -0.16}, {150, 0.36},  {200, -0.10}, {240, -0.10}, {300, -0.17},
    {400, -0.27}, {600, -0.44}, {0, 0},       {0, 0},       {0, 0}};

bool isWholeOrLast(tagIMAGESTATE state) noexcept {
    return state == IMAGESTATE_WHOLE || state == IMAGESTATE_LAST;
}

// Content threshold of the user's blank-page slider (0..100).
std::int32_t blankLevel(std::int32_t slider) noexcept {
    const double level = slider < 50 ? slider * 25.0 : (slider - 50) * 727.46 + 1250.0;
    return static_cast<std::int32_t>(std::trunc(level));
}

} // namespace

std::int32_t CNormalFilter::coreGrayToBinary(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                             tagGRAYTOBINARYINFO* info) {
    Controller& controller = m_GrayToBinary[index];
    const std::int32_t mode = info->Method == AdaptiveMethod ? BANDMODE_PAGE : BANDMODE_BAND;
    try {
        controller.createIP<CGrayToBinary>(mode);
    } catch (const std::bad_alloc&) {
        return RTN_MEMORY;
    }
    controller.setMode(mode);
    return controller.execIP(image, info, state);
}

std::int32_t CNormalFilter::coreEmphasisEdge(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                             tagEMPHASISEDGEINFO* info) {
    return m_EmphasisEdge[index].runStep<CEmphasisEdge>(BANDMODE_HOLD_ALT, image, info, state);
}

std::int32_t CNormalFilter::coreTextImageDirection(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                                   tagTEXTIMAGEDIRECTIONINFO* info) {
    Controller& controller = m_TextImageDirection[index];
    const std::int32_t result = controller.runStep<CTextImageDirection>(BANDMODE_PAGE, image, info, state);
    if (result != RTN_OK)
        return result;
    if (isWholeOrLast(state)) {
        const auto* filter = static_cast<const CTextImageDirection*>(controller.getIP());
        info->nDeg = filter->getDegree();
        info->dRad = filter->getRadian();
    } else {
        info->nDeg = 0;
        info->dRad = 0.0;
    }
    return RTN_OK;
}

std::int32_t CNormalFilter::coreRotate90x(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                          tagROTATE90XINFO* info) {
    return m_Rotate90x[index].runStep<CRotate90x>(BANDMODE_PAGE, image, info, state);
}

std::int32_t CNormalFilter::corePutImageOnSide(CImg& image, tagIMAGESTATE state, void* info) {
    return m_PutImageOnSide.runStep<CPutImageOnSide>(BANDMODE_BAND, image, info, state);
}

std::int32_t CNormalFilter::coreIsBlankPage(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                            tagBLANKPAGEINFO* info, std::int32_t slice) {
    Controller& controller = m_IsBlankPage[index];
    try {
        controller.createIP<CIsBlankPage>(BANDMODE_PAGE, BlankOptions, ChainBlankTable, false);
    } catch (const std::bad_alloc&) {
        return RTN_MEMORY;
    }
    if (info == nullptr || info->ulSize != sizeof(tagBLANKPAGEINFO))
        return RTN_PAR;
    tagBLANKPAGEFILTERINFO filterInfo{sizeof(tagBLANKPAGEFILTERINFO), 0, slice,
                                      blankLevel(info->lBlankSkipSlice), 0};
    info->bBlankPage = false;
    const std::int32_t result = controller.execIP(image, &filterInfo, state);
    if (result == RTN_OK && isWholeOrLast(state))
        info->bBlankPage = static_cast<const CIsBlankPage*>(controller.getIP())->isBlank();
    return result;
}

// What the blank measure reads: the page itself where it only needs reading, else a form of its own.
struct CNormalFilter::BlankForm {
    CImg own;
    bool readsPage = false;
    std::int32_t slice = MidGrey; // grey level that separates content in that form
};

std::int32_t CNormalFilter::execIsBlankPage(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    const tagNORMALFILTERINFO& block = sideInfo(side);
    if (block.pBlankPageInfo == nullptr)
        return RTN_OK;
    // The page itself goes on unchanged.
    BlankForm form;
    const std::int32_t prepared = blankLevelFromOutput(image, side, state, form);
    if (prepared != RTN_OK)
        return prepared;
    return coreIsBlankPage(form.readsPage ? image : form.own, side, state, block.pBlankPageInfo, form.slice);
}

// Brings the page to the form the output will have and gives the grey level that separates content there.
// Binarisation works in place, so it gets a copy; colour becomes grey straight from the page; a grey page
// is read as it is unless its bands must be gathered, which takes them over.
std::int32_t CNormalFilter::blankLevelFromOutput(const CImg& image, tagSIDE side, tagIMAGESTATE state,
                                                 BlankForm& form) {
    const tagNORMALFILTERINFO& block = sideInfo(side);
    if (block.pGrayToBinaryInfo != nullptr) {
        form.own = image;
        if (form.own.isNull() != image.isNull())
            return RTN_MEMORY;
        tagGRAYTOBINARYINFO fixed = *block.pGrayToBinaryInfo;
        fixed.Method = 0;
        std::int32_t result = coreGrayToBinary(form.own, side + CopyIndex, state, &fixed);
        if (result == RTN_OK && block.bInverse)
            result = coreInverse(form.own, side + CopyIndex, state);
        return result;
    }
    // A grey or colour output takes its level from the tone curve; without one there is none to take.
    if (block.pGRCInfo == nullptr)
        return RTN_PAR;
    const std::int32_t brightness = block.pGRCInfo->ucBrightness;
    const std::int32_t level = CGRC::contrastLevel(block.pGRCInfo->ucContrast);
    const double input = CGRC::calcBinGammaInv(MidGrey, brightness, level);
    if (image.getSpp() == 3) {
        form.slice = CGRC::calcColorGamma(input, brightness, level);
        return blankGrey(image, form.own, state);
    }
    form.slice = CGRC::calcGrayGamma(input, brightness, level);
    const bool gathers = state == IMAGESTATE_FIRST || state == IMAGESTATE_MIDDLE ||
                         (state == IMAGESTATE_LAST && !m_IsBlankPage[side].getImgList().empty());
    form.readsPage = !gathers;
    if (gathers) {
        form.own = image;
        if (form.own.isNull() != image.isNull())
            return RTN_MEMORY;
    }
    return RTN_OK;
}

// The colour-to-grey step of the side on the page's grey form, traced as the step is.
std::int32_t CNormalFilter::blankGrey(const CImg& image, CImg& grey, tagIMAGESTATE state) {
    std::int32_t result = RTN_SEQUENCE;
    if (state >= IMAGESTATE_WHOLE && state <= IMAGESTATE_LAST)
        result = CColorToGray::convert(image, grey);
    OvkLogger::writeLog("%30s.IP[%d] return %d", CColorToGray().getName(), static_cast<int>(state),
                        static_cast<int>(result));
    return result;
}

std::int32_t CNormalFilter::execPutImageOnSide(CImg& front, CImg& back, tagIMAGESTATE state) {
    if (!bPutImageOnSide)
        return RTN_OK;
    const bool frontHasLines = !front.isNull();
    CImg& image = frontHasLines ? front : back;
    CImg& partner = frontHasLines ? back : front;
    constexpr std::int32_t ByteAligned = 1, WhiteFill = 0;
    tagPUTIMAGEONSIDEINFO info{sizeof(tagPUTIMAGEONSIDEINFO), ByteAligned, WhiteFill, &partner,
                               frontHasLines ? 1 : 0};
    const std::int32_t result = corePutImageOnSide(image, state, &info);
    if (result == RTN_OK)
        partner.deleteImg();
    return result;
}

std::int32_t CNormalFilter::PutImageOnSide(CImg& out, CImg& front, CImg& back) {
    tagPUTIMAGEONSIDEINFO info{sizeof(tagPUTIMAGEONSIDEINFO), 1, 0, &back, 1};
    const std::int32_t result = corePutImageOnSide(front, IMAGESTATE_WHOLE, &info);
    if (result == RTN_OK)
        out.attachImg(front);
    return result;
}

std::int32_t CNormalFilter::setOcrPath(const char* path) {
    return CTextImageDirection::setOcrPath(path);
}

std::int32_t CNormalFilter::checkTextDirection() {
    return CTextImageDirection::checkLibrary();
}

} // namespace Ovk::Pixen
