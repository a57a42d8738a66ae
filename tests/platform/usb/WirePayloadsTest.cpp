// Byte layouts of the window list, mode pages, adjust data, sense and inquiry data.
#include "WirePayloads.h"

#include <gtest/gtest.h>

#include <vector>

namespace k3100::usb {
namespace {

TEST(WirePayloads, WindowListLayout) {
    SScanWindow w;
    w.identifier = 1;
    w.xResolution = 600;
    w.yResolution = 400;
    w.left = 0;
    w.top = static_cast<uint32_t>(-472);
    w.width = 10208;
    w.length = 13200;
    w.composition = kCompositionColour;
    w.bitsPerPixel = 8;
    const auto b = encodeWindowList(w);
    EXPECT_EQ(b[7], 44);
    EXPECT_EQ(b[8], 1);
    EXPECT_EQ((std::vector<int>{b[10], b[11], b[12], b[13]}), (std::vector<int>{0x02, 0x58, 0x01, 0x90}));
    EXPECT_EQ((std::vector<int>{b[18], b[19], b[20], b[21]}), (std::vector<int>{0xFF, 0xFF, 0xFE, 0x28}));
    EXPECT_EQ((std::vector<int>{b[24], b[25]}), (std::vector<int>{0x27, 0xE0}));
    EXPECT_EQ(b[33], 5);
    EXPECT_EQ(b[34], 8);
    EXPECT_EQ(b[37], 0x10);

    const auto back = decodeWindowList(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(static_cast<int32_t>(back->top), -472);
    EXPECT_EQ(back->length, 13200u);

    auto broken = b;
    broken[37] = 0;
    EXPECT_FALSE(decodeWindowList(broken));
    EXPECT_FALSE(decodeWindowList(std::span(b).first(51)));
}

TEST(WirePayloads, ModePagesSetTheirBits) {
    const auto p0 = encodeModePage({0, 1, 1, 1, 0, 0});
    EXPECT_EQ(p0[4], 0x30);
    EXPECT_EQ(p0[5], 14);
    EXPECT_EQ(p0[7], 0x05);
    EXPECT_EQ(p0[9], 0x10);

    const auto p1 = encodeModePage({1, 2, 1, 0, 0, 1});
    EXPECT_EQ(p1[4], 0x32);
    EXPECT_EQ(p1[6], 2);
    EXPECT_EQ(p1[7], 1);
    EXPECT_EQ(p1[10], 0x40);
    EXPECT_EQ(p1[13], 1);

    const auto p2 = encodeModePage({2, 1, 2, 3, 4, 0});
    EXPECT_EQ((std::vector<int>{p2[4], p2[11], p2[12], p2[13], p2[14]}),
              (std::vector<int>{0x36, 1, 2, 3, 4}));

    const auto decoded = decodeModePage(p1);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->page, 1);
    EXPECT_EQ(decoded->first, 2);
    EXPECT_EQ(decoded->second, 1);
    EXPECT_EQ(decoded->third, 0);
    EXPECT_EQ(decoded->value16, 1);
    auto unknown = p1;
    unknown[4] = 0x31;
    EXPECT_FALSE(decodeModePage(unknown));
}

TEST(WirePayloads, AdjustDataHoldsBothSides) {
    const SAdjustInfo front{40, 103, 0x0BB8, 0x1388, 0x1389};
    const SAdjustInfo back{41, 104, 1, 2, 3};
    const auto b = encodeAdjustData(front, back);
    EXPECT_EQ((std::vector<int>(b.begin(), b.begin() + 16)),
              (std::vector<int>{40, 0, 103, 0, 0x0B, 0xB8, 0x13, 0x88, 0x13, 0x89, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b[16], 41);
    EXPECT_EQ(b[25], 3);
    const auto decoded = decodeAdjustData(b);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->back.Offset1, 104);
    EXPECT_EQ(decoded->front.BlueLED, 0x1389);
}

TEST(WirePayloads, SenseDataBitsAndFields) {
    SenseData s;
    s.key = 0;
    s.incorrectLength = true;
    s.endOfMedium = true;
    s.information = 1000;
    const auto b = encodeSense(s);
    EXPECT_EQ(b[2], 0x60);
    EXPECT_EQ((std::vector<int>{b[3], b[4], b[5], b[6]}), (std::vector<int>{0, 0, 0x03, 0xE8}));

    SenseData jam;
    jam.key = 3;
    jam.code = 0x81;
    jam.qualifier = 0x01;
    const SenseData back = decodeSense(encodeSense(jam));
    EXPECT_EQ(back.key, 3);
    EXPECT_FALSE(back.incorrectLength);
    EXPECT_EQ(back.code, 0x81);
    EXPECT_EQ(back.qualifier, 0x01);
}

TEST(WirePayloads, InquiryTextsArePadded) {
    const auto b = encodeInquiry({"ORVIK", "K3100 Scanner", "1.0"});
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "ORVIK   ");
    EXPECT_EQ(std::string(b.begin() + 16, b.begin() + 32), "K3100 Scanner   ");
    EXPECT_EQ(std::string(b.begin() + 32, b.begin() + 36), "1.0 ");
}

} // namespace
} // namespace k3100::usb
