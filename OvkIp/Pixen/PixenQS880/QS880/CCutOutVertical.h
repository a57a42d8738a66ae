// Keeps the document's columns of the sensor line. The wanted width is given at the output resolution
// and turned into band pixels at the sensor's base resolution (300 or 600 dpi).
#pragma once

#include "FilterBases.h"
#include "QS880/PrepRecords.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

class CCutOutVertical : public CBandFilter {
public:
    const char* getName() const override { return "CutOutVertical"; }
    std::int32_t IP(CImg& band) override { return CutOutVertical(band); }
    std::int32_t setInfo(CImg& image, void* info) override;

private:
    std::int32_t CutOutVertical(CImg& band);

    tagCUTOUTVERTICALINFO m_Info{};
};

} // namespace Ovk::Pixen::QS880
