// The scaler's weight tables against worked examples, and whole images streamed through it row by row
// in 1-, 8- and 24-bit formats, including the refusals of rows out of order.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "FG_Zoom.h"
#include "FG_Zoom2_Param.h"

namespace {

using Rows = std::vector<std::vector<std::uint8_t>>;

// Streams the rows through an opened scaler as a caller does; every Send and Read must succeed.
Rows Stream(FG_Zoom& zoom, const Rows& source, std::size_t dstRowBytes) {
    Rows out;
    for (const auto& row : source) {
        EXPECT_EQ(zoom.Send(row.data()), kFGZoomDone);
        while (zoom.ReadyCount() > 0) {
            out.emplace_back(dstRowBytes);
            EXPECT_EQ(zoom.Read(out.back().data()), kFGZoomDone);
        }
    }
    return out;
}

Rows Scale(const Rows& source, int dstW, int dstH, int srcW, int bpp) {
    FG_Zoom zoom;
    EXPECT_EQ(zoom.Open(dstW, dstH, srcW, static_cast<int>(source.size()), bpp, 2), kFGZoomDone);
    return Stream(zoom, source, (static_cast<std::size_t>(dstW) * bpp + 7) / 8);
}

} // namespace

TEST(FGZoomParams, EnlargingThreeToFiveInterpolatesInQuarters) {
    std::vector<FG_Zoom2_Param> t(5);
    FG_ZoomEnlargeParams(t.data(), 5, 3);
    const int q[] = {0, 0, 0, 1, 1}, wq[] = {4, 2, 0, 2, 0}, wNext[] = {0, 2, 4, 2, 4},
              run[] = {3, 0, 0, 2, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(t[i].first, q[i]) << i;
        EXPECT_EQ(t[i].firstWeight, wq[i]) << i;
        EXPECT_EQ(t[i].nextWeight, wNext[i]) << i;
        EXPECT_EQ(t[i].divisor, 4) << i;
        EXPECT_EQ(t[i].runOrLast, run[i]) << i;
    }
}

TEST(FGZoomParams, ReducingTenToThreeSharesRowsThreeAndSix) {
    std::vector<FG_Zoom2_Param> t(3);
    EXPECT_FALSE(FG_ZoomReduceParams(t.data(), 3, 10));
    const int first[] = {0, 3, 6}, firstWeight[] = {3, 2, 1}, divisor[] = {9, 10, 10}, last[] = {3, 6, 9};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t[i].first, first[i]) << i;
        EXPECT_EQ(t[i].firstWeight, firstWeight[i]) << i;
        EXPECT_EQ(t[i].divisor, divisor[i]) << i;
        EXPECT_EQ(t[i].runOrLast, last[i]) << i;
    }
    EXPECT_EQ(t[2].partialWeight, 0);
    EXPECT_EQ(t[2].lastFull, 9);
}

TEST(FGZoomParams, ShiftCoefficientIsASmoothStepThroughHalf) {
    EXPECT_EQ(Shift_Coefficient(0, 3), 0);
    EXPECT_EQ(Shift_Coefficient(1, 3), 0);  // 1 / 1.5
    EXPECT_EQ(Shift_Coefficient(2, 3), 2);  // 3 - 1 / 1.5
    EXPECT_EQ(Shift_Coefficient(2, 4), 2);  // exactly half
    EXPECT_EQ(Shift_Coefficient(1, 10), 0); // 1 / 5
    EXPECT_EQ(Shift_Coefficient(9, 10), 9); // 10 - 1 / 5
}

TEST(FGZoom, EnlargesAGreyImageBilinearly) {
    // Columns 0, 100, 200 and rows offset by 0, 20, 40: every interpolated value is exact.
    Rows source;
    for (int y = 0; y < 3; ++y)
        source.push_back({std::uint8_t(20 * y), std::uint8_t(100 + 20 * y), std::uint8_t(200 + 20 * y)});
    const Rows out = Scale(source, 5, 5, 3, 8);
    ASSERT_EQ(out.size(), 5u);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(out[y][x], 50 * x + 10 * y) << x << "," << y;
}

TEST(FGZoom, ReducesTenRgbRowsToThreeWithTheBoxWeights) {
    Rows source;
    for (int y = 0; y < 10; ++y)
        source.push_back({std::uint8_t(10 * y), std::uint8_t(255 - 7 * y), std::uint8_t(y * y)});
    const Rows out = Scale(source, 1, 3, 1, 24);
    ASSERT_EQ(out.size(), 3u);
    for (int c = 0; c < 3; ++c) {
        auto v = [&](int y) { return int(source[y][c]); };
        EXPECT_EQ(out[0][c], (3 * v(0) + 3 * v(1) + 3 * v(2)) / 9) << c;
        EXPECT_EQ(out[1][c], (2 * v(3) + 3 * v(4) + 3 * v(5) + 2 * v(6)) / 10) << c;
        EXPECT_EQ(out[2][c], (1 * v(6) + 3 * v(7) + 3 * v(8) + 3 * v(9)) / 10) << c;
    }
}

TEST(FGZoom, ReducesTenPixelsOfARowToThree) {
    std::vector<std::uint8_t> row(10);
    for (int x = 0; x < 10; ++x)
        row[x] = std::uint8_t(25 * x + 3);
    const Rows out = Scale({row, row}, 3, 2, 10, 8);
    ASSERT_EQ(out.size(), 2u);
    auto v = [&](int x) { return int(row[x]); };
    EXPECT_EQ(out[1],
              (std::vector<std::uint8_t>{std::uint8_t((3 * v(0) + 3 * v(1) + 3 * v(2)) / 9),
                                         std::uint8_t((2 * v(3) + 3 * v(4) + 3 * v(5) + 2 * v(6)) / 10),
                                         std::uint8_t((v(6) + 3 * v(7) + 3 * v(8) + 3 * v(9)) / 10)}));
}

TEST(FGZoom, ReductionToOnePixelAveragesEveryPixelEqually) {
    Rows source;
    for (int y = 0; y < 4; ++y) {
        source.emplace_back();
        for (int x = 0; x < 7; ++x)
            source.back().push_back(std::uint8_t(x * 31 + y * 17));
    }
    int sumOfRowMeans = 0;
    for (const auto& row : source) {
        int sum = 0;
        for (auto p : row)
            sum += p;
        sumOfRowMeans += sum / 7;
    }
    const Rows out = Scale(source, 1, 1, 7, 8);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0][0], sumOfRowMeans / 4);
}

TEST(FGZoom, EqualSizesReturnEveryRowUnchanged) {
    Rows source;
    for (int y = 0; y < 6; ++y) {
        source.emplace_back();
        for (int i = 0; i < 7 * 3; ++i)
            source.back().push_back(std::uint8_t((i * 37 + y * 91) & 0xFF));
    }
    EXPECT_EQ(Scale(source, 7, 6, 7, 24), source);
}

TEST(FGZoom, AlternatingBitsHalvedComeOutClear) {
    const Rows source(3, std::vector<std::uint8_t>{0xAA, 0xAA});
    const Rows out = Scale(source, 8, 3, 16, 1);
    ASSERT_EQ(out.size(), 3u);
    for (const auto& row : out)
        EXPECT_EQ(row, std::vector<std::uint8_t>{0x00});
}

TEST(FGZoom, OneBitRowsKeepSolidRunsAndClearTheUnusedBits) {
    // 12 pixels: 8 set, 4 clear; reduced to 6 the first 4 stay set and the padding bits are 0.
    const Rows source(2, std::vector<std::uint8_t>{0xFF, 0x00});
    const Rows out = Scale(source, 6, 2, 12, 1);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], std::vector<std::uint8_t>{0xF0});
}

TEST(FGZoom, SendingAgainBeforeReadingIsOutOfOrder) {
    FG_Zoom zoom;
    ASSERT_EQ(zoom.Open(4, 4, 2, 2, 8, 2), kFGZoomDone);
    const std::uint8_t row[2] = {1, 2};
    EXPECT_EQ(zoom.Send(row), kFGZoomDone);
    EXPECT_EQ(zoom.Send(row), kFGZoomDone);
    ASSERT_GT(zoom.ReadyCount(), 0);
    EXPECT_EQ(zoom.Send(row), kFGZoomOutOfOrder);
}

TEST(FGZoom, RowsBeyondTheSourceHeightAreRefused) {
    const std::vector<std::uint8_t> row(4, 9);
    for (int dstH : {2, 6}) { // reduction and enlargement
        FG_Zoom zoom;
        ASSERT_EQ(zoom.Open(2, dstH, 4, 4, 8, 2), kFGZoomDone);
        const Rows out = Stream(zoom, Rows(4, row), 2);
        EXPECT_EQ(out.size(), std::size_t(dstH));
        EXPECT_EQ(zoom.Send(row.data()), kFGZoomOutOfOrder) << dstH;
        std::uint8_t sink[2];
        EXPECT_EQ(zoom.Read(sink), kFGZoomOutOfOrder) << dstH;
    }
}

TEST(FGZoom, FacadeRefusesBadArgumentsAndCallsOutOfOrder) {
    FG_Zoom zoom;
    std::uint8_t row[8] = {};
    EXPECT_EQ(zoom.Send(row), kFGZoomOutOfOrder);
    EXPECT_EQ(zoom.Read(row), kFGZoomOutOfOrder);
    EXPECT_EQ(zoom.Open(4, 4, 8, 8, 12, 2), kFGZoomBadArgument);
    zoom.Close();
    EXPECT_EQ(zoom.Open(0, 4, 8, 8, 8, 2), kFGZoomBadArgument);
    zoom.Close();
    ASSERT_EQ(zoom.Open(4, 4, 8, 8, 8, 2), kFGZoomDone);
    EXPECT_EQ(zoom.Open(4, 4, 8, 8, 8, 2), kFGZoomOutOfOrder);
    EXPECT_EQ(zoom.Send(nullptr), kFGZoomBadArgument);
    EXPECT_EQ(zoom.Read(row), kFGZoomOutOfOrder);
}

TEST(FGZoom, FitInBoxKeepsProportionsAndNeverReachesZero) {
    auto fit = [](int w, int h, int bw, int bh) {
        const FG_ZoomSize s = FG_Zoom_FitInBox(w, h, bw, bh);
        return std::vector<int>{s.width, s.height};
    };
    EXPECT_EQ(fit(2480, 3508, 234, 329), (std::vector<int>{232, 329}));
    EXPECT_EQ(fit(3508, 2480, 329, 234), (std::vector<int>{329, 232}));
    EXPECT_EQ(fit(1000, 1000, 329, 234), (std::vector<int>{234, 234}));
    EXPECT_EQ(fit(100, 50, 329, 234), (std::vector<int>{329, 164}));
    EXPECT_EQ(fit(10000, 5, 329, 234), (std::vector<int>{329, 1}));
    EXPECT_EQ(fit(5, 10000, 234, 329), (std::vector<int>{1, 329}));
}

TEST(FGZoom, SixteenBitSamplesAverageInTheirOwnWidthAlsoInDoublePrecision) {
    // 65536 source pixels of 16-bit samples: past the width where integer sums could overflow.
    std::vector<std::uint16_t> row(65536);
    for (std::size_t x = 0; x < row.size(); ++x)
        row[x] = x % 2 ? 65535 : 0;
    FG_Zoom zoom;
    ASSERT_EQ(zoom.Open(1, 1, 65536, 2, 16, 2), kFGZoomDone);
    std::uint16_t out = 0;
    EXPECT_EQ(zoom.Send(row.data()), kFGZoomDone);
    EXPECT_EQ(zoom.Send(row.data()), kFGZoomDone);
    ASSERT_EQ(zoom.ReadyCount(), 1);
    EXPECT_EQ(zoom.Read(&out), kFGZoomDone);
    EXPECT_EQ(out, 32767); // 65535 / 2, truncated
}
