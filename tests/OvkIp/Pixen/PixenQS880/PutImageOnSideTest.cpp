// Side-by-side join: line bookkeeping across bands and the fill of a side that has run out of lines.
#include "CPutImageOnSide.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace Ovk::Pixen;
using pixentest::patterned;

namespace {

class Joiner {
public:
    std::int32_t band(CImg& front, CImg& back, bool first, bool last) {
        tagPUTIMAGEONSIDEINFO info{sizeof info, 1, 0, &back, 1};
        const std::int32_t set =
            first ? m_Filter.setInfoFirst(front, &info) : m_Filter.setInfoMiddle(front, &info);
        if (set != RTN_OK)
            return set;
        return last ? m_Filter.IPLast(front) : (first ? m_Filter.IPFirst(front) : m_Filter.IPMiddle(front));
    }

private:
    CPutImageOnSide m_Filter;
};

CImg lines(std::int32_t height, std::uint8_t seed, std::int32_t bps = 8, std::int32_t width = 4) {
    return patterned(width, height, bps, 1, Ovk::RGBORDER_PIXEL, seed);
}

} // namespace

TEST(PutImageOnSide, HoldsUnpairedLinesUntilTheNextBand) {
    Joiner joiner;
    CImg front = lines(100, 1), back = lines(90, 2);
    const CImg front1 = front;
    ASSERT_EQ(joiner.band(front, back, true, false), RTN_OK);
    EXPECT_EQ(front.getHeight(), 90);
    EXPECT_EQ(front.getWidth(), 8);

    CImg front2 = lines(80, 3), back2 = lines(90, 4);
    ASSERT_EQ(joiner.band(front2, back2, false, false), RTN_OK);
    ASSERT_EQ(front2.getHeight(), 90);
    // The first joined row of this band starts with the kept line 90 of the first front band.
    EXPECT_EQ(0, std::memcmp(front2.getLine(0), front1.getLine(90), 4));

    CImg front3 = lines(10, 5), back3 = lines(5, 6);
    ASSERT_EQ(joiner.band(front3, back3, false, true), RTN_OK);
    ASSERT_EQ(front3.getHeight(), 10);
    for (std::int32_t y = 5; y < 10; ++y)
        for (std::int32_t x = 4; x < 8; ++x)
            ASSERT_EQ(front3.getLine(y)[x], 255) << "a missing back line is white like a missing front line";
}

TEST(PutImageOnSide, BinarySidesJoinAtAnyBitPosition) {
    Joiner joiner;
    CImg front = lines(3, 9, 1, 5), back = lines(5, 7, 1, 11);
    const CImg frontCopy = front, backCopy = back;
    ASSERT_EQ(joiner.band(front, back, true, true), RTN_OK);
    ASSERT_EQ(front.getWidth(), 16);
    ASSERT_EQ(front.getHeight(), 5);
    const auto bit = [](const CImg& image, std::int32_t x, std::int32_t y) {
        return (image.getLine(y)[x / 8] >> (7 - x % 8)) & 1;
    };
    for (std::int32_t y = 0; y < 5; ++y) {
        for (std::int32_t x = 0; x < 5; ++x)
            ASSERT_EQ(bit(front, x, y), y < 3 ? bit(frontCopy, x, y) : 0) << x << "," << y;
        for (std::int32_t x = 0; x < 11; ++x)
            ASSERT_EQ(bit(front, 5 + x, y), bit(backCopy, x, y)) << x << "," << y;
    }
}

TEST(PutImageOnSide, RefusesMismatchedSides) {
    Joiner joiner;
    CImg front = lines(3, 1, 8), back = lines(3, 1, 1);
    EXPECT_EQ(joiner.band(front, back, true, true), RTN_PAR);
    CImg deep = patterned(4, 3, 16, 1, Ovk::RGBORDER_PIXEL),
         deepBack = patterned(4, 3, 16, 1, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(joiner.band(deep, deepBack, true, true), RTN_SEQUENCE);
}
