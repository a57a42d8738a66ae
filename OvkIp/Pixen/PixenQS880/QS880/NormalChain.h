// What the model pipeline needs of the generic post-processing chain: take a page's normal options and
// run the chain on one side or on both. Kept narrow so that the chain can be plugged in behind it.
#pragma once

#include "CIPBase.h"
#include "NormalFilterRecords.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

class INormalChain {
public:
    virtual ~INormalChain() = default;
    // request: a tagNORMALFILTERSIMPLEXINFO or tagNORMALFILTERDUPLEXINFO, told apart by its size word;
    // borrowed until the band has been processed.
    virtual std::int32_t setInfo(CImg& image, void* request) = 0;
    virtual std::int32_t execNormalFilter(CImg& image, tagSIDE side, tagIMAGESTATE state) = 0;
    virtual std::int32_t execNormalFilter(CImg& front, CImg& back, tagIMAGESTATE state) = 0;
    // Where the text-direction recogniser finds its data; the chain copies the text.
    virtual void setOcrPath(const char* path) = 0;
};

// Stands in until the generic chain is linked in: checks the request's size and leaves images as they are.
class CPassThroughChain : public INormalChain {
public:
    std::int32_t setInfo(CImg& image, void* request) override;
    std::int32_t execNormalFilter(CImg&, tagSIDE, tagIMAGESTATE state) override;
    std::int32_t execNormalFilter(CImg&, CImg&, tagIMAGESTATE state) override;
    void setOcrPath(const char*) override {}
};

} // namespace Ovk::Pixen::QS880
