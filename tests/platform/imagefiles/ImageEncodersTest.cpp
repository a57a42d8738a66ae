// The image encoders on their own: what they refuse.
#include "ImageEncoders.h"
#include "PictEncoder.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

namespace {

// A row length shorter than the width needs at the depth is refused by every encoder instead of being
// read past; the shortest row that fits is taken.
TEST(ImageEncoders, RowsShorterThanTheWidthNeedsAreRefused) {
    struct SDepth {
        std::uint16_t samples, bits;
    };
    for (const SDepth depth : {SDepth{1, 1}, SDepth{1, 8}, SDepth{3, 8}}) {
        SPageBitmap page;
        page.width = 61;
        page.height = 5;
        page.samplesPerPixel = depth.samples;
        page.bitsPerSample = depth.bits;
        page.xResolution = page.yResolution = 100;
        const auto fitting = static_cast<std::uint32_t>((61u * depth.samples * depth.bits + 7) / 8);
        for (const std::uint32_t rowBytes : {fitting - 1, fitting}) {
            page.bytesPerRow = rowBytes;
            page.pixels.assign(std::size_t{rowBytes} * page.height, 0x5A);
            const bool fits = rowBytes == fitting;
            EXPECT_EQ(EncodeTiff(page, ETiffCompression::kBest).empty(), !fits) << depth.bits * depth.samples;
            EXPECT_EQ(EncodeJpeg(page).empty(), !fits) << depth.bits * depth.samples;
            EXPECT_EQ(EncodePict(page).empty(), !fits) << depth.bits * depth.samples;
        }
    }
}

} // namespace
