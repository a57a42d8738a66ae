// The pass-through chain: the same request checks and state checks as the real chain, no image change.
#include "NormalChain.h"

#include "RecordSize.h"

namespace Ovk::Pixen::QS880 {

namespace {

std::int32_t checkState(tagIMAGESTATE state) {
    return state >= IMAGESTATE_WHOLE && state <= IMAGESTATE_LAST ? RTN_OK : RTN_SEQUENCE;
}

} // namespace

std::int32_t CPassThroughChain::setInfo(CImg&, void* request) {
    if (hasRecordSize<tagNORMALFILTERSIMPLEXINFO>(request) ||
        hasRecordSize<tagNORMALFILTERDUPLEXINFO>(request))
        return RTN_OK;
    return RTN_PAR;
}

std::int32_t CPassThroughChain::execNormalFilter(CImg&, tagSIDE, tagIMAGESTATE state) {
    return checkState(state);
}

std::int32_t CPassThroughChain::execNormalFilter(CImg&, CImg&, tagIMAGESTATE state) {
    return checkState(state);
}

} // namespace Ovk::Pixen::QS880
