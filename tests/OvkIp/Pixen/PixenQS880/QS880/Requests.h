// Test helper: page requests whose shading references and colour matrix leave every sample as it is,
// so the finished page must equal the page the raw bands were made from.
#pragma once

#include "CImg.h"
#include "QS880Records.h"
#include "ResultCodes.h"

#include <cstdint>

namespace qs880test {

using namespace Ovk::Pixen;
using namespace Ovk::Pixen::QS880;

inline CImg constantLine(std::int32_t width, std::int32_t spp, std::uint16_t value) {
    CImg image;
    image.createImg(width, 1, 16, spp, Ovk::RGBORDER_LINE, 300, 300);
    auto* samples = reinterpret_cast<std::uint16_t*>(image.getImage());
    for (std::uint32_t i = 0; i < image.getImageSize() / 2; ++i)
        samples[i] = value;
    return image;
}

inline Ovk::tagIMAGEINFO geometry(std::int32_t width, std::int32_t height, std::int32_t spp,
                                  std::uint32_t order) {
    Ovk::tagIMAGEINFO info{};
    info.ulSize = sizeof info;
    info.lWidth = width;
    info.lHeight = height;
    info.lSync = width;
    info.lBps = 8;
    info.lSpp = spp;
    info.ulRGBOrder = order;
    info.lXResolution = 300;
    info.lYResolution = 300;
    return info;
}

struct IdentityRequests {
    IdentityRequests(std::int32_t width, std::int32_t height, std::int32_t spp) {
        for (tagSHADINGINFO& side : shading) {
            side.imgWhite = constantLine(width, spp, 4096); // gain 1.0
            side.imgBlack = constantLine(width, spp, 0);
        }
        tagNORMALFILTERINFO normal{};
        normal.ulSize = sizeof normal;
        const Ovk::tagIMAGEINFO in = geometry(width, height, spp, Ovk::RGBORDER_LINE);
        const Ovk::tagIMAGEINFO out = geometry(width, height, spp, Ovk::RGBORDER_PIXEL);
        simplex = {sizeof simplex, in, out, normal, special(0)};
        duplex = {sizeof duplex, in, out, normal, normal, false, special(0), special(1)};
    }
    tagSPECIALFILTERINFO special(int side) {
        return {sizeof(tagSPECIALFILTERINFO), &shading[side], &srgb, nullptr};
    }

    tagSHADINGINFO shading[2];
    tagSRGBCONVERSIONINFO srgb{sizeof srgb, 2, {1024, 0, 0, 0, 1024, 0, 0, 0, 1024}};
    tagFILTERSIMPLEXINFO simplex{};
    tagFILTERDUPLEXINFO duplex{};
};

} // namespace qs880test
