// Band-wise driver of the moire reducer and of its single passes, behind handle words.
#include "Moire/ReduceMoireFilter.h"

#include "Moire/SpreadTable.h"
#include "OvkHandles.h"

#include <climits>
#include <cstring>
#include <functional>
#include <memory>

COvkReduceMoire::COvkReduceMoire(Setup setup) : m_setup(std::move(setup)) {}

bool COvkReduceMoire::keepLine(int64_t index) const {
    const std::vector<uint16_t>& keep = m_setup.keepLines;
    return keep.empty() || (index < static_cast<int64_t>(keep.size()) && keep[index] != 0);
}

void COvkReduceMoire::prepare(const tagOVKIMAGEINFO* src, const tagOVKIMAGEINFO* dst) {
    const bool colour = src->lSpp == 3 && src->ulRGBOrder == kOvkPixelOrder;
    if (src->lBps != 8 || (src->lSpp != 1 && !colour) || src->lWidth <= 0)
        throw -1;
    const std::vector<uint16_t>& keep = m_setup.keepPixels;
    if (!keep.empty() && static_cast<size_t>(src->lWidth) != keep.size())
        throw -1;
    if (!m_window) {
        m_samples = src->lSpp;
        m_outWidth = src->lWidth;
        if (!keep.empty()) {
            m_outWidth = 0;
            for (uint16_t k : keep)
                m_outWidth += k != 0;
        }
        m_window = std::make_unique<MoireWindow>(m_setup.vertical, m_outWidth * m_samples);
        m_line.resize(static_cast<size_t>(m_outWidth) * m_samples);
    }
    if (src->lSpp != m_samples || dst->lBps != 8 || dst->lSpp != m_samples || dst->lWidth != m_outWidth ||
        dst->lSync < m_outWidth * m_samples || src->lSync < src->lWidth * m_samples)
        throw -1;
}

int32_t COvkReduceMoire::emit(tagOVKIMAGEINFO* dst, int32_t written, int64_t last) {
    const int32_t capacity = dst->lHeight;
    const int64_t pageEnd = m_setup.pageLines;
    for (; m_next <= last && m_next < pageEnd; ++m_next) {
        if (!keepLine(m_next) || written >= capacity)
            continue;
        m_window->produce(m_next, dst->lpImage + static_cast<ptrdiff_t>(dst->lSync) * written);
        ++written;
    }
    return written;
}

int32_t COvkReduceMoire::band(tagOVKIMAGEINFO* dst, const tagOVKIMAGEINFO* src) {
    prepare(src, dst);
    int32_t written = 0;
    for (int32_t y = 0; y < src->lHeight && m_window->pushed() < m_setup.pageLines; ++y) {
        const uint8_t* line = src->lpImage + static_cast<ptrdiff_t>(src->lSync) * y;
        MaskLine(m_setup.horizontal, line, src->lWidth, m_samples,
                 m_setup.keepPixels.empty() ? nullptr : &m_setup.keepPixels, m_line.data(), m_work);
        if (m_window->push(m_line.data()))
            written = emit(dst, written, m_window->ready());
    }
    dst->lHeight = written;
    m_linesOut += written;
    return written;
}

int32_t COvkReduceMoire::end(tagOVKIMAGEINFO* dst) {
    int32_t written = 0;
    if (m_window && m_window->pushed() > 0)
        written = emit(dst, 0, m_window->pushed() - 1);
    dst->lHeight = written;
    m_linesOut += written;
    return written;
}

namespace {
using Registry = LastingHandles<COvkReduceMoire>;
using SetupMaker = std::function<COvkReduceMoire::Setup(const tagREDUCEMOIREFILTERINFO&)>;

bool hasPixels(const tagOVKIMAGEINFO* image) {
    return image && image->lpImage;
}

MoireMask maskOf(const tagREDUCEMOIREFILTERINFO& info, int32_t output, int32_t input) {
    if (info.lMaskMode != 1) {
        MoireMask mask = MoireMask::forResolutions(output, input);
        if (mask.coefficients.empty())
            throw -1;
        return mask;
    }
    if (!info.pMask || info.lMaskTaps <= 0 || info.lMaskTaps > 255)
        throw -2;
    return {std::vector<int16_t>(info.pMask, info.pMask + info.lMaskTaps), info.lMaskScale};
}

std::vector<uint16_t> spread(int32_t count, int32_t size) {
    std::vector<uint16_t> table;
    MakeSpreadCountTable(table, count, size);
    return table;
}

int64_t pageLinesOf(const tagREDUCEMOIREFILTERINFO& info) {
    return info.lSrcHeight > 0 ? info.lSrcHeight : INT64_MAX;
}

void release(Registry& registry, void*& handle) {
    if (handle)
        registry->release(handle);
    handle = nullptr;
}

// The whole page: every line, then the held lines below them.
void wholePage(COvkReduceMoire& reducer, tagOVKIMAGEINFO* dst, const tagOVKIMAGEINFO* src,
               const tagREDUCEMOIREFILTERINFO& info) {
    const int32_t capacity = dst->lHeight;
    const int32_t written = reducer.band(dst, src);
    tagOVKIMAGEINFO rest = *dst;
    rest.lpImage += static_cast<ptrdiff_t>(dst->lSync) * written;
    rest.lHeight = capacity - written;
    const int32_t total = written + reducer.end(&rest);
    dst->lHeight = info.lDstHeight > 0 && total > info.lDstHeight ? info.lDstHeight : total;
}

int run(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info,
        void* tagREDUCEMOIREFILTERINFO::*word, Registry& registry, const SetupMaker& makeSetup,
        int32_t lastCommand) {
    if (!info)
        return -1;
    if (info->ulSize != sizeof(tagREDUCEMOIREFILTERINFO) || info->lCommand < 0 ||
        info->lCommand > lastCommand)
        return -4;
    void*& handle = info->*word;
    if (info->lCommand == kMoireRelease) {
        release(registry, handle);
        return 0;
    }
    if (info->lCommand == kMoireCreate) {
        release(registry, handle); // a reducer still held would otherwise be lost
        try {
            handle = registry->add(std::make_unique<COvkReduceMoire>(makeSetup(*info)));
            return 0;
        } catch (int code) {
            return code;
        } catch (...) {
            return -2;
        }
    }
    const bool bandCommand = info->lCommand != kMoireEnd;
    COvkReduceMoire* live = registry->find(handle);
    if (!live || !hasPixels(dst) || (bandCommand && !hasPixels(src)))
        return -4;
    COvkReduceMoire& reducer = *live;
    try {
        if (info->lCommand == kMoireEnd) {
            reducer.end(dst);
        } else if (info->lCommand == kMoireWholePage) {
            wholePage(reducer, dst, src, *info);
            info->lHeldLines = 0;
        } else {
            reducer.band(dst, src);
            if (info->lCommand == kMoireFirstBand)
                info->lHeldLines = reducer.heldLines();
        }
        return 0;
    } catch (int code) {
        release(registry, handle);
        return code;
    } catch (...) { // allocation failures
        release(registry, handle);
        return -2;
    }
}

Registry g_reducers;
Registry g_maskH;
Registry g_maskV;
Registry g_convertH;
Registry g_convertV;
} // namespace

int ReduceMoire(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info) {
    // The horizontal mask serves both directions: the pair of x resolutions chooses it.
    return run(
        dst, src, info, &tagREDUCEMOIREFILTERINFO::hReduceMoire, g_reducers,
        [](const tagREDUCEMOIREFILTERINFO& r) {
            const MoireMask mask = maskOf(r, r.lDstXResolution, r.lSrcXResolution);
            return COvkReduceMoire::Setup{mask, spread(r.lDstWidth, r.lSrcWidth), mask,
                                          spread(r.lDstHeight, r.lSrcHeight), pageLinesOf(r)};
        },
        kMoireWholePage);
}

int MaskFilterH(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info) {
    return run(
        dst, src, info, &tagREDUCEMOIREFILTERINFO::hMaskFilterH, g_maskH,
        [](const tagREDUCEMOIREFILTERINFO& r) {
            return COvkReduceMoire::Setup{
                maskOf(r, r.lDstXResolution, r.lSrcXResolution), {}, MoireMask::identity(), {}, INT64_MAX};
        },
        kMoireRelease);
}

int MaskFilterV(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info) {
    return run(
        dst, src, info, &tagREDUCEMOIREFILTERINFO::hReduceMoire, g_maskV,
        [](const tagREDUCEMOIREFILTERINFO& r) {
            return COvkReduceMoire::Setup{MoireMask::identity(),
                                          {},
                                          maskOf(r, r.lDstYResolution, r.lSrcYResolution),
                                          {},
                                          pageLinesOf(r)};
        },
        kMoireRelease);
}

int ResolutionConvertH(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info) {
    return run(
        dst, src, info, &tagREDUCEMOIREFILTERINFO::hResolutionConvertH, g_convertH,
        [](const tagREDUCEMOIREFILTERINFO& r) {
            return COvkReduceMoire::Setup{MoireMask::identity(),
                                          spread(r.lDstWidth, r.lSrcWidth),
                                          MoireMask::identity(),
                                          {},
                                          INT64_MAX};
        },
        kMoireRelease);
}

int ResolutionConvertV(tagOVKIMAGEINFO* dst, tagOVKIMAGEINFO* src, tagREDUCEMOIREFILTERINFO* info) {
    return run(
        dst, src, info, &tagREDUCEMOIREFILTERINFO::hResolutionConvertV, g_convertV,
        [](const tagREDUCEMOIREFILTERINFO& r) {
            return COvkReduceMoire::Setup{MoireMask::identity(),
                                          {},
                                          MoireMask::identity(),
                                          spread(r.lDstHeight, r.lSrcHeight),
                                          pageLinesOf(r)};
        },
        kMoireRelease);
}
