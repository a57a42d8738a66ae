// Joins the front and back of a duplex page side by side, front on the left. In band mode a side's lines
// that have no partner line yet are held until the next band; the final call joins everything left.
#pragma once

#include "CIPBase.h"
#include "ResultCodes.h"

#include <cstdint>

namespace Ovk::Pixen {

struct tagPUTIMAGEONSIDEINFO {
    std::uint32_t ulSize;
    std::int32_t lAlign; // 1: output lines padded to whole bytes; otherwise to 32 bits
    std::int32_t lFill;  // 0: rows a side cannot fill are white; otherwise black
    CImg* pOtherImage;   // the other side's band; must stay valid until the IP call returns
    std::int32_t bFront; // 1: the processed image is the front and pOtherImage the back; 0 the reverse
};

class CPutImageOnSide : public CIPBase {
public:
    const char* getName() const override { return "PutImageOnSide"; }
    // Starts a page: drops held lines, then takes the record.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t setInfoFirst(CImg& band, void* info) override { return setInfo(band, info); }
    std::int32_t setInfoMiddle(CImg& band, void* info) override;
    std::int32_t setInfoLast(CImg& band, void* info) override { return setInfoMiddle(band, info); }
    std::int32_t IP(CImg& image) override { return finish(image); }
    std::int32_t IPFirst(CImg& band) override { return join(band, false); }
    std::int32_t IPMiddle(CImg& band) override { return join(band, false); }
    std::int32_t IPLast(CImg& band) override { return finish(band); }

private:
    std::int32_t finish(CImg& image);
    std::int32_t join(CImg& image, bool final);

    tagPUTIMAGEONSIDEINFO m_Info{};
    CImg m_Held[2]; // left (front), right (back)
};

} // namespace Ovk::Pixen
