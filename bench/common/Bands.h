// How the data source cuts a side into bands, and the library's image record over one band, shared by the
// benchmark programs so that they feed the library alike.
#pragma once

#include "OvkImageInfo.h"

#include <algorithm>
#include <cstdint>

constexpr int32_t kBandBytes = 2 << 20; // the data source's largest read of one side

// Lines per band: kBandBytes of raw data, at least one line.
inline int32_t BandLines(int32_t stride) {
    return std::max(1, kBandBytes / std::max(stride, 1));
}

// Record over `lines` lines starting at `first`; the library reads or writes through it (not owned).
inline tagOVKIMAGEINFO BandRecord(uint8_t* first, int32_t width, int32_t lines, int32_t stride, int32_t bps,
                                  int32_t spp, int32_t dpi) {
    tagOVKIMAGEINFO r{};
    r.ulSize = sizeof r;
    r.lpImage = first;
    r.lWidth = width;
    r.lHeight = lines;
    r.lSync = stride;
    r.tImageSize = static_cast<uint32_t>(int64_t{stride} * lines);
    r.lBps = bps;
    r.lSpp = spp;
    r.lXResolution = r.lYResolution = dpi;
    return r;
}
