// Creating a filter's result image from a record: the one place that turns the image object's two kinds
// of failure into the pipeline's codes (a refused geometry is a bad parameter, a missing buffer memory).
#pragma once

#include "CImg.h"
#include "ResultCodes.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

// RTN_OK with a zero-filled buffer, RTN_PAR for a record the image refuses, RTN_MEMORY without a buffer.
inline std::int32_t createResult(CImg& image, const tagIMAGEINFO& record) noexcept {
    tagIMAGEINFO copy = record;
    copy.lpImage = nullptr;
    copy.ulSize = sizeof(tagIMAGEINFO);
    if (image.createImg(&copy) == 0)
        return RTN_PAR;
    return image.isNull() ? RTN_MEMORY : RTN_OK;
}

// A band whose record the image object would not create (or no buffer) cannot be read safely.
inline bool isReadable(const CImg& band) noexcept {
    return !band.isNull() && CImg::checkInfo(band);
}

} // namespace Ovk::Pixen::QS880
