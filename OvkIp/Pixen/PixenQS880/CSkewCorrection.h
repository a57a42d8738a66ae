// Straightens and crops a whole page to the document whose four corners the corner detection found,
// walking the output in fixed point with a 4-bit bilinear weight.
#pragma once

#include "FilterBases.h"
#include "QS880Records.h"

#include <cstdint>

namespace Ovk::Pixen {

// Sixteen 32-bit words; corners in pixels at lXResolution x lYResolution.
struct tagDESKEWINFO {
    tagPOINT32 LeftTop;
    tagPOINT32 RightTop;
    tagPOINT32 LeftBottom;
    tagPOINT32 RightBottom;
    tagPOINT32 vectorSlant; // carried, not used here
    std::int32_t lWidth;    // output size when bAutoSize is 0
    std::int32_t lHeight;
    std::int32_t lXResolution; // of the corner coordinates, dpi; both non-zero
    std::int32_t lYResolution;
    std::int32_t bAutoSize;   // non-zero: the output is exactly the detected document
    std::int32_t bRightAlign; // 1 for the front of a side-by-side page: the document lies at the right edge
};
static_assert(sizeof(tagDESKEWINFO) == 64);

class CSkewCorrection : public CPageFilter {
public:
    const char* getName() const override { return "SkewCorrection"; }
    // RTN_PAR without a record or a resolution; RTN_NOT_APPLICABLE for a 1-bit page.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override;

    // Byte that fills the output where the document does not reach.
    void setBackground(std::uint8_t value) noexcept { m_byBackground = value; }

private:
    tagDESKEWINFO m_Info{};
    std::uint8_t m_byBackground = 255;
};

} // namespace Ovk::Pixen
