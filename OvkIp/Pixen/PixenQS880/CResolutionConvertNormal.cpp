// Resampling of a page band by band. Vertically, a reducing page sums input lines into per-pixel
// accumulators until the spread table closes an output line; an enlarging one repeats stretched lines.
#include "CResolutionConvertNormal.h"

#include "RecordSize.h"
#include "StretchData.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace Ovk::Pixen {

CResolutionConvertNormal::CResolutionConvertNormal() = default;
CResolutionConvertNormal::~CResolutionConvertNormal() = default;

std::vector<std::uint32_t> CResolutionConvertNormal::makeSpreadCountTable(std::int32_t nDst,
                                                                          std::int32_t nSrc) {
    std::vector<std::uint32_t> table(static_cast<std::size_t>(std::max(nSrc, 0)), 0u);
    if (nSrc <= 0 || nDst <= 0)
        return table;
    const std::int64_t dst = nDst, src = nSrc;
    if (dst == src) {
        std::fill(table.begin(), table.end(), 1u);
    } else if (dst > src) {
        std::int64_t e = 0, m = 0;
        std::size_t k = 0;
        for (std::int64_t n = 0; n < dst && k < table.size(); ++n) {
            e += src - 1;
            ++table[k];
            if (e - m >= dst - src) {
                m += dst - 1;
                ++k;
            }
        }
    } else {
        std::int64_t e = 0, m = 0;
        for (std::size_t i = 0; i < table.size(); ++i) {
            e += dst - 1;
            if (e - m >= src - dst) {
                ++table[i];
                m += src - 1;
            }
        }
        if (src >= 2 * dst)
            ++table.back();
    }
    return table;
}

std::int32_t CResolutionConvertNormal::setInfo(CImg& image, void* info) {
    if (checkRecordSize<tagRESOLUTIONCONVERTINFO>(info) != RTN_OK)
        return RTN_PAR;
    m_Info = *static_cast<const tagRESOLUTIONCONVERTINFO*>(info);
    try {
        if (!setMode(image.getBps(), image.getSpp()) || !setXRatio(m_Info.lDstWidth, m_Info.lSrcWidth) ||
            !setYRatio(m_Info.lDstHeight, m_Info.lSrcHeight))
            return RTN_PAR;
    } catch (const std::bad_alloc&) {
        return RTN_PAR;
    }
    StartConvert();
    return RTN_OK;
}

bool CResolutionConvertNormal::setMode(std::int32_t bps, std::int32_t spp) {
    if (bps == 8 && spp == 3)
        m_Mode = ModeColor;
    else if (bps == 8 && spp == 1)
        m_Mode = ModeGray;
    else if (bps == 1 && spp == 1)
        m_Mode = ModeBinary; // accepted, but its bands are refused: only 8-bit bands are converted
    else
        return false;
    return true;
}

bool CResolutionConvertNormal::setXRatio(std::int32_t nDst, std::int32_t nSrc) {
    if (nDst <= 0 || nSrc <= 0)
        return false;
    m_nDstX = nDst;
    m_nSrcX = nSrc;
    const std::size_t channels = m_Mode == ModeColor ? 3 : 1;
    m_Sums.assign(static_cast<std::size_t>(nDst) * channels, 0u);
    m_Counts.assign(static_cast<std::size_t>(nDst) + 1, 0u); // the extra zero ends the row
    m_XTable = makeSpreadCountTable(nDst, nSrc);
    m_pStretch.reset();
    if (m_Mode == ModeBinary)
        return true;
    const bool fixed = IsStretch2_3(nDst, nSrc);
    if (m_Mode == ModeColor)
        m_pStretch = fixed ? std::unique_ptr<CStretchDataCore>(std::make_unique<CStretchFix2_3RGBData>())
                           : std::make_unique<CStretchRGBData>();
    else
        m_pStretch = fixed ? std::unique_ptr<CStretchDataCore>(std::make_unique<CStretchFix2_3GrayData>())
                           : std::make_unique<CStretchData>();
    return true;
}

bool CResolutionConvertNormal::setYRatio(std::int32_t nDst, std::int32_t nSrc) {
    if (nDst < 1 || nSrc < 1)
        return false;
    m_nDstY = nDst;
    m_nSrcY = nSrc;
    m_YTable = makeSpreadCountTable(nDst, nSrc);
    return true;
}

void CResolutionConvertNormal::StartConvert() noexcept {
    m_nInLine = 0;
    m_nPending = 0;
    std::fill(m_Sums.begin(), m_Sums.end(), 0u);
    std::fill(m_Counts.begin(), m_Counts.end(), 0u);
}

std::int32_t CResolutionConvertNormal::IP(CImg& band) {
    try {
        return ResolutionConvertNormal(band);
    } catch (...) {
        return RTN_MEMORY;
    }
}

// Output lines that the band's input lines complete: exact, so the band's image is never too small.
std::int32_t CResolutionConvertNormal::linesFor(std::int32_t bandLines) const noexcept {
    const bool reducing = m_nDstY < m_nSrcY;
    std::int64_t lines = 0;
    for (std::int32_t i = m_nInLine; i < m_nInLine + bandLines && i < m_nSrcY; ++i)
        lines += reducing ? (m_YTable[static_cast<std::size_t>(i)] != 0 ? 1 : 0)
                          : m_YTable[static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(lines);
}

std::int32_t CResolutionConvertNormal::ResolutionConvertNormal(CImg& band) {
    if (band.getBps() != 8 || (band.getSpp() == 3 && band.getRGBOrder() != RGBORDER_PIXEL))
        return RTN_PAR;
    if (band.getXResolution() == m_Info.lDstXResolution && band.getYResolution() == m_Info.lDstYResolution)
        return RTN_OK;
    if (band.getWidth() != m_nSrcX || (m_Mode == ModeColor) != (band.getSpp() == 3) || m_pStretch == nullptr)
        return RTN_PAR;
    const std::int32_t lines = linesFor(band.getHeight());
    CImg out;
    if (lines > 0) {
        const std::int32_t sync = CImg::calcMinSync(m_nDstX, 8, band.getSpp(), RGBORDER_PIXEL);
        if (out.createImg(band.getXpos(), band.getYpos(), m_nDstX, lines, sync, 8, band.getSpp(),
                          RGBORDER_PIXEL, m_Info.lDstXResolution, m_Info.lDstYResolution) == 0)
            return RTN_PAR;
        if (out.isNull())
            return RTN_MEMORY;
        m_pWrite = out.getImage();
        m_nOutSync = out.getSync();
    }
    for (std::int32_t y = 0; y < band.getHeight(); ++y)
        if (WriteLine(band.getLine(y)) < 0)
            return RTN_PAR;
    m_pWrite = nullptr;
    // Lines still open in the accumulators belong to a later band; this band hands on what it finished.
    band.attachImg(out);
    return RTN_OK;
}

std::int32_t CResolutionConvertNormal::WriteLine(const std::uint8_t* src) {
    const std::int32_t line = m_nInLine++;
    if (line >= m_nSrcY)
        return 0;
    const std::uint32_t entry = m_YTable[static_cast<std::size_t>(line)];
    if (m_nDstY >= m_nSrcY)
        return WriteExpandLine(src, entry);
    AddReductLineData(src);
    if (entry == 0)
        return 0;
    if (m_pWrite == nullptr)
        return -1;
    OutputReductData();
    return 1;
}

std::int32_t CResolutionConvertNormal::WriteExpandLine(const std::uint8_t* src, std::uint32_t times) {
    if (times == 0)
        return 0;
    if (m_pWrite == nullptr)
        return -1;
    m_pStretch->StretchDataProc(m_pWrite, m_nDstX, src, m_nSrcX, m_XTable.data());
    for (std::uint32_t k = 1; k < times; ++k)
        std::memcpy(m_pWrite + std::int64_t{k} * m_nOutSync, m_pWrite, static_cast<std::size_t>(m_nOutSync));
    m_pWrite += std::int64_t{times} * m_nOutSync;
    return static_cast<std::int32_t>(times);
}

void CResolutionConvertNormal::AddReductLineData(const std::uint8_t* src) {
    const std::int32_t channels = m_Mode == ModeColor ? 3 : 1;
    std::uint32_t run[3] = {};
    std::uint32_t runLength = 0;
    std::size_t out = 0;
    for (std::int32_t i = 0; i < m_nSrcX; ++i, src += channels) {
        const std::uint32_t entry = m_XTable[static_cast<std::size_t>(i)];
        if (entry == 0 || runLength != 0) {
            for (int c = 0; c < channels; ++c)
                run[c] += src[c];
            ++runLength;
        }
        if (entry == 0)
            continue;
        if (runLength != 0) {
            for (int c = 0; c < channels; ++c) {
                m_Sums[out * channels + static_cast<std::size_t>(c)] += run[c];
                run[c] = 0;
            }
            m_Counts[out++] += runLength;
            runLength = 0;
            continue;
        }
        for (std::uint32_t k = 0; k < entry && out < static_cast<std::size_t>(m_nDstX); ++k, ++out) {
            for (int c = 0; c < channels; ++c)
                m_Sums[out * channels + static_cast<std::size_t>(c)] += src[c];
            ++m_Counts[out];
        }
    }
    ++m_nPending;
}

void CResolutionConvertNormal::OutputReductData() {
    const std::size_t channels = m_Mode == ModeColor ? 3 : 1;
    std::uint8_t* dst = m_pWrite;
    for (std::size_t x = 0; m_Counts[x] != 0; ++x)
        for (std::size_t c = 0; c < channels; ++c)
            *dst++ = static_cast<std::uint8_t>(m_Sums[x * channels + c] / m_Counts[x]);
    m_pWrite += m_nOutSync;
    m_nPending = 0;
    std::fill(m_Sums.begin(), m_Sums.end(), 0u);
    std::fill(m_Counts.begin(), m_Counts.end(), 0u);
}

} // namespace Ovk::Pixen
