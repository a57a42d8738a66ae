// Blank-page measure: verdicts on both sides of the threshold, frame exclusion, accumulation and
// records of every length.
#include "Blank/BitCount.h"
#include "Blank/IsBlank.h"
#include "Blank/Rational.h"
#include "OvkError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {
// A 1-bit page whose set bits are given row by row as strings of '0' and '1'.
std::unique_ptr<CImageInfo> bitPage(const std::vector<const char*>& rows) {
    const auto width = static_cast<int32_t>(std::strlen(rows[0]));
    auto page = std::make_unique<CImageInfo>(width, static_cast<int32_t>(rows.size()), 1, 1, kOvkPixelOrder);
    std::memset(page->GetPtr(), 0, page->GetSize());
    for (int32_t y = 0; y < static_cast<int32_t>(rows.size()); ++y)
        for (int32_t x = 0; x < width; ++x)
            page->PSET2(x, y, rows[y][x] == '1');
    return page;
}

tagISBLANKINFO record(uint32_t options, int32_t threshold = 0) {
    tagISBLANKINFO info = {};
    info.ulSize = sizeof(info);
    info.ulLevel = 128;
    info.lThreshold = threshold;
    info.ulOptions = options;
    return info;
}
} // namespace

TEST(Rational, ComparesExactlyAcrossWidths) {
    EXPECT_TRUE((tagLONGRAT{1, 3} < tagSHORTRAT{2, 5}));
    EXPECT_TRUE((tagSHORTRAT{2, 4} == tagLONGRAT{1, 2}));
    EXPECT_TRUE((tagLONGRAT{1000000, 3000001} < tagLONGRAT{1, 3}));
    const tagSHORTRAT reduced = ToSHORTRAT({100000, 2000000});
    EXPECT_EQ(reduced.numerator, 1562);
    EXPECT_EQ(reduced.denominator, 31250);
    const tagSHORTRAT kept = ToSHORTRAT({7, 9});
    EXPECT_EQ(kept.numerator, 7);
    EXPECT_EQ(kept.denominator, 9);
}

TEST(BlankVerdict, PercentageAndFractionThresholds) {
    tagISBLANKINFO info = record(0, 4);
    info.ulCount = 5;
    info.ulTotal = 100;
    EXPECT_EQ(IsBlankResult(&info), 1);
    EXPECT_EQ(info.ulRatio, 5u);
    info.lThreshold = 5;
    EXPECT_EQ(IsBlankResult(&info), 0);
    info.lInverted = 1; // 95 % white against 5
    EXPECT_EQ(IsBlankResult(&info), 1);

    // 1/20 against the fraction 1/21 (numerator high, denominator low): just above.
    info = record(0, (1 << 16) | 21);
    info.ulCount = 5;
    info.ulTotal = 100;
    EXPECT_EQ(IsBlankResult(&info), 1);
    EXPECT_EQ(info.ulRatio, (5u << 16) | 100u);
    info.lThreshold = (1 << 16) | 20;
    EXPECT_EQ(IsBlankResult(&info), 0);
}

TEST(BlankVerdict, LargePagesDoNotOverflowThePercentage) {
    tagISBLANKINFO info = record(0, 50);
    info.ulCount = 50000000; // times 100 needs more than 32 bits
    info.ulTotal = 60000000;
    EXPECT_EQ(IsBlankResult(&info), 1);
    EXPECT_EQ(info.ulRatio, 83u);
}

TEST(BlankMeasure, EmptyPageIsBlankInEveryMeasure) {
    const auto page = bitPage({"00000000", "00000000", "00000000"});
    for (const uint32_t options : {0u, 0x100u, 0x1u, 0x101u}) {
        tagISBLANKINFO info = record(options);
        EXPECT_EQ(IsBlankPageEx2(page->GetInfo(), &info), 0);
        EXPECT_EQ(info.ulCount, 0u) << options;
        EXPECT_EQ(IpGetLastError(), 0);
    }
}

TEST(BlankMeasure, EdgesAlongRowsAndDownColumns) {
    const auto page = bitPage({"01100000", "01000000", "00000000"});
    tagISBLANKINFO info = record(0x1);
    IsBlankPageEx2(page->GetInfo(), &info); // resolution 0: no margins
    EXPECT_EQ(info.ulHorzEdges, 2u);
    EXPECT_EQ(info.ulVertEdges, 2u);
    EXPECT_EQ(info.ulCount, 4u);
    EXPECT_EQ(info.ulTotal, 48u);
}

TEST(BlankMeasure, FrameOfSetRunsCountsNothing) {
    const auto page = bitPage({"11111111", "11111111"});
    tagISBLANKINFO info = record(0x101);
    EXPECT_EQ(IsBlankPageEx2(page->GetInfo(), &info), 0);
    EXPECT_EQ(info.ulCount, 0u);
    EXPECT_EQ(info.ulTotal, 0u);
}

TEST(BlankMeasure, FrameExclusionIgnoresADarkBorder) {
    // Clear runs from the row ends are frame; set bits inside count.
    const auto page = bitPage({"0011000100", "0000000000", "0001100000"});
    tagISBLANKINFO framed = record(0x100);
    IsBlankPageEx2(page->GetInfo(), &framed);
    EXPECT_EQ(framed.ulCount, 5u);
    EXPECT_EQ(framed.ulTotal, 30u - (2 + 2) - 10 - (3 + 5));

    // With the inverted flag the frame is made of set bits: a page framed by a black border.
    const auto bordered = bitPage({"1111111111", "1100000011", "1100100011", "1111111111"});
    tagISBLANKINFO inverted = record(0x100);
    inverted.lInverted = 1;
    IsBlankPageEx2(bordered->GetInfo(), &inverted);
    EXPECT_EQ(inverted.ulCount, 1u);
    tagISBLANKINFO plain = record(0);
    IsBlankPageEx2(bordered->GetInfo(), &plain);
    EXPECT_EQ(plain.ulCount, 29u);
}

TEST(BlankMeasure, CountsAccumulateAcrossCalls) {
    const auto page = bitPage({"0110", "0000"});
    tagISBLANKINFO info = record(0);
    IsBlankPageEx2(page->GetInfo(), &info);
    IsBlankPageEx2(page->GetInfo(), &info);
    EXPECT_EQ(info.ulCount, 4u);
    EXPECT_EQ(info.ulTotal, 16u);
}

TEST(BlankMeasure, ShortRecordsUseTheirAreaAndAreNeverWrittenPast) {
    const auto page = bitPage({"1111", "1111", "1111", "1111"});
    std::vector<uint32_t> words(18, 0xA5A5A5A5);
    auto* info = reinterpret_cast<tagISBLANKINFO*>(words.data());
    std::memset(info, 0, 44);
    info->ulSize = 44;
    info->rcArea = {1, 1, 2, 2};
    IsBlankPageEx2(page->GetInfo(), info);
    EXPECT_EQ(info->ulCount, 4u);
    EXPECT_EQ(info->ulTotal, 4u);
    for (size_t i = 11; i < words.size(); ++i)
        EXPECT_EQ(words[i], 0xA5A5A5A5u) << i;

    words.assign(18, 0xA5A5A5A5);
    info->ulSize = 8; // holds only the count
    info->ulCount = 0;
    IsBlankPageEx2(page->GetInfo(), info);
    EXPECT_EQ(info->ulCount, 16u);
    EXPECT_EQ(words[2], 0xA5A5A5A5u);
}

TEST(BlankMeasure, HistogramCountsEverySampleOfAColourPage) {
    CImageInfo page(4, 12, 2, 8, 3, kOvkPixelOrder);
    std::memset(page.GetPtr(), 200, page.GetSize());
    page.GetPtr()[0] = 10; // one dark sample
    tagISBLANKINFO info = record(0);
    info.ulLevel = 100;
    IsBlankPageEx2(page.GetInfo(), &info);
    EXPECT_EQ(info.ulCount, 1u);
    EXPECT_EQ(info.ulTotal, 24u);
}

TEST(BlankMeasure, RefusesImagesWithoutPixels) {
    tagOVKIMAGEINFO empty = {};
    empty.ulSize = sizeof(empty);
    empty.lWidth = 8;
    empty.lHeight = 8;
    empty.lSync = 4;
    empty.lBps = 1;
    empty.lSpp = 1;
    tagISBLANKINFO info = record(0);
    EXPECT_EQ(IsBlankPageEx2(&empty, &info), 0);
    EXPECT_EQ(IpGetLastError(), 8);
    EXPECT_EQ(IsBlankPageEx2(nullptr, &info), 0);
    EXPECT_EQ(IpGetLastError(), 87);
}

TEST(EdgeMeasure, SkippingClearStretchesUnderClearRowsMatchesThePixelByPixelWalk) {
    std::mt19937 random(5);
    constexpr int32_t kRows = 40, kLineBytes = 12;
    for (const int density : {0, 2, 30, 80})
        for (const bool frame : {false, true})
            for (const int64_t start : {0, 3, 8, 13}) {
                std::vector<uint8_t> bits(static_cast<size_t>(kRows) * kLineBytes);
                for (size_t i = 0; i < bits.size(); ++i)
                    for (int b = 0; b < 8; ++b)
                        if (static_cast<int>(random() % 100) < density)
                            bits[i] |= static_cast<uint8_t>(0x80 >> b);
                // Long clear and set stretches too, so runs cross groups of eight.
                std::fill_n(bits.begin() + 5 * kLineBytes, 3 * kLineBytes, 0);
                std::fill_n(bits.begin() + 20 * kLineBytes + 2, 5, 0xFF);
                const auto n = static_cast<uint32_t>(kLineBytes * 8 - start - 5);
                std::vector<tagEDGENUMCOUNTINFO> skipping(n), plain(n);
                const uint8_t* above = nullptr;
                for (int32_t row = 0; row < kRows; ++row) {
                    const uint8_t* p = bits.data() + static_cast<size_t>(row) * kLineBytes;
                    const EdgeCount fast = GetEdgeNumRow(p, above, start, n, skipping.data(), frame);
                    const EdgeCount each = frame ? GetEdgeNumByteFrame(p, start, n, plain.data())
                                                 : GetEdgeNumByteNoFrame(p, start, n, plain.data());
                    above = p;
                    ASSERT_EQ(fast.horizontal, each.horizontal) << "row " << row << " start " << start;
                    ASSERT_EQ(fast.vertical, each.vertical) << "row " << row << " start " << start;
                    ASSERT_EQ(fast.frame, each.frame) << "row " << row << " start " << start;
                }
                for (uint32_t x = 0; x < n; ++x) {
                    EXPECT_EQ(skipping[x].leading, plain[x].leading) << x;
                    EXPECT_EQ(skipping[x].leadingRun, plain[x].leadingRun) << x;
                    EXPECT_EQ(skipping[x].pendingRun, plain[x].pendingRun) << x;
                }
            }
}
