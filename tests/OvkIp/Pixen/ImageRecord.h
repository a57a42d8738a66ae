// Image records for the page-library and analysis tests. Both layers' records hold the same thirteen
// words under the same names, so one builder serves both.
#pragma once

#include <cstdint>

namespace imagetest {

// A record of the given geometry over pixels (may be null), with the buffer size and resolution given.
template <class Info>
Info imageRecord(std::int32_t width, std::int32_t height, std::int32_t sync, std::int32_t bps,
                 std::int32_t spp, std::uint32_t order, unsigned char* pixels = nullptr,
                 std::uint32_t size = 0, std::int32_t resolution = 0) {
    Info info{};
    info.ulSize = sizeof info;
    info.lpImage = pixels;
    info.lWidth = width;
    info.lHeight = height;
    info.lSync = sync;
    info.tImageSize = size;
    info.lBps = bps;
    info.lSpp = spp;
    info.ulRGBOrder = order;
    info.lXResolution = info.lYResolution = resolution;
    return info;
}

} // namespace imagetest
