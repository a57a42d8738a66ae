// Parameter records of this model's raw-data preparation filters. The pipeline builds them per band;
// each filter checks the size word against the record as built here.
#pragma once

#include "CImg.h"
#include "QS880Records.h"

#include <cstddef>
#include <cstdint>

namespace Ovk::Pixen {

// Dummy pixels of the sensor's three segments at one resolution.
struct tagDUMMYPIXELS {
    std::int32_t lDummy0;
    std::int32_t lDummy1;
    std::int32_t lDummy2;
};

} // namespace Ovk::Pixen

namespace Ovk::Pixen::QS880 {

struct tagCOLLECTARRAYINFO {
    std::uint32_t ulSize;
    tagDUMMYPIXELS DummyPixels;
    std::int32_t lWidth; // written into the result: the sensor width less the dummy pixels
};

struct tagCUTOFFSETINFO {
    std::uint32_t ulSize;
    std::int32_t lOffset; // lines between the front and back reading positions; 0 switches the cut off
    std::int32_t Side;    // tagSIDE of the band
    std::int32_t lLength; // lines of the page kept when the page is limited at the bottom
};

struct tagCUTOUTVERTICALINFO {
    std::uint32_t ulSize;
    std::int32_t lStart;      // first column kept, pixels of the band
    std::int32_t lWidth;      // kept width at lResolution
    std::int32_t lMaxWidth;   // upper limit of the kept width, pixels of the band
    std::int32_t lResolution; // dpi of lWidth; never 0
};

struct tagDETECT4POINTSPARAM {
    std::uint32_t ulSize;
    tagDETECT4POINTSINFO* pDetect4PointsInfo; // the side's result record, borrowed
    tagRECT32 rcArea;                         // handed to the detector unchanged
    std::int32_t lWidth;                      // whole page, pixels
    std::int32_t lLength;                     // whole page, lines
};

struct tagDETECT4POINTSDUPLEXPARAM {
    std::uint32_t ulSize;
    tagDETECT4POINTSINFO* pFrontInfo;
    tagDETECT4POINTSINFO* pBackInfo;
    tagRECT32 rcArea;
    std::int32_t lWidth;
    std::int32_t lLength;
    CImg* pBackImage;     // the back band that belongs to the band being processed
    std::int32_t lOffset; // lines between the sides
};

static_assert(sizeof(tagCOLLECTARRAYINFO) == 20);
static_assert(sizeof(tagCUTOFFSETINFO) == 16);
static_assert(sizeof(tagCUTOUTVERTICALINFO) == 20);
static_assert(sizeof(tagDETECT4POINTSPARAM) == (kWidePointers ? 40 : 32));
static_assert(offsetof(tagDETECT4POINTSDUPLEXPARAM, pBackImage) == (kWidePointers ? 48 : 36));

} // namespace Ovk::Pixen::QS880
