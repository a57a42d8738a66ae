// The analysis layer takes the same thirteen-word image record under its own name; these casts hand a
// CImg's record across without copying.
#pragma once

#include "CImg.h"
#include "OvkImageInfo.h"

#include <cstddef>

namespace Ovk::Pixen {

static_assert(sizeof(tagOVKIMAGEINFO) == sizeof(tagIMAGEINFO));
static_assert(offsetof(tagOVKIMAGEINFO, tImageSize) == offsetof(tagIMAGEINFO, tImageSize));
static_assert(offsetof(tagOVKIMAGEINFO, lYResolution) == offsetof(tagIMAGEINFO, lYResolution));

inline tagOVKIMAGEINFO* layerRecord(CImg& image) noexcept {
    return reinterpret_cast<tagOVKIMAGEINFO*>(static_cast<tagIMAGEINFO*>(image));
}

inline tagOVKIMAGEINFO* layerRecord(tagIMAGEINFO& info) noexcept {
    return reinterpret_cast<tagOVKIMAGEINFO*>(&info);
}

} // namespace Ovk::Pixen
