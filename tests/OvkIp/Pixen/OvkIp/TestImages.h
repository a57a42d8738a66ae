// Small owned images with records for the analysis tests.
#pragma once

#include "OvkImageInfo.h"

#include <cstdint>
#include <vector>

struct TestImage {
    std::vector<unsigned char> pixels;
    tagOVKIMAGEINFO rec{};

    TestImage(int32_t width, int32_t height, int32_t bps, int32_t spp = 1, uint32_t order = kOvkLineOrder,
              int32_t sync = 0) {
        const int32_t samples = order == kOvkPixelOrder ? spp : 1;
        const int32_t planes = order == kOvkLineOrder ? spp : 1;
        rec.ulSize = sizeof rec;
        rec.lWidth = width;
        rec.lHeight = height;
        rec.lSync = sync != 0 ? sync : ((width * bps * samples + 31) / 32) * 4;
        rec.lBps = bps;
        rec.lSpp = spp;
        rec.ulRGBOrder = order;
        rec.lXResolution = 300;
        rec.lYResolution = 300;
        pixels.assign(static_cast<size_t>(rec.lSync) * planes * height, 0);
        rec.lpImage = pixels.data();
        rec.tImageSize = static_cast<uint32_t>(pixels.size());
    }
    unsigned char* Line(int32_t y) { return pixels.data() + static_cast<size_t>(rec.lSync) * y; }
    const unsigned char* Line(int32_t y) const { return pixels.data() + static_cast<size_t>(rec.lSync) * y; }
    int Bit(int32_t x, int32_t y) const {
        return (pixels[static_cast<size_t>(rec.lSync) * y + x / 8] >> (7 - x % 8)) & 1;
    }
    // A view of lines [first, first + count) as a band record over the same pixels.
    tagOVKIMAGEINFO Band(int32_t first, int32_t count) const {
        tagOVKIMAGEINFO band = rec;
        const int32_t planes = rec.ulRGBOrder == kOvkLineOrder ? rec.lSpp : 1;
        band.lpImage =
            const_cast<unsigned char*>(pixels.data()) + static_cast<size_t>(rec.lSync) * planes * first;
        band.lHeight = count;
        return band;
    }
};
