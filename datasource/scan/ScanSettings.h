// Readings of the capabilities that the scan record and the final filter of kept prescan images share, so
// that a page looks the same whichever of the two applies the tone settings.
#pragma once

#include <cstdint>
#include <span>

#include "COrvkQS.h"
#include "CapPool.h"

namespace k3100 {

// Sharpening of a black-and-white text page's kept prescan, which is grey until the final filter.
inline constexpr std::uint32_t kPrescanEdgeEmphasis = 3;

// Level of a brightness or contrast value (-1000..1000) in steps of the capability's range.
std::int32_t ToneLevel(const CCapPool* pool, TW_UINT16 id);
// The current ICAP_HALFTONES name is "Error Diffusion".
bool HalftoneIsErrorDiffusion(const CCapPool* pool);
// A channel's tone table: the drawn curve when useCurve, else the table of the gamma value.
void MakeToneTable(const CCapPool* pool, TW_UINT16 curveId, TW_UINT16 gammaId, bool useCurve,
                   std::span<std::uint8_t, 256> table);
// The final filter over a kept prescan page, as the capabilities ask for it: the scanned page and the
// dialog's live preview both filter with these, so the two look alike.
FilterSettings FinalFilterSettings(const CCapPool* pool);

} // namespace k3100
