// The scanner's light curves: per side, colour use and resolution a table of factors (value / scale)
// that turns the white reference's reading into that of paper white, column by column.
#pragma once

#include "CImg.h"
#include "COvkRaster.h"

#include <cstdint>
#include <memory>

namespace Ovk::Pixen::QS880 {

// Header of one curve record as stored (little-endian); bSpecial and bEmphasis only in longer headers.
struct tagLCAINFOHEADER {
    std::uint16_t usHeaderSize;
    std::uint16_t usSide;
    std::uint16_t usSpp;
    std::uint16_t usBits;
    std::uint32_t ulScale;
    std::uint32_t ulCount;
    std::uint32_t ulStride;
    std::uint32_t ulDataSize;
    std::uint16_t usResolution;
    std::uint16_t usLayout; // 1: colour tables one after another; otherwise interleaved by pixel
    std::uint32_t ulFlags;  // bit 0: usable
    std::uint8_t bSpecial;
    std::uint8_t bEmphasis;
};

// One curve converted to 32-bit entries, the colour tables one after another.
class CLightCurve : public COvkRaster, public tagLCAINFOHEADER {
public:
    CLightCurve() : tagLCAINFOHEADER{} {}
    // Entry of colour j for pixel i.
    std::uint32_t entry(std::uint32_t j, std::uint32_t i) const;
    std::uint32_t at(std::uint32_t index) const;
};

class CLightCurveAdjustData {
public:
    static constexpr std::uint32_t kBlockSize = 524288;
    static constexpr std::uint32_t kNoCurves = 0xFFFFFFFF;

    virtual ~CLightCurveAdjustData() { Release(); }

    // 0 when the block's time stamp equals stamp, 1 when not, 2 for no block or a wrong size.
    virtual std::int32_t CheckTimeStamp(const std::uint8_t* data, std::uint32_t stamp, std::uint32_t size);
    // Parses the block; every record must lie inside it. 2 for a malformed block, 3 without memory.
    virtual std::int32_t LoadData(const std::uint8_t* data, std::uint32_t size);

    // Adjusts the white reference with the first matching curve; 2 when none matches.
    std::int32_t AdjustData(const CImg& black, CImg& white, std::int32_t side, std::int32_t dropOut,
                            std::int32_t emphasis);
    static std::uint16_t LightCurveAdjPixel(std::uint32_t white, std::uint32_t black, std::uint32_t value,
                                            std::uint32_t scale);
    static std::uint32_t GetByte(const std::uint8_t* data, std::uint32_t index);
    static std::uint32_t GetWord(const std::uint8_t* data, std::uint32_t index);
    static std::uint32_t GetDWord(const std::uint8_t* data, std::uint32_t index);

    std::int32_t SetSize(std::uint32_t count);
    void Release();
    std::uint32_t getCount() const { return m_ulCount; }

private:
    std::int32_t loadRecord(const std::uint8_t* data, std::uint32_t size, std::uint32_t& at,
                            CLightCurve& curve);
    const CLightCurve* findCurve(const CImg& white, std::int32_t side, std::int32_t dropOut,
                                 std::int32_t emphasis) const;

    std::uint32_t m_ulCount = 0;
    std::unique_ptr<CLightCurve[]> m_pCurves;
};

} // namespace Ovk::Pixen::QS880
