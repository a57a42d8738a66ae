// Validity rules, geometry and ownership of the image object, the band list and the byte buffer.
#include "CImg.h"
#include "CImgList.h"
#include "COvkRaster.h"
#include "ImageRecord.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace Ovk;
using namespace Ovk::Pixen;
using pixentest::bytesOf;
using pixentest::patterned;

namespace {

tagIMAGEINFO record(std::int32_t width, std::int32_t height, std::int32_t sync, std::int32_t bps,
                    std::int32_t spp, std::uint32_t order, std::uint32_t size) {
    return imagetest::imageRecord<tagIMAGEINFO>(width, height, sync, bps, spp, order, nullptr, size);
}

} // namespace

TEST(CImg, MinimumLineLengthFollowsOrderAndRefusesOverflow) {
    EXPECT_EQ(CImg::calcMinSync(5, 1, 1, RGBORDER_PIXEL), 1);
    EXPECT_EQ(CImg::calcMinSync(2552, 8, 3, RGBORDER_PIXEL), 7656);
    EXPECT_EQ(CImg::calcMinSync(2552, 8, 3, RGBORDER_LINE), 2552);
    EXPECT_EQ(CImg::calcMinSync(2552, 8, 3, 2), -1);
    EXPECT_EQ(CImg::calcMinSync(std::numeric_limits<std::int32_t>::max(), 16, 3, RGBORDER_PIXEL), -1);
    EXPECT_EQ(CImg::calcSize(100, 10, 3, RGBORDER_LINE), 3000u);
    EXPECT_EQ(CImg::calcSize(70000, 70000, 1, RGBORDER_PIXEL), 0u);
}

TEST(CImg, ValidityRules) {
    const auto lineColour = [](std::uint32_t size) {
        return record(2552, 10, 2552, 8, 3, RGBORDER_LINE, size);
    };
    EXPECT_TRUE(CImg::checkInfo(&static_cast<const tagIMAGEINFO&>(lineColour(76560))));
    EXPECT_FALSE(CImg::checkInfo(&static_cast<const tagIMAGEINFO&>(lineColour(25520))));

    const tagIMAGEINFO twoSamples12 = record(10, 1, 100, 12, 2, RGBORDER_PIXEL, 100);
    const tagIMAGEINFO threeSamples12 = record(10, 1, 100, 12, 3, RGBORDER_PIXEL, 100);
    EXPECT_FALSE(CImg::checkInfo(&twoSamples12));
    EXPECT_TRUE(CImg::checkInfo(&threeSamples12));

    const tagIMAGEINFO noWidth = record(0, 1, 1, 8, 1, RGBORDER_PIXEL, 1);
    const tagIMAGEINFO noHeight = record(1, 0, 1, 8, 1, RGBORDER_PIXEL, 0);
    const tagIMAGEINFO shortLine = record(10, 1, 9, 8, 1, RGBORDER_PIXEL, 9);
    const tagIMAGEINFO unknownOrder = record(10, 1, 10, 8, 1, 2, 0);
    // 65536 * 65536 bytes does not fit the 32-bit size field and must not pass by wrapping to 0.
    const tagIMAGEINFO wrapping = record(65536, 65536, 65536, 8, 1, RGBORDER_PIXEL, 0);
    EXPECT_FALSE(CImg::checkInfo(&noWidth));
    EXPECT_FALSE(CImg::checkInfo(&noHeight));
    EXPECT_FALSE(CImg::checkInfo(&shortLine));
    EXPECT_TRUE(CImg::checkInfo(&unknownOrder));
    EXPECT_FALSE(CImg::checkInfo(&wrapping));
    EXPECT_FALSE(CImg::checkInfo(nullptr));
}

TEST(CImg, CreateGivesZeroFilledBufferAndRefusalKeepsContent) {
    CImg image;
    ASSERT_EQ(image.createImg(3, 2, 8, 3, RGBORDER_PIXEL, 200, 100), 1);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.getInfo().ulSize, sizeof(tagIMAGEINFO));
    EXPECT_EQ(image.getSync(), 9); // no explicit line length: the minimum
    EXPECT_EQ(image.getImageSize(), 18u);
    EXPECT_EQ(image.getXResolution(), 200);
    EXPECT_TRUE(std::all_of(image.getImage(), image.getImage() + 18, [](std::uint8_t b) { return b == 0; }));

    image.getImage()[0] = 42;
    EXPECT_EQ(image.createImg(0, 5, 8, 1, RGBORDER_PIXEL), 0);
    EXPECT_EQ(image.getImage()[0], 42);
    EXPECT_EQ(image.getWidth(), 3);

    CImg same;
    ASSERT_EQ(same.createImg(image), 1);
    EXPECT_EQ(same.getImageSize(), image.getImageSize());
    EXPECT_NE(same.getImage(), image.getImage());
    EXPECT_EQ(same.getImage()[0], 0);
}

TEST(CImg, CopiesAreDeepAndAttachMovesOwnership) {
    CImg original = patterned(4, 3, 8, 1, RGBORDER_PIXEL);
    CImg copy(original);
    ASSERT_FALSE(copy.isNull());
    EXPECT_NE(copy.getImage(), original.getImage());
    EXPECT_EQ(bytesOf(copy), bytesOf(original));

    CImg assigned;
    assigned = original;
    const CImg& itself = assigned; // self-assignment must keep the image
    assigned = itself;
    EXPECT_EQ(bytesOf(assigned), bytesOf(original));
    CImg empty;
    assigned = empty;
    EXPECT_TRUE(assigned.isNull());

    std::uint8_t* const buffer = original.getImage();
    CImg target = patterned(2, 2, 8, 1, RGBORDER_PIXEL);
    target.attachImg(original);
    EXPECT_EQ(target.getImage(), buffer);
    EXPECT_EQ(target.getHeight(), 3);
    EXPECT_TRUE(original.isNull());
    EXPECT_EQ(original.getInfo().ulSize, 0u);
    EXPECT_EQ(original.getWidth(), 0);
}

TEST(CImg, AppendJoinsCompatibleImagesOnly) {
    CImg top = patterned(4, 2, 8, 1, RGBORDER_PIXEL, 10);
    const CImg bottom = patterned(6, 3, 8, 1, RGBORDER_PIXEL, 90);
    const CImg before(top);

    CImg shifted(bottom);
    static_cast<tagIMAGEINFO*>(shifted)->lXpos = 5;
    EXPECT_EQ(top.appendImg(shifted), 0);
    CImg otherResolution(bottom);
    static_cast<tagIMAGEINFO*>(otherResolution)->lYResolution = 600;
    EXPECT_EQ(top.appendImg(otherResolution), 0);
    EXPECT_EQ(top.appendImg(CImg{}), 1);
    EXPECT_EQ(bytesOf(top), bytesOf(before));

    ASSERT_EQ(top.appendImg(bottom), 1);
    EXPECT_EQ(top.getWidth(), 6);
    EXPECT_EQ(top.getHeight(), 5);
    EXPECT_EQ(top.getSync(), 6);
    // Top lines keep their 4 bytes and gain 2 zero bytes; the bottom lines follow unchanged.
    for (int line = 0; line < 2; ++line) {
        EXPECT_TRUE(std::equal(before.getLine(line), before.getLine(line) + 4, top.getLine(line)));
        EXPECT_EQ(top.getLine(line)[4], 0);
        EXPECT_EQ(top.getLine(line)[5], 0);
    }
    EXPECT_TRUE(std::equal(bottom.getImage(), bottom.getImage() + 18, top.getLine(2)));

    CImg empty;
    ASSERT_EQ(empty.appendImg(bottom), 1);
    EXPECT_EQ(bytesOf(empty), bytesOf(bottom));
}

TEST(CImg, AppendKeepsColourPlanesTogetherInLineOrder) {
    CImg top = patterned(2, 1, 8, 3, RGBORDER_LINE, 0);
    const CImg bottom = patterned(3, 1, 8, 3, RGBORDER_LINE, 100);
    const CImg before(top);
    ASSERT_EQ(top.appendImg(bottom), 1);
    ASSERT_EQ(top.getSync(), 3);
    for (int plane = 0; plane < 3; ++plane) {
        EXPECT_TRUE(
            std::equal(before.getLine(0, plane), before.getLine(0, plane) + 2, top.getLine(0, plane)));
        EXPECT_TRUE(
            std::equal(bottom.getLine(0, plane), bottom.getLine(0, plane) + 3, top.getLine(1, plane)));
    }
}

TEST(CImgList, CollectsBandsOfOneGeometryAndJoinsThemInOrder) {
    CImgList list;
    CImg empty;
    EXPECT_EQ(list.PushBack(empty), 1);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.summary().lHeight, 0);

    CImg first = patterned(8, 100, 8, 1, RGBORDER_PIXEL, 3);
    CImg second = patterned(8, 50, 8, 1, RGBORDER_PIXEL, 77);
    const CImg firstCopy(first), secondCopy(second);
    ASSERT_EQ(list.PushBack(first), 1);
    EXPECT_TRUE(first.isNull());

    CImg wider = patterned(9, 10, 8, 1, RGBORDER_PIXEL);
    EXPECT_EQ(list.PushBack(wider), 0);
    EXPECT_FALSE(wider.isNull());

    ASSERT_EQ(list.PushBack(second), 1);
    EXPECT_EQ(list.summary().lHeight, 150);

    CImg page = patterned(2, 2, 8, 1, RGBORDER_PIXEL);
    list.SpliceAndPopAll(page);
    ASSERT_EQ(page.getHeight(), 150);
    std::vector<std::uint8_t> expected = bytesOf(firstCopy);
    const std::vector<std::uint8_t> tail = bytesOf(secondCopy);
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(bytesOf(page), expected);
    EXPECT_TRUE(list.empty());

    list.PopAll();
    EXPECT_EQ(list.summary().ulSize, sizeof(tagIMAGEINFO));
    EXPECT_EQ(list.summary().lHeight, 0);
}

TEST(CImgList, GreyBandsMayDifferInOrderButColourBandsMayNot) {
    CImgList list;
    CImg grey = patterned(4, 2, 8, 1, RGBORDER_PIXEL);
    CImg greyLine = patterned(4, 2, 8, 1, RGBORDER_LINE);
    EXPECT_EQ(list.PushBack(grey), 1);
    EXPECT_EQ(list.PushBack(greyLine), 1);

    CImgList colour;
    CImg pixel = patterned(4, 2, 8, 3, RGBORDER_PIXEL);
    CImg line = patterned(4, 2, 8, 3, RGBORDER_LINE);
    static_cast<tagIMAGEINFO*>(line)->lSync = pixel.getSync(); // same line length, other order
    EXPECT_EQ(colour.PushBack(pixel), 1);
    EXPECT_EQ(colour.PushBack(line), 0);
}

TEST(COvkRaster, SizeZeroKeepsTheBuffer) {
    COvkRaster raster;
    EXPECT_EQ(raster.GetPtr(), nullptr);
    ASSERT_EQ(raster.SetSize(16), 1);
    std::uint8_t* const buffer = raster.GetPtr();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(raster.SetSize(0), 0);
    EXPECT_EQ(raster.GetPtr(), buffer);
    EXPECT_EQ(raster.GetSize(), 16u);
    raster.Clear();
    EXPECT_EQ(raster.GetPtr(), nullptr);
    EXPECT_EQ(raster.GetSize(), 0u);
}
