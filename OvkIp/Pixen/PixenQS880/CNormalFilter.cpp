// The chain itself: taking and checking a request, the sixteen steps of one side in order, and the duplex
// run that can join both sides before the last rotation. Step routines live in CNormalFilterSteps.cpp.
#include "CNormalFilter.h"

#include "OvkLogger.h"
#include "RecordSize.h"

#include <cstring>

namespace Ovk::Pixen {

namespace {

constexpr std::int32_t BinaryAdaptiveMethod = 8; // the whole-page binarisation

bool hasFullTone(const tagGRCINFO* grc) noexcept {
    return grc != nullptr && grc->ucBrightness != 0 && grc->ucContrast != 0;
}

} // namespace

CNormalFilter::CNormalFilter() {
    OvkLogger::createLogger(OvkLogger::DefaultPath);
}

CNormalFilter::~CNormalFilter() = default;

void CNormalFilter::clearRequest() noexcept {
    ulSize = 0;
    InImageInfo = {};
    OutImageInfo = {};
    FrontNormalFilterInfo = {};
    BackNormalFilterInfo = {};
    bPutImageOnSide = false;
}

std::int32_t CNormalFilter::setInfo(CImg&, void* info) {
    if (info == nullptr)
        return RTN_PAR;
    clearRequest();
    if (hasRecordSize<tagNORMALFILTERSIMPLEXINFO>(info)) {
        const auto* request = static_cast<const tagNORMALFILTERSIMPLEXINFO*>(info);
        if (request->NormalFilterInfo.ulSize != sizeof(tagNORMALFILTERINFO))
            return RTN_PAR;
        ulSize = request->ulSize;
        InImageInfo = request->InImageInfo;
        OutImageInfo = request->OutImageInfo;
        FrontNormalFilterInfo = request->NormalFilterInfo;
        return cehckInfoSEQError(SIDE_FRONT);
    }
    if (!hasRecordSize<tagNORMALFILTERDUPLEXINFO>(info))
        return RTN_PAR;
    const auto* request = static_cast<const tagNORMALFILTERDUPLEXINFO*>(info);
    if (request->FrontNormalFilterInfo.ulSize != sizeof(tagNORMALFILTERINFO) ||
        request->BackNormalFilterInfo.ulSize != sizeof(tagNORMALFILTERINFO))
        return RTN_PAR;
    // A joined page cannot carry one verdict per side; refusing here beats failing after every band.
    if (request->bPutImageOnSide && (request->FrontNormalFilterInfo.pBlankPageInfo != nullptr ||
                                     request->BackNormalFilterInfo.pBlankPageInfo != nullptr))
        return RTN_PAR;
    ulSize = request->ulSize;
    InImageInfo = request->InImageInfo;
    OutImageInfo = request->OutImageInfo;
    FrontNormalFilterInfo = request->FrontNormalFilterInfo;
    BackNormalFilterInfo = request->BackNormalFilterInfo;
    bPutImageOnSide = request->bPutImageOnSide;
    const std::int32_t front = cehckInfoSEQError(SIDE_FRONT);
    return front != RTN_OK ? front : cehckInfoSEQError(SIDE_BACK);
}

std::int32_t CNormalFilter::cehckInfoSEQError(tagSIDE side) {
    const tagNORMALFILTERINFO& block = sideInfo(side);
    const tagGRAYTOBINARYINFO* binary = block.pGrayToBinaryInfo;
    if (binary != nullptr && binary->Method == BinaryAdaptiveMethod) {
        // The adaptive method finds its own levels on the unerased, untoned page.
        if (block.pEraseBackPageInfo != nullptr)
            return RTN_OPTIONS;
        if (block.pDetectColorOrGrayInfo == nullptr && hasFullTone(block.pGRCInfo))
            return RTN_OPTIONS;
    }
    // Colour drop-out and emphasis are only offered together with show-through removal.
    const bool colourRecord = block.pDropOutColorInfo != nullptr || block.pEmphasisColorInfo != nullptr;
    if (colourRecord && block.pEraseBackPageInfo == nullptr)
        return RTN_OPTIONS;
    return RTN_OK;
}

void CNormalFilter::abandonPage() noexcept {
    abandonEach(m_DetectColorOrGray);
    abandonEach(m_ResolutionConvertNormal);
    abandonEach(m_ResolutionConvertWithReduceMoire);
    abandonEach(m_DropOutColor);
    abandonEach(m_EmphasisColor);
    abandonEach(m_EraseBackPage);
    abandonEach(m_ColorToGray);
    abandonEach(m_GRC);
    abandonEach(m_EmphasisEdge);
    abandonEach(m_AutoSize);
    abandonEach(m_SkewCorrection);
    abandonEach(m_GrayToBinary);
    abandonEach(m_Inverse);
    m_PutImageOnSide.abandonPage();
    abandonEach(m_TextImageDirection);
    abandonEach(m_Rotate90x);
    abandonEach(m_IsBlankPage);
}

std::int32_t CNormalFilter::execNormalFilter(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    return execOneSide(image, side, state);
}

std::int32_t CNormalFilter::execOneSide(CImg& image, tagSIDE side, tagIMAGESTATE state) {
    using Step = std::int32_t (CNormalFilter::*)(CImg&, tagSIDE, tagIMAGESTATE);
    static constexpr Step Steps[] = {
        &CNormalFilter::execDetectColorOrGray,
        &CNormalFilter::execResolutionConvertNormal,
        &CNormalFilter::execResolutionConvertWithReduceMoire,
        &CNormalFilter::execEraseBackPage,
        &CNormalFilter::execDropOutColor,
        &CNormalFilter::execEmphasisColor,
        &CNormalFilter::execColorToGray,
        &CNormalFilter::execGRC,
        &CNormalFilter::execEmphasisEdge,
        &CNormalFilter::execSkewCorrection,
        &CNormalFilter::execAutoSize,
        &CNormalFilter::execTextImageDirection,
        &CNormalFilter::execRotate90x,
        &CNormalFilter::execIsBlankPage,
        &CNormalFilter::execGrayToBinary,
        &CNormalFilter::execInverse,
    };
    for (const Step step : Steps) {
        const std::int32_t result = (this->*step)(image, side, state);
        if (result != RTN_OK)
            return result;
    }
    return RTN_OK;
}

std::int32_t CNormalFilter::execNormalFilter(CImg& front, CImg& back, tagIMAGESTATE state) {
    if (bPutImageOnSide)
        return execSideBySide(front, back, state);
    const std::int32_t result = execOneSide(front, SIDE_FRONT, state);
    return result != RTN_OK ? result : execOneSide(back, SIDE_BACK, state);
}

std::int32_t CNormalFilter::execSideBySide(CImg& front, CImg& back, tagIMAGESTATE state) {
    // The joined image is turned once, by the front's options; the sides are not turned on their own.
    struct Restore {
        CNormalFilter& chain;
        tagROTATE90XINFO* frontRotate;
        tagROTATE90XINFO* backRotate;
        tagTEXTIMAGEDIRECTIONINFO* backText;
        ~Restore() {
            chain.FrontNormalFilterInfo.pRotate90xInfo = frontRotate;
            chain.BackNormalFilterInfo.pRotate90xInfo = backRotate;
            chain.BackNormalFilterInfo.pTextImageDirectionInfo = backText;
            chain.bPutImageOnSide = true;
        }
    } restore{*this, FrontNormalFilterInfo.pRotate90xInfo, BackNormalFilterInfo.pRotate90xInfo,
              BackNormalFilterInfo.pTextImageDirectionInfo};
    FrontNormalFilterInfo.pRotate90xInfo = nullptr;
    BackNormalFilterInfo.pRotate90xInfo = nullptr;
    BackNormalFilterInfo.pTextImageDirectionInfo = nullptr;

    std::int32_t result = execOneSide(front, SIDE_FRONT, state);
    if (result == RTN_OK)
        result = execOneSide(back, SIDE_BACK, state);
    if (result == RTN_OK)
        result = execPutImageOnSide(front, back, state);
    if (result != RTN_OK)
        return result;
    FrontNormalFilterInfo.pRotate90xInfo = restore.frontRotate;
    bPutImageOnSide = false;
    return execRotate90x(front, SIDE_FRONT, state);
}

} // namespace Ovk::Pixen
