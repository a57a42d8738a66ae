// Light-curve block reader and white-reference adjustment. The block comes from the scanner's memory,
// so every header, table and entry is checked to lie inside the block before it is read.
#include "QS880/CLightCurveAdjustData.h"

#include "ResultCodes.h"

#include <algorithm>
#include <new>

namespace Ovk::Pixen::QS880 {

namespace {

constexpr std::uint32_t kFirstRecord = 12;
constexpr std::uint32_t kShortHeader = 32; // headers this long or shorter carry no special flags

} // namespace

std::uint32_t CLightCurve::at(std::uint32_t index) const {
    const std::uint8_t* bytes = GetPtr() + std::size_t{index} * 4;
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint32_t CLightCurve::entry(std::uint32_t j, std::uint32_t i) const {
    if (usSpp != 3)
        return at(i);
    return usLayout == 1 ? at(j * ulCount + i) : at(3 * i + j);
}

std::uint32_t CLightCurveAdjustData::GetByte(const std::uint8_t* data, std::uint32_t index) {
    return data[index];
}

std::uint32_t CLightCurveAdjustData::GetWord(const std::uint8_t* data, std::uint32_t index) {
    const std::uint8_t* p = data + std::size_t{index} * 2;
    return p[0] | p[1] << 8;
}

std::uint32_t CLightCurveAdjustData::GetDWord(const std::uint8_t* data, std::uint32_t index) {
    const std::uint8_t* p = data + std::size_t{index} * 4;
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::int32_t CLightCurveAdjustData::CheckTimeStamp(const std::uint8_t* data, std::uint32_t stamp,
                                                   std::uint32_t size) {
    if (data == nullptr || size != kBlockSize)
        return RTN_PAR;
    return GetDWord(data, 0) == stamp ? 0 : 1;
}

std::int32_t CLightCurveAdjustData::SetSize(std::uint32_t count) {
    Release();
    m_pCurves.reset(new (std::nothrow) CLightCurve[count]);
    if (!m_pCurves)
        return RTN_MEMORY;
    m_ulCount = count;
    return RTN_OK;
}

void CLightCurveAdjustData::Release() {
    m_pCurves.reset();
    m_ulCount = 0;
}

std::int32_t CLightCurveAdjustData::LoadData(const std::uint8_t* data, std::uint32_t size) {
    if (data == nullptr || size != kBlockSize || GetDWord(data, 0) == kNoCurves)
        return RTN_PAR;
    const std::uint32_t count = GetDWord(data, 2);
    // Each record needs at least its fixed header: more cannot fit in the block.
    if (count > (kBlockSize - kFirstRecord) / kShortHeader)
        return RTN_PAR;
    if (const std::int32_t result = SetSize(count); result != RTN_OK)
        return result;
    std::uint32_t at = kFirstRecord;
    for (std::uint32_t n = 0; n < count; ++n)
        if (const std::int32_t result = loadRecord(data, size, at, m_pCurves[n]); result != RTN_OK) {
            Release();
            return result;
        }
    return RTN_OK;
}

std::int32_t CLightCurveAdjustData::loadRecord(const std::uint8_t* data, std::uint32_t size,
                                               std::uint32_t& at, CLightCurve& curve) {
    if (size - at < kShortHeader)
        return RTN_PAR;
    const std::uint8_t* h = data + at;
    tagLCAINFOHEADER& header = curve;
    header = {static_cast<std::uint16_t>(GetWord(h, 0)),
              static_cast<std::uint16_t>(GetWord(h, 1)),
              static_cast<std::uint16_t>(GetWord(h, 2)),
              static_cast<std::uint16_t>(GetWord(h, 3)),
              GetDWord(h, 2),
              GetDWord(h, 3),
              GetDWord(h, 4),
              GetDWord(h, 5),
              static_cast<std::uint16_t>(GetWord(h, 12)),
              static_cast<std::uint16_t>(GetWord(h, 13)),
              GetDWord(h, 7),
              0,
              0};
    if (header.usHeaderSize < kShortHeader || header.usHeaderSize > size - at)
        return RTN_PAR;
    if (header.usHeaderSize > kShortHeader) {
        header.bSpecial = h[32];
        header.bEmphasis = header.usHeaderSize > 33 ? h[33] : 0;
    }
    const std::uint32_t tables = header.usSpp == 3 ? 3 : 1;
    const std::uint32_t entryBytes = header.usBits / 8;
    const std::uint64_t dataStart = std::uint64_t{at} + header.usHeaderSize;
    if ((header.usBits != 8 && header.usBits != 16 && header.usBits != 32) || header.ulCount == 0 ||
        header.ulDataSize == 0 || dataStart + header.ulDataSize > size)
        return RTN_PAR;
    // The last entry of the last table must lie inside the record's data.
    if (std::uint64_t{tables - 1} * header.ulStride + std::uint64_t{header.ulCount} * entryBytes >
        header.ulDataSize)
        return RTN_PAR;
    const auto next = static_cast<std::uint32_t>(dataStart + header.ulDataSize);
    if (curve.SetSize(header.ulCount * tables * 4) == 0)
        return RTN_PAR;
    const std::uint8_t* tableData = data + dataStart;
    std::uint8_t* out = curve.GetPtr();
    for (std::uint32_t j = 0; j < tables; ++j) {
        const std::uint8_t* table = tableData + std::size_t{j} * header.ulStride;
        for (std::uint32_t i = 0; i < header.ulCount; ++i) {
            const std::uint32_t value = header.usBits == 8    ? GetByte(table, i)
                                        : header.usBits == 16 ? GetWord(table, i)
                                                              : GetDWord(table, i);
            std::uint8_t* slot = out + (std::size_t{j} * header.ulCount + i) * 4;
            for (int b = 0; b < 4; ++b)
                slot[b] = static_cast<std::uint8_t>(value >> (8 * b));
        }
    }
    curve.usBits = 32;
    curve.ulStride = header.ulCount * 4;
    curve.ulDataSize = header.ulCount * tables * 4;
    at = next;
    return RTN_OK;
}

std::uint16_t CLightCurveAdjustData::LightCurveAdjPixel(std::uint32_t white, std::uint32_t black,
                                                        std::uint32_t value, std::uint32_t scale) {
    if (scale == 0)
        return static_cast<std::uint16_t>(white);
    const std::uint64_t difference = white > black ? white - black : 0;
    // 64-bit: a curve value times a 16-bit difference can pass 32 bits.
    const std::uint64_t result = (std::uint64_t{value} * difference + scale / 2) / scale + black;
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(result, 0xFFFF));
}

const CLightCurve* CLightCurveAdjustData::findCurve(const CImg& white, std::int32_t side,
                                                    std::int32_t dropOut, std::int32_t emphasis) const {
    for (std::uint32_t n = 0; n < m_ulCount; ++n) {
        const CLightCurve& curve = m_pCurves[n];
        bool kind;
        if (dropOut != 0)
            kind = curve.usSpp == 3 && white.getSpp() == 1;
        else if (emphasis != 0)
            kind = curve.usSpp == white.getSpp() && curve.bEmphasis != 0;
        else
            kind = curve.usSpp == white.getSpp() && curve.bSpecial == 0 && curve.bEmphasis == 0;
        if (curve.usSide == side && kind && curve.usResolution == white.getXResolution() &&
            (curve.ulFlags & 1) != 0)
            return &curve;
    }
    return nullptr;
}

std::int32_t CLightCurveAdjustData::AdjustData(const CImg& black, CImg& white, std::int32_t side,
                                               std::int32_t dropOut, std::int32_t emphasis) {
    if ((dropOut != 0 && emphasis != 0) || dropOut < 0 || dropOut > 3 || emphasis < 0 || emphasis > 3)
        return RTN_PAR;
    if (white.isNull() || black.isNull() || white.getBps() != 16 || black.getBps() != 16 ||
        black.getImageSize() < white.getImageSize() || !CImg::checkInfo(white))
        return RTN_PAR;
    const CLightCurve* curve = findCurve(white, side, dropOut, emphasis);
    if (curve == nullptr)
        return RTN_PAR;
    const std::uint32_t n =
        std::min<std::uint32_t>(static_cast<std::uint32_t>(white.getWidth()), curve->ulCount);
    auto* whites = reinterpret_cast<std::uint16_t*>(white.getImage());
    const auto* blacks = reinterpret_cast<const std::uint16_t*>(black.getImage());
    const bool lineOrder = white.getRGBOrder() == RGBORDER_LINE;
    const std::uint32_t plane = static_cast<std::uint32_t>(white.getSync()) / 2;
    auto adjust = [&](std::size_t place, std::uint32_t value) {
        whites[place] = LightCurveAdjPixel(whites[place], blacks[place], value, curve->ulScale);
    };
    for (std::uint32_t i = 0; i < n; ++i) {
        if (white.getSpp() == 3) {
            for (std::uint32_t j = 0; j < 3; ++j)
                adjust(lineOrder ? std::size_t{j} * plane + i : 3 * std::size_t{i} + j, curve->entry(j, i));
        } else if (dropOut != 0) {
            adjust(i, curve->entry(static_cast<std::uint32_t>(dropOut - 1), i));
        } else {
            adjust(i, curve->at(i));
        }
    }
    return RTN_OK;
}

} // namespace Ovk::Pixen::QS880
