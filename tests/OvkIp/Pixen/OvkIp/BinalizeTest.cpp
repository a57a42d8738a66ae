// Binarisation record handling and the fixed methods on small known images.
#include "CBFuncColour.h"
#include "OvkBinalize.h"
#include "OvkBits.h"
#include "OvkError.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

tagBINFUNCINFO HandleRecord(int32_t mode, int32_t slice = 128) {
    tagBINFUNCINFO info{};
    info.ulSize = kBinFuncInfoHandleSize;
    info.lMode = mode;
    info.lSliceLevel = slice;
    info.lSliceLevel2 = slice;
    return info;
}

// Binarises src with a fresh handle in bands of the given heights; returns the 1-bit result.
TestImage BinariseInBands(TestImage& src, int32_t mode, const std::vector<int32_t>& bands,
                          tagBINFUNCINFO* last = nullptr) {
    TestImage dst(src.rec.lWidth, src.rec.lHeight, 1);
    tagBINFUNCINFO info = HandleRecord(mode);
    int32_t first = 0;
    for (int32_t height : bands) {
        tagOVKIMAGEINFO from = src.Band(first, height);
        tagOVKIMAGEINFO to = dst.Band(first, height);
        EXPECT_EQ(BinalizeRectEx(&to, &from, &info), 0);
        first += height;
    }
    if (last != nullptr) {
        *last = info;
    }
    ReleaseBinalizeHandle(&info);
    EXPECT_EQ(info.hBinFunc, nullptr);
    return dst;
}

TestImage RandomGrey(int32_t width, int32_t height, unsigned seed) {
    TestImage image(width, height, 8);
    std::mt19937 random(seed);
    for (auto& p : image.pixels) {
        p = static_cast<unsigned char>(random());
    }
    return image;
}

TEST(BinalizeRecord, SizesModesAndHandles) {
    tagBINFUNCINFO info = HandleRecord(kBinMedian, 3);
    info.lLineCount = 9;
    InitBINFUNCINFO(&info);
    EXPECT_EQ(info.ulSize, kBinFuncInfoHandleSize);
    EXPECT_EQ(info.lSliceLevel, 128);
    EXPECT_EQ(info.lSliceLevel2, 128);
    EXPECT_EQ(info.lLineCount, 0);

    tagBINFUNCINFO small{kBinFuncInfoStaticSize, 5, 1, 2, 3, nullptr};
    EXPECT_EQ(BinalizeRectEx(nullptr, nullptr, &small), 0);
    EXPECT_EQ(small.lMode, 0);
    EXPECT_EQ(small.lSliceLevel2, 128);

    TestImage src(8, 1, 8), dst(8, 1, 1);
    for (int32_t mode : {int32_t{kBinNone}, 9, -1}) {
        tagBINFUNCINFO bad = HandleRecord(mode);
        EXPECT_EQ(BinalizeRectEx(&dst.rec, &src.rec, &bad), -1) << mode;
        EXPECT_EQ(bad.hBinFunc, nullptr);
    }
    tagBINFUNCINFO odd = HandleRecord(0);
    odd.ulSize = 28;
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &src.rec, &odd), -1);
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &src.rec, nullptr), -1);
    tagBINFUNCINFO staticAdaptive{kBinFuncInfoStaticSize, kBinAdaptRegion, 128, 128, 0, nullptr};
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &src.rec, &staticAdaptive), -1);

    IpSetLastError(87);
    tagBINFUNCINFO good = HandleRecord(kBinErrorDiffusion);
    void* handle = CreateBinalizeHandle(&good);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(IpGetLastError(), 0);
    EXPECT_EQ(CreateBinalizeHandle(&good), handle);
    ReleaseBinalizeHandle(&good);
    EXPECT_EQ(good.hBinFunc, nullptr);
    ReleaseBinalizeHandle(&good);

    // A released or made-up handle word is refused, not followed.
    tagBINFUNCINFO stale = HandleRecord(kBinFixedSlice);
    stale.hBinFunc = handle;
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &src.rec, &stale), -1);
    int somewhere = 0;
    stale.hBinFunc = &somewhere;
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &src.rec, &stale), -1);
    ReleaseBinalizeHandle(&stale);
    EXPECT_EQ(stale.hBinFunc, nullptr);
}

TEST(BinalizeRecord, RejectsImagesThatDoNotFit) {
    TestImage src(16, 2, 8), dst(16, 2, 1);
    tagBINFUNCINFO info = HandleRecord(kBinFixedSlice);
    tagOVKIMAGEINFO narrow = dst.rec;
    narrow.lSync = 1; // 8 pixels a line for a 16-pixel source
    EXPECT_EQ(BinalizeRectEx(&narrow, &src.rec, &info), -1);
    tagOVKIMAGEINFO shortDst = dst.rec;
    shortDst.lHeight = 1;
    EXPECT_EQ(BinalizeRectEx(&shortDst, &src.rec, &info), -1);
    tagOVKIMAGEINFO bits = src.rec;
    bits.lBps = 1;
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &bits, &info), -1);
    tagOVKIMAGEINFO noPixels = src.rec;
    noPixels.lpImage = nullptr;
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &noPixels, &info), -1);
    EXPECT_EQ(BinalizeRectEx(nullptr, &src.rec, &info), -1);
    tagOVKIMAGEINFO placed = src.rec; // a band that says it starts at line 1 of a two-line buffer
    placed.lYpos = 1;
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &placed, &info), -1);
    placed.lHeight = 1;
    tagOVKIMAGEINFO oneLine = dst.rec;
    oneLine.lHeight = 1;
    EXPECT_EQ(BinalizeRectEx(&oneLine, &placed, &info), 0);
    ReleaseBinalizeHandle(&info);
}

TEST(BrightnessToSlicelevel, TableEnds) {
    EXPECT_EQ(BrightnessToSlicelevel(0), 35);
    EXPECT_EQ(BrightnessToSlicelevel(128), 132);
    EXPECT_EQ(BrightnessToSlicelevel(254), 244);
    EXPECT_EQ(BrightnessToSlicelevel(255), -1);
    EXPECT_EQ(BrightnessToSlicelevel(0xFFFFFFFFu), -1);
}

TEST(FixedSlice, ThresholdStartLineAndWriteBack) {
    TestImage src(10, 3, 8), dst(10, 3, 1);
    std::fill(dst.pixels.begin(), dst.pixels.end(), 0xAA);
    for (int32_t y = 0; y < 3; ++y) {
        std::fill_n(src.Line(y), 10, static_cast<unsigned char>(y == 1 ? 127 : 128));
    }
    src.rec.lYpos = 1; // start at line 1 of each image
    src.rec.lHeight = 1;
    dst.rec.lYpos = 1;
    tagBINFUNCINFO info = HandleRecord(kBinFixedSlice);
    ASSERT_EQ(BinalizeRectEx(&dst.rec, &src.rec, &info), 0);
    EXPECT_EQ(dst.Line(1)[0], 0xFF);
    EXPECT_EQ(dst.Line(1)[1], 0xC0); // two pixels, the rest of the line cleared
    EXPECT_EQ(dst.Line(1)[2], 0x00);
    EXPECT_EQ(dst.Line(0)[0], 0xAA);
    EXPECT_EQ(dst.Line(2)[0], 0xAA);
    EXPECT_EQ(info.lLineCount, 1);

    info.lSliceLevel = 200; // a continued run keeps using the running level
    src.rec.lYpos = 2;
    dst.rec.lYpos = 2;
    ASSERT_EQ(BinalizeRectEx(&dst.rec, &src.rec, &info), 0);
    EXPECT_EQ(dst.Line(2)[0], 0x00);
    EXPECT_EQ(info.lSliceLevel2, 128);
    EXPECT_EQ(info.lLineCount, 2);
    ReleaseBinalizeHandle(&info);
}

TEST(ErrorDiffusion, KnownPatternAndBandContinuity) {
    TestImage flat(4, 2, 8);
    std::fill(flat.pixels.begin(), flat.pixels.end(), 100);
    tagBINFUNCINFO info{};
    const TestImage whole = BinariseInBands(flat, kBinErrorDiffusion, {2}, &info);
    EXPECT_EQ(whole.Line(0)[0] & 0xF0, 0xD0); // worked by hand from the diffusion weights
    EXPECT_EQ(whole.Line(1)[0] & 0xF0, 0xB0);
    const TestImage split = BinariseInBands(flat, kBinErrorDiffusion, {1, 1}, &info);
    EXPECT_EQ(split.pixels, whole.pixels);
    EXPECT_EQ(info.lLineCount, 2);

    TestImage page = RandomGrey(37, 40, 5);
    EXPECT_EQ(BinariseInBands(page, kBinErrorDiffusion, {13, 1, 26}).pixels,
              BinariseInBands(page, kBinErrorDiffusion, {40}).pixels);
}

TEST(ErrorDiffusion, MidGreyGivesHalfTheDotsAndExtremesStayPure) {
    TestImage grey(64, 64, 8);
    std::fill(grey.pixels.begin(), grey.pixels.end(), 128);
    const TestImage dots = BinariseInBands(grey, kBinErrorDiffusion, {64});
    int black = 0;
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            black += dots.Bit(x, y);
        }
    }
    EXPECT_NEAR(black, 64 * 64 / 2, 64 * 64 / 20);

    std::fill(grey.pixels.begin(), grey.pixels.end(), 255);
    const TestImage white = BinariseInBands(grey, kBinErrorDiffusion, {64});
    EXPECT_TRUE(
        std::all_of(white.pixels.begin(), white.pixels.end(), [](unsigned char b) { return b == 0; }));
}

// Threshold of pixel x from the plain definition: element 40 of the sorted 9 x 9 window of lines
// y - 8 .. y, its centre clamped to columns 4 .. width - 5.
int BruteMedian(TestImage& image, int32_t x, int32_t y) {
    const int32_t centre = std::clamp(x, 4, image.rec.lWidth - 5);
    std::vector<int> window;
    for (int32_t line = y - 8; line <= y; ++line) {
        for (int32_t c = centre - 4; c <= centre + 4; ++c) {
            window.push_back(image.Line(line)[c]);
        }
    }
    std::sort(window.begin(), window.end());
    return window[40];
}

TEST(MedianSlice, EveryLineIsWrittenInPlace) {
    TestImage src(16, 10, 8);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const int odd = x % 2;
            const int value = y < 8 ? 100 + 50 * odd : y == 8 ? 101 - 2 * odd : 99 + 2 * odd;
            src.Line(y)[x] = static_cast<unsigned char>(value);
        }
    }
    const TestImage dst = BinariseInBands(src, kBinMedian, {10});
    for (int32_t y = 0; y < 8; ++y) { // fixed slice 128 before the window is full, line 7 included
        EXPECT_EQ(dst.Line(y)[0], 0xAA) << y;
    }
    // Each window's median is 100 or 101, so 99 is black and 101 white: not the fixed slice, and each
    // result lands on its own line.
    EXPECT_EQ(dst.Line(8)[0], 0x55);
    EXPECT_EQ(dst.Line(8)[1], 0x55);
    EXPECT_EQ(dst.Line(9)[1], 0xAA);
}

TEST(MedianSlice, MatchesSortedWindowAcrossBands) {
    TestImage page = RandomGrey(23, 30, 11);
    const TestImage whole = BinariseInBands(page, kBinMedian, {30});
    for (int32_t y = 8; y < 30; ++y) {
        for (int32_t x = 0; x < 23; ++x) {
            ASSERT_EQ(whole.Bit(x, y), page.Line(y)[x] < BruteMedian(page, x, y) ? 1 : 0) << x << "," << y;
        }
    }
    EXPECT_EQ(BinariseInBands(page, kBinMedian, {3, 9, 1, 17}).pixels, whole.pixels);
}

TEST(ColourMethods, WeightedGreyTablesRoundTiesUp) {
    EXPECT_EQ(CBFuncToMonoChrome::RedToGray[50], 15);   // 14.5
    EXPECT_EQ(CBFuncToMonoChrome::BlueToGray[250], 29); // 28.5
    EXPECT_EQ(CBFuncToMonoChrome::GreenToGray[255], 150);
    EXPECT_EQ(CBFuncToMonoChrome::RedToGray[255] + CBFuncToMonoChrome::GreenToGray[255] +
                  CBFuncToMonoChrome::BlueToGray[255],
              253);
}

TEST(ColourMethods, BothOrdersEveryPixelAndFormatRefusal) {
    // Pure red (grey 74) and pure green (grey 150) alternate; width 10 leaves a partial last byte.
    for (uint32_t order : {kOvkPixelOrder, kOvkLineOrder}) {
        TestImage src(10, 1, 8, 3, order);
        for (int32_t x = 0; x < 10; ++x) {
            const int sample = x % 2 == 0 ? 0 : 1;
            const ptrdiff_t step = order == kOvkLineOrder ? src.rec.lSync : 1;
            const ptrdiff_t pixel = order == kOvkLineOrder ? x : 3 * x;
            src.pixels[static_cast<size_t>(pixel + sample * step)] = 255;
        }
        TestImage grey = BinariseInBands(src, kBinWeightedGrey, {1});
        EXPECT_EQ(grey.Line(0)[0], 0xAA) << order;
        EXPECT_EQ(grey.Line(0)[1], 0x80) << order;
        TestImage dark = BinariseInBands(src, kBinAllChannelsDark, {1});
        EXPECT_EQ(dark.Line(0)[0], 0x00) << order; // one sample is always 255
    }
    TestImage greySrc(8, 1, 8), dst(8, 1, 1);
    dst.pixels[0] = 0x5A;
    tagBINFUNCINFO info = HandleRecord(kBinWeightedGrey);
    EXPECT_EQ(BinalizeRectEx(&dst.rec, &greySrc.rec, &info), 0);
    EXPECT_EQ(dst.pixels[0], 0x5A);
    ReleaseBinalizeHandle(&info);
}

TEST(SharedBinarisers, LineCallUsesTheSharedObject) {
    TestImage src(8, 1, 8), dst(8, 1, 1);
    std::fill_n(src.Line(0), 8, 60);
    tagBINFUNCINFO info = HandleRecord(kBinAllChannelsDark);
    EXPECT_EQ(BinalizeLineEx(&dst.rec, &src.rec, &info), 0); // grey source: the colour method skips it
    EXPECT_EQ(dst.pixels[0], 0x00);
    tagBINFUNCINFO fixed = HandleRecord(kBinFixedSlice);
    tagBINFUNCINFO reset{kBinFuncInfoStaticSize, kBinFixedSlice, 100, 100, 0, nullptr};
    ASSERT_EQ(BinalizeRectEx(&dst.rec, &src.rec, &reset), 0);
    EXPECT_EQ(dst.pixels[0], 0xFF);
    EXPECT_EQ(BinalizeLineEx(&dst.rec, &src.rec, &fixed), 0);
    EXPECT_EQ(fixed.lLineCount, 2); // the shared object's count, not the record's
    EXPECT_EQ(fixed.lSliceLevel2, 100);
    tagBINFUNCINFO adaptive = HandleRecord(kBinAdaptRegion);
    EXPECT_EQ(BinalizeLineEx(&dst.rec, &src.rec, &adaptive), -1);
}

} // namespace

TEST(FixedSlice, VectorPackingMatchesThePlainComparePerSample) {
    std::mt19937 random(7);
    std::vector<unsigned char> src(70);
    for (unsigned char& v : src)
        v = static_cast<unsigned char>(random());
    src[3] = 0;
    src[20] = 255;
    for (const int32_t slice : {-1, 0, 1, 37, 128, 255, 256, 1000})
        for (int32_t width = 0; width <= 70; ++width) {
            src[5] = static_cast<unsigned char>(slice); // a sample at the slice itself stays clear
            std::vector<unsigned char> packed(9, 0xAA), plain(9, 0xAA);
            PackBelow(src.data(), packed.data(), width, slice);
            for (int32_t x = 0; x < width; ++x)
                plain[x / 8] = static_cast<unsigned char>(x % 8 == 0 ? 0 : plain[x / 8]) |
                               static_cast<unsigned char>((src[x] < slice ? 0x80 : 0) >> (x % 8));
            EXPECT_EQ(packed, plain) << "slice " << slice << " width " << width;
        }
}
