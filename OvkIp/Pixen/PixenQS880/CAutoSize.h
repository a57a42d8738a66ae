// Crops a whole page to the detected document rectangle without turning it (used when deskew is off).
#pragma once

#include "FilterBases.h"

#include <cstdint>

namespace Ovk::Pixen {

struct tagAUTOSIZEINFO {
    std::uint32_t ulSize; // 28
    std::int32_t lLeft;   // pixels at the resolutions below
    std::int32_t lTop;
    std::int32_t lWidth;
    std::int32_t lHeight;
    std::int32_t lXResolution; // dpi; both non-zero
    std::int32_t lYResolution;
};
static_assert(sizeof(tagAUTOSIZEINFO) == 28);

class CAutoSize : public CPageFilter {
public:
    const char* getName() const override { return "AutoSize"; }
    // No record: RTN_OK and the page is left as it is. RTN_PAR for a zero resolution, RTN_NOT_APPLICABLE
    // for a 1-bit page.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override;

private:
    tagAUTOSIZEINFO m_Info{};
    bool m_bHasInfo = false;
};

} // namespace Ovk::Pixen
