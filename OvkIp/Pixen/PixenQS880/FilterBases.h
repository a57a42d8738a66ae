// Shapes that most filters share: one that does the same work on a whole page and on every band it is
// given, one that takes its record again with every band, and one that needs the whole page (its
// controller gathers the bands, so the band operations never apply).
#pragma once

#include "CIPBase.h"
#include "ResultCodes.h"

namespace Ovk::Pixen {

// Every band operation is IP, the page operation itself; the record is taken once per page (before the
// whole image or the first band) and kept for the page.
class CBandFilter : public CIPBase {
public:
    std::int32_t IPFirst(CImg& band) override { return IP(band); }
    std::int32_t IPMiddle(CImg& band) override { return IP(band); }
    std::int32_t IPLast(CImg& band) override { return IP(band); }
    std::int32_t setInfoFirst(CImg& band, void* info) override { return setInfo(band, info); }
    std::int32_t setInfoMiddle(CImg&, void*) override { return RTN_OK; }
    std::int32_t setInfoLast(CImg&, void*) override { return RTN_OK; }
};

// Every band's record goes through setInfo.
class CInfoEachBandFilter : public CIPBase {
public:
    std::int32_t setInfoFirst(CImg& band, void* info) override { return setInfo(band, info); }
    std::int32_t setInfoMiddle(CImg& band, void* info) override { return setInfo(band, info); }
    std::int32_t setInfoLast(CImg& band, void* info) override { return setInfo(band, info); }
};

// Runs only as IP on a gathered page.
class CPageFilter : public CInfoEachBandFilter {
public:
    std::int32_t IPFirst(CImg&) override { return RTN_NOT_APPLICABLE; }
    std::int32_t IPMiddle(CImg&) override { return RTN_NOT_APPLICABLE; }
    std::int32_t IPLast(CImg&) override { return RTN_NOT_APPLICABLE; }
};

} // namespace Ovk::Pixen
