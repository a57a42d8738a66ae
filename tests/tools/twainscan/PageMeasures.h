// Measures on a delivered page, whatever its pixel type: brightness of a pixel or a region, the share of
// black, and where a dark edge lies, so that tests can find a sample page's features on the scan.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "PageBitmap.h"

namespace e2e {

// 0 black .. 255 white; colour pages give the mean of their three samples.
inline int Luma(const SPageBitmap& page, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* row = page.Row(y);
    if (page.bitsPerSample == 1)
        return (row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
    if (page.samplesPerPixel == 3)
        return (row[3 * x] + row[3 * x + 1] + row[3 * x + 2]) / 3;
    return row[x];
}

struct SRgb {
    double r = 0, g = 0, b = 0;
};

// Mean colour over a rectangle given in fractions of the page (grey pages give r = g = b).
inline SRgb MeanColour(const SPageBitmap& page, double left, double top, double right, double bottom) {
    const auto x0 = std::uint32_t(left * page.width), x1 = std::uint32_t(right * page.width);
    const auto y0 = std::uint32_t(top * page.height), y1 = std::uint32_t(bottom * page.height);
    SRgb sum;
    double count = 0;
    for (std::uint32_t y = y0; y < y1; ++y)
        for (std::uint32_t x = x0; x < x1; ++x) {
            const std::uint8_t* p = page.Row(y) + 3 * x;
            if (page.samplesPerPixel == 3) {
                sum.r += p[0], sum.g += p[1], sum.b += p[2];
            } else {
                const int l = Luma(page, x, y);
                sum.r += l, sum.g += l, sum.b += l;
            }
            ++count;
        }
    if (count > 0)
        sum = {sum.r / count, sum.g / count, sum.b / count};
    return sum;
}

inline double MeanLuma(const SPageBitmap& page, double left, double top, double right, double bottom) {
    const SRgb c = MeanColour(page, left, top, right, bottom);
    return (c.r + c.g + c.b) / 3;
}

inline double BlackShare(const SPageBitmap& page) {
    std::uint64_t black = 0;
    for (std::uint32_t y = 0; y < page.height; ++y)
        for (std::uint32_t x = 0; x < page.width; ++x)
            black += Luma(page, x, y) < 128;
    return double(black) / (double(page.width) * page.height);
}

// Rows, from top to bottom, where a column runs from light into dark; each at the first dark pixel.
inline std::vector<std::uint32_t> DarkStarts(const SPageBitmap& page, std::uint32_t x, int dark = 64) {
    std::vector<std::uint32_t> starts;
    bool wasLight = false;
    for (std::uint32_t y = 0; y < page.height; ++y) {
        const bool light = Luma(page, x, y) > 255 - dark;
        if (Luma(page, x, y) < dark && wasLight)
            starts.push_back(y);
        if (light)
            wasLight = true;
        else if (Luma(page, x, y) < dark)
            wasLight = false;
    }
    return starts;
}

// Angle in degrees of the least-squares line through (x, y) points; positive when y grows with x.
inline double FittedAngle(const std::vector<std::pair<double, double>>& points) {
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const auto& [x, y] : points)
        sx += x, sy += y, sxx += x * x, sxy += x * y;
    const double n = double(points.size());
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    return std::atan(slope) * 180 / 3.14159265358979323846;
}

} // namespace e2e
