// Turns a whole page by a multiple of 90 degrees into a new image; 1-bit pages are turned a quarter by
// transposing 8 x 8 bit blocks instead of moving single bits.
#pragma once

#include "FilterBases.h"
#include "NormalFilterRecords.h"

namespace Ovk::Pixen {

class CRotate90x : public CPageFilter {
public:
    const char* getName() const override { return "Rotate90x"; }
    // RTN_PAR without a record or for an angle that is not a multiple of 90.
    std::int32_t setInfo(CImg& image, void* info) override;
    // Clockwise by lDegree modulo 360. RTN_NOT_APPLICABLE for a colour order or depth it cannot turn.
    std::int32_t IP(CImg& image) override;

private:
    std::int32_t turn(CImg& image, std::int32_t degrees);

    tagROTATE90XINFO m_Info{};
};

} // namespace Ovk::Pixen
