// Shading: every raw sample is corrected with its column's black level and gain and reduced to 8 bits;
// the gains come from a white-reference scan (makeShadingData). Colour leaves in pixel order.
#pragma once

#include "QS880/CBandFilter.h"
#include "QS880Records.h"

#include <cstdint>

namespace Ovk::Pixen::QS880 {

class CShading : public CBandFilter {
public:
    // Average colour of a one-line reference; grey uses only the grey value, colour only red-green-blue.
    struct tagSHADING_AVARAGE {
        std::uint16_t gray;
        std::uint16_t red;
        std::uint16_t green;
        std::uint16_t blue;
        std::int32_t isColor;
    };

    const char* getName() const override { return "Shading"; }
    // Keeps deep copies of the record's gain and black images.
    std::int32_t setInfo(CImg& image, void* info) override;

    std::int32_t Shading(CImg& band);
    std::int32_t ShadingColor(CImg& out, const CImg& in);
    std::int32_t ShadingGray(CImg& out, const CImg& in);

    // Line-order colour line (planes inLineLength bytes apart) to one pixel-order line; gains planes
    // gainLineLength samples apart, one black level per column for all three colours.
    static void ShadingColorCore_OrderLine2Pixel_NonSIMD(std::uint8_t* out, const std::uint8_t* in,
                                                         std::int32_t inLineLength,
                                                         const std::uint16_t* gains,
                                                         std::int32_t gainLineLength,
                                                         const std::uint16_t* blacks, std::int32_t width);
    static void ShadingColorCore_OrderLine2Pixel_SIMD(std::uint8_t* out, const std::uint8_t* in,
                                                      std::int32_t inLineLength, const std::uint16_t* gains,
                                                      std::int32_t gainLineLength,
                                                      const std::uint16_t* blacks, std::int32_t width);
    static void ShadingGrayCore_NonSIMD(std::uint8_t* out, const std::uint8_t* in, const std::uint16_t* gains,
                                        const std::uint16_t* blacks, std::int32_t count);
    static void ShadingGrayCore_SIMD(std::uint8_t* out, const std::uint8_t* in, const std::uint16_t* gains,
                                     const std::uint16_t* blacks, std::int32_t count);

    // 16-bit images: every sample times factor, saturating at 0xFFFF.
    static void mulImage(CImg& image, std::uint32_t factor);
    // 16-bit image to 8-bit image keeping each sample's upper byte.
    static std::int32_t pack8OnUpperByteImage(CImg& image);

    // Turns a white and a black reference line (16-bit, same geometry) into gains and 8-bit-scale black
    // levels in place, and keeps the averages that give the platen colour. whiteOrg is the white before
    // the light-curve adjustment.
    std::int32_t makeShadingData(CImg& white, CImg& black, const CImg& whiteOrg, const CImg& unused);
    static std::int32_t makeShadingAvarage(const CImg& image, tagSHADING_AVARAGE& average);
    static void makeWhiteDataLine(std::uint16_t* line, std::int32_t count, std::int32_t target);
    static void makeWhiteDataLineColor(std::uint16_t* line, std::int32_t count, std::int32_t red,
                                       std::int32_t green, std::int32_t blue);

    // Colour of the empty platen as scanned (8-bit) and after shading.
    tagSHADING_AVARAGE getPlatenOrgColor() const;
    tagSHADING_AVARAGE getPlatenColor() const;
    bool hasPlatenColor() const { return m_bAverages; }
    std::int32_t getPlatenImage(CImg& image) const;
    std::int32_t fixPlatenImage(CImg& image) const;

protected:
    std::int32_t bandOperation(CImg& band) override { return Shading(band); }

private:
    std::int32_t shadeInto(CImg& band, const tagIMAGEINFO& record);
    std::int32_t shadeLineOrderColour(CImg& out, const CImg& in, int shift);
    std::int32_t shadePixelOrder(CImg& out, const CImg& in, int shift);
    static std::int32_t fillImage(CImg& image, const tagSHADING_AVARAGE& colour);

    std::uint32_t m_ulSize = 0;
    CImg imgWhite; // gains, 4096 = 1.0
    CImg imgBlack; // black levels on the 8-bit scale
    tagSHADING_AVARAGE m_shdavgWhite{};
    tagSHADING_AVARAGE m_shdavgBlack{};
    tagSHADING_AVARAGE m_shdavgWhiteOrg{};
    bool m_bAverages = false; // set once makeShadingData has measured the references
};

// White targets of a reference pixel: 8-bit output value times 16, all above 255 x 16.
struct ShadingTargetFeeder {
    static constexpr std::int32_t gray = 4312;
    static constexpr std::int32_t red = 4281;
    static constexpr std::int32_t green = 4365;
    static constexpr std::int32_t blue = 4362;
};

} // namespace Ovk::Pixen::QS880
