// Line-layout operations of CImageInfo: repacking, cutting and copying in and out.
#include "OvkImageInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// 8-bit grey image whose pixel (x, y) holds 10 y + x. (A CImageInfo copy would only view the pixels.)
std::unique_ptr<CImageInfo> Numbered(int32_t width, int32_t sync, int32_t height) {
    auto owned = std::make_unique<CImageInfo>(width, sync, height, 8, 1, kOvkLineOrder);
    CImageInfo& image = *owned;
    std::fill_n(image.GetPtr(), image.GetSize(), 0xEE);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            image.PSET8(x, y, static_cast<uint8_t>(10 * y + x));
        }
    }
    return owned;
}

std::vector<int> Line(const CImageInfo& image, int32_t y) {
    std::vector<int> values;
    for (int32_t x = 0; x < image.GetWidth(); ++x) {
        values.push_back(image.PGET8(x, y));
    }
    return values;
}

TEST(CImageInfoLines, PackingShrinksAndGrowsLines) {
    auto owned = Numbered(5, 8, 3);
    CImageInfo& image = *owned;
    image.SetPack1(1); // lines start one sample in
    EXPECT_EQ(image.GetSync(), 5);
    EXPECT_EQ(image.GetSize(), 15u);
    EXPECT_EQ(Line(image, 2), (std::vector<int>{21, 22, 23, 24, 0xEE}));

    CImageInfo bits(12, 2, 3, 1, 1, kOvkLineOrder);
    const unsigned char pattern[6] = {0xAB, 0xC0, 0x12, 0x30, 0xFF, 0xF0};
    std::copy(pattern, pattern + 6, bits.GetPtr());
    bits.SetPackN(4, 0);
    ASSERT_EQ(bits.GetSync(), 4);
    const unsigned char grown[12] = {0xAB, 0xC0, 0, 0, 0x12, 0x30, 0, 0, 0xFF, 0xF0, 0, 0};
    EXPECT_EQ(std::vector<unsigned char>(bits.GetPtr(), bits.GetPtr() + 12),
              std::vector<unsigned char>(grown, grown + 12));
    bits.SetPackN(1, 4); // shrink, taking each line from bit 4
    ASSERT_EQ(bits.GetSync(), 2);
    EXPECT_EQ(bits.GetPtr()[0], 0xBC);
    EXPECT_EQ(bits.GetPtr()[2], 0x23);

    unsigned char foreign[8] = {};
    CImageInfo view(5, 8, 1, 8, 1, kOvkLineOrder, foreign, 8);
    view.SetPackN(16, 0); // a buffer this view does not own is never grown
    EXPECT_EQ(view.GetSync(), 8);
}

TEST(CImageInfoLines, CuttingLinesAndColumns) {
    auto owned = Numbered(6, 8, 4);
    CImageInfo& image = *owned;
    image.CutOffH(1, 1); // a single line is removed too
    ASSERT_EQ(image.GetHeight(), 3);
    EXPECT_EQ(image.PGET8(0, 1), 20);
    image.CutOffH(2, 50);
    EXPECT_EQ(image.GetHeight(), 2);
    image.CutOffV(1, 2);
    EXPECT_EQ(Line(image, 1), (std::vector<int>{20, 23, 24, 25}));
    image.ShiftLeft(1);
    EXPECT_EQ(Line(image, 0), (std::vector<int>{3, 4, 5}));
    image.Shift(2); // right shifts do nothing
    EXPECT_EQ(image.GetWidth(), 3);

    CImageInfo planes(3, 4, 1, 8, 3, kOvkLineOrder);
    std::fill_n(planes.GetPtr(), 12, 1);
    planes.CrearUnusedArea(0x1FF);
    EXPECT_EQ(planes.GetPtr()[3], 0xFF);
    EXPECT_EQ(planes.GetPtr()[11], 0xFF);
    EXPECT_EQ(planes.GetPtr()[10], 1);
}

TEST(CImageInfoLines, PutImageClipsAndKeepsBitsExact) {
    auto ownedPage = Numbered(6, 8, 4);
    auto ownedPatch = Numbered(3, 4, 3);
    CImageInfo& page = *ownedPage;
    const CImageInfo& patch = *ownedPatch;
    page.PutImage(-1, 2, patch);
    EXPECT_EQ(Line(page, 2), (std::vector<int>{1, 2, 22, 23, 24, 25}));
    EXPECT_EQ(Line(page, 3), (std::vector<int>{11, 12, 32, 33, 34, 35}));
    page.PutImage(7, 0, patch); // beyond the width: refused
    EXPECT_EQ(page.PGET8(5, 0), 5);

    CImageInfo bits(16, 2, 1, 1, 1, kOvkLineOrder);
    std::fill_n(bits.GetPtr(), 2, 0x00);
    CImageInfo ones(5, 4, 1, 1, 1, kOvkLineOrder);
    std::fill_n(ones.GetPtr(), 4, 0xFF);
    bits.PutImage(3, 0, ones);
    EXPECT_EQ(bits.GetPtr()[0], 0x1F);
    EXPECT_EQ(bits.GetPtr()[1], 0x00);
}

TEST(CImageInfoLines, LinesColumnsAndRectanglesOut) {
    auto owned = Numbered(4, 4, 3);
    const CImageInfo& image = *owned;
    unsigned char column[3] = {};
    image.GetVLineData(column, 2);
    EXPECT_EQ(std::vector<int>(column, column + 3), (std::vector<int>{2, 12, 22}));
    unsigned char line[4] = {};
    image.GetHLineData(line, 1);
    EXPECT_EQ(line[3], 13);
    unsigned char rect[8];
    std::fill_n(rect, 8, 0);
    image.GetRectData(rect, Ovk::tagRECT{1, 1, 2, 2}, 0);
    EXPECT_EQ(std::vector<int>(rect, rect + 8), (std::vector<int>{11, 12, 0, 0, 21, 22, 0, 0}));
    std::fill_n(rect, 8, 7);
    image.GetRectData(rect, 3, 0, 2, 0, 1); // leaves the line: nothing copied
    EXPECT_EQ(rect[0], 7);
}

} // namespace
