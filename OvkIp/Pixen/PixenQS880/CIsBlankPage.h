// Decides whether a whole page is blank from the content count of the analysis layer's blank-page
// measure, normalised by the page's resolution.
#pragma once

#include "Blank/IsBlank.h"
#include "FilterBases.h"

#include <cstdint>

namespace Ovk::Pixen {

struct tagBLANKPAGEFILTERINFO {
    std::uint32_t ulSize;    // 20
    std::int32_t lRatio;     // only the low 16 bits are used
    std::int32_t lSlice;     // grey level of the measure; above 255 every page counts as blank
    std::int32_t lThreshold; // content threshold; 0 switches the decision off
    std::int32_t bBlank;     // result: 1 blank, 0 not
};
static_assert(sizeof(tagBLANKPAGEFILTERINFO) == 20);

// Resolution (dpi) and the correction added to resolution / 100; a (0, 0) pair ends the table.
struct tagBLANKRESOLUTION {
    double dResolution;
    double dCorrection;
};
inline constexpr int BlankResolutionCount = 10;
extern const tagBLANKRESOLUTION DEFAULTBLANKSKIPPLUS[BlankResolutionCount];

class CIsBlankPage : public CPageFilter {
public:
    CIsBlankPage() noexcept;
    // Copies the ten pairs of table.
    CIsBlankPage(std::uint32_t options, const tagBLANKRESOLUTION* table, bool invert) noexcept;

    const char* getName() const override { return "IsBlankPage"; }
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override { return IsBlankPage(image); }

    bool isBlank() const noexcept { return m_Info.bBlank != 0; }

private:
    std::int32_t IsBlankPage(CImg& image);
    double correction(std::int32_t resolution) const noexcept;

    tagBLANKPAGEFILTERINFO m_Info{};
    tagISBLANKINFO m_Measure{};
    bool m_bInvert = false;
    tagBLANKRESOLUTION m_Table[BlankResolutionCount]{};
    std::uint32_t m_ulOption = 0;
};

} // namespace Ovk::Pixen
