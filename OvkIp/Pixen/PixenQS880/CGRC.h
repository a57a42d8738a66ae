// Gamma, brightness and contrast through 256-entry lookup tables: either the caller's own tables, or curves
// computed once per band from the brightness and a contrast level 1..7 for the output kind.
#pragma once

#include "FilterBases.h"
#include "NormalFilterRecords.h"

#include <cstdint>

namespace Ovk::Pixen {

enum ColorMode : std::int32_t {
    COLORMODE_BINARY = 0, // the page will be binarised
    COLORMODE_GRAY = 1,
    COLORMODE_COLOR = 2,
};

class CGRC : public CBandFilter {
public:
    CGRC() noexcept;

    const char* getName() const override { return "GRC"; }
    // RTN_PAR without a 1032-byte record.
    std::int32_t setInfo(CImg& image, void* info) override;
    std::int32_t IP(CImg& image) override;

    // The error-diffusion flag counts only for a page that will be binarised.
    void setMode(ColorMode mode, bool errorDiffusion) noexcept;

    // Contrast level 1..7 of a contrast byte.
    static std::int32_t contrastLevel(std::uint8_t contrast) noexcept;
    // One point of the grey or colour curve, limited below by 0 only.
    static std::int32_t calcGrayGamma(double value, std::int32_t brightness, std::int32_t level) noexcept;
    static std::int32_t calcColorGamma(double value, std::int32_t brightness, std::int32_t level) noexcept;
    // The input value at which the binary curve reaches value; brightness does not enter.
    static double calcBinGammaInv(std::int32_t value, std::int32_t brightness, std::int32_t level) noexcept;

private:
    void buildTables() noexcept;

    tagGRCINFO m_Info{};
    std::int32_t m_nContrast = 0; // level 1..7 after setInfo
    ColorMode m_Mode = COLORMODE_GRAY;
    bool m_bErrorDiffusion = false;
};

} // namespace Ovk::Pixen
