// Sharpens edges band by band through the analysis layer's edge kernels. A kernel needs the lines below
// the one it writes, so each band hands on fewer lines than it took; the held lines come out with the last.
#pragma once

#include "EdgeEmphasis/OvkEdgeFunc.h"
#include "FilterBases.h"
#include "NormalFilterRecords.h"

#include <cstdint>

namespace Ovk::Pixen {

class CEmphasisEdge : public CIPBase {
public:
    ~CEmphasisEdge() override;

    const char* getName() const override { return "EmphasisEdge"; }
    // RTN_PAR without a record or for level 0; creates the kernel for the image's kind.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t setInfoFirst(CImg& band, void* info) override { return setInfo(band, info); }
    // Later bands only check the record: starting again would drop the lines the kernel holds.
    std::int32_t setInfoMiddle(CImg& band, void* info) override;
    std::int32_t setInfoLast(CImg& band, void* info) override { return setInfoMiddle(band, info); }
    std::int32_t IP(CImg& image) override { return EmphasisEdge(image); }
    std::int32_t IPFirst(CImg& band) override { return EmphasisEdgeStart(band); }
    std::int32_t IPMiddle(CImg& band) override;
    std::int32_t IPLast(CImg& band) override;

private:
    std::int32_t createEmphasisEdgeHandle(const CImg& image);
    void releaseEmphasisEdgeHandle() noexcept;
    std::int32_t EmphasisEdgeStart(CImg& band);
    std::int32_t EmphasisEdgeCont(CImg& band);
    std::int32_t EmphasisEdgeFinish(CImg& band);
    std::int32_t EmphasisEdge(CImg& page);

    tagEMPHASISEDGEINFO m_Info{};
    tagIMAGEINFO m_Remain{}; // geometry of the held lines; lHeight 0 when none
    tagEDGEINFO m_Edge{};    // level, progress state and kernel handle between calls
};

} // namespace Ovk::Pixen
