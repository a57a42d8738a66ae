// Removes the lines that the distance between the front and back sensors adds: the side that starts
// reading early loses its first lines, the other side is limited to the page length.
#pragma once

#include "FilterBases.h"
#include "QS880/PrepRecords.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

class CCutOffset : public CBandFilter {
public:
    const char* getName() const override { return "CutOffset"; }
    std::int32_t IP(CImg& band) override { return CutOffset(band); }
    // Also starts the page: both line counters go back to 0.
    std::int32_t setInfo(CImg& image, void* info) override;

    // Keeps count image lines from line first (all colour lines of each).
    static std::int32_t CutOutHorizontal(CImg& band, std::int32_t first, std::int32_t count);

private:
    std::int32_t CutOffset(CImg& band);
    std::int32_t CutTopOffSet(CImg& band);
    std::int32_t CutBottomOffSet(CImg& band);

    tagCUTOFFSETINFO m_Info{};
    std::int64_t m_lTopSeen = 0;    // lines of the page seen by the top cut
    std::int64_t m_lBottomSeen = 0; // lines of the page passed by the bottom cut
};

} // namespace Ovk::Pixen::QS880
