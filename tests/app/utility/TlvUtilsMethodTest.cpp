// Archiving, 1-bit rotation, name checks, colours and the bundle answers, without any window.
#include "TlvUtilsMethod.h"
#include "TlvColorMnager.h"

#include "PropertyList.h"
#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using U = TlvUtilsMethod;

TEST(TlvArchiveTest, RoundTripsADictionaryAndRefusesOtherData) {
    fnd::Dictionary inner{{"Copies", std::int32_t{2}}, {"Duplex", true}};
    fnd::Dictionary dict{{"Name", "Backup"},
                         {"Ratio", 0.5},
                         {"Blob", fnd::Data{0, 1, 2}},
                         {"List", fnd::Array{"a", std::int64_t{-7}}},
                         {"Print", inner},
                         {"When", fnd::Date{1700000000.0}}};
    const std::optional<fnd::Data> data = U::encodeDictToData(dict);
    ASSERT_TRUE(data);
    const std::optional<fnd::Dictionary> back = U::decodeDataToDict(*data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->get("Name"), fnd::Value("Backup"));
    EXPECT_EQ(back->get("Print").asDictionary()->get("Copies").asInt32(), 2);
    EXPECT_EQ(*back->get("Blob").asData(), (fnd::Data{0, 1, 2}));
    EXPECT_EQ(back->get("List").asArray()->at(1).asInt32(), -7);

    EXPECT_FALSE(U::encodeDictToData({{"Window", fnd::Value::pointer(&dict)}}));
    const auto array = fnd::plist::toBinary(fnd::Value(fnd::Array{"x"}));
    EXPECT_FALSE(U::decodeDataToDict(*array));
    const std::string xml = *fnd::plist::toXml(fnd::Value(dict));
    EXPECT_FALSE(U::decodeDataToDict(fnd::Data(xml.begin(), xml.end())));
    fnd::Data cut(data->begin(), data->begin() + static_cast<std::ptrdiff_t>(data->size() / 2));
    EXPECT_FALSE(U::decodeDataToDict(cut));
    EXPECT_FALSE(U::decodeDataToDict({}));
}

// A 1-bit image as rows of (w + 7) / 8 bytes, most significant bit first.
struct Bitmap {
    int w, h;
    std::vector<std::uint8_t> bytes;
    std::size_t row() const { return (static_cast<std::size_t>(w) + 7) / 8; }
    bool at(int x, int y) const { return (bytes[y * row() + x / 8] >> (7 - x % 8)) & 1; }
};

Bitmap randomBitmap(int w, int h, unsigned seed) {
    Bitmap b{w, h, std::vector<std::uint8_t>(((w + 7) / 8) * static_cast<std::size_t>(h))};
    std::mt19937 rng(seed);
    for (auto& byte : b.bytes)
        byte = static_cast<std::uint8_t>(rng());
    for (int y = 0; y < h; ++y) // padding bits stay clear, as a writer leaves them
        for (int x = w; x < static_cast<int>(b.row()) * 8; ++x)
            b.bytes[y * b.row() + x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
    return b;
}

Bitmap quarterTurn(const Bitmap& src, int direct) {
    Bitmap out{src.h, src.w, std::vector<std::uint8_t>(((src.h + 7) / 8) * static_cast<std::size_t>(src.w))};
    for (int line = 0; line < src.w; ++line)
        EXPECT_TRUE(U::rotate_Image1Bpp(std::span(out.bytes).subspan(line * out.row(), out.row()), line,
                                        src.bytes, src.w, src.h, direct));
    return out;
}

TEST(TlvRotateTest, QuarterTurnsMoveEveryPixelWhereItBelongs) {
    const Bitmap src = randomBitmap(13, 10, 1);
    const Bitmap cw = quarterTurn(src, 0);
    const Bitmap ccw = quarterTurn(src, 1);
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x) {
            ASSERT_EQ(cw.at(src.h - 1 - y, x), src.at(x, y)) << x << "," << y;
            ASSERT_EQ(ccw.at(y, src.w - 1 - x), src.at(x, y)) << x << "," << y;
        }
    EXPECT_EQ(quarterTurn(quarterTurn(quarterTurn(cw, 0), 0), 0).bytes, src.bytes);
}

TEST(TlvRotateTest, HalfTurnMirrorsARowOfNine) {
    const std::uint8_t row[2] = {0b1000'0001, 0b1000'0000}; // pixels 0, 7 and 8
    std::uint8_t out[2] = {0xFF, 0xFF};
    ASSERT_TRUE(U::rotate_Image1Bpp(out, 0, row, 9, 1, 2));
    EXPECT_EQ(out[0], 0b1100'0000); // pixel 8 -> 0, pixel 7 -> 1
    EXPECT_EQ(out[1], 0b1000'0000); // pixel 0 -> 8
}

TEST(TlvRotateTest, RefusesWhatDoesNotFit) {
    std::vector<std::uint8_t> src(2 * 4, 0xFF), dst(1, 0);
    EXPECT_FALSE(U::rotate_Image1Bpp(dst, 9, src, 9, 4, 0)); // a row past the last
    EXPECT_FALSE(U::rotate_Image1Bpp(dst, 0, src, 9, 5, 0)); // source shorter than srcH rows
    EXPECT_FALSE(U::rotate_Image1Bpp(dst, 0, src, 9, 4, 2)); // destination row too short
    EXPECT_FALSE(U::rotate_Image1Bpp(dst, 0, src, 9, 4, 3));
    EXPECT_EQ(dst[0], 0);
}

TEST(TlvTextTest, FileNameChecks) {
    EXPECT_FALSE(U::isValidNameInString("a:b"));
    EXPECT_FALSE(U::isValidNameInString(QString::fromUtf8("price \u00A5")));
    EXPECT_FALSE(U::isValidNameInString("say \"hi\""));
    EXPECT_TRUE(U::isValidNameInString(""));
    EXPECT_TRUE(U::isValidNameInString("scan 2024-01-02 (1)"));
    EXPECT_TRUE(U::isHeadCharDotInString(".hidden"));
    EXPECT_FALSE(U::isHeadCharDotInString(""));
}

TEST(TlvTextTest, EditingHelpers) {
    EXPECT_EQ(U::deleteString("ab", "xabyab"), QString("xyab"));
    EXPECT_FALSE(U::deleteString("zz", "xabyab"));
    EXPECT_EQ(U::deleteSpaceHeadAndTail("  a b \n"), QString("a b"));
    EXPECT_FALSE(U::deleteSpaceHeadAndTail(""));
    using R = U::Range;
    EXPECT_EQ(U::rangeOfCharInStrByOption("_-", "a_b-c_d", 0), (R{1, 1}));
    EXPECT_EQ(U::rangeOfCharInStrByOption("_-", "a_b-c_d", U::kBackwardsSearch), (R{5, 1}));
    EXPECT_EQ(U::rangeOfCharInStrByOption("B", "abc", U::kCaseInsensitiveSearch), (R{1, 1}));
    EXPECT_EQ(U::rangeOfCharInStrByOption("_", "abc", 0), (R{U::kNotFound, 0}));
    EXPECT_EQ(U::rangeOfCharInStrByOption("", "abc", 0), (R{0, 0}));
}

TEST(TlvColorTest, GreysByTag) {
    EXPECT_EQ(TlvColorMnager::sColorsCount, 27);
    EXPECT_EQ(TlvColorMnager::colorForDrawByTag(26), QColor(45, 45, 45));
    EXPECT_EQ(TlvColorMnager::colorForDrawByTag(1), QColor(255, 255, 255));
    EXPECT_FALSE(TlvColorMnager::colorForDrawByTag(27));
    EXPECT_FALSE(TlvColorMnager::colorForDrawByTag(-1));
}

TEST(TlvBundleTest, InformationLocaleAndSystem) {
    EXPECT_EQ(U::objectFromInfoDict("VXDeviceName"), fnd::Value("K3100"));
    EXPECT_TRUE(U::objectFromInfoDict("NoSuchKey").isAbsent());
    EXPECT_TRUE(U::objectFromInfoDict("").isAbsent());
    const ScopedEnv language("LANGUAGE", "xx:en");
    EXPECT_EQ(U::currentLocaleStr(), "en");
    EXPECT_TRUE(U::isEqualToLocaleStr("en"));
    EXPECT_FALSE(U::isEqualToLocaleStr(""));
    EXPECT_FALSE(U::isOS1030());
    EXPECT_GE(U::currentOSVersion(), 0x1050);
}

} // namespace
