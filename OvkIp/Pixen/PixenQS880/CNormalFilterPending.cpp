// Steps whose filters are still being written report that they are not available yet.
#include "CNormalFilter.h"

namespace Ovk::Pixen {

std::int32_t CNormalFilter::coreEmphasisEdge(CImg&, std::int32_t, tagIMAGESTATE, tagEMPHASISEDGEINFO*) {
    return RTN_NOT_APPLICABLE;
}
std::int32_t CNormalFilter::coreGrayToBinary(CImg&, std::int32_t, tagIMAGESTATE, tagGRAYTOBINARYINFO*) {
    return RTN_NOT_APPLICABLE;
}
std::int32_t CNormalFilter::corePutImageOnSide(CImg&, tagIMAGESTATE, void*) {
    return RTN_NOT_APPLICABLE;
}
std::int32_t CNormalFilter::coreTextImageDirection(CImg&, std::int32_t, tagIMAGESTATE,
                                                   tagTEXTIMAGEDIRECTIONINFO*) {
    return RTN_NOT_APPLICABLE;
}
std::int32_t CNormalFilter::coreRotate90x(CImg&, std::int32_t, tagIMAGESTATE, tagROTATE90XINFO*) {
    return RTN_NOT_APPLICABLE;
}
std::int32_t CNormalFilter::coreIsBlankPage(CImg&, std::int32_t, tagIMAGESTATE, tagBLANKPAGEINFO*,
                                            std::int32_t) {
    return RTN_NOT_APPLICABLE;
}
std::int32_t CNormalFilter::execPutImageOnSide(CImg&, CImg&, tagIMAGESTATE) {
    return bPutImageOnSide ? RTN_NOT_APPLICABLE : RTN_OK;
}
std::int32_t CNormalFilter::execIsBlankPage(CImg&, tagSIDE side, tagIMAGESTATE) {
    return sideInfo(side).pBlankPageInfo != nullptr ? RTN_NOT_APPLICABLE : RTN_OK;
}
std::int32_t CNormalFilter::PutImageOnSide(CImg&, CImg&, CImg&) {
    return RTN_NOT_APPLICABLE;
}
std::int32_t CNormalFilter::setOcrPath(const char*) {
    return RTN_NOT_APPLICABLE;
}

} // namespace Ovk::Pixen
