// Binarisation of one band: a 1-bit image of the band's size receives the layer's result; on failure the
// grey band stays as it was, so nothing downstream mistakes a blank image for the page.
#include "CGrayToBinary.h"

#include "LayerRecord.h"
#include "RecordSize.h"

#include <cmath>

namespace Ovk::Pixen {

namespace {

constexpr std::int32_t AdaptiveMethod = 8;

} // namespace

CGrayToBinary::CGrayToBinary() noexcept = default;

CGrayToBinary::~CGrayToBinary() {
    releaseBinalizeHandle();
}

void CGrayToBinary::releaseBinalizeHandle() noexcept {
    if (m_Bin.hBinFunc != nullptr)
        ReleaseBinalizeHandle(&m_Bin);
    m_Bin = {};
}

std::uint8_t CGrayToBinary::getThresholdTable(std::uint8_t brightness) const noexcept {
    const double b = brightness;
    const double level = brightness < 128 ? 245.0 - 113.0 * b / 128.0 : 132.0 - 97.0 * (b - 128.0) / 128.0;
    return static_cast<std::uint8_t>(std::floor(level));
}

std::int32_t CGrayToBinary::setInfo(CImg& image, void* info) {
    if (checkRecordSize<tagGRAYTOBINARYINFO>(info) != RTN_OK || (!image.isNull() && image.getBps() != 8))
        return RTN_PAR;
    m_Info = *static_cast<const tagGRAYTOBINARYINFO*>(info);
    return RTN_OK;
}

std::int32_t CGrayToBinary::IP(CImg& image) {
    releaseBinalizeHandle();
    const std::int32_t result = GrayToBinary(image);
    releaseBinalizeHandle();
    return result;
}

std::int32_t CGrayToBinary::IPFirst(CImg& band) {
    releaseBinalizeHandle();
    return GrayToBinary(band);
}

std::int32_t CGrayToBinary::IPLast(CImg& band) {
    const std::int32_t result = GrayToBinary(band);
    releaseBinalizeHandle();
    return result;
}

std::int32_t CGrayToBinary::GrayToBinary(CImg& band) {
    if (band.isNull())
        return RTN_OK; // a band that an earlier step has taken or emptied
    CImg binary;
    if (binary.createImg(band.getXpos(), band.getYpos(), band.getWidth(), band.getHeight(),
                         (band.getWidth() + 7) / 8, 1, 1, band.getRGBOrder(), band.getXResolution(),
                         band.getYResolution()) == 0)
        return RTN_PAR;
    if (binary.isNull())
        return RTN_MEMORY;
    m_Bin.ulSize = kBinFuncInfoHandleSize;
    m_Bin.lMode = m_Info.Method;
    if (m_Info.Method == AdaptiveMethod) {
        m_Bin.lSliceLevel = BrightnessToSlicelevel(m_Info.ulBrightness);
        m_Bin.lSliceLevel2 = static_cast<std::int32_t>(m_Info.ulContrast);
    } else {
        m_Bin.lSliceLevel = m_Bin.lSliceLevel2 =
            getThresholdTable(static_cast<std::uint8_t>(m_Info.ulBrightness));
    }
    // The layer reads from line lYpos of each record: the whole band is meant.
    tagIMAGEINFO dst = binary.getInfo();
    tagIMAGEINFO src = band.getInfo();
    dst.ulSize = src.ulSize = sizeof(tagIMAGEINFO);
    dst.lXpos = dst.lYpos = src.lXpos = src.lYpos = 0;
    if (BinalizeRectEx(layerRecord(dst), layerRecord(src), &m_Bin) != 0)
        return RTN_PAR;
    band.attachImg(binary);
    return RTN_OK;
}

} // namespace Ovk::Pixen
