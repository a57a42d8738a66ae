// The page pipeline of this scanner model: raw bands in (both sides side by side, mirrored, line-order
// samples), finished pages out. It collects and orders the pixel arrays, finds the corners, removes the
// side offset, shades, corrects colour gaps, cuts the document's columns and converts to sRGB, then runs
// the generic chain. It also carries the lamp calibration and builds shading data from its results.
#pragma once

#include "CIPController.h"
#include "CNormalFilter.h"
#include "CResolutionConvertNormal.h"
#include "QS880/CAdjustLight.h"
#include "QS880/PrepRecords.h"
#include "QS880Records.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

class CShading;

class CSpecialFilter : public CNormalFilter {
public:
    CSpecialFilter();
    ~CSpecialFilter() override;
    CSpecialFilter(const CSpecialFilter&) = delete;
    CSpecialFilter& operator=(const CSpecialFilter&) = delete;

    const char* getName() const override { return "QS880Filter"; }
    std::int32_t IP(CImg& image) override { return QS880Filter(image, IMAGESTATE_WHOLE); }
    std::int32_t IPFirst(CImg& band) override { return QS880Filter(band, IMAGESTATE_FIRST); }
    std::int32_t IPMiddle(CImg& band) override { return QS880Filter(band, IMAGESTATE_MIDDLE); }
    std::int32_t IPLast(CImg& band) override { return QS880Filter(band, IMAGESTATE_LAST); }
    // Checks and takes over a tagFILTERSIMPLEXINFO or tagFILTERDUPLEXINFO request (borrowed per call).
    std::int32_t setInfo(CImg& image, void* info) override;

    // Runs the pipeline on one band or a whole page of the accepted request; 0 without a request.
    std::int32_t QS880Filter(CImg& image, tagIMAGESTATE state);
    // Moves the back side of the last two-sided band into out.
    void getBackImage(CImg& out) { out.attachImg(m_BackImage); }
    // Also frees the back side and the preparation steps' bands; shading references and offset stay.
    void abandonPage() noexcept override;
    // lHeight lines of the platen colour, processed as the last band of the page.
    std::int32_t IPAppendSimplex(CImg& out, tagFILTERSIMPLEXINFO* info, std::int32_t lHeight);
    std::int32_t IPAppendDuplex(CImg& front, CImg& back, tagFILTERDUPLEXINFO* info, std::int32_t lHeight);
    // The generic chain alone on a whole prepared image.
    std::int32_t NormalFilterSimplex(CImg& image, tagNORMALFILTERSIMPLEXINFO* info);
    std::int32_t NormalFilterDuplex(CImg& image, tagNORMALFILTERDUPLEXINFO* info);

    void AdjustLightFirst(tagADJUSTINFO* info);
    // One calibration step on a raw calibration scan.
    std::int32_t AdjustLightNext(CImg& scan, tagADJUSTINFO* info);
    // Raw calibration scan to one-line 16-bit references: front always, back when two-sided.
    std::int32_t AdjustLightLast(CImg& front, CImg& back, CImg& scan, tagADJUSTINFO* info);
    // Light-curve correction of a side's references, then that side's shading data.
    std::int32_t makeShadingData(CImg& white, CImg& black, tagADJUSTINFO* info, tagSIDE side,
                                 const std::uint8_t* data, std::uint32_t size);

    std::int32_t checkParamError(tagSIDE side) const;
    static tagDUMMYPIXELS getDummyPixels(std::int32_t resolution);
    std::int32_t getMaxWidthWithoutDummyPixels(std::int32_t width, std::int32_t resolution) override;
    // Back-side line offset: micrometres stored, lines at res dpi given out.
    std::int32_t getOffset(std::int32_t res) const;
    void setOffset(std::int32_t offset) { m_lOffset = offset; }
    const CAdjustLight& getAdjustLight() const { return m_AdjustLight; }
    // The side's shading filter, null until a page or the calibration has created it.
    CShading* getShading(tagSIDE side) const;

    // The chain's steps that rely on this model's corner detection.
    std::int32_t execDetectColorOrGray(CImg& image, tagSIDE side, tagIMAGESTATE state) override;
    std::int32_t execResolutionConvertNormal(CImg& image, tagSIDE side, tagIMAGESTATE state) override;
    std::int32_t execResolutionConvertWithReduceMoire(CImg& image, tagSIDE side,
                                                      tagIMAGESTATE state) override;
    std::int32_t execSkewCorrection(CImg& image, tagSIDE side, tagIMAGESTATE state) override;
    std::int32_t execAutoSize(CImg& image, tagSIDE side, tagIMAGESTATE state) override;

private:
    static std::int32_t widthWithoutDummies(std::int32_t width, std::int32_t resolution);

    bool isDuplex() const { return m_FilterInfo.ulSize == sizeof(tagFILTERDUPLEXINFO); }
    bool isSimplex() const { return m_FilterInfo.ulSize == sizeof(tagFILTERSIMPLEXINFO); }
    std::int32_t takeRequest(void* info);
    std::int32_t checkInputImage(const CImg& image, bool duplex) const;
    std::int32_t setNormalChain(CImg& image);
    std::int32_t applyColourVerdict(tagSIDE side, bool colour);
    tagRESOLUTIONCONVERTINFO resolutionInfo(const CImg& image, tagSIDE side) const;
    std::int32_t rawPageHeight(const tagDETECT4POINTSINFO& points) const;
    std::int32_t runSimplex(CImg& image, tagIMAGESTATE state);
    std::int32_t runDuplex(CImg& image, tagIMAGESTATE state);

    const tagNORMALFILTERINFO& normal(tagSIDE side) const;
    const tagSPECIALFILTERINFO& special(tagSIDE side) const;
    std::int32_t usableWidth() const;
    tagCOLLECTARRAYINFO collectInfo() const;

    std::int32_t execCollectArrayForSimplex(CImg& image, tagIMAGESTATE state);
    std::int32_t execCollectArrayForDuplex(CImg& image, tagIMAGESTATE state);
    std::int32_t execDetect4Points(CImg& image, tagSIDE side, tagIMAGESTATE state);
    std::int32_t execDetect4PointsDuplex(CImg& image, tagIMAGESTATE state);
    std::int32_t execCutOffset(CImg& image, tagSIDE side, tagIMAGESTATE state);
    std::int32_t execShading(CImg& image, tagSIDE side, tagIMAGESTATE state);
    std::int32_t execExtendBitData12To16(CImg& image, tagIMAGESTATE state);
    std::int32_t execSpecialFilter(CImg& image, tagSIDE side, tagIMAGESTATE state);
    std::int32_t execColorGapCorrect(CImg& image, tagSIDE side, tagIMAGESTATE state);
    std::int32_t execCutOutVertical(CImg& image, tagSIDE side, tagIMAGESTATE state);
    std::int32_t execSRGBConversion(CImg& image, tagSIDE side, tagIMAGESTATE state);
    std::int32_t execMackOneLineImage(CImg& image);

    std::int32_t appendPlatenBand(CImg& out, tagSIDE side, std::int32_t lHeight);

    tagFILTERDUPLEXINFO m_FilterInfo{}; // accepted request; ulSize 0 when none
    CImg m_BackImage;
    CAdjustLight m_AdjustLight;
    Controller m_CollectArrayForSimplex;
    Controller m_ExtendBitData12To16;
    Controller m_CollectArrayForDuplex;
    Controller m_Detect4PointsDuplex;
    Controller m_CutOffset[2];
    Controller m_Detect4Points[2];
    Controller m_Shading[2];
    Controller m_ColorGapCorrect[2];
    Controller m_CutOutVertical[2];
    Controller m_SRGBConversion[2];
    std::int32_t m_lOffset = 6250; // micrometres between the front and back reading lines
    std::int32_t m_lCutWidth = 0;  // width the column cut gives the page (target of resolution conversion)
};

} // namespace Ovk::Pixen::QS880
