// Draws the sheet in paper coordinates turned back by the tilt, so every pixel is decided on its own and the
// page looks the same at any resolution.
#include "SheetSide.h"

#include <cmath>
#include <map>
#include <memory>
#include <utility>

namespace {
constexpr double kA4Width = 8.27;       // inch
constexpr double kA4Length = 11.69;     // inch
constexpr int32_t kSensorPixels = 2552; // at 300 dpi: the sensor's width, a little wider than A4
constexpr double kScanLength = 12.1;
constexpr double kTilt = 0.017; // rad, about one degree
constexpr uint8_t kBacking = 28;
constexpr uint8_t kPaper = 232;

// Sample of the sheet at paper position (u, v) in inches; channel c of a colour page.
uint8_t PaperSample(double u, double v, int32_t c, bool colour) {
    if (u < 0 || v < 0 || u > kA4Width || v > kA4Length)
        return kBacking;
    const bool inMargin = u < 0.8 || u > kA4Width - 0.8 || v < 1.0 || v > kA4Length - 1.0;
    if (inMargin)
        return kPaper;
    if (colour && v > 2.0 && v < 3.5 && u < 6.5) {
        static constexpr uint8_t kBlocks[3][3] = {{200, 40, 40}, {40, 160, 60}, {50, 70, 200}};
        return kBlocks[static_cast<int>(u / 1.9) % 3][c];
    }
    // Text: 1/6-inch lines, strokes 1/100 inch wide with word gaps.
    const double line = std::fmod(v, 1.0 / 6);
    const int32_t stroke = static_cast<int32_t>(u * 100);
    const bool ink = line > 0.06 && line < 0.14 && stroke % 3 != 0 && (stroke / 23) % 5 != 4;
    return ink ? 35 : kPaper;
}

SheetSide Draw(int32_t dpi, int32_t channels) {
    SheetSide side;
    side.dpi = dpi;
    side.channels = channels;
    side.width = kSensorPixels * dpi / 300;
    side.height = static_cast<int32_t>(kScanLength * dpi);
    side.pixels.resize(static_cast<size_t>(side.bytes()));
    const double cosT = std::cos(kTilt), sinT = std::sin(kTilt);
    const double left = (double(kSensorPixels) / 300 - kA4Width) / 2, top = 0.2;
    uint8_t* p = side.pixels.data();
    for (int32_t y = 0; y < side.height; ++y) {
        for (int32_t x = 0; x < side.width; ++x) {
            const double dx = double(x) / dpi - left, dy = double(y) / dpi - top;
            const double u = dx * cosT + dy * sinT, v = -dx * sinT + dy * cosT;
            for (int32_t c = 0; c < channels; ++c)
                *p++ = PaperSample(u, v, c, channels == 3);
        }
    }
    return side;
}
} // namespace

const SheetSide& A4Side(int32_t dpi, int32_t channels) {
    static std::map<std::pair<int32_t, int32_t>, std::unique_ptr<SheetSide>> drawn;
    auto& side = drawn[{dpi, channels}];
    if (!side)
        side = std::make_unique<SheetSide>(Draw(dpi, channels));
    return *side;
}
