// Lengths of the user's papers typed and shown in pixels, inches and millimetres.
#include "PaperUnits.h"

#include <gtest/gtest.h>

namespace {

const QLocale kC(QLocale::C);
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(PaperUnits, TypedLengthsConvertAndClampToTheLimits) {
    // 1.5 inches is below the minimum width (about 50 mm); 60 mm is 2834 units.
    EXPECT_EQ(ClampPaperLength(ParsePaperLength("1.5", EPaperUnit::Inches, 300, kC), 10200, kMinPaperWidth),
              2362);
    EXPECT_EQ(ParsePaperLength("60", EPaperUnit::Millimetres, 300, kC), 2834);
    EXPECT_EQ(ClampPaperLength(99999, 10200, kMinPaperWidth), 10200);
    EXPECT_EQ(ClampPaperLength(ParsePaperLength("abc", EPaperUnit::Inches, 300, kC), 10200, kMinPaperHeight),
              kMinPaperHeight);
}

TEST(PaperUnits, TheLocalesSeparatorAndAPointAreBothRead) {
    EXPECT_EQ(ParsePaperLength("2,5", EPaperUnit::Inches, 300, kGerman), 3000);
    EXPECT_EQ(ParsePaperLength("2.5", EPaperUnit::Inches, 300, kGerman), 3000);
    EXPECT_EQ(ParsePaperLength("2,5", EPaperUnit::Inches, 300, kC), 3000);
}

TEST(PaperUnits, PixelsFollowTheResolutionAndAZeroResolutionNeverDivides) {
    EXPECT_EQ(FormatPaperLength(2362, EPaperUnit::Pixels, 300), "590");
    EXPECT_EQ(ParsePaperLength("590", EPaperUnit::Pixels, 300, kC), 2360);
    EXPECT_EQ(ParsePaperLength("590", EPaperUnit::Pixels, 0, kC), 0);
    EXPECT_EQ(FormatPaperLength(2362, EPaperUnit::Pixels, 0), "0");
    EXPECT_EQ(FormatPaperLength(2834, EPaperUnit::Millimetres, 300), "59.99");
    EXPECT_EQ(FormatPaperLength(3000, EPaperUnit::Inches, 300), "2.50");
}

} // namespace
