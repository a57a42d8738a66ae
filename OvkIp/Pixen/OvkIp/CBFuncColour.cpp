// Colour binarisers. The weighted grey comes from three 256-entry tables, so a pixel costs three loads
// and two additions; both orders are walked with a sample step and a pixel step.
#include "CBFuncColour.h"

namespace {
// round(i * permille / 1000) with ties up, exact in integers (floating point misrounds e.g. 50 * 0.29).
constexpr std::array<uint8_t, 256> WeightTable(int permille) {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<uint8_t>((i * permille + 500) / 1000);
    }
    return table;
}
} // namespace

const std::array<uint8_t, 256> CBFuncToMonoChrome::RedToGray = WeightTable(290);
const std::array<uint8_t, 256> CBFuncToMonoChrome::GreenToGray = WeightTable(587);
const std::array<uint8_t, 256> CBFuncToMonoChrome::BlueToGray = WeightTable(114);

bool CBFuncColourBase::Accepts(const tagOVKIMAGEINFO* dst, const tagOVKIMAGEINFO* src) const {
    return src->lBps == 8 && src->lSpp == 3 && dst->lBps == 1 && dst->lSpp == 1;
}

void CBFuncToMonoChrome::Line() {
    PackColourLine([slice = m_slice](unsigned char r, unsigned char g, unsigned char b) {
        return RedToGray[r] + GreenToGray[g] + BlueToGray[b] < slice;
    });
}

void CBFuncTessik::Line() {
    PackColourLine([slice = m_slice](unsigned char r, unsigned char g, unsigned char b) {
        return r < slice && g < slice && b < slice;
    });
}
