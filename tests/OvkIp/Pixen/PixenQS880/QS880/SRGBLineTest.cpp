// Colour conversion of whole lines against the rounded matrix product taken one pixel at a time, over widths
// that leave every remainder after the wide paths, and matrices whose sums go negative, pass 255 or leave
// 32 bits.
#include "QS880/CSRGBConversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

using Ovk::Pixen::QS880::CSRGBConversion;

namespace {

std::uint8_t rounded(const std::int32_t* row, const std::uint8_t* pixel) {
    const std::int64_t sum = std::int64_t{row[0]} * pixel[0] + std::int64_t{row[1]} * pixel[1] +
                             std::int64_t{row[2]} * pixel[2] + 512;
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(sum / 1024, 0, 255));
}

} // namespace

TEST(SRGBConversion, LinesMatchThePixelByPixelProduct) {
    const std::int32_t matrices[][9] = {
        {807, 204, 11, 36, 1005, -18, 64, -55, 1013},     // feeder
        {1012, 104, -93, -61, 1058, 26, 28, -177, 1171},  // flatbed
        {-1024, 2048, 0, 3000, -3000, 1024, 1, -1, 4096}, // large and negative terms
        {1 << 30, -(1 << 30), 5, 0, 1 << 29, 0, 7, 7, 7}, // sums beyond 32 bits
    };
    std::mt19937 random(11);
    for (const auto& matrix : matrices)
        for (const std::int32_t width : {0, 1, 7, 31, 32, 33, 65, 2480}) {
            std::vector<std::uint8_t> line(3 * static_cast<std::size_t>(width) + 1);
            for (auto& v : line)
                v = static_cast<std::uint8_t>(random());
            const std::uint8_t guard = line.back();
            std::vector<std::uint8_t> expected(line);
            for (std::int32_t x = 0; x < width; ++x)
                for (std::int32_t k = 0; k < 3; ++k)
                    expected[3 * x + k] = rounded(matrix + 3 * k, line.data() + 3 * x);
            CSRGBConversion::SRGBConversionLine(line.data(), width, matrix);
            ASSERT_EQ(line, expected) << "width " << width << ", matrix " << matrix[0];
            EXPECT_EQ(line.back(), guard);
        }
}
