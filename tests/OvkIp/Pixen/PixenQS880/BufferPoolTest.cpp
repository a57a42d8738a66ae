// Kept buffers: reuse, clearing on request, and the results that skip clearing write every byte (run once
// over buffers full of 0x00 and once over buffers full of 0xFF, they must agree).
#include "BufferPool.h"
#include "CImgList.h"
#include "CSkewCorrection.h"
#include "QS880/PixenQS880.h"
#include "TestImages.h"
#include "ToneFilters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

using namespace Ovk::Pixen;
using namespace pixentest;

namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

// Two kept buffers of each power of two from 512 KiB to 16 MiB, every byte `fill`: each result of
// those sizes lands on one of them.
void keepBuffersFullOf(std::uint8_t fill) {
    BufferPool::releaseKept();
    std::vector<std::uint8_t*> taken;
    for (std::size_t size = MiB / 2; size <= 16 * MiB; size *= 2)
        for (int twice = 0; twice < 2; ++twice) {
            taken.push_back(BufferPool::take(size, false));
            std::memset(taken.back(), fill, size);
        }
    for (std::uint8_t* buffer : taken)
        BufferPool::give(buffer);
}

std::vector<std::uint8_t> overBuffersFullOf(std::uint8_t fill, const std::function<CImg()>& make) {
    keepBuffersFullOf(fill);
    const CImg result = make();
    BufferPool::releaseKept();
    return bytesOf(result);
}

void expectEveryByteWritten(const std::function<CImg()>& make, const char* what) {
    const std::vector<std::uint8_t> overZero = overBuffersFullOf(0x00, make);
    ASSERT_FALSE(overZero.empty()) << what;
    EXPECT_EQ(overZero, overBuffersFullOf(0xFF, make)) << what;
}

} // namespace

TEST(BufferPool, LargeBuffersComeBackClearedOnlyWhenAsked) {
    BufferPool::releaseKept();
    constexpr std::size_t size = 4 * MiB;
    std::uint8_t* large = BufferPool::take(size, false);
    ASSERT_NE(large, nullptr);
    std::memset(large, 0xCD, size);
    BufferPool::give(large);
    EXPECT_GE(BufferPool::keptBytes(), size);

    std::uint8_t* half = BufferPool::take(size / 2 - 1, false);
    EXPECT_NE(half, large) << "a buffer over twice the size stays for its own size";
    BufferPool::give(half);
    std::uint8_t* again = BufferPool::take(size, true);
    EXPECT_EQ(again, large);
    EXPECT_TRUE(std::all_of(again, again + size, [](std::uint8_t b) { return b == 0; }));
    BufferPool::give(again);

    const std::size_t kept = BufferPool::keptBytes();
    BufferPool::give(BufferPool::take(1000, false));
    EXPECT_EQ(BufferPool::keptBytes(), kept) << "small buffers go back to the allocator";
    CImg created;
    created.createImg(2048, 2048, 8, 1, Ovk::RGBORDER_PIXEL);
    EXPECT_EQ(created.getImage(), large);
    EXPECT_EQ(bytesOf(created), std::vector<std::uint8_t>(size, 0)) << "createImg still gives zero pixels";
    created.deleteImg();

    Ovk::Pixen::QS880::ReleaseBuffers(); // the library's exported way to the same end
    EXPECT_EQ(BufferPool::keptBytes(), 0u);
}

TEST(BufferPool, ResultsThatSkipClearingWriteEveryByte) {
    const CImg colour = patterned(1001, 700, 8, 3, Ovk::RGBORDER_PIXEL, 5);
    const CImg planes = patterned(1001, 700, 8, 3, Ovk::RGBORDER_LINE, 9);
    expectEveryByteWritten([&] { return CImg(colour); }, "copy");
    for (const CImg* page : {&colour, &planes})
        expectEveryByteWritten(
            [&] {
                CImg grey;
                CColorToGray::convert(*page, grey);
                return grey;
            },
            "colour to grey");
    expectEveryByteWritten(
        [&] {
            tagDESKEWINFO info{};
            info.LeftTop = {40, 20};
            info.RightTop = {960, 45};
            info.LeftBottom = {15, 660};
            info.RightBottom = {935, 685};
            info.lXResolution = info.lYResolution = 300;
            info.bAutoSize = 1;
            CImg page = colour;
            CSkewCorrection deskew;
            EXPECT_EQ(deskew.setInfo(page, &info), 0);
            EXPECT_EQ(deskew.IP(page), 0);
            return page;
        },
        "deskew");
}

TEST(CImgList, JoinedPagesOfABatchAreTheirBandsWhateverTheReusedBufferHeld) {
    const auto join = [] {
        CImgList list;
        CImg page;
        for (std::uint8_t seed : {1, 2, 3}) {
            CImg band = patterned(1000, 300, 8, 3, Ovk::RGBORDER_LINE, seed);
            EXPECT_EQ(list.PushBack(band), 1);
        }
        list.SpliceAndPopAll(page);
        return page;
    };
    std::vector<std::uint8_t> expected;
    for (std::uint8_t seed : {1, 2, 3}) {
        const std::vector<std::uint8_t> band = bytesOf(patterned(1000, 300, 8, 3, Ovk::RGBORDER_LINE, seed));
        expected.insert(expected.end(), band.begin(), band.end());
    }
    EXPECT_EQ(overBuffersFullOf(0xFF, join), expected);

    // A band whose record understates its buffer leaves the page's end as a new image's zero.
    keepBuffersFullOf(0xFF);
    CImgList list;
    CImg band = patterned(1000, 300, 8, 1, Ovk::RGBORDER_PIXEL);
    static_cast<Ovk::tagIMAGEINFO*>(band)->tImageSize -= 1000;
    ASSERT_EQ(list.PushBack(band), 1);
    CImg page;
    list.SpliceAndPopAll(page);
    ASSERT_EQ(page.getImageSize(), 300000u);
    EXPECT_TRUE(std::all_of(page.getImage() + 299000, page.getImage() + 300000,
                            [](std::uint8_t b) { return b == 0; }));
    BufferPool::releaseKept();
}
