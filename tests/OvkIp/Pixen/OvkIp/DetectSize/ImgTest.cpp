// The size detectors' image objects: format choice, pixel access per format, conversions and resampling.
#include "DetectSize/Img.h"
#include "DetectSize/DetectSizeStatus.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace Ovk::DetectSize;

namespace {

CImg::tagIMGSET set(std::uint8_t* px, int w, int h, int sync, int bpp, int order = 0) {
    return CImg::tagIMGSET{px, w, h, sync, 300, 150, bpp, order};
}

} // namespace

TEST(SizeImg, CreateChoosesTheClassByDepthAndOrder) {
    EXPECT_EQ(CImg::Create(set(nullptr, 4, 2, 0, 16)), nullptr);
    EXPECT_NE(dynamic_cast<CBinaryImg*>(CImg::Create(set(nullptr, 4, 2, 0, 1)).get()), nullptr);
    EXPECT_NE(dynamic_cast<CGrayImg*>(CImg::Create(set(nullptr, 4, 2, 0, 8)).get()), nullptr);
    EXPECT_NE(dynamic_cast<CColorImg2*>(CImg::Create(set(nullptr, 4, 2, 0, 24, 1)).get()), nullptr);
    const auto pixel = CImg::Create(set(nullptr, 4, 2, 0, 24, 0));
    EXPECT_EQ(dynamic_cast<CColorImg2*>(pixel.get()), nullptr);
    EXPECT_EQ(pixel->sync(), 12);
    EXPECT_TRUE(pixel->ownsBuffer());
}

TEST(SizeImg, SetWrapsWithoutCopyingAndCreateCopies) {
    std::vector<std::uint8_t> px = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(CImg::Set(set(nullptr, 4, 2, 4, 8)), nullptr);
    EXPECT_EQ(CImg::Set(set(px.data(), 4, 2, 0, 8)), nullptr);
    const auto view = CImg::Set(set(px.data(), 4, 2, 4, 8));
    const auto copy = CImg::Create(set(px.data(), 4, 2, 4, 8));
    px[5] = 99;
    EXPECT_EQ(view->pImg(), px.data());
    EXPECT_FALSE(view->ownsBuffer());
    EXPECT_EQ(view->get(1, 1), 99u);
    EXPECT_EQ(copy->get(1, 1), 6u);
    copy->change_pImg(px.data()); // an owning image keeps its buffer
    EXPECT_NE(copy->pImg(), px.data());
}

TEST(SizeImg, PixelAccessPerFormat) {
    std::vector<std::uint8_t> bits(4, 0);
    const auto binary = CImg::Set(set(bits.data(), 16, 2, 2, 1));
    binary->put(9, 0, 1);
    EXPECT_EQ(bits[1], 0x40);
    EXPECT_EQ(binary->get(9, 0), 1u);
    EXPECT_TRUE(binary->black(9, 0, 0));
    binary->put(9, 0, 0);
    EXPECT_EQ(bits[1], 0);
    EXPECT_EQ(binary->get(-1, 0), 0u);

    std::vector<std::uint8_t> planes(2 * 9, 0);
    const auto lineOrder = CImg::Set(set(planes.data(), 3, 2, 9, 24, 1));
    lineOrder->put(1, 1, 0x302010);
    EXPECT_EQ(planes[9 + 1], 0x10);
    EXPECT_EQ(planes[9 + 4], 0x20);
    EXPECT_EQ(planes[9 + 7], 0x30);
    EXPECT_EQ(lineOrder->get(1, 1), 0x302010u);
    lineOrder->put(3, 0, 0xFFFFFF); // outside: nothing written
    EXPECT_EQ(lineOrder->get(3, 0), 0u);

    // Grey, black and binary read the second sample, from the planes of a line-order image too.
    const auto grey = lineOrder->gray();
    EXPECT_EQ(grey->get(1, 1), 0x20u);
    EXPECT_TRUE(lineOrder->black(1, 1, 0x21));
    EXPECT_FALSE(lineOrder->black(1, 1, 0x20));
    const auto mask = lineOrder->binary(0x21);
    EXPECT_EQ(mask->get(0, 0), 1u); // 0 < 0x21
    const auto pixelOrder = lineOrder->color();
    EXPECT_EQ(pixelOrder->pImg()[3 * (3 + 1)], 0x10); // pixel (1, 1), first sample
    EXPECT_EQ(pixelOrder->get(1, 1), 0x302010u);
}

TEST(SizeImg, ConversionsBetweenGreyAndColour) {
    std::vector<std::uint8_t> px = {10, 20, 30, 40};
    const auto grey = CImg::Set(set(px.data(), 2, 2, 2, 8));
    EXPECT_EQ(grey->binary(128), nullptr);
    const auto colour = grey->color();
    EXPECT_EQ(colour->get(1, 1), 0x282828u);
    EXPECT_TRUE(grey->black(0, 0, 11));
    EXPECT_FALSE(grey->black(0, 0, 10));
    // add appends converted rows at the cursor and drops what does not fit.
    auto target = CImg::Create(set(nullptr, 2, 3, 0, 8));
    target->add(*colour);
    target->add(*colour);
    EXPECT_EQ(target->get(1, 1), 40u);
    EXPECT_EQ(target->get(0, 2), 10u);
    EXPECT_EQ(colour->past(0, 0, *grey), kStatusNotImplemented);
}

TEST(SizeImg, CutoutReviseResolutionAndInvert) {
    std::vector<std::uint8_t> px(4 * 4);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<std::uint8_t>(i);
    const auto grey = CImg::Set(set(px.data(), 4, 4, 4, 8)); // 300 x 150 dpi
    const auto part = grey->cutout(1, 2, 2, 2);
    EXPECT_EQ(part->get(0, 0), 9u);
    EXPECT_EQ(part->get(1, 1), 14u);
    // x above y: columns are taken every x/y = 2.
    const auto square = grey->rivise_resolution();
    EXPECT_EQ(square->width(), 2);
    EXPECT_EQ(square->xdpi(), 150);
    EXPECT_EQ(square->get(1, 3), 14u);
    grey->revers();
    EXPECT_EQ(px[1], 254);
}

TEST(SizeImg, RectFindsTheExtremeBlackPixels) {
    std::vector<std::uint8_t> px(10 * 8, 255);
    const auto grey = CImg::Set({px.data(), 10, 8, 10, 100, 100, 8, 0});
    Ovk::tagRECT r{};
    Ovk::tagPOINT points[4] = {{-5, -5}, {-5, -5}, {-5, -5}, {-5, -5}};
    EXPECT_EQ(grey->rect(r, points), 0);
    EXPECT_EQ(r.x, 10);
    EXPECT_EQ(r.y, -1);
    EXPECT_EQ(r.width, -1);
    EXPECT_EQ(r.height, 8);
    EXPECT_EQ(points[0].x, -5);
    for (auto [x, y] : {std::pair{3, 2}, std::pair{6, 5}, std::pair{2, 4}})
        px[std::size_t(y) * 10 + x] = 0;
    ASSERT_EQ(grey->rect(r, points), 0);
    EXPECT_EQ(r.x, 2);
    EXPECT_EQ(r.y, 5);
    EXPECT_EQ(r.width, 6);
    EXPECT_EQ(r.height, 2);
    EXPECT_EQ(points[1].x, 6);
    EXPECT_EQ(points[0].y, 4);
    EXPECT_EQ(points[3].x, 3);
}
