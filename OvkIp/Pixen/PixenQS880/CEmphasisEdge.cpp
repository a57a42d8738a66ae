// Edge emphasis: the kernels work in place; a first band that holds lines back is cut to the lines it put
// out, and the last band is joined to the held lines in a new image that the kernel completes.
#include "CEmphasisEdge.h"

#include "LayerRecord.h"
#include "RecordSize.h"

#include <cstring>
#include <new>

namespace Ovk::Pixen {

namespace {

constexpr std::uint32_t PixelOrderLevelFlag = 512; // selects the kernels for interleaved colour

} // namespace

CEmphasisEdge::~CEmphasisEdge() {
    releaseEmphasisEdgeHandle();
}

void CEmphasisEdge::releaseEmphasisEdgeHandle() noexcept {
    if (m_Edge.hEdgeFunc != 0 && m_Edge.ulSize == kEdgeInfoSize)
        ReleaseEdgeFuncHandle(&m_Edge);
    m_Edge.hEdgeFunc = 0;
}

std::int32_t CEmphasisEdge::setInfo(CImg& image, void* info) {
    if (checkRecordSize<tagEMPHASISEDGEINFO>(info) != RTN_OK)
        return RTN_PAR;
    m_Info = *static_cast<const tagEMPHASISEDGEINFO*>(info);
    m_Edge.ulLineCount = 0;
    m_Remain = {};
    if (m_Info.ulEmphasisLevel == 0)
        return RTN_PAR;
    return createEmphasisEdgeHandle(image);
}

std::int32_t CEmphasisEdge::setInfoMiddle(CImg&, void* info) {
    if (checkRecordSize<tagEMPHASISEDGEINFO>(info) != RTN_OK)
        return RTN_PAR;
    const auto* record = static_cast<const tagEMPHASISEDGEINFO*>(info);
    return record->ulEmphasisLevel == m_Info.ulEmphasisLevel ? RTN_OK : RTN_PAR;
}

std::int32_t CEmphasisEdge::createEmphasisEdgeHandle(const CImg& image) {
    releaseEmphasisEdgeHandle();
    const bool interleaved = image.getSpp() == 3 && image.getRGBOrder() == RGBORDER_PIXEL;
    m_Edge.ulSize = kEdgeInfoSize;
    m_Edge.ulLevel = m_Info.ulEmphasisLevel + (interleaved ? PixelOrderLevelFlag : 0);
    m_Edge.ulLineCount = 0;
    m_Edge.hEdgeFunc = interleaved ? kEdgeKindPixelOrder : static_cast<std::uintptr_t>(image.getSpp());
    try {
        CreateEdgeFuncHandle(&m_Edge); // a null handle lets the first band create one from its samples
    } catch (const std::bad_alloc&) {
        return RTN_MEMORY;
    }
    return RTN_OK;
}

std::int32_t CEmphasisEdge::IPMiddle(CImg& band) {
    return m_Edge.ulLineCount != 0 ? EmphasisEdgeCont(band) : EmphasisEdgeStart(band);
}

std::int32_t CEmphasisEdge::IPLast(CImg& band) {
    return m_Edge.ulLineCount != 0 ? EmphasisEdgeFinish(band) : EmphasisEdge(band);
}

std::int32_t CEmphasisEdge::EmphasisEdgeStart(CImg& band) {
    tagIMAGEINFO dst = band.getInfo(), src = band.getInfo();
    if (EdgeFuncStartEx(layerRecord(dst), layerRecord(src), &m_Edge) != 0)
        return RTN_PAR;
    if (dst.lHeight == band.getHeight()) {
        m_Remain.lHeight = 0;
        return RTN_OK;
    }
    CImg out;
    if (dst.lHeight > 0) {
        if (out.createImg(dst.lXpos, dst.lYpos, dst.lWidth, dst.lHeight, dst.lSync, dst.lBps, dst.lSpp,
                          dst.ulRGBOrder, dst.lXResolution, dst.lYResolution) == 0)
            return RTN_PAR;
        if (out.isNull())
            return RTN_MEMORY;
        std::memcpy(out.getImage(), band.getImage(), out.getImageSize());
    }
    m_Remain = band.getInfo();
    m_Remain.lpImage = nullptr;
    m_Remain.lHeight = band.getHeight() - dst.lHeight;
    band.attachImg(out); // a band whose lines are all held hands on nothing
    return RTN_OK;
}

std::int32_t CEmphasisEdge::EmphasisEdgeCont(CImg& band) {
    if (band.isNull())
        return RTN_OK;
    tagIMAGEINFO dst = band.getInfo(), src = band.getInfo();
    return EdgeFuncContEx(layerRecord(dst), layerRecord(src), &m_Edge) != 0 ? RTN_PAR : RTN_OK;
}

std::int32_t CEmphasisEdge::EmphasisEdgeFinish(CImg& band) {
    tagIMAGEINFO src = band.getInfo();
    tagOVKIMAGEINFO* source = band.isNull() ? nullptr : layerRecord(src);
    if (m_Remain.lHeight > 0) {
        if (m_Remain.ulRGBOrder != RGBORDER_PIXEL)
            return RTN_PAR; // the kernels hold back interleaved lines only
        tagIMAGEINFO joined = m_Remain;
        joined.lHeight = m_Remain.lHeight + band.getHeight();
        joined.tImageSize =
            static_cast<std::uint32_t>(joined.lHeight) * static_cast<std::uint32_t>(joined.lSync);
        CImg out;
        if (out.createImg(&joined) == 0)
            return RTN_PAR;
        if (out.isNull())
            return RTN_MEMORY;
        tagIMAGEINFO dst = out.getInfo();
        if (EdgeFuncFinishEx(layerRecord(dst), source, &m_Edge) != 0)
            return RTN_PAR;
        band.attachImg(out);
    } else if (!band.isNull()) {
        tagIMAGEINFO dst = band.getInfo();
        if (EdgeFuncFinishEx(layerRecord(dst), source, &m_Edge) != 0)
            return RTN_PAR;
    }
    m_Remain.lHeight = 0;
    releaseEmphasisEdgeHandle();
    return RTN_OK;
}

std::int32_t CEmphasisEdge::EmphasisEdge(CImg& page) {
    if (page.isNull())
        return RTN_OK; // nothing reached this step, nothing is held
    const std::int32_t started = EmphasisEdgeStart(page);
    if (started != RTN_OK)
        return started;
    if (m_Remain.lHeight == 0)
        return RTN_OK;
    const std::int32_t held = m_Remain.lHeight;
    CImg tail;
    const std::int32_t finished = EmphasisEdgeFinish(tail);
    if (finished != RTN_OK)
        return finished;
    if (tail.getHeight() != held)
        return RTN_PAR;
    return page.appendImg(tail) != 0 ? RTN_OK : RTN_MEMORY;
}

} // namespace Ovk::Pixen
