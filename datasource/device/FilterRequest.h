// The page library's request records for one page, filled from the scan parameters. Every sub-record
// lives in this object, so the pointers inside the records stay valid from the first band to the last.
#pragma once

#include "ImageLibrary.h"
#include "ScanParam.h"

#include <array>

namespace k3100 {

namespace pix = Ovk::Pixen;

// Library contrast for a contrast level; levels outside the table are refused by the callers.
uint8_t contrastForLevel(int32_t level, uint8_t outside);

struct PageGeometry {
    uint32_t a = 0, b = 0;
    std::array<uint32_t, 4> c{};
};

// What the data source asks of one side's normal chain.
struct SideRequest {
    pix::tagNORMALFILTERINFO block{};
    pix::tagDETECTCOLORORGRAYINFO detect{};
    pix::tagDROPOUTCOLORINFO dropOut{};
    pix::tagEMPHASISCOLORINFO emphasis{};
    pix::tagERASEBACKPAGEINFO erase{};
    pix::tagGRCINFO tone{};
    pix::tagEMPHASISEDGEINFO edge{};
    pix::tagTEXTIMAGEDIRECTIONINFO direction{};
    pix::tagROTATE90XINFO rotate{};
    pix::tagGRAYTOBINARYINFO binary{};
    pix::tagBLANKPAGEINFO blank{};
    qs::tagSPECIALFILTERINFO special{};
    qs::tagSHADINGINFO shading;
    qs::tagSRGBCONVERSIONINFO colour{};
    qs::tagDETECT4POINTSINFO points{};

    bool isBlank() const { return block.pBlankPageInfo != nullptr && blank.bBlankPage; }
};

struct OutputFormat {
    int32_t bits = 8;
    int32_t samples = 1;
};
OutputFormat outputFormat(uint32_t pixelMode);

class FilterRequest {
public:
    FilterRequest() = default;
    FilterRequest(const FilterRequest&) = delete;
    FilterRequest& operator=(const FilterRequest&) = delete;

    // `band`: the first raw band (may be empty when it holds only appended lines). `white`/`black`: the
    // calibration references per side (may be null). `protect`: the side is kept for a final filter.
    void fill(const tagScanParam& p, const CImg& band, const std::array<const CImg*, 4>& references,
              const PageGeometry& geometry, bool protect, ImageLibrary& library);

    qs::tagFILTERSIMPLEXINFO simplex{};
    qs::tagFILTERDUPLEXINFO duplex{};
    SideRequest front;
    SideRequest back;

private:
    void fillSide(SideRequest& side, const tagScanParam& p, bool isBack, bool protect, bool frontHasTone);
    void fillSpecial(SideRequest& side, const tagScanParam& p, const CImg* white, const CImg* black,
                     const PageGeometry& geometry);
    Ovk::tagIMAGEINFO inputInfo(const tagScanParam& p, const CImg& band, uint32_t sides) const;
    Ovk::tagIMAGEINFO outputInfo(const tagScanParam& p, ImageLibrary& library) const;
};

} // namespace k3100
