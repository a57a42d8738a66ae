// Sensor physics of the emulated scanner. Offset: 4096 x 0.99 x 152 / (1980 x (79 - gain)) codes per
// register step around a register value of 103 for the black code 96; gain: the signal grows as
// 79 / (79 - gain). Both are what the calibration's register formulas assume.
#include "SensorModel.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace k3100::emu {
namespace {

constexpr double kBlackCode = 96;
constexpr double kOffsetForBlack = 103;
constexpr double kGainSpan = 79;
constexpr double kResponse300[3] = {1.10, 1.20, 1.05}; // red, green, blue per power unit at 300 dpi
constexpr double kPi = 3.14159265358979323846;

double gainSpan(uint8_t gain) {
    return kGainSpan - std::min<double>(gain, kGainSpan - 1);
}

} // namespace

double darkLevel(const usb::SAdjustInfo& r) {
    const double codesPerStep = 4096.0 * 0.99 * 152 / (1980.0 * gainSpan(r.Gain1));
    return std::clamp(kBlackCode + (r.Offset1 - kOffsetForBlack) * codesPerStep, 0.0, double(kMaxLevel));
}

double amplification(const usb::SAdjustInfo& r) {
    return kGainSpan / gainSpan(r.Gain1);
}

double lampResponse(int colour, int xResolution) {
    // Twice the resolution gives each element half the light.
    return kResponse300[colour % 3] * (xResolution > 300 ? 0.5 : 1.0);
}

double illumination(int side, double position) {
    const double edge = std::abs(position - 0.5) * 2; // 0 centre, 1 ends
    return 1.0 - 0.15 * edge * edge - (side == 1 ? 0.02 : 0.0);
}

double stripReflectance(int column, int columns) {
    return 0.90 + 0.02 * std::sin(2 * kPi * 3 * column / std::max(columns, 1));
}

double printResponse(uint8_t code, bool colour) {
    if (!colour)
        return code / 255.0;
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (size_t i = 0; i < t.size(); ++i) {
            const double c = static_cast<double>(i) / 255;
            t[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table[code];
}

bool lampLit(const Lighting& lighting, int colour) {
    if (lighting.dropOut >= 1 && lighting.dropOut <= 3)
        return colour == lighting.dropOut - 1;
    if (lighting.enhance >= 1 && lighting.enhance <= 3)
        return colour != lighting.enhance - 1;
    return true;
}

} // namespace k3100::emu
