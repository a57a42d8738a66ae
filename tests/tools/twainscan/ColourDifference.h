// How far apart two sRGB colours look: CIEDE2000 between their CIELAB values (D65 white), the measure
// a colour chart is judged by.
#pragma once

#include <cmath>
#include <numbers>

namespace e2e {

struct SLab {
    double l = 0, a = 0, b = 0;
};

// sRGB codes 0..255 to CIELAB.
inline SLab LabOfSrgb(double red, double green, double blue) {
    const auto linear = [](double code) {
        const double c = code / 255;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double r = linear(red), g = linear(green), b = linear(blue);
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

inline double DeltaE2000(const SLab& one, const SLab& two) {
    constexpr double kPi = std::numbers::pi;
    const auto degrees = [&](double radians) { return radians * 180 / kPi; };
    const auto radians = [&](double deg) { return deg * kPi / 180; };
    const auto pow7 = [](double v) { return std::pow(v, 7); };
    const double meanC = (std::hypot(one.a, one.b) + std::hypot(two.a, two.b)) / 2;
    const double g = 0.5 * (1 - std::sqrt(pow7(meanC) / (pow7(meanC) + pow7(25))));
    const double a1 = (1 + g) * one.a, a2 = (1 + g) * two.a;
    const double c1 = std::hypot(a1, one.b), c2 = std::hypot(a2, two.b);
    const auto hue = [&](double a, double b) {
        return a == 0 && b == 0 ? 0 : std::fmod(degrees(std::atan2(b, a)) + 360, 360);
    };
    const double h1 = hue(a1, one.b), h2 = hue(a2, two.b);
    double dh = 0;
    if (c1 * c2 != 0) {
        dh = h2 - h1;
        dh += dh > 180 ? -360 : dh < -180 ? 360 : 0;
    }
    const double dL = two.l - one.l, dC = c2 - c1;
    const double dH = 2 * std::sqrt(c1 * c2) * std::sin(radians(dh / 2));
    const double meanL = (one.l + two.l) / 2, meanCp = (c1 + c2) / 2;
    double meanH = h1 + h2;
    if (c1 * c2 != 0)
        meanH = std::abs(h1 - h2) <= 180 ? meanH / 2 : (meanH + (meanH < 360 ? 360 : -360)) / 2;
    const double t = 1 - 0.17 * std::cos(radians(meanH - 30)) + 0.24 * std::cos(radians(2 * meanH)) +
                     0.32 * std::cos(radians(3 * meanH + 6)) - 0.20 * std::cos(radians(4 * meanH - 63));
    const double rotation = 30 * std::exp(-std::pow((meanH - 275) / 25, 2));
    const double rc = 2 * std::sqrt(pow7(meanCp) / (pow7(meanCp) + pow7(25)));
    const double sl = 1 + 0.015 * std::pow(meanL - 50, 2) / std::sqrt(20 + std::pow(meanL - 50, 2));
    const double sc = 1 + 0.045 * meanCp, sh = 1 + 0.015 * meanCp * t;
    const double rt = -std::sin(radians(2 * rotation)) * rc;
    return std::sqrt(std::pow(dL / sl, 2) + std::pow(dC / sc, 2) + std::pow(dH / sh, 2) +
                     rt * (dC / sc) * (dH / sh));
}

} // namespace e2e
