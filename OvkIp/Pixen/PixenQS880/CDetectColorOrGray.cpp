// Colour decision: the configured record is copied into a working record for each page; the detector
// lives behind the working record's handle from setInfo until the page's last band.
#include "CDetectColorOrGray.h"

#include "LayerRecord.h"
#include "RecordSize.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

namespace {

constexpr std::int32_t ThresholdTableMode = 3; // the detector takes our table and sensitivity
constexpr std::array<double, 8> LevelOffsets{0.0, 0.001, 0.028, 0.069, 0.11, 0.16, 0.21, 0.26};

} // namespace

std::int32_t CColorOrGrayThreshold::GetOffset(double* out, std::int32_t level) const noexcept {
    const std::int32_t used = level != 0 ? level : m_nLevel;
    if (used < 1)
        return 87;
    if (used > 7)
        return 259;
    if (out != nullptr)
        *out = LevelOffsets[static_cast<std::size_t>(used)];
    return 0;
}

std::int32_t CColorOrGrayThreshold::BuildThreshold(std::uint8_t* table, std::uint32_t count) {
    double offset = 0.0;
    if (table == nullptr || count != 256 || GetOffset(&offset, 0) != 0)
        return 0;
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<std::uint8_t>(i);
        const double y = 347.0 * std::pow(i / 255.0, 1.0 / 2.2) - 55.0;
        if (y <= 45.0)
            continue;
        const double y2 = y - y * (5.0 / (y - 45.0) + offset);
        if (y2 < 0.0)
            continue;
        const double z = 255.0 * std::pow((y2 + 55.0) / 347.0, 2.2);
        const auto v = static_cast<std::int32_t>(std::trunc((i - z) / i * i + 0.5));
        table[i] = static_cast<std::uint8_t>(std::max(std::min(v, i), 0));
    }
    return 1;
}

namespace Ovk::Pixen {

CDetectColorOrGray::CDetectColorOrGray() noexcept {
    m_Configured.ulSize = sizeof(tagDETECT_COLOR_INFO);
    m_Working.ulSize = sizeof(tagDETECT_COLOR_INFO);
}

CDetectColorOrGray::~CDetectColorOrGray() {
    deleteHandle();
}

void CDetectColorOrGray::deleteHandle() noexcept {
    if (m_Working.hDetector == nullptr)
        return;
    m_Working.lCommand = kColorRelease;
    IsColorImage(nullptr, &m_Working);
}

std::int32_t CDetectColorOrGray::setInfo(CImg& image, void* info) {
    if (checkRecordSize<tagDETECT_COLOR_INFO>(info) != RTN_OK)
        return RTN_PAR;
    m_Configured = *static_cast<const tagDETECT_COLOR_INFO*>(info);
    m_Configured.hDetector = nullptr;
    // The pipeline puts the user's sensitivity level into the word after the table's trailing zero word.
    CColorOrGrayThreshold threshold(m_Configured.lTablePreset);
    if (threshold.BuildThreshold(m_Configured.byThreshold, sizeof m_Configured.byThreshold) != 0)
        m_Configured.lMode = ThresholdTableMode;
    m_Configured.lCommand = kColorCreate;
    return DetectColorOrGray(image);
}

std::int32_t CDetectColorOrGray::run(CImg& image, std::int32_t command) {
    m_Configured.lCommand = command;
    m_Working.lCommand = command;
    return DetectColorOrGray(image);
}

std::int32_t CDetectColorOrGray::IP(CImg& image) {
    const std::int32_t result = run(image, kColorWholePage);
    deleteHandle();
    return result;
}

std::int32_t CDetectColorOrGray::IPFirst(CImg& band) {
    return run(band, kColorFirstBand);
}

std::int32_t CDetectColorOrGray::IPMiddle(CImg& band) {
    return run(band, kColorBand);
}

std::int32_t CDetectColorOrGray::IPLast(CImg& band) {
    const std::int32_t result = run(band, kColorLastBand);
    deleteHandle();
    return result;
}

std::int32_t CDetectColorOrGray::DetectColorOrGray(CImg& image) {
    try {
        tagIMAGEINFO record = image.getInfo();
        if (m_Configured.lCommand == kColorCreate) {
            deleteHandle();
            m_Working = m_Configured;
        }
        switch (IsColorImage(layerRecord(record), &m_Working)) {
        case 0:
            return RTN_OK;
        case -2:
            return RTN_MEMORY;
        case -1:
        case -3:
        case -4:
        case -5:
        case -6:
        case -7:
            return RTN_PAR;
        default:
            return RTN_SEQUENCE;
        }
    } catch (const std::bad_alloc&) {
        return RTN_MEMORY;
    }
}

std::int32_t CDetectColorOrGray::getDetectColorOrGrayResult(bool* colour,
                                                            std::int32_t* count) const noexcept {
    if (colour != nullptr)
        *colour = m_Working.lColor == 1;
    if (count != nullptr)
        *count = m_Working.lBandCount;
    return RTN_OK;
}

} // namespace Ovk::Pixen
