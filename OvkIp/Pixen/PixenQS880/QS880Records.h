// Request records of this scanner model's pipeline: the page requests, the model options of a side
// and their sub-records, and the lamp-calibration request.
#pragma once

#include "CImg.h"
#include "NormalFilterRecords.h"

#include <cstddef>
#include <cstdint>

namespace Ovk::Pixen {

struct tagPOINT32 {
    std::int32_t x;
    std::int32_t y;
};

struct tagRECT32 {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

struct tagSIZE32 {
    std::int32_t width;
    std::int32_t height;
};

} // namespace Ovk::Pixen

namespace Ovk::Pixen::QS880 {

// White and black references of one side; the shading filter keeps deep copies.
struct tagSHADINGINFO {
    tagSHADINGINFO() noexcept : ulSize(sizeof(tagSHADINGINFO)) {}

    std::uint32_t ulSize;
    CImg imgWhite; // one line of 16-bit gains
    CImg imgBlack; // one line of 16-bit black levels
};

struct tagSRGBCONVERSIONINFO {
    std::uint32_t ulSize;
    std::int32_t Type;      // 0 feeder matrix, 1 flatbed matrix, 2 Matrix below
    std::int32_t Matrix[9]; // row by row, 1024 is 1.0
};

struct tagDETECT4POINTSINFO {
    std::uint32_t ulSize;
    tagPOINT32 LeftTop;
    tagPOINT32 RightTop;
    tagPOINT32 LeftBottom;
    tagPOINT32 RightBottom;
    tagRECT32 rectDoc;
    tagPOINT32 vectorSlant;
    tagSIZE32 Size;
    std::int32_t lTopMargin;
    std::int32_t lBottomMargin;
    std::int32_t lLeftMargin;
    std::int32_t lRightMargin;
};

struct tagSPECIALFILTERINFO {
    std::uint32_t ulSize;
    tagSHADINGINFO* pShadingInfo;
    tagSRGBCONVERSIONINFO* pSRGBConversionInfo;
    tagDETECT4POINTSINFO* pDetect4PointsInfo;
};

struct tagFILTERSIMPLEXINFO {
    std::uint32_t ulSize;
    tagIMAGEINFO InImageInfo;  // raw scan geometry; lpImage unused
    tagIMAGEINFO OutImageInfo; // wanted result; the library works on a copy
    tagNORMALFILTERINFO NormalFilterInfo;
    tagSPECIALFILTERINFO SpecialFilterInfo;
};

struct tagFILTERDUPLEXINFO {
    std::uint32_t ulSize;
    tagIMAGEINFO InImageInfo;
    tagIMAGEINFO OutImageInfo;
    tagNORMALFILTERINFO FrontNormalFilterInfo;
    tagNORMALFILTERINFO BackNormalFilterInfo;
    bool bPutImageOnSide;
    tagSPECIALFILTERINFO FrontSpecialFilterInfo;
    tagSPECIALFILTERINFO BackSpecialFilterInfo;
};

// Gain, offset and lamp powers of one side.
struct tagADJUSTREGINFO {
    std::uint8_t Gain1;
    std::uint8_t Reserved1;
    std::uint8_t Offset1;
    std::uint8_t Reserved2;
    std::uint16_t RedLED;
    std::uint16_t GreenLED;
    std::uint16_t BlueLED;
    std::uint16_t Reserved3;
    std::uint16_t Reserved4;
    std::uint16_t Reserved5;
};

struct tagADJUSTINFO {
    std::uint32_t ulSize;
    bool bDuplex;
    std::int32_t lXResolution;
    std::int32_t ScanMode;
    std::int32_t FrontLightSorce;
    std::int32_t BackLightSorce;
    tagADJUSTREGINFO FrontAdjustInfo;
    tagADJUSTREGINFO BackAdjustInfo;
    std::uint16_t ScanInfo;
    bool bAdjustDone; // set by the library when the calibration has finished
};

static_assert(sizeof(tagSRGBCONVERSIONINFO) == 44);
static_assert(sizeof(tagDETECT4POINTSINFO) == 84 && offsetof(tagDETECT4POINTSINFO, rectDoc) == 36 &&
              offsetof(tagDETECT4POINTSINFO, lRightMargin) == 80);
static_assert(sizeof(tagSHADINGINFO) == 2 * sizeof(CImg) + (kWidePointers ? 8 : 4));
static_assert(sizeof(tagSPECIALFILTERINFO) == (kWidePointers ? 32 : 16));
static_assert(sizeof(tagFILTERSIMPLEXINFO) == (kWidePointers ? 272 : 180));
static_assert(offsetof(tagFILTERSIMPLEXINFO, SpecialFilterInfo) == (kWidePointers ? 240 : 164));
static_assert(sizeof(tagFILTERDUPLEXINFO) == (kWidePointers ? 416 : 256));
static_assert(offsetof(tagFILTERDUPLEXINFO, bPutImageOnSide) == (kWidePointers ? 344 : 220));
static_assert(offsetof(tagFILTERDUPLEXINFO, BackSpecialFilterInfo) == (kWidePointers ? 384 : 240));
static_assert(sizeof(tagADJUSTREGINFO) == 16 && offsetof(tagADJUSTREGINFO, RedLED) == 4);
static_assert(sizeof(tagADJUSTINFO) == 60 && offsetof(tagADJUSTINFO, FrontAdjustInfo) == 24 &&
              offsetof(tagADJUSTINFO, ScanInfo) == 56 && offsetof(tagADJUSTINFO, bAdjustDone) == 58);

} // namespace Ovk::Pixen::QS880
