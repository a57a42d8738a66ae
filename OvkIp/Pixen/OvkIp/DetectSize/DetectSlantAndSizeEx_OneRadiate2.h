// Entry of corner, slant and paper-size detection for the page pipeline: one side or front and back
// together, band by band, with the detector kept behind a handle in the caller's record.
#pragma once

#include "OvkImageInfo.h"

#include <cstddef>
#include <cstdint>

// Results of one side. Corners in the order left-top, right-top, left-bottom, right-bottom.
struct tagDETECTSLANTSIZESIDE {
    int32_t lLeft;
    int32_t lTop;
    int32_t lWidth;
    int32_t lHeight;
    int32_t lCorner[8]; // (x, y) four times
    int32_t lSlant[2];  // (a, b): direction of the paper edge that descends to the right; (1, 0) = no skew
};

// Record of DetectSlantAndSizeEx. The caller owns it and keeps pHandle between the calls of one page; the
// object behind pHandle belongs to the library (command 4 frees it).
struct tagDETECTSLANTSIZEEXBASIC {
    uint32_t ulSize;    // sizeof for front and back; kDetectSlantSizeExSingleSize for the single-side layout
    uint32_t ulMethod;  // 8 single side, 11 with duplex; read while pHandle is empty
    void* pHandle;      // empty before the first call
    uint32_t ulCommand; // 0 initialise, 1 first band, 2 middle, 3 last, 4 release, 5 whole image, 6 result
    uint32_t ulResultMask; // bit 0 rectangle, bit 1 corners, bit 2 slant (also for the back side)
    tagDETECTSLANTSIZESIDE front;
    uint32_t ulSideKind;         // single side: 0 or 1
    int32_t lRefPoint[4];        // points A, B on the paper's upper edge (x, y); any negative: not checked
    int32_t lResultOption[6];    // paper size pair (the second: length in lines, 0 = unknown), top margin,
                                 // kept word, left margin, right margin; margins shape the fallback rectangle
    uint32_t ulDuplex;           // method 11: non-zero = front and back
    tagOVKIMAGEINFO* pBackImage; // duplex: the back side's band for the same command
    int32_t lSensorOffset;       // duplex: lines the back side lags the front side
    int32_t lReserved[5];
    tagDETECTSLANTSIZESIDE back;
};
// Layout on 64-bit builds: 216 bytes, pointers at native width and naturally aligned without padding.
static_assert(sizeof(void*) != 8 ||
              (offsetof(tagDETECTSLANTSIZEEXBASIC, ulCommand) == 16 &&
               offsetof(tagDETECTSLANTSIZEEXBASIC, ulSideKind) == 80 &&
               offsetof(tagDETECTSLANTSIZEEXBASIC, pBackImage) == 128 &&
               offsetof(tagDETECTSLANTSIZEEXBASIC, back) == 160 && sizeof(tagDETECTSLANTSIZEEXBASIC) == 216));

// Shortest record accepted at all (fields up to the front slant) and the single-side layout's size.
inline constexpr uint32_t kDetectSlantSizeExMinSize = offsetof(tagDETECTSLANTSIZEEXBASIC, ulSideKind);
inline constexpr uint32_t kDetectSlantSizeExSingleSize = offsetof(tagDETECTSLANTSIZEEXBASIC, ulDuplex);

inline constexpr uint32_t kDetectMethodOneRadiate = 8;
inline constexpr uint32_t kDetectMethodWithDuplex = 11;

extern "C" {
// image: the front side's band (or whole page, or for command 0 the page without pixels).
// Returns 0, 87 bad record or command, 120 unknown method or side kind, 8 no memory or a failed detector,
// 1 a command on a handle that was never initialised, or a single-side detector status (top bit set).
uint32_t DetectSlantAndSizeEx(tagOVKIMAGEINFO* image, tagDETECTSLANTSIZEEXBASIC* record);
// Frees the object behind the record's handle and empties it; returns 0.
uint32_t ReleaseSlantSizeExHandle(tagDETECTSLANTSIZEEXBASIC* record);
}
