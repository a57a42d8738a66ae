// Owning pointer, rotations and bit helpers.
#include "OvkImageInfoPtr.h"
#include "OvkBits.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Fills every byte of the buffer, padding included, so that a turn that reads padding shows up.
void Scramble(CImageInfo& image, unsigned seed) {
    std::mt19937 random(seed);
    for (uint32_t i = 0; i < image.GetSize(); ++i) {
        image.GetPtr()[i] = static_cast<unsigned char>(random());
    }
}

CImageInfoPtr MakeImage(int32_t width, int32_t height, int32_t bps, int32_t spp, uint32_t order,
                        unsigned seed) {
    CImageInfoPtr image;
    image.Attach(std::make_unique<CImageInfo>(
        width, PaddedLineBytes(int64_t{width} * bps * (order ? 1 : spp)), height, bps, spp, order));
    Scramble(*image, seed);
    return image;
}

// Sample k of pixel (x, y) of an 8-bit image in either order.
uint8_t Sample(const CImageInfo& image, int32_t x, int32_t y, int k) {
    const ptrdiff_t step = image.IsLineOrder() ? image.GetSync() : 1;
    return image.PixelPtr(x, y)[k * step];
}

// Clockwise: destination (x, y) shows source (y, H - 1 - x).
void ExpectClockwiseOf(const CImageInfo& turned, const CImageInfo& src) {
    ASSERT_EQ(turned.GetWidth(), src.GetHeight());
    ASSERT_EQ(turned.GetHeight(), src.GetWidth());
    for (int32_t y = 0; y < turned.GetHeight(); ++y) {
        for (int32_t x = 0; x < turned.GetWidth(); ++x) {
            if (src.GetBps() == 1) {
                ASSERT_EQ(turned.PGET2(x, y) != 0, src.PGET2(y, src.GetHeight() - 1 - x) != 0)
                    << x << "," << y;
                continue;
            }
            for (int k = 0; k < src.GetSpp(); ++k) {
                ASSERT_EQ(Sample(turned, x, y, k), Sample(src, y, src.GetHeight() - 1 - x, k))
                    << x << "," << y;
            }
        }
    }
}

struct Format {
    int32_t bps;
    int32_t spp;
    uint32_t order;
};

class Rotation : public testing::TestWithParam<Format> {};

TEST_P(Rotation, MatchesPixelDefinitionAndRoundTrips) {
    const Format f = GetParam();
    for (auto [width, height] : {std::pair{10, 3}, std::pair{17, 23}, std::pair{8, 16}, std::pair{1, 1}}) {
        CImageInfoPtr original = MakeImage(width, height, f.bps, f.spp, f.order, width * 31 + height);
        CImageInfoPtr image;
        ASSERT_EQ(CopyCImageInfo(image, original), 1);
        ASSERT_EQ(image.Rotate90R(), 1);
        ExpectClockwiseOf(*image, *original);
        ASSERT_EQ(image->GetSync() % 4, 0);

        ASSERT_EQ(image.Rotate90L(), 1);
        EXPECT_TRUE(*image == *original);
        for (int turn = 0; turn < 4; ++turn) {
            ASSERT_EQ(image.Rotate90R(), 1);
        }
        EXPECT_TRUE(*image == *original);

        CImageInfoPtr half;
        ASSERT_EQ(SameSizeCImageInfo(half, original), 1);
        RotateImage(*half, *original, -180);
        ASSERT_EQ(image.Rotate90R(), 1);
        ASSERT_EQ(image.Rotate90R(), 1);
        EXPECT_TRUE(*image == *half);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, Rotation,
                         testing::Values(Format{1, 1, kOvkLineOrder}, Format{8, 1, kOvkLineOrder},
                                         Format{8, 3, kOvkPixelOrder}, Format{8, 3, kOvkLineOrder}));

TEST(RotationRefusals, UnsupportedAnglesFormatsAndEmptyPointer) {
    CImageInfoPtr empty;
    EXPECT_THROW(empty.Rotate90R(), long);
    CImageInfoPtr deep = MakeImage(4, 4, 16, 1, kOvkLineOrder, 1);
    try {
        deep.Rotate90R();
        FAIL();
    } catch (long code) {
        EXPECT_EQ(code, 8);
    }
    CImageInfoPtr grey = MakeImage(4, 4, 8, 1, kOvkLineOrder, 1);
    CImageInfoPtr same;
    ASSERT_EQ(SameSizeCImageInfo(same, grey), 1);
    EXPECT_THROW(RotateImage(*same, *grey, 45), long);
    EXPECT_NO_THROW(RotateImage(*same, *grey, 450)); // 90 after reduction; a square keeps its geometry
}

TEST(ImagePtr, CreateImagePicksOrderBySamples) {
    CImageInfoPtr image;
    ASSERT_EQ(image.CreateImage(5, 16, 2, 8, 3, 300, 0), 1);
    EXPECT_EQ(image->GetRGBOrder(), kOvkPixelOrder);
    EXPECT_EQ(image->GetXResolution(), 300);
    ASSERT_EQ(image.CreateImage(5, 8, 2, 8, 1, 300, 200), 1);
    EXPECT_EQ(image->GetRGBOrder(), kOvkLineOrder);
    EXPECT_EQ(image->GetYResolution(), 200);
    std::unique_ptr<CImageInfo> taken = image.Detach();
    EXPECT_FALSE(image);
    EXPECT_NE(taken, nullptr);
}

TEST(BitHelpers, SetsSwitchesAndShifts) {
    unsigned char bytes[3] = {};
    BitSet(bytes, 3, 1, 2);
    EXPECT_EQ(bytes[0], 0x18);
    EXPECT_EQ(bytes[1], 0x00);
    BitSet(bytes, 3, 1, 10);
    EXPECT_EQ(bytes[0], 0x1F);
    EXPECT_EQ(bytes[1], 0xF8);
    EXPECT_EQ(bytes[2], 0x00);
    BitSet(bytes, 4, 0, 12);
    EXPECT_EQ(bytes[0], 0x10);
    EXPECT_EQ(bytes[1], 0x00);

    unsigned char swap[2] = {0x01, 0xF0};
    MemBitSwitch(swap, 2);
    EXPECT_EQ(swap[0], 0x80);
    EXPECT_EQ(swap[1], 0x0F);

    unsigned char line[4] = {0x01, 0x80, 0x00, 0xFF};
    MemBitStepShift(line, 9, 2, 2); // two lines of two bytes
    EXPECT_EQ(line[0], 0x00);
    EXPECT_EQ(line[1], 0x00);
    EXPECT_EQ(line[2], 0xFE);
    EXPECT_EQ(line[3], 0x00);
}

TEST(BitHelpers, BitStepCopyAgreesWithBytesAndBits) {
    std::vector<unsigned char> src(3 * 5);
    for (size_t i = 0; i < src.size(); ++i) {
        src[i] = static_cast<unsigned char>(i * 37 + 11);
    }
    std::vector<unsigned char> viaBits(4 * 5, 0x55), viaBytes(4 * 5, 0x55);
    BitStepCopy(viaBits.data(), 8, src.data(), 8, 16, 5, 4, 3);
    MemStepCopy(viaBytes.data() + 1, src.data() + 1, 2, 5, 4, 3);
    EXPECT_EQ(viaBits, viaBytes);

    std::vector<unsigned char> shifted(4 * 5, 0xFF);
    BitStepCopy(shifted.data(), 3, src.data(), 5, 13, 5, 4, 3);
    for (int line = 0; line < 5; ++line) {
        for (int i = 0; i < 32; ++i) {
            const int expected = i >= 3 && i < 16 ? GetBit(&src[3 * line], i - 3 + 5) : 1;
            ASSERT_EQ(GetBit(&shifted[4 * line], i), expected) << line << ":" << i;
        }
    }
}

} // namespace
