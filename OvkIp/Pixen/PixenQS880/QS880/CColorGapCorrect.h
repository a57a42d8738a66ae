// Colour registration gap correction of 24-bit pixel-order bands through the analysis layer's corrector,
// which lags its output behind its input by the lines it needs below each line.
#pragma once

#include "CIPBase.h"

#include <cstdint>

namespace Ovk::Pixen {

class CColorGapCorrect : public CIPBase {
public:
    CColorGapCorrect() noexcept;
    ~CColorGapCorrect() override;
    CColorGapCorrect(const CColorGapCorrect&) = delete;
    CColorGapCorrect& operator=(const CColorGapCorrect&) = delete;

    const char* getName() const override { return "ColorGapCorrect"; }
    // The whole page in one pass: first band, then the flush appended below it.
    std::int32_t IP(CImg& image) override;
    // A corrector left over from an unfinished page is dropped first.
    std::int32_t IPFirst(CImg& band) override;
    std::int32_t IPMiddle(CImg& band) override { return CorrectColorGap(band, false); }
    std::int32_t IPLast(CImg& band) override { return CorrectColorGap(band, true); }
    // Takes no record; forgets the held lines but keeps the corrector.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t setInfoFirst(CImg& band, void* info) override { return setInfo(band, info); }
    std::int32_t setInfoMiddle(CImg&, void*) override { return 0; }
    std::int32_t setInfoLast(CImg&, void*) override { return 0; }

private:
    std::int32_t CorrectColorGap(CImg& band, bool last);
    std::int32_t takeOutput(CImg& band, CImg& flushed, const tagIMAGEINFO& output, bool last);
    void releaseCorrector() noexcept;

    void* m_hColorGap = nullptr;
    tagIMAGEINFO m_Held{}; // geometry of the last band; lHeight = lines the corrector holds back
};

} // namespace Ovk::Pixen
