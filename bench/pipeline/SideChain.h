// The page filters that exist today, run over one side band by band as the image-processing thread runs
// them: each band is read from the raw side, filtered, and added to the held page; filters that need the
// whole page (binarisation after deskew) run over the held page at the end.
#pragma once

#include "SheetSide.h"

#include <cstdint>
#include <vector>

enum ChainFilter : uint32_t {
    kFilterColourGap = 1 << 0,
    kFilterSlantSize = 1 << 1, // the measuring half of deskew and automatic size
    kFilterBlank = 1 << 2,
    kFilterBinarise = 1 << 3,
    kFilterReduce = 1 << 4, // to half the resolution
    kFilterColourDetect = 1 << 5,
};
constexpr uint32_t kDefaultChain = kFilterColourGap | kFilterSlantSize | kFilterBlank;

class SideChain {
public:
    explicit SideChain(uint32_t filters) : m_filters(filters) {}
    // Processes the side; returns the bytes of the finished page.
    int64_t run(const SheetSide& raw);

private:
    struct Page;
    void addBand(const SheetSide& raw, Page& page, const uint8_t* band, int32_t lines, bool last);
    int64_t finish(const SheetSide& raw, Page& page);

    uint32_t m_filters;
};
