// Colour-gap correction entry points: band by band over a 24-bit pixel-order page, the output of each band
// lagging its input by kColorGapDelay lines; the band marked last flushes the held lines.
#pragma once

#include "ColorGap/ColorGapTable.h"
#include "OvkImageInfo.h"

#include <cstddef>
#include <cstdint>

// The caller owns the record and keeps it, with its handle word, between the band calls of one page.
struct COLORGAPINFO {
    uint32_t ulSize;           // bytes the caller built; at least kColorGapInfoMinSize, read up to sizeof
    uint32_t ulLast;           // 1 on the page's last band
    uint32_t ulHeldLines;      // out: kColorGapDelay
    void* hColorGap;           // the library's corrector; null before the first band and after the last
    tagGAPPARAM* pGapParam;    // thresholds, or null for the defaults of the page's resolution (not owned)
    uint8_t* pClassTable;      // the caller's class table, used without thresholds (not owned)
    uint32_t ulClassTableSize; // must be kColorTableSize for pClassTable to count
    uint32_t* pPairTable;      // the caller's pair flags (not owned)
    uint32_t ulPairTableSize;  // must be kPairTableSize for pPairTable to count
};
constexpr uint32_t kColorGapInfoMinSize = offsetof(COLORGAPINFO, pGapParam);
constexpr int32_t kColorGapDelay = 13; // lines

constexpr int kColorGapOk = 0;
constexpr int kColorGapNoMemory = 8;
constexpr int kColorGapBadArgument = 13;

// dst receives the corrected lines (dst's lHeight on entry is its room, on return the lines written); dst may
// be src itself except on the last band, whose dst needs room for the band plus the held lines.
// 0, 13 for a bad record, image, handle or too little room (nothing is changed then), 8 without memory.
int ColorGapCorrect(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, COLORGAPINFO* info);
// Deletes the record's corrector (a page given up) and clears the handle word.
void ReleaseColorGapHandle(COLORGAPINFO* info);
