// Resolution conversion through the analysis layer's moire reducer, which descreens the page while it
// resizes it. The reducer holds a few lines back between bands and releases them at the end of the page.
#pragma once

#include "CResolutionConvertNormal.h"
#include "FilterBases.h"
#include "Moire/ReduceMoireFilter.h"

#include <cstdint>

namespace Ovk::Pixen {

class CResolutionConvertWithReduceMoire : public CIPBase {
public:
    ~CResolutionConvertWithReduceMoire() override;

    const char* getName() const override { return "ResolutionConvert"; }
    // Creates the reducer for the page; RTN_PAR for a bad record or a set-up the reducer refuses,
    // RTN_MEMORY when it cannot be created.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t setInfoFirst(CImg& band, void* info) override { return setInfo(band, info); }
    std::int32_t setInfoMiddle(CImg&, void*) override { return RTN_OK; }
    std::int32_t setInfoLast(CImg&, void*) override { return RTN_OK; }
    std::int32_t IP(CImg& image) override;
    std::int32_t IPFirst(CImg& band) override;
    std::int32_t IPMiddle(CImg& band) override;
    // Converts the band, then appends the lines the reducer still held.
    std::int32_t IPLast(CImg& band) override;

    void deleteHandle() noexcept;

private:
    std::int32_t convert(CImg& band, std::int32_t command);
    std::int32_t flush(CImg& band);

    tagREDUCEMOIREFILTERINFO m_Info{};
    std::int32_t m_lSpp = 0; // of the first band, for the flush image
    std::int32_t m_lBps = 0;
};

} // namespace Ovk::Pixen
