// The library's entry points. Each checks its record before touching anything, runs the pipeline and
// moves the result into the caller's images; exceptions stop here and become result codes.
#include "QS880/PixenQS880.h"

#include "BufferPool.h"
#include "QS880/CSpecialFilter.h"
#include "RecordSize.h"

#include <new>

namespace Ovk::Pixen::QS880 {

CSpecialFilter SpecialFilter;

namespace {

enum class Page { None, Simplex, Duplex };
Page g_page = Page::None; // the page whose bands are in progress

template <class F> std::int32_t guarded(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return RTN_MEMORY;
    } catch (...) {
        return RTN_PAR;
    }
}

// A band call must continue the page that a first band of the same kind started.
std::int32_t sequence(tagIMAGESTATE state, Page kind) {
    if ((state == IMAGESTATE_MIDDLE || state == IMAGESTATE_LAST) && g_page != kind)
        return RTN_SEQUENCE;
    g_page = state == IMAGESTATE_FIRST || state == IMAGESTATE_MIDDLE ? kind : Page::None;
    return RTN_OK;
}

std::int32_t runState(CImg& in, void* info, tagIMAGESTATE state) {
    std::int32_t result = SpecialFilter.setInfo(in, info);
    if (result == RTN_OK)
        result = SpecialFilter.QS880Filter(in, state);
    return result;
}

std::int32_t simplex(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info, tagIMAGESTATE state) {
    if (!hasRecordSize<tagFILTERSIMPLEXINFO>(info))
        return RTN_PAR;
    if (const std::int32_t result = runState(in, info, state); result != RTN_OK)
        return result;
    out.attachImg(in);
    return RTN_OK;
}

std::int32_t duplex(CImg& frontOut, CImg& backOut, CImg& in, tagFILTERDUPLEXINFO* info, tagIMAGESTATE state) {
    if (!hasRecordSize<tagFILTERDUPLEXINFO>(info))
        return RTN_PAR;
    if (const std::int32_t result = runState(in, info, state); result != RTN_OK)
        return result;
    frontOut.attachImg(in);
    SpecialFilter.getBackImage(backOut);
    return RTN_OK;
}

// Puts the backing lines below the band; a refused join is reported, never dropped silently.
std::int32_t appendBelow(CImg& out, const CImg& tail) {
    if (out.appendImg(tail) != 0)
        return RTN_OK;
    const bool compatible = out.getBps() == tail.getBps() && out.getSpp() == tail.getSpp() &&
                            out.getRGBOrder() == tail.getRGBOrder() && tail.getXpos() == 0 &&
                            tail.getYpos() == 0 && out.getXResolution() == tail.getXResolution() &&
                            out.getYResolution() == tail.getYResolution();
    return compatible ? RTN_MEMORY : RTN_PAR;
}

// A one-shot operation; the chain's filters are busy while a page's bands are in progress.
template <class F> std::int32_t operation(F&& body) noexcept {
    return guarded([&] { return g_page != Page::None ? RTN_SEQUENCE : body(); });
}

// The same for an operation with a record, which must be there and of its own size.
template <class R, class F> std::int32_t operation(R* info, F&& body) noexcept {
    return operation([&] { return hasRecordSize<R>(info) ? body() : RTN_PAR; });
}

} // namespace

std::int32_t FilterSimplex(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info) {
    return guarded([&] {
        g_page = Page::None;
        return simplex(out, in, info, IMAGESTATE_WHOLE);
    });
}

std::int32_t FilterSimplexFirst(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info) {
    return guarded([&] {
        sequence(IMAGESTATE_FIRST, Page::Simplex);
        return simplex(out, in, info, IMAGESTATE_FIRST);
    });
}

std::int32_t FilterSimplexMiddle(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info) {
    return guarded([&] {
        if (const std::int32_t order = sequence(IMAGESTATE_MIDDLE, Page::Simplex); order != RTN_OK)
            return order;
        return simplex(out, in, info, IMAGESTATE_MIDDLE);
    });
}

std::int32_t FilterSimplexLast(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info) {
    return guarded([&] {
        if (const std::int32_t order = sequence(IMAGESTATE_LAST, Page::Simplex); order != RTN_OK)
            return order;
        return simplex(out, in, info, IMAGESTATE_LAST);
    });
}

std::int32_t FilterSimplexLastAppended(CImg& out, CImg& in, tagFILTERSIMPLEXINFO* info,
                                       std::int32_t lHeight) {
    if (lHeight <= 0)
        return FilterSimplexLast(out, in, info);
    return guarded([&] {
        g_page = Page::None; // also a page whose only band consists of backing lines
        if (!hasRecordSize<tagFILTERSIMPLEXINFO>(info))
            return RTN_PAR;
        if (in.isNull()) {
            out.deleteImg();
            return SpecialFilter.IPAppendSimplex(out, info, lHeight);
        }
        if (const std::int32_t result = simplex(out, in, info, IMAGESTATE_MIDDLE); result != RTN_OK)
            return result;
        CImg tail;
        if (const std::int32_t result = SpecialFilter.IPAppendSimplex(tail, info, lHeight); result != RTN_OK)
            return result;
        return appendBelow(out, tail);
    });
}

void AbandonPage() noexcept {
    g_page = Page::None;
    SpecialFilter.abandonPage();
}

void ReleaseBuffers() noexcept {
    BufferPool::releaseKept();
}

std::int32_t FilterDuplex(CImg& frontOut, CImg& backOut, CImg& in, tagFILTERDUPLEXINFO* info) {
    return guarded([&] {
        g_page = Page::None;
        return duplex(frontOut, backOut, in, info, IMAGESTATE_WHOLE);
    });
}

std::int32_t FilterDuplexFirst(CImg& frontOut, CImg& backOut, CImg& in, tagFILTERDUPLEXINFO* info) {
    return guarded([&] {
        sequence(IMAGESTATE_FIRST, Page::Duplex);
        return duplex(frontOut, backOut, in, info, IMAGESTATE_FIRST);
    });
}

std::int32_t FilterDuplexMiddle(CImg& frontOut, CImg& backOut, CImg& in, tagFILTERDUPLEXINFO* info) {
    return guarded([&] {
        if (const std::int32_t order = sequence(IMAGESTATE_MIDDLE, Page::Duplex); order != RTN_OK)
            return order;
        return duplex(frontOut, backOut, in, info, IMAGESTATE_MIDDLE);
    });
}

std::int32_t FilterDuplexLast(CImg& frontOut, CImg& backOut, CImg& in, tagFILTERDUPLEXINFO* info) {
    return guarded([&] {
        if (const std::int32_t order = sequence(IMAGESTATE_LAST, Page::Duplex); order != RTN_OK)
            return order;
        return duplex(frontOut, backOut, in, info, IMAGESTATE_LAST);
    });
}

std::int32_t FilterDuplexLastAppended(CImg& frontOut, CImg& backOut, CImg& in, tagFILTERDUPLEXINFO* info,
                                      std::int32_t lHeight) {
    if (lHeight <= 0)
        return FilterDuplexLast(frontOut, backOut, in, info);
    return guarded([&] {
        g_page = Page::None;
        if (!hasRecordSize<tagFILTERDUPLEXINFO>(info))
            return RTN_PAR;
        if (in.isNull()) {
            frontOut.deleteImg();
            backOut.deleteImg();
            return SpecialFilter.IPAppendDuplex(frontOut, backOut, info, lHeight);
        }
        if (const std::int32_t result = duplex(frontOut, backOut, in, info, IMAGESTATE_MIDDLE);
            result != RTN_OK)
            return result;
        CImg frontTail;
        CImg backTail;
        if (const std::int32_t result = SpecialFilter.IPAppendDuplex(frontTail, backTail, info, lHeight);
            result != RTN_OK)
            return result;
        const std::int32_t result = appendBelow(frontOut, frontTail);
        return result != RTN_OK ? result : appendBelow(backOut, backTail);
    });
}

std::int32_t NormalFilterSimplex(CImg& out, CImg& in, tagNORMALFILTERSIMPLEXINFO* info) {
    return guarded([&] {
        if (const std::int32_t result = SpecialFilter.NormalFilterSimplex(in, info); result != RTN_OK)
            return result;
        out.attachImg(in);
        return RTN_OK;
    });
}

std::int32_t NormalFilterDuplex(CImg& frontOut, CImg& backOut, CImg& in, tagNORMALFILTERDUPLEXINFO* info) {
    return guarded([&] {
        if (const std::int32_t result = SpecialFilter.NormalFilterDuplex(in, info); result != RTN_OK)
            return result;
        frontOut.attachImg(in);
        SpecialFilter.getBackImage(backOut);
        return RTN_OK;
    });
}

std::int32_t DropOutColor(CImg& image, tagDROPOUTCOLORINFO* info) {
    return operation(info, [&] { return SpecialFilter.DropOutColor(image, info); });
}

std::int32_t EmphasisColor(CImg& image, tagEMPHASISCOLORINFO* info) {
    return operation(info, [&] { return SpecialFilter.EmphasisColor(image, info); });
}

std::int32_t EraseBackPage(CImg& image, tagERASEBACKPAGEINFO* info) {
    return operation(info, [&] { return SpecialFilter.EraseBackPage(image, info); });
}

std::int32_t ColorToGray(CImg& image) {
    return operation([&] { return SpecialFilter.ColorToGray(image); });
}

std::int32_t GRC(CImg& image, tagGRCINFO* info, ColorMode mode, bool errorDiffusion) {
    return operation(info, [&] { return SpecialFilter.GRC(image, info, mode, errorDiffusion); });
}

std::int32_t EmphasisEdge(CImg& image, tagEMPHASISEDGEINFO* info) {
    return operation(info, [&] { return SpecialFilter.EmphasisEdge(image, info); });
}

std::int32_t GrayToBinary(CImg& image, tagGRAYTOBINARYINFO* info) {
    return operation(info, [&] { return SpecialFilter.GrayToBinary(image, info); });
}

std::int32_t Inverse(CImg& image) {
    return operation([&] { return SpecialFilter.Inverse(image); });
}

std::int32_t PutImageOnSide(CImg& out, CImg& front, CImg& back) {
    return operation([&] { return SpecialFilter.PutImageOnSide(out, front, back); });
}

std::int32_t TextImageDirection(CImg& image, tagTEXTIMAGEDIRECTIONINFO* info) {
    return operation(info, [&] { return SpecialFilter.TextImageDirection(image, info); });
}

std::int32_t Rotate90x(CImg& image, tagROTATE90XINFO* info) {
    return operation(info, [&] { return SpecialFilter.Rotate90x(image, info); });
}

std::int32_t IsBlankPage(CImg& image, tagBLANKPAGEINFO* info) {
    return operation(info, [&] { return SpecialFilter.IsBlankPage(image, info); });
}

std::int32_t getOffset(std::int32_t res) {
    return SpecialFilter.getOffset(res);
}

void setOffset(std::int32_t offset) {
    SpecialFilter.setOffset(offset);
}

std::int32_t getDummyPixelCount(std::int32_t res) {
    const tagDUMMYPIXELS dummies = CSpecialFilter::getDummyPixels(res);
    return dummies.lDummy0 + dummies.lDummy1 + dummies.lDummy2;
}

void setOcrPath(const char* path) {
    guarded([&] { return CSpecialFilter::setOcrPath(path); });
}

std::int32_t checkTextDirection() {
    return guarded([] { return CSpecialFilter::checkTextDirection(); });
}

void AdjustLightFirst(tagADJUSTINFO* info) {
    guarded([&] {
        SpecialFilter.AdjustLightFirst(hasRecordSize<tagADJUSTINFO>(info) ? info : nullptr);
        return RTN_OK;
    });
}

std::int32_t AdjustLightNext(CImg& scan, tagADJUSTINFO* info) {
    return guarded([&] { return SpecialFilter.AdjustLightNext(scan, info); });
}

std::int32_t AdjustLightLast(CImg& front, CImg& back, CImg& scan, tagADJUSTINFO* info) {
    return guarded([&] { return SpecialFilter.AdjustLightLast(front, back, scan, info); });
}

std::int32_t AdjustLightFix(CImg& white, CImg& black, tagADJUSTINFO* info, tagSIDE side,
                            const std::uint8_t* data, std::uint32_t size) {
    return guarded([&] {
        if (!hasRecordSize<tagADJUSTINFO>(info))
            return RTN_PAR;
        return SpecialFilter.makeShadingData(white, black, info, side, data, size);
    });
}

} // namespace Ovk::Pixen::QS880
