// Colour-to-monochrome binarisers: an 8-bit three-sample source (either order) into a 1-bit image.
#pragma once

#include "CBFunc.h"

#include <array>

// Shared format test and plane addressing of the two colour methods.
class CBFuncColourBase : public CBFunc {
public:
    bool Accepts(const tagOVKIMAGEINFO* dst, const tagOVKIMAGEINFO* src) const override;

protected:
    // Distance between the samples of one pixel and between neighbouring pixels.
    ptrdiff_t SampleStep() const { return m_order == kOvkLineOrder ? m_srcSync : 1; }
    ptrdiff_t PixelStep() const { return m_order == kOvkLineOrder ? 1 : 3; }
    // Packs one line, black where isBlack(r, g, b) of the pixel, and moves to the next line.
    template <class IsBlack> void PackColourLine(IsBlack isBlack) {
        const unsigned char* r = m_src;
        const unsigned char* g = r + SampleStep();
        const unsigned char* b = g + SampleStep();
        const ptrdiff_t step = PixelStep();
        PackLine([=](int32_t x) {
            const ptrdiff_t i = x * step;
            return isBlack(r[i], g[i], b[i]);
        });
        NextLine();
    }
};

// Black where the weighted grey 0.29 R + 0.587 G + 0.114 B (each term rounded) is below the slice.
class CBFuncToMonoChrome : public CBFuncColourBase {
public:
    using CBFunc::Line;
    void Line() override;

    // Each entry is round(i * weight), ties rounded up, computed in integers.
    static const std::array<uint8_t, 256> RedToGray;
    static const std::array<uint8_t, 256> GreenToGray;
    static const std::array<uint8_t, 256> BlueToGray;
};

// Black where all three samples are below the slice.
class CBFuncTessik : public CBFuncColourBase {
public:
    using CBFunc::Line;
    void Line() override;
};
