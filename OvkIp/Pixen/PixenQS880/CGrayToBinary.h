// Turns an 8-bit band into a 1-bit band (set bit = black) through the analysis layer's binarisers; the
// binariser and its running state are kept from band to band of a page.
#pragma once

#include "FilterBases.h"
#include "NormalFilterRecords.h"
#include "OvkBinalize.h"

#include <cstdint>

namespace Ovk::Pixen {

class CGrayToBinary : public CInfoEachBandFilter {
public:
    CGrayToBinary() noexcept;
    ~CGrayToBinary() override;

    const char* getName() const override { return "GrayToBinary"; }
    // RTN_PAR without a record or for an image that is not 8 bits per sample.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override;
    std::int32_t IPFirst(CImg& band) override;
    std::int32_t IPMiddle(CImg& band) override { return GrayToBinary(band); }
    std::int32_t IPLast(CImg& band) override;

    // Slice level of a brightness: 245 at 0, 132 at 127 and 128, 35 at 255.
    virtual std::uint8_t getThresholdTable(std::uint8_t brightness) const noexcept;

private:
    std::int32_t GrayToBinary(CImg& band);
    void releaseBinalizeHandle() noexcept;

    tagGRAYTOBINARYINFO m_Info{};
    tagBINFUNCINFO m_Bin{};
};

} // namespace Ovk::Pixen
