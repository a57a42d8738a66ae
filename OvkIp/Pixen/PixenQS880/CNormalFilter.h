// The generic post-processing chain: sixteen steps run in a fixed order on one side, band by band or on a
// whole page, each switched on by the side's option block. One band controller per step and side keeps each
// filter (and the bands a whole-page filter gathers) alive from page to page.
#pragma once

#include "CGRC.h"
#include "CIPController.h"
#include "FilterBases.h"
#include "NormalFilterRecords.h"

#include <cstdint>

namespace Ovk::Pixen {

class CNormalFilter : public CInfoEachBandFilter {
public:
    using Controller = CIPController<CIPBase>;

    CNormalFilter();
    ~CNormalFilter() override;
    CNormalFilter(const CNormalFilter&) = delete;
    CNormalFilter& operator=(const CNormalFilter&) = delete;

    // Takes a tagNORMALFILTERSIMPLEXINFO or tagNORMALFILTERDUPLEXINFO (image unused). RTN_PAR for a null
    // record (the stored request stays) or a wrong size word (the stored request is cleared); RTN_OPTIONS
    // for inconsistent options (the request stays stored).
    std::int32_t setInfo(CImg& image, void* info) override;

    // RTN_OK or RTN_OPTIONS.
    virtual std::int32_t cehckInfoSEQError(tagSIDE side);

    // One-shot operations: one step on a whole one-sided image, through the front controllers. They share
    // those controllers with the chain, so they must not run between the bands of a page.
    virtual std::int32_t DropOutColor(CImg& image, tagDROPOUTCOLORINFO* info);
    virtual std::int32_t EmphasisColor(CImg& image, tagEMPHASISCOLORINFO* info);
    virtual std::int32_t EraseBackPage(CImg& image, tagERASEBACKPAGEINFO* info);
    virtual std::int32_t ColorToGray(CImg& image);
    virtual std::int32_t GRC(CImg& image, tagGRCINFO* info, ColorMode mode, bool errorDiffusion);
    virtual std::int32_t EmphasisEdge(CImg& image, tagEMPHASISEDGEINFO* info);
    virtual std::int32_t GrayToBinary(CImg& image, tagGRAYTOBINARYINFO* info);
    virtual std::int32_t Inverse(CImg& image);
    // On RTN_OK out holds the joined image and front is empty; back is not touched.
    virtual std::int32_t PutImageOnSide(CImg& out, CImg& front, CImg& back);
    virtual std::int32_t TextImageDirection(CImg& image, tagTEXTIMAGEDIRECTIONINFO* info);
    virtual std::int32_t Rotate90x(CImg& image, tagROTATE90XINFO* info);
    // Measures the image itself with grey level 128.
    virtual std::int32_t IsBlankPage(CImg& image, tagBLANKPAGEINFO* info);

    // The chain on one side, or on both sides of a duplex page; images are changed in place. The first
    // non-zero step result ends the chain and is returned.
    virtual std::int32_t execNormalFilter(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execNormalFilter(CImg& front, CImg& back, tagIMAGESTATE state);
    // Frees what every step holds for a page that will get no more bands; the stored request stays.
    virtual void abandonPage() noexcept;

    // The model class's steps: at this level they report that they are not available (RTN_NOT_APPLICABLE),
    // except a resolution conversion that the side's moire switch hands to the other one (RTN_OK).
    virtual std::int32_t execDetectColorOrGray(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execResolutionConvertNormal(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execResolutionConvertWithReduceMoire(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execDropOutColor(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execEmphasisColor(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execEraseBackPage(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execColorToGray(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execGRC(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execEmphasisEdge(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execSkewCorrection(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execAutoSize(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execGrayToBinary(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execInverse(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execPutImageOnSide(CImg& front, CImg& back, tagIMAGESTATE state);
    virtual std::int32_t execTextImageDirection(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execRotate90x(CImg& image, tagSIDE side, tagIMAGESTATE state);
    virtual std::int32_t execIsBlankPage(CImg& image, tagSIDE side, tagIMAGESTATE state);

    // Usable width (pixels) of a raw line of the given width at the given resolution.
    virtual std::int32_t getMaxWidthWithoutDummyPixels(std::int32_t width, std::int32_t resolution) = 0;

    // Folder of the text-direction language data; the result of the text-direction framework.
    static std::int32_t setOcrPath(const char* path);
    // 0 when text direction can run (its model is found), else 2.
    static std::int32_t checkTextDirection();

    // The chain's band driver: one call of the controller's filter for image in state state.
    static std::int32_t execIP(Controller* controller, CImg& image, void* info, tagIMAGESTATE state);

protected:
    // Index of the blank-page measurement's own binarisation and inversion controllers.
    static constexpr std::int32_t CopyIndex = 2;

    tagNORMALFILTERINFO& sideInfo(tagSIDE side) noexcept {
        return side == SIDE_BACK ? BackNormalFilterInfo : FrontNormalFilterInfo;
    }
    void clearRequest() noexcept;

    std::int32_t coreDropOutColor(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                  tagDROPOUTCOLORINFO* info);
    std::int32_t coreEmphasisColor(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                   tagEMPHASISCOLORINFO* info);
    std::int32_t coreEraseBackPage(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                   tagERASEBACKPAGEINFO* info);
    std::int32_t coreColorToGray(CImg& image, std::int32_t index, tagIMAGESTATE state);
    std::int32_t coreGRC(CImg& image, std::int32_t index, tagIMAGESTATE state, tagGRCINFO* info,
                         ColorMode mode, bool errorDiffusion);
    std::int32_t coreEmphasisEdge(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                  tagEMPHASISEDGEINFO* info);
    std::int32_t coreGrayToBinary(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                  tagGRAYTOBINARYINFO* info);
    std::int32_t coreInverse(CImg& image, std::int32_t index, tagIMAGESTATE state);
    std::int32_t corePutImageOnSide(CImg& image, tagIMAGESTATE state, void* info);
    std::int32_t coreTextImageDirection(CImg& image, std::int32_t index, tagIMAGESTATE state,
                                        tagTEXTIMAGEDIRECTIONINFO* info);
    std::int32_t coreRotate90x(CImg& image, std::int32_t index, tagIMAGESTATE state, tagROTATE90XINFO* info);
    std::int32_t coreIsBlankPage(CImg& image, std::int32_t index, tagIMAGESTATE state, tagBLANKPAGEINFO* info,
                                 std::int32_t slice);

    // The stored request: a copy of the last record that setInfo accepted (all zero when none).
    std::uint32_t ulSize = 0;
    tagIMAGEINFO InImageInfo{};
    tagIMAGEINFO OutImageInfo{};
    tagNORMALFILTERINFO FrontNormalFilterInfo{};
    tagNORMALFILTERINFO BackNormalFilterInfo{};
    bool bPutImageOnSide = false;

    Controller m_DetectColorOrGray[2];
    Controller m_ResolutionConvertNormal[2];
    Controller m_ResolutionConvertWithReduceMoire[2];
    Controller m_DropOutColor[2];
    Controller m_EmphasisColor[2];
    Controller m_EraseBackPage[2];
    Controller m_ColorToGray[2];
    Controller m_GRC[2];
    Controller m_EmphasisEdge[2];
    Controller m_AutoSize[2];
    Controller m_SkewCorrection[2];
    Controller m_GrayToBinary[4]; // front, back, front copy, back copy
    Controller m_Inverse[4];
    Controller m_PutImageOnSide;
    Controller m_TextImageDirection[2];
    Controller m_Rotate90x[2];
    Controller m_IsBlankPage[2];

private:
    std::int32_t execOneSide(CImg& image, tagSIDE side, tagIMAGESTATE state);
    std::int32_t execSideBySide(CImg& front, CImg& back, tagIMAGESTATE state);
    struct BlankForm;
    std::int32_t blankLevelFromOutput(const CImg& image, tagSIDE side, tagIMAGESTATE state, BlankForm& form);
    std::int32_t blankGrey(const CImg& image, CImg& grey, tagIMAGESTATE state);
};

} // namespace Ovk::Pixen
