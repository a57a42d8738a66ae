// Test chain: the generic chain with the model steps switched off, and builders of its requests.
#pragma once

#include "CNormalFilter.h"

#include <cstring>

namespace pixentest {

using namespace Ovk::Pixen;

class TestChain : public CNormalFilter {
public:
    const char* getName() const override { return "TestChain"; }
    std::int32_t IP(CImg&) override { return RTN_NOT_APPLICABLE; }
    std::int32_t IPFirst(CImg&) override { return RTN_NOT_APPLICABLE; }
    std::int32_t IPMiddle(CImg&) override { return RTN_NOT_APPLICABLE; }
    std::int32_t IPLast(CImg&) override { return RTN_NOT_APPLICABLE; }
    std::int32_t execDetectColorOrGray(CImg&, tagSIDE, tagIMAGESTATE) override { return RTN_OK; }
    std::int32_t execResolutionConvertNormal(CImg&, tagSIDE, tagIMAGESTATE) override { return RTN_OK; }
    std::int32_t execResolutionConvertWithReduceMoire(CImg&, tagSIDE, tagIMAGESTATE) override {
        return RTN_OK;
    }
    std::int32_t execSkewCorrection(CImg&, tagSIDE, tagIMAGESTATE) override { return RTN_OK; }
    std::int32_t execAutoSize(CImg&, tagSIDE, tagIMAGESTATE) override { return RTN_OK; }
    std::int32_t getMaxWidthWithoutDummyPixels(std::int32_t width, std::int32_t) override { return width; }

    const tagNORMALFILTERINFO& front() const { return FrontNormalFilterInfo; }
    std::uint32_t storedSize() const { return ulSize; }
};

inline tagNORMALFILTERINFO emptyBlock() {
    tagNORMALFILTERINFO block{};
    block.ulSize = sizeof(tagNORMALFILTERINFO);
    return block;
}

// A one-sided request for the given output format.
inline tagNORMALFILTERSIMPLEXINFO simplexRequest(const tagNORMALFILTERINFO& block, std::int32_t outBps,
                                                 std::int32_t outSpp) {
    tagNORMALFILTERSIMPLEXINFO request{};
    request.ulSize = sizeof request;
    request.OutImageInfo.lBps = outBps;
    request.OutImageInfo.lSpp = outSpp;
    request.NormalFilterInfo = block;
    return request;
}

inline tagNORMALFILTERDUPLEXINFO duplexRequest(const tagNORMALFILTERINFO& front,
                                               const tagNORMALFILTERINFO& back, std::int32_t outBps,
                                               std::int32_t outSpp, bool onSide) {
    tagNORMALFILTERDUPLEXINFO request{};
    request.ulSize = sizeof request;
    request.OutImageInfo.lBps = outBps;
    request.OutImageInfo.lSpp = outSpp;
    request.FrontNormalFilterInfo = front;
    request.BackNormalFilterInfo = back;
    request.bPutImageOnSide = onSide;
    return request;
}

} // namespace pixentest
