// Line routines of the collection filters. A 12-bit pair occupies three bytes, so a line of n samples
// reads (3n + 1) / 2 bytes; callers size their lines from a checked record, which guarantees that.
#include "QS880/CCollectArray.h"

#include "OvkVectorClones.h"
#include "QS880/ResultImage.h"
#include "RecordSize.h"

namespace Ovk::Pixen::QS880 {

namespace {

std::uint16_t sample12(const std::uint8_t* in, std::int32_t k) {
    const std::uint8_t* group = in + (k / 2) * 3;
    if (k % 2 == 0)
        return static_cast<std::uint16_t>(group[0] + 256 * (group[1] & 0x0F));
    return static_cast<std::uint16_t>((group[1] >> 4) + 16 * group[2]);
}

} // namespace

std::int32_t CCollectArray::setInfo(CImg& image, void* info) {
    if (checkRecordSize<tagCOLLECTARRAYINFO>(info) != RTN_OK)
        return RTN_PAR;
    if (needsLineOrder() && !image.isNull() && image.getRGBOrder() != RGBORDER_LINE)
        return RTN_PAR;
    m_Info = *static_cast<const tagCOLLECTARRAYINFO*>(info);
    return RTN_OK;
}

void CCollectArray::Extend12To16BitCore(std::uint16_t* out, const std::uint8_t* in, std::int32_t n) {
    if (out == nullptr || in == nullptr)
        return;
    for (std::int32_t k = 0; k < n; ++k)
        out[k] = sample12(in, k);
}

void CCollectArray::Extend12To16BitAndArrayCollect(std::uint16_t* out, const std::uint8_t* in, std::int32_t n,
                                                   const tagDUMMYPIXELS&) {
    if (out == nullptr || in == nullptr)
        return;
    for (std::int32_t k = 0; k < n; ++k)
        out[n - 1 - k] = sample12(in, k);
}

void CCollectArray::Extend12To16BitAndSeparate(std::uint16_t* front, std::uint16_t* back,
                                               const std::uint8_t* in, std::int32_t n,
                                               const tagDUMMYPIXELS&) {
    if (front == nullptr || back == nullptr || in == nullptr)
        return;
    const std::int32_t half = n / 2;
    for (std::int32_t i = 0; i < half; ++i) {
        front[half - 1 - i] = sample12(in, 2 * i);
        back[i] = sample12(in, 2 * i + 1);
    }
}

OVK_VECTOR_CLONES void CCollectArray::Separate(std::uint8_t* front, std::uint8_t* back,
                                               const std::uint8_t* in, std::int32_t n) {
    if (front == nullptr || back == nullptr || in == nullptr)
        return;
    const std::int32_t half = n / 2;
    for (std::int32_t i = 0; i < half; ++i) {
        front[half - 1 - i] = in[2 * i];
        back[i] = in[2 * i + 1];
    }
}

} // namespace Ovk::Pixen::QS880
