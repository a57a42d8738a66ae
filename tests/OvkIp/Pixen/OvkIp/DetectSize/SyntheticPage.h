// Synthetic scans for the size-detector tests: a sheet (possibly rotated) on a backing, with pixel noise,
// and for duplex scans the shadow the sheet's edge throws on a bright backing.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace SyntheticPage {

struct Point {
    double x;
    double y;
};

struct Sheet {
    double cx, cy;         // centre, pixels
    double width, height;  // pixels
    double angle;          // radians; positive turns the top edge down to the right
    bool mirrored = false; // columns counted from the right (the back side of a duplex scan)
    int imageWidth = 0;    // needed when mirrored

    // Corners as seen in the image: left-top, right-top, left-bottom, right-bottom of the sheet.
    Point corner(int sx, int sy) const {
        const double u = sx * width / 2, v = sy * height / 2;
        const double c = std::cos(angle), s = std::sin(angle);
        const double x = cx + u * c - v * s;
        return {mirrored ? imageWidth - 1 - x : x, cy + u * s + v * c};
    }
    // Signed distance of pixel (x, y) outside the sheet's top / bottom edge (negative inside).
    void local(double x, double y, double& u, double& v) const {
        if (mirrored)
            x = imageWidth - 1 - x;
        const double dx = x - cx, dy = y - cy, c = std::cos(angle), s = std::sin(angle);
        u = dx * c + dy * s;
        v = -dx * s + dy * c;
    }
    bool inside(double x, double y) const {
        double u, v;
        local(x, y, u, v);
        return std::abs(u) <= width / 2 && std::abs(v) <= height / 2;
    }
};

struct Noise {
    std::uint32_t state = 12345;
    int amplitude = 0;
    int next() {
        state = state * 1664525u + 1013904223u;
        return amplitude == 0 ? 0 : static_cast<int>((state >> 8) % (2 * amplitude + 1)) - amplitude;
    }
};

inline std::uint8_t clampByte(int v) {
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Grey page: sheet value on the backing value.
inline std::vector<std::uint8_t> grey(const Sheet& sheet, int w, int h, int backing, int paper, Noise noise) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[static_cast<std::size_t>(y) * w + x] =
                clampByte((sheet.inside(x, y) ? paper : backing) + noise.next());
    return px;
}

// Duplex side: bright backing and sheet, with a dark shadow band of the given thickness just outside the
// sheet's leading (top) or trailing (bottom) edge.
inline std::vector<std::uint8_t> shadowed(const Sheet& sheet, int w, int h, bool leading, double thickness,
                                          Noise noise, int backing = 200, int shadow = 50) {
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double u, v;
            sheet.local(x, y, u, v);
            int value = backing;
            if (std::abs(u) <= sheet.width / 2 && std::abs(v) <= sheet.height / 2)
                value = 235;
            else if (std::abs(u) <= sheet.width / 2) {
                const double out = leading ? -sheet.height / 2 - v : v - sheet.height / 2;
                if (out > 0 && out <= thickness)
                    value = shadow;
            }
            px[static_cast<std::size_t>(y) * w + x] = clampByte(value + noise.next());
        }
    return px;
}

} // namespace SyntheticPage

namespace SyntheticPage {

// The sheet's corners as they lie in the image: left-top, right-top, left-bottom, right-bottom (x, y).
inline std::vector<Point> imageCorners(const Sheet& sheet) {
    std::vector<Point> c = {sheet.corner(-1, -1), sheet.corner(1, -1), sheet.corner(-1, 1),
                            sheet.corner(1, 1)};
    // Top pair first, each pair left to right (rotations below 45 degrees).
    std::sort(c.begin(), c.end(), [](const Point& l, const Point& r) { return l.y < r.y; });
    if (c[0].x > c[1].x)
        std::swap(c[0], c[1]);
    if (c[2].x > c[3].x)
        std::swap(c[2], c[3]);
    return c;
}

} // namespace SyntheticPage
