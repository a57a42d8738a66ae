// Blank-page decision: the measure counts content (edges, with the page frame excluded); the count per
// 100 dpi, corrected per resolution, is compared with the user's threshold.
#include "CIsBlankPage.h"

#include "LayerRecord.h"
#include "OvkError.h"
#include "RecordSize.h"

#include <algorithm>

namespace Ovk::Pixen {

const tagBLANKRESOLUTION DEFAULTBLANKSKIPPLUS[BlankResolutionCount] = {
    {100, 0.0}, {150, 0.0}, {200, 0.0}, {240, 0.0}, {300, 0.4},
    {400, 1.1}, {600, 1.8}, {0, 0},     {0, 0},     {0, 0}};

namespace {

constexpr std::uint32_t DefaultOptions = kBlankFrameExclusion | kBlankEdgeMeasure; // 257
constexpr std::uint32_t RatioDenominator = 30000;

} // namespace

CIsBlankPage::CIsBlankPage() noexcept : CIsBlankPage(DefaultOptions, DEFAULTBLANKSKIPPLUS, false) {}

CIsBlankPage::CIsBlankPage(std::uint32_t options, const tagBLANKRESOLUTION* table, bool invert) noexcept
    : m_bInvert(invert), m_ulOption(options) {
    if (table != nullptr)
        std::copy(table, table + BlankResolutionCount, m_Table);
}

std::int32_t CIsBlankPage::setInfo(CImg&, void* info) {
    if (checkRecordSize<tagBLANKPAGEFILTERINFO>(info) != RTN_OK)
        return RTN_PAR;
    m_Info = *static_cast<const tagBLANKPAGEFILTERINFO*>(info);
    m_Measure = {};
    m_Measure.ulSize = sizeof(tagISBLANKINFO);
    return RTN_OK;
}

double CIsBlankPage::correction(std::int32_t resolution) const noexcept {
    for (const tagBLANKRESOLUTION& pair : m_Table) {
        if (pair.dResolution == 0 && pair.dCorrection == 0)
            break;
        if (pair.dResolution == resolution)
            return pair.dCorrection;
    }
    return 0.0;
}

std::int32_t CIsBlankPage::IsBlankPage(CImg& image) {
    if (image.isNull())
        return RTN_PAR;
    if (m_Info.lThreshold == 0) {
        m_Info.bBlank = 0;
        return RTN_OK;
    }
    if (m_Info.lSlice > 255) {
        m_Info.bBlank = 1;
        return RTN_OK;
    }
    m_Measure.ulLevel = static_cast<std::uint32_t>(m_Info.lSlice);
    m_Measure.lThreshold = static_cast<std::int32_t>(
        ((static_cast<std::uint32_t>(m_Info.lRatio) & 0xFFFFu) << 16) | RatioDenominator);
    m_Measure.lInverted = m_bInvert ? 1 : 0;
    m_Measure.ulOptions = m_ulOption;
    IsBlankPageEx2(layerRecord(image), &m_Measure);
    const int error = IpGetLastError();
    if (error == kIpNotEnoughMemory)
        return RTN_MEMORY;
    if (error != kIpSuccess)
        return RTN_PAR;
    const std::int32_t resolution = image.getXResolution();
    const double divisor = resolution / 100 + correction(resolution);
    // Below 100 dpi the count cannot be normalised.
    if (divisor <= 0.0)
        return RTN_PAR;
    m_Info.bBlank = static_cast<double>(m_Measure.ulCount) / divisor < m_Info.lThreshold ? 1 : 0;
    return RTN_OK;
}

} // namespace Ovk::Pixen
