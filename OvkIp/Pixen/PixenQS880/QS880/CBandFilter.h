// Base of the model's filters that do one and the same operation on a whole page and on every band, and
// take their record once per page (before the whole image or the first band).
#pragma once

#include "CIPBase.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

class CBandFilter : public CIPBase {
public:
    std::int32_t IP(CImg& image) override { return bandOperation(image); }
    std::int32_t IPFirst(CImg& band) override { return bandOperation(band); }
    std::int32_t IPMiddle(CImg& band) override { return bandOperation(band); }
    std::int32_t IPLast(CImg& band) override { return bandOperation(band); }
    std::int32_t setInfoFirst(CImg& band, void* info) override { return setInfo(band, info); }
    std::int32_t setInfoMiddle(CImg&, void*) override { return 0; }
    std::int32_t setInfoLast(CImg&, void*) override { return 0; }

protected:
    virtual std::int32_t bandOperation(CImg& band) = 0;
};

} // namespace Ovk::Pixen::QS880
