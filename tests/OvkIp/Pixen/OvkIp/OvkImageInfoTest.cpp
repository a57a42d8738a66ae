// Image record, view and error convention of the analysis layer.
#include "OvkImageInfo.h"
#include "ImageRecord.h"
#include "OvkBits.h"
#include "OvkCpuFeature.h"
#include "OvkError.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(OvkError, ThrowHelpersAndCaughtCodes) {
    EXPECT_NO_THROW(OnErrorThrow(0));
    EXPECT_NO_THROW(OnAssertThrow(true, kIpBadParameter));
    try {
        OnAssertThrow(false, kIpBadParameter);
        FAIL();
    } catch (int code) {
        EXPECT_EQ(code, 87);
    }
    auto caught = [](auto thrower) {
        try {
            thrower();
        } catch (...) {
            return IpCaughtCode();
        }
        return -1;
    };
    EXPECT_EQ(caught([] { OnErrorThrow(120); }), 120);
    EXPECT_EQ(caught([] { OnErrorThrowLong(14); }), 14);
    EXPECT_EQ(caught([] { throw std::bad_alloc(); }), kIpNotEnoughMemory);
    EXPECT_EQ(caught([] { throw 2.5; }), kIpBadParameter);

    IpSetLastError(8);
    EXPECT_EQ(IpGetLastError(), 8);
    IpSetLastError(kIpSuccess);
    EXPECT_EQ(IpGetLastError(), 0);
}

TEST(OvkArithmetic, RoundDivAndFeatures) {
    EXPECT_EQ(RoundDiv(5, 2), 3u);
    EXPECT_EQ(RoundDiv(4, 3), 1u);
    EXPECT_THROW(RoundDiv(4, 0), int);
#if defined(__x86_64__)
    // Both belong to the 64-bit instruction set, so every such processor has them.
    EXPECT_NE(IsSSE2FeatureAvailable(), 0);
    EXPECT_NE(IsMMXFeatureAvailable(), 0);
#endif
}

TEST(OvkBits, PartialByteCopyAndCompare) {
    unsigned char dst[2] = {0x00, 0x0F};
    const unsigned char src[2] = {0xAB, 0xF0};
    CopyMemBit(dst, src, 12);
    EXPECT_EQ(dst[0], 0xAB);
    EXPECT_EQ(dst[1], 0xFF); // the four bits beyond the count are kept
    const unsigned char a[2] = {0x12, 0xA5};
    const unsigned char b[2] = {0x12, 0xA0};
    EXPECT_EQ(CompareBits(a, b, 13), 0);
    EXPECT_NE(CompareBits(a, b, 14), 0);
    unsigned char neg[5] = {0x00, 0xFF, 0x0F, 0xF0, 0x55};
    memneg(neg, 5);
    EXPECT_EQ(std::vector<unsigned char>(neg, neg + 5),
              (std::vector<unsigned char>{0xFF, 0x00, 0xF0, 0x0F, 0xAA}));
}

TEST(CImageInfoLayout, WrappingRewritesSizeFromLayout) {
    unsigned char pixels[1];
    tagOVKIMAGEINFO rec = imagetest::imageRecord<tagOVKIMAGEINFO>(90, 10, 100, 8, 3, kOvkLineOrder, pixels);
    rec.tImageSize = 7;
    CImageInfo lineOrder(&rec);
    EXPECT_EQ(rec.tImageSize, 3000u);
    rec.ulRGBOrder = kOvkPixelOrder;
    CImageInfo pixelOrder(&rec);
    EXPECT_EQ(rec.tImageSize, 1000u);
    EXPECT_FALSE(pixelOrder.IsValidLayout()); // 90 colour pixels need 270 bytes a line
    rec.lWidth = 33;
    EXPECT_TRUE(pixelOrder.IsValidLayout());
    rec.lSync = -100;
    EXPECT_FALSE(CImageInfo(&rec).IsValidLayout());
}

TEST(CImageInfoLayout, NewImagesPadLinesTo32Bits) {
    CImageInfo bits(10, 5, 1, 1, kOvkLineOrder);
    EXPECT_EQ(bits.GetSync(), 4);
    EXPECT_EQ(bits.GetSize(), 20u);
    EXPECT_TRUE(bits.IsOwnBuffer());
    CImageInfo planes(10, 5, 8, 3, kOvkLineOrder);
    EXPECT_EQ(planes.GetSync(), 12);
    EXPECT_EQ(planes.GetSize(), 180u);
    EXPECT_EQ(planes.GetInfo()->ulSize, sizeof(tagOVKIMAGEINFO));
}

TEST(CImageInfoOwnership, BufferOwnershipIsExplicit) {
    CImageInfo image(16, 16, 4, 8, 1, kOvkLineOrder);
    unsigned char* own = image.GetPtr();
    unsigned char other[64];
    EXPECT_EQ(image.SetPtr(other), nullptr);
    EXPECT_EQ(image.GetPtr(), own);

    image.ReleaseImageBuffer();
    EXPECT_EQ(image.GetPtr(), nullptr);
    EXPECT_FALSE(image.IsOwnBuffer());
    image.ReleaseImageBuffer(); // a second release must not free again
    EXPECT_EQ(image.SetPtr(other), other);

    CImageInfo fresh(8, 2, 8, 1, kOvkLineOrder);
    unsigned char* detached = fresh.DetachImageBuffer();
    ASSERT_NE(detached, nullptr);
    EXPECT_EQ(fresh.DetachImageBuffer(), nullptr);
    CImageInfo::FreeImageBuffer(detached);
}

TEST(CImageInfoSetters, DerivedFieldsFollow) {
    unsigned char pixels[1];
    tagOVKIMAGEINFO rec = imagetest::imageRecord<tagOVKIMAGEINFO>(50, 4, 100, 8, 1, kOvkLineOrder, pixels);
    rec.lYResolution = 200;
    CImageInfo image(&rec);
    image.SetResolution(300, 0);
    EXPECT_EQ(rec.lXResolution, 300);
    EXPECT_EQ(rec.lYResolution, 200);
    EXPECT_EQ(image.SetBps(16), 16);
    EXPECT_EQ(rec.lSync, 200);
    EXPECT_EQ(rec.tImageSize, 800u);
    image.SetHeight(3);
    EXPECT_EQ(rec.tImageSize, 600u);
}

TEST(CImageInfoCopies, DeepCopySharedViewAndEquality) {
    std::vector<unsigned char> pixels(4 * 3);
    for (size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<unsigned char>(i * 7);
    }
    tagOVKIMAGEINFO rec =
        imagetest::imageRecord<tagOVKIMAGEINFO>(3, 3, 4, 8, 1, kOvkLineOrder, pixels.data());
    rec.tImageSize = 12;
    rec.lXResolution = 300;
    CImageInfo deep(rec);
    ASSERT_NE(deep.GetPtr(), nullptr);
    EXPECT_NE(deep.GetPtr(), pixels.data());
    EXPECT_EQ(deep.GetXResolution(), 0);
    CImageInfo view(&rec);
    EXPECT_TRUE(deep == view);

    CImageInfo shared(view);
    EXPECT_EQ(shared.GetPtr(), pixels.data());
    EXPECT_FALSE(shared.IsOwnBuffer());

    pixels[3] = 1; // padding byte: not part of the image
    EXPECT_TRUE(deep == view);
    pixels[4] = 1;
    EXPECT_TRUE(deep != view);
    std::unique_ptr<CImageInfo> copy = view.CreateCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(*copy == view);
}

TEST(CImageInfoPixels, AccessOutsideTheImageIsIgnored) {
    CImageInfo bits(10, 2, 1, 1, kOvkLineOrder);
    std::fill_n(bits.GetPtr(), bits.GetSize(), 0);
    bits.PSET2(9, 1, 1);
    EXPECT_EQ(bits.GetPtr()[4 + 1], 0x40);
    EXPECT_NE(bits.PGET2(9, 1), 0);
    EXPECT_EQ(bits.PGET2(-1, 0), 0);
    bits.PSET2(10, 1, 1);
    EXPECT_EQ(bits.GetPtr()[5], 0x40);
    bits.PSET2(9, 1, 0);
    EXPECT_EQ(bits.GetPtr()[5], 0x00);

    CImageInfo grey(4, 4, 2, 8, 1, kOvkLineOrder);
    std::fill_n(grey.GetPtr(), grey.GetSize(), 9);
    grey.PSET8(4, 0, 200);
    grey.PSET8(0, -1, 200);
    EXPECT_EQ(grey.PGET8(4, 0), 0);
    EXPECT_EQ(std::count(grey.GetPtr(), grey.GetPtr() + 8, 9), 8);

    CImageInfo planes(2, 4, 2, 8, 3, kOvkLineOrder);
    planes.PSET24(1, 1, 0x030201);
    EXPECT_EQ(planes.GetPtr()[12 + 1], 1);
    EXPECT_EQ(planes.GetPtr()[12 + 4 + 1], 2);
    EXPECT_EQ(planes.GetPtr()[12 + 8 + 1], 3);
}

TEST(CImageInfoRegions, RectSumClipsEveryEdge) {
    CImageInfo grey(4, 4, 4, 8, 1, kOvkLineOrder);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            grey.PSET8(x, y, static_cast<uint8_t>(10 * y + x));
        }
    }
    uint32_t count = 0;
    Ovk::tagRECT negative{-2, -2, 4, 4};
    EXPECT_EQ(grey.RectSum(&negative, &count), 0u + 1 + 10 + 11);
    EXPECT_EQ(count, 4u);
    Ovk::tagRECT beyond{3, 3, 5, 5};
    EXPECT_EQ(grey.RectSum(&beyond, &count), 33u);
    EXPECT_EQ(grey.RectAve(&beyond), 33);
    Ovk::tagRECT outside{5, 0, 2, 2};
    EXPECT_EQ(grey.RectSum(&outside, &count), 0u);
    EXPECT_EQ(count, 0u);
    EXPECT_THROW(grey.RectAve(&outside), int);
}

TEST(CImageInfoRegions, PolarityAndTrim) {
    CImageInfo grey(4, 4, 4, 8, 1, kOvkLineOrder);
    std::fill_n(grey.GetPtr(), grey.GetSize(), 0x0F);
    EXPECT_EQ(grey.SetBlackIs(1), 1);
    EXPECT_EQ(grey.SetBlackIs(1), 1);
    EXPECT_EQ(grey.GetPtr()[0], 0xF0);
    EXPECT_EQ(grey.SetWhiteIs(1), 1);
    EXPECT_EQ(grey.GetPtr()[0], 0x0F);

    CImageInfo view(grey);
    view.Trim(0.5);
    EXPECT_EQ(view.GetWidth(), 2);
    EXPECT_EQ(view.GetHeight(), 2);
    EXPECT_EQ(view.GetPtr(), grey.GetPtr() + 4 + 1);
    EXPECT_EQ(view.GetSize(), 8u);

    CImageInfo corner(grey);
    corner.Trim(Ovk::tagRECT{-1, 3, 3, 5}); // clipped to columns 0..1 of line 3
    EXPECT_EQ(corner.GetWidth(), 2);
    EXPECT_EQ(corner.GetHeight(), 1);
    EXPECT_EQ(corner.GetPtr(), grey.GetPtr() + 12);
    grey.Trim(Ovk::tagRECT{1, 1, 1, 1});
    EXPECT_EQ(grey.GetWidth(), 4);
}

} // namespace
