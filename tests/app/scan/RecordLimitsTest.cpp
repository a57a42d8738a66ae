// Cutting values to the TWAIN string records: whole characters only, counted in UTF-16 units.
#include "TlvRecordLimits.h"

#include <gtest/gtest.h>

TEST(RecordLimits, Str64CountsUtf16UnitsAndKeepsWholeCharacters) {
    EXPECT_EQ(TlvCutToStr64(""), "");
    EXPECT_EQ(TlvCutToStr64(std::string(32, 'a')), std::string(32, 'a'));
    EXPECT_EQ(TlvCutToStr64(std::string(33, 'a')), std::string(32, 'a'));
    const std::string euro = "\xE2\x82\xAC"; // one unit, three bytes
    std::string euros;
    for (int i = 0; i < 40; ++i)
        euros += euro;
    EXPECT_EQ(TlvCutToStr64(euros), euros.substr(0, 32 * 3));
    const std::string page = "\xF0\x9F\x93\x84"; // two units
    EXPECT_EQ(TlvCutToStr64(std::string(30, 'a') + page + "b"), std::string(30, 'a') + page);
    EXPECT_EQ(TlvCutToStr64(std::string(31, 'a') + page), std::string(31, 'a'));
}

TEST(RecordLimits, Str64EndsAtNulOrMalformedText) {
    EXPECT_EQ(TlvCutToStr64(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(TlvCutToStr64("ab\xC0\xAF"), "ab");     // overlong
    EXPECT_EQ(TlvCutToStr64("ab\xED\xA0\x80"), "ab"); // surrogate
    EXPECT_EQ(TlvCutToStr64("ab\xE2\x82"), "ab");     // truncated
    EXPECT_EQ(TlvCutToStr32(fnd::Data(40, 1)), fnd::Data(32, 1));
    EXPECT_EQ(TlvCutToStr32(fnd::Data(3, 1)), fnd::Data(3, 1));
}
