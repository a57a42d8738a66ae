// Adaptive-region binarisation: levels, block grid, cleaning rules, interpolation and whole images.
#include "AdaptRegion.h"
#include "CBFuncAdaptRegion.h"
#include "OvkBinalize.h"
#include "OvkError.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Levels = CBFuncAdaptRegion::Levels;

void ExpectLevels(const Levels& got, const Levels& want) {
    EXPECT_EQ(got.S, want.S);
    EXPECT_EQ(got.K, want.K);
    EXPECT_EQ(got.T, want.T);
    EXPECT_EQ(got.G, want.G);
    EXPECT_EQ(got.F, want.F);
    EXPECT_EQ(got.U, want.U);
}

TEST(AdaptRegionLevels, BothSegmentsOfTheLevelLines) {
    ExpectLevels(CBFuncAdaptRegion::ComputeLevels(128, 128), {120, 55, 60, 100, 80, 60});
    ExpectLevels(CBFuncAdaptRegion::ComputeLevels(0, 0), {350, 300, 300, 100, 255, 255});
    ExpectLevels(CBFuncAdaptRegion::ComputeLevels(255, 255), {1, 1, 1, 100, 1, 1});
    ExpectLevels(CBFuncAdaptRegion::ComputeLevels(64, 64), {234, 177, 179, 100, 167, 157});
    ExpectLevels(CBFuncAdaptRegion::ComputeLevels(-40, 900), CBFuncAdaptRegion::ComputeLevels(0, 255));
}

CImageInfoPtr GreyImage(int32_t width, int32_t height, unsigned char value) {
    CImageInfoPtr image;
    EXPECT_EQ(image.CreateImage(width, (width + 3) / 4 * 4, height, 8, 1, 300, 300), 1);
    std::memset(image->GetPtr(), value, image->GetSize());
    return image;
}

TEST(AdaptRegionBlocks, GridSizeFollowsTheFourPixelStep) {
    for (auto [side, blocks] : {std::pair{8, 1}, std::pair{11, 1}, std::pair{12, 2}}) {
        CImageInfoPtr src = GreyImage(side, side, 100);
        CImageInfoPtr edge, slices;
        ASSERT_EQ(AdaptRegionBin::IpDetectEdgeInfoAndSlice(edge, slices, src, 120, 55, 60, 100), 1);
        EXPECT_EQ(edge->GetWidth(), blocks);
        EXPECT_EQ(edge->GetHeight(), blocks);
        EXPECT_EQ(GetBlockCode(*edge, 0, 0), kBlockFlat);
        EXPECT_EQ(slices->PGET8(0, 0), 100);
    }
    CImageInfoPtr tooSmall = GreyImage(7, 20, 100);
    CImageInfoPtr edge, slices;
    EXPECT_EQ(AdaptRegionBin::IpDetectEdgeInfoAndSlice(edge, slices, tooSmall, 120, 55, 60, 100), 0);
}

// A black line one pixel wide (column 13) on white.
CImageInfoPtr LineImage(int32_t height) {
    CImageInfoPtr image = GreyImage(32, height, 255);
    for (int32_t y = 0; y < height; ++y) {
        image->PSET8(13, y, 0);
    }
    return image;
}

TEST(AdaptRegionBlocks, ThinLineIsAStrongEdgeWithMarkedNeighbours) {
    CImageInfoPtr src = LineImage(32);
    CImageInfoPtr edge, edgeSlice, aveMix, aveSlice;
    ASSERT_EQ(AdaptRegionBin::IpDetectEdgeInfoAndSlice(edge, edgeSlice, src, 120, 55, 60, 100), 1);
    EXPECT_EQ(GetBlockCode(*edge, 2, 3), kBlockStrongEdge);
    EXPECT_EQ(GetBlockCode(*edge, 3, 3), kBlockStrongEdge);
    EXPECT_EQ(edgeSlice->PGET8(2, 3), 127);
    ASSERT_EQ(AdaptRegionBin::IpDetectAveAndSlice(aveMix, aveSlice, src), 1);
    ComplementEdge::CompEdgeInfo(*edge, *edgeSlice, *aveSlice);
    EXPECT_EQ(GetBlockCode(*edge, 1, 3), kBlockNextToEdge);
    EXPECT_EQ(GetBlockCode(*edge, 4, 3), kBlockNextToEdge);
    EXPECT_EQ(edgeSlice->PGET8(1, 3), 127);
    EXPECT_EQ(GetBlockCode(*edge, 5, 3), kBlockFlat);
}

CImageInfoPtr FlatCodes(int32_t blocks) {
    CImageInfoPtr edge;
    EXPECT_EQ(edge.CreateImage(blocks, 4, blocks, 4, 1, 300, 300), 1);
    std::memset(edge->GetPtr(), 0, edge->GetSize());
    return edge;
}

TEST(AdaptRegionCleaning, IsolatedCodesFollowTheirNeighbours) {
    const int32_t neighbours[8][2] = {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3}, {2, 3}, {3, 3}};
    for (int busy : {4, 3}) {
        CImageInfoPtr edge = FlatCodes(5);
        for (int n = 0; n < busy; ++n) {
            SetBlockCode(*edge, neighbours[n][0], neighbours[n][1], kBlockBusy);
        }
        ComplementEdge::RemoveIsolateInfo(*edge);
        EXPECT_EQ(GetBlockCode(*edge, 2, 2), busy == 4 ? kBlockBusy : kBlockFlat) << busy;
    }
}

TEST(AdaptRegionCleaning, RunLengthCorrectionRemovesLoneBlocks) {
    CImageInfoPtr edge = FlatCodes(8);
    SetBlockCode(*edge, 3, 4, kBlockBusy);
    for (int32_t y = 0; y < 8; ++y) {
        SetBlockCode(*edge, 7, y, kBlockBusyContrast); // a busy border column is a first or last run: kept
    }
    ASSERT_EQ(AdaptRegionBin::IpEdgeCorrection(edge), 1);
    EXPECT_EQ(GetBlockCode(*edge, 3, 4), kBlockFlat);
    EXPECT_EQ(GetBlockCode(*edge, 7, 4), kBlockBusyContrast);
    EXPECT_EQ(edge->GetWidth(), 8);

    CImageInfoPtr busy = FlatCodes(8);
    std::memset(busy->GetPtr(), 0xEE, busy->GetSize());
    SetBlockCode(*busy, 4, 3, kBlockFlat);
    ASSERT_EQ(AdaptRegionBin::IpEdgeCorrection(busy), 1);
    EXPECT_EQ(GetBlockCode(*busy, 4, 3), kBlockBusy);
}

TEST(AdaptRegionCleaning, RunLengthLinePass) {
    unsigned char line = 0xE7; // 111 00 111
    RunLenFilter::FilterLine(&line, 8, 1);
    EXPECT_EQ(line, 0xE7);
    RunLenFilter::FilterLine(&line, 8, 2);
    EXPECT_EQ(line, 0xFF);
    unsigned char shortFirst[2] = {0x7F, 0xBF}; // first and last runs one bit long
    RunLenFilter::FilterLine(shortFirst, 10, 4);
    EXPECT_EQ(shortFirst[0], 0x7F);
    EXPECT_EQ(shortFirst[1], 0x80);
    unsigned char noise[2] = {0x80 | 0x10, 0x00}; // a lone set bit inside a clear line goes
    RunLenFilter::FilterLine(noise, 16, 1);
    EXPECT_EQ(noise[0], 0x80);
}

TEST(AdaptRegionThresholds, InterpolationAlongAndAcrossBlockRows) {
    const unsigned char slices[2] = {100, 160};
    unsigned char out[12];
    Hokan::Hokan(out, 12, slices, 4, 2);
    const unsigned char want[12] = {100, 100, 100, 100, 100, 120, 140, 160, 160, 160, 160, 160};
    EXPECT_EQ(std::memcmp(out, want, 12), 0);
    Hokan::Hokan(out, 12, slices, 4, 0);
    EXPECT_EQ(out[7], 128);

    const unsigned char above[2] = {100, 100}, below[2] = {160, 160}, ave[2] = {115, 114};
    unsigned char bits = 0;
    Hokan::Binalise(&bits, ave, above, below, 2, 1); // threshold 115 a quarter of the way down
    EXPECT_EQ(bits, 0x80);
}

int32_t Bits(const TestImage& image, int32_t y, int32_t from, int32_t to) {
    int32_t set = 0;
    for (int32_t x = from; x < to; ++x) {
        set += image.Bit(x, y);
    }
    return set;
}

// Runs mode 8 with both levels 128 over the whole image.
TestImage Adaptive(TestImage& src) {
    TestImage dst(src.rec.lWidth, src.rec.lHeight, 1);
    tagBINFUNCINFO info{kBinFuncInfoHandleSize, kBinAdaptRegion, 128, 128, 0, nullptr};
    IpSetLastError(87);
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &src.rec, &info), 0);
    EXPECT_EQ(IpGetLastError(), 0);
    EXPECT_EQ(info.lLineCount, 0);
    ReleaseBinalizeHandle(&info);
    return dst;
}

TEST(AdaptRegionImages, UniformGreyUsesTheFlatThreshold) {
    for (int32_t height : {16, 5}) { // a full band and one too short for a block row
        for (unsigned char value : {79, 80}) {
            TestImage src(20, height, 8);
            std::fill(src.pixels.begin(), src.pixels.end(), value);
            const TestImage dst = Adaptive(src);
            for (int32_t y = 0; y < height; ++y) {
                EXPECT_EQ(Bits(dst, y, 0, 20), value == 79 ? 20 : 0) << height << " " << y;
                EXPECT_EQ(Bits(dst, y, 20, 32), 12); // bits after the last pixel come out set
            }
        }
    }
}

TEST(AdaptRegionImages, ThinLineSurvivesInFullAndShortBands) {
    for (int32_t height : {32, 3}) {
        TestImage src(32, height, 8);
        for (int32_t y = 0; y < height; ++y) {
            std::memset(src.Line(y), 255, 32);
            src.Line(y)[13] = 0;
        }
        const TestImage dst = Adaptive(src);
        for (int32_t y = 0; y < std::min(height, 28); ++y) { // lines 28.. lie below the last block cells
            EXPECT_EQ(dst.Bit(13, y), 1) << height << " " << y;
            EXPECT_EQ(Bits(dst, y, 0, 32), 1) << height << " " << y;
        }
    }
}

TEST(AdaptRegionImages, NarrowBandIsWritten) {
    TestImage src(5, 20, 8);
    std::fill(src.pixels.begin(), src.pixels.end(), 30);
    const TestImage dst = Adaptive(src);
    for (int32_t y = 0; y < 20; ++y) {
        EXPECT_EQ(dst.Line(y)[0], 0xFF) << y;
    }
}

} // namespace

namespace {

TEST(AdaptRegionImages, DarkPatchOnNoisyPaperOddSizes) {
    TestImage src(101, 67, 8, 1, kOvkLineOrder, 104);
    uint32_t seed = 7;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int32_t y = 0; y < 67; ++y) {
        for (int32_t x = 0; x < 101; ++x) {
            const bool patch = x >= 30 && x < 60 && y >= 20 && y < 40;
            src.Line(y)[x] = static_cast<unsigned char>(patch ? next() % 40 : 200 + next() % 56);
        }
    }
    const TestImage dst = Adaptive(src);
    int32_t inside = 0, outside = 0;
    for (int32_t y = 0; y < 67; ++y) {
        for (int32_t x = 0; x < 101; ++x) {
            const bool core = x >= 34 && x < 56 && y >= 24 && y < 36;
            const bool far = x < 24 || x >= 66 || y < 14 || y >= 46;
            inside += core ? dst.Bit(x, y) : 0;
            outside += far ? dst.Bit(x, y) : 0;
        }
    }
    EXPECT_GE(inside, 22 * 12 * 9 / 10);
    EXPECT_LE(outside, 101 * 67 / 50);
}

} // namespace
