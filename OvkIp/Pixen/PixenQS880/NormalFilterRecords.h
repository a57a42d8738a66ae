// Request records of the generic post-processing chain: the per-side option block and the records its
// pointers designate. Fields keep their order; booleans are one byte, pointers native width.
#pragma once

#include "ImageInfo.h"

#include <cstddef>
#include <cstdint>

namespace Ovk::Pixen {

struct tagDETECTCOLORORGRAYINFO {
    std::uint32_t ulSize;
    std::int32_t lSensitivityOfAutoColor;
    std::uint32_t ulIntensityOfAutoColor;
};

struct tagDROPOUTCOLORINFO {
    std::uint32_t ulSize;
    std::int32_t Color; // 0 none, 1 red, 2 green, 3 blue, 4 a colour list
    std::uint8_t* lpColor;
    std::uint8_t* lpNewColors;
    std::int32_t nColorCount;
    std::int32_t nRange;
};

struct tagEMPHASISCOLORINFO {
    std::uint32_t ulSize;
    std::int32_t Color;
    std::uint8_t* lpColor;
    std::uint8_t* lpNewColors;
    std::int32_t nColorCount;
    std::int32_t nRange;
};

struct tagERASEBACKPAGEINFO {
    std::uint32_t ulSize;
    std::uint32_t ulCoefficient;
    std::uint32_t ulThreshold;
};

struct tagGRCINFO {
    std::uint32_t ulSize;
    std::uint8_t ucBrightness;
    std::uint8_t ucContrast;
    std::uint8_t ucGray[256]; // also used for pages that will become binary
    std::uint8_t ucRed[256];
    std::uint8_t ucGreen[256];
    std::uint8_t ucBlue[256];
};

struct tagEMPHASISEDGEINFO {
    std::uint32_t ulSize;
    std::uint32_t ulEmphasisLevel;
};

struct tagTEXTIMAGEDIRECTIONINFO {
    std::uint32_t ulSize;
    std::int32_t tidlang;
    std::int32_t tidcodepage;
    std::int32_t nDeg;
    double dRad;
};

struct tagROTATE90XINFO {
    std::uint32_t ulSize;
    std::int32_t lDegree; // a multiple of 90
};

struct tagGRAYTOBINARYINFO {
    std::uint32_t ulSize;
    std::int32_t Method;
    std::uint32_t ulBrightness;
    std::uint32_t ulContrast;
};

struct tagBLANKPAGEINFO {
    std::uint32_t ulSize;
    std::int32_t lBlankSkipSlice;
    bool bBlankPage; // written by the library
};

struct tagNORMALFILTERINFO {
    std::uint32_t ulSize;
    bool bReduceMoire;
    tagDETECTCOLORORGRAYINFO* pDetectColorOrGrayInfo;
    tagDROPOUTCOLORINFO* pDropOutColorInfo;
    tagEMPHASISCOLORINFO* pEmphasisColorInfo;
    tagERASEBACKPAGEINFO* pEraseBackPageInfo;
    tagGRCINFO* pGRCInfo;
    tagEMPHASISEDGEINFO* pEmphasisEdgeInfo;
    bool bAutoSize;
    bool bSkewCorrection;
    tagTEXTIMAGEDIRECTIONINFO* pTextImageDirectionInfo;
    tagROTATE90XINFO* pRotate90xInfo;
    tagGRAYTOBINARYINFO* pGrayToBinaryInfo;
    bool bInverse;
    tagBLANKPAGEINFO* pBlankPageInfo;
};

struct tagNORMALFILTERSIMPLEXINFO {
    std::uint32_t ulSize;
    tagIMAGEINFO InImageInfo;
    tagIMAGEINFO OutImageInfo;
    tagNORMALFILTERINFO NormalFilterInfo;
};

struct tagNORMALFILTERDUPLEXINFO {
    std::uint32_t ulSize;
    tagIMAGEINFO InImageInfo;
    tagIMAGEINFO OutImageInfo;
    tagNORMALFILTERINFO FrontNormalFilterInfo;
    tagNORMALFILTERINFO BackNormalFilterInfo;
    bool bPutImageOnSide;
};

// Layouts as built: the 32-bit values in the comments are those of a build with 4-byte pointers.
inline constexpr bool kWidePointers = sizeof(void*) == 8;
static_assert(sizeof(bool) == 1);
static_assert(sizeof(tagDETECTCOLORORGRAYINFO) == 12);
static_assert(sizeof(tagDROPOUTCOLORINFO) == (kWidePointers ? 32 : 24));
static_assert(offsetof(tagDROPOUTCOLORINFO, nColorCount) == 8 + 2 * sizeof(void*));
static_assert(sizeof(tagEMPHASISCOLORINFO) == sizeof(tagDROPOUTCOLORINFO));
static_assert(sizeof(tagERASEBACKPAGEINFO) == 12);
static_assert(sizeof(tagGRCINFO) == 1032 && offsetof(tagGRCINFO, ucBlue) == 774);
static_assert(sizeof(tagEMPHASISEDGEINFO) == 8);
static_assert(sizeof(tagTEXTIMAGEDIRECTIONINFO) == 24 && offsetof(tagTEXTIMAGEDIRECTIONINFO, dRad) == 16);
static_assert(sizeof(tagROTATE90XINFO) == 8);
static_assert(sizeof(tagGRAYTOBINARYINFO) == 16);
static_assert(sizeof(tagBLANKPAGEINFO) == 12 && offsetof(tagBLANKPAGEINFO, bBlankPage) == 8);
static_assert(sizeof(tagNORMALFILTERINFO) == (kWidePointers ? 104 : 56));
static_assert(offsetof(tagNORMALFILTERINFO, bAutoSize) == (kWidePointers ? 56 : 32));
static_assert(offsetof(tagNORMALFILTERINFO, pBlankPageInfo) == (kWidePointers ? 96 : 52));
static_assert(sizeof(tagNORMALFILTERSIMPLEXINFO) == (kWidePointers ? 240 : 164));
static_assert(sizeof(tagNORMALFILTERDUPLEXINFO) == (kWidePointers ? 352 : 224));
static_assert(offsetof(tagNORMALFILTERDUPLEXINFO, bPutImageOnSide) == (kWidePointers ? 344 : 220));

} // namespace Ovk::Pixen
