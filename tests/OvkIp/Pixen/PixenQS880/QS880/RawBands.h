// Test harness: raw bands built from a known page the way the scanner delivers them. Each colour line
// of a band holds the samples in line order; one side runs mirrored, two sides alternate sample by
// sample (front mirrored, back not), and the back side trails the front by the sensors' offset.
#pragma once

#include "CImg.h"
#include "QS880/PixenQS880.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace qs880test {

using Ovk::Pixen::CImg;
using namespace Ovk::Pixen::QS880;

// A page in pixel order, 8-bit, with recognisable content.
struct Page {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t spp = 1;
    std::vector<std::uint8_t> pixels; // width * spp bytes per line

    std::uint8_t at(std::int32_t x, std::int32_t y, std::int32_t c) const {
        return pixels[(static_cast<std::size_t>(y) * width + x) * spp + c];
    }
};

inline Page makePage(std::int32_t width, std::int32_t height, std::int32_t spp, std::uint32_t seed) {
    Page page{width, height, spp, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * spp)};
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < page.pixels.size(); ++i)
        page.pixels[i] = static_cast<std::uint8_t>(random() % 251 + (i % 5 == 0 ? 4 : 0));
    return page;
}

// The raw stream of a whole page: lines of `width` (x sides) samples per colour, line order. For two
// sides the stream is offsetLines longer: the front's lines come first, the back's offsetLines later.
inline std::vector<std::uint8_t> rawStream(const Page& front, const Page* back, std::int32_t offsetLines,
                                           std::int32_t& lines) {
    const std::int32_t sides = back != nullptr ? 2 : 1;
    const std::int32_t width = front.width;
    lines = front.height + (back != nullptr ? offsetLines : 0);
    const std::size_t colourLine = static_cast<std::size_t>(width) * sides;
    std::vector<std::uint8_t> raw(colourLine * front.spp * static_cast<std::size_t>(lines), 0x5A);
    for (std::int32_t y = 0; y < lines; ++y)
        for (std::int32_t c = 0; c < front.spp; ++c) {
            std::uint8_t* line = raw.data() + (static_cast<std::size_t>(y) * front.spp + c) * colourLine;
            for (std::int32_t x = 0; x < width; ++x) {
                const std::int32_t mirrored = width - 1 - x;
                if (back == nullptr) {
                    line[x] = front.at(mirrored, y, c);
                    continue;
                }
                if (y < front.height)
                    line[2 * x] = front.at(mirrored, y, c);
                if (y >= offsetLines)
                    line[2 * x + 1] = back->at(x, y - offsetLines, c);
            }
        }
    return raw;
}

// Lines first..first+count of the stream as a raw band image, 8-bit line order, as the data source cuts it.
inline CImg rawBand(const std::vector<std::uint8_t>& raw, std::int32_t bandWidth, std::int32_t spp,
                    std::int32_t first, std::int32_t count, std::int32_t resolution = 300) {
    CImg band;
    band.createImg(0, 0, bandWidth, count, bandWidth, 8, spp, Ovk::RGBORDER_LINE, resolution, resolution);
    const std::size_t lineBytes = static_cast<std::size_t>(bandWidth) * spp;
    std::copy_n(raw.data() + lineBytes * first, lineBytes * count, band.getImage());
    return band;
}

// Random band heights that add up to total; at least one line each.
inline std::vector<std::int32_t> randomSplit(std::int32_t total, std::int32_t bands, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::int32_t> heights;
    std::int32_t left = total;
    for (std::int32_t b = bands; b > 1 && left > b - 1; --b) {
        const std::int32_t height =
            1 + static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(left - b + 1));
        heights.push_back(height);
        left -= height;
    }
    heights.push_back(left);
    return heights;
}

// The bytes of an image; none for a null image.
inline std::vector<std::uint8_t> bytesOf(const CImg& image) {
    return image.isNull()
               ? std::vector<std::uint8_t>{}
               : std::vector<std::uint8_t>(image.getImage(), image.getImage() + image.getImageSize());
}

// Runs the raw stream through the one-sided entry points in bands of the given heights, each taking its
// input band, and gathers what comes out.
inline CImg runSimplex(const std::vector<std::uint8_t>& raw, std::int32_t width, std::int32_t spp,
                       const std::vector<std::int32_t>& heights, tagFILTERSIMPLEXINFO& request) {
    CImg page;
    std::int32_t first = 0;
    for (std::size_t b = 0; b < heights.size(); ++b) {
        CImg in = rawBand(raw, width, spp, first, heights[b]);
        first += heights[b];
        CImg out;
        const bool last = b + 1 == heights.size();
        const std::int32_t result = heights.size() == 1 ? FilterSimplex(out, in, &request)
                                    : b == 0            ? FilterSimplexFirst(out, in, &request)
                                    : last              ? FilterSimplexLast(out, in, &request)
                                                        : FilterSimplexMiddle(out, in, &request);
        EXPECT_EQ(0, result) << "band " << b << " of " << heights.size();
        EXPECT_TRUE(in.isNull());
        if (!out.isNull()) {
            EXPECT_EQ(1, page.appendImg(out));
        }
    }
    return page;
}

// The same for a two-sided stream (bands twice the side's width), gathering each side's output.
inline void runDuplex(const std::vector<std::uint8_t>& raw, std::int32_t width, std::int32_t spp,
                      const std::vector<std::int32_t>& heights, tagFILTERDUPLEXINFO& request, CImg& front,
                      CImg& back) {
    std::int32_t first = 0;
    for (std::size_t b = 0; b < heights.size(); ++b) {
        CImg in = rawBand(raw, 2 * width, spp, first, heights[b]);
        first += heights[b];
        CImg frontOut;
        CImg backOut;
        const bool last = b + 1 == heights.size();
        const std::int32_t result = heights.size() == 1 ? FilterDuplex(frontOut, backOut, in, &request)
                                    : b == 0            ? FilterDuplexFirst(frontOut, backOut, in, &request)
                                    : last              ? FilterDuplexLast(frontOut, backOut, in, &request)
                                                        : FilterDuplexMiddle(frontOut, backOut, in, &request);
        EXPECT_EQ(0, result) << "band " << b << " of " << heights.size();
        if (!frontOut.isNull()) {
            EXPECT_EQ(1, front.appendImg(frontOut));
        }
        if (!backOut.isNull()) {
            EXPECT_EQ(1, back.appendImg(backOut));
        }
    }
}

} // namespace qs880test
