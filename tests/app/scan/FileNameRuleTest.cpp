// Automatic and free file names built with a fixed clock (7 March 2009, 14:05:09), including the
// settings that must never reach the file system as they stand.
#include "TlvFuncSettingMdl.h"

#include "FixedLookup.h"

#include <gtest/gtest.h>

namespace {

// Entry 0 with only the given fixed part and the date and counter off.
TlvFuncSettingMdl ruleWithPart(const std::string& part) {
    TlvFuncSettingMdl model;
    model.setPartFileName(part, 0);
    model.setIsAddDateTime(false, 0);
    return model;
}

} // namespace

TEST(FileNameRule, PartsJoinInOrderWithTheCounterPadded) {
    FixedLookup lookup;
    TlvFuncSettingMdl model;
    model.setPartFileName("Scan", 0);
    model.setDateTimeType(0, 0);
    model.setIsAddNumber(true, 0);
    model.setDigitType(2, 0);
    model.setStartNum(12, 0);
    model.setFileFormatType(1, 0);
    EXPECT_EQ(model.imgFileName(0, true), "Scan20090307140509_012.tiff");
    EXPECT_EQ(model.imgFileName(0, false), "Scan20090307140509_012");
    model.setDateTimeType(1, 0);
    EXPECT_EQ(model.imgFileName(0, false), "Scan03072009140509_012");
    model.setDateTimeType(2, 0);
    EXPECT_EQ(model.imgFileName(0, false), "Scan07032009140509_012");

    model.setIsAddDateTime(false, 0);
    model.setDigitType(0, 0);
    model.setStartNum(1234, 0); // a longer number is not cut
    model.setFileFormatType(2, 0);
    EXPECT_EQ(model.imgFileName(0, true), "Scan_1234.jpg");
}

TEST(FileNameRule, FixedPartIsTrimmedButKeepsInnerSpaces) {
    FixedLookup lookup;
    EXPECT_EQ(ruleWithPart("  My Scan \t").imgFileName(0, true), "My Scan.pdf");
    EXPECT_EQ(ruleWithPart(" \t ").imgFileName(0, false), "");
}

TEST(FileNameRule, AnEmptyRuleNeverGivesAHiddenExtensionOnlyName) {
    FixedLookup lookup;
    const TlvFuncSettingMdl model = ruleWithPart("");
    EXPECT_EQ(model.imgFileName(0, true), "");
    EXPECT_EQ(model.imgFileName(0, false), "");
}

TEST(FileNameRule, FixedPartsThatCannotNameAFileAreLeftOut) {
    FixedLookup lookup;
    const std::string parts[] = {"a/b",      "..",      ".",  ".hidden",          "x:y",
                                 "\xC2\xA5", "tab\x01", "q?", "../../etc/passwd", std::string("nul\0x", 5)};
    for (const std::string& part : parts) {
        SCOPED_TRACE(part);
        TlvFuncSettingMdl model = ruleWithPart(part);
        EXPECT_EQ(model.imgFileName(0, true), "");
        model.setIsAddDateTime(true, 0);
        model.setDateTimeType(0, 0);
        EXPECT_EQ(model.imgFileName(0, true), "20090307140509.pdf");
    }
    EXPECT_EQ(ruleWithPart(std::string(300, 'a')).imgFileName(0, false), ""); // longer than a name may be
}

TEST(FileNameRule, LocalisedLayoutIsATemplateAndFallsBackToDigits) {
    FixedLookup lookup;
    TlvFuncSettingMdl model;
    model.setPartFileName("Doc", 0);
    model.setDateTimeType(3, 0);
    EXPECT_EQ(model.imgFileName(0, false), "Doc20090307140509"); // no texts: the numeric layout

    lookup.strings = {{"DateTime_Format_YYYYMMDD", "{year}\xE5\xB9\xB4{month}\xE6\x9C\x88{day}\xE6\x97\xA5"},
                      {"DateTime_Format_HHMMSS", "{hour}-{minute}-{second}"}};
    EXPECT_EQ(model.imgFileName(0, false), "Doc2009\xE5\xB9\xB4"
                                           "03\xE6\x9C\x88"
                                           "07\xE6\x97\xA5"
                                           "14-05-09");

    for (const char* date : {"%s%s%n", "{year}/{month}/{day}", "{year}:{month}"}) {
        SCOPED_TRACE(date);
        lookup.strings["DateTime_Format_YYYYMMDD"] = date;
        EXPECT_EQ(model.imgFileName(0, false), "Doc20090307140509");
    }
    lookup.strings["DateTime_Format_YYYYMMDD"] = ".{year}";
    model.setPartFileName("", 0);
    EXPECT_EQ(model.imgFileName(0, true), "20090307140509.pdf"); // would have been hidden
}

TEST(FileNameRule, FreeNamesAreCheckedAndGetTheirExtension) {
    FixedLookup lookup;
    TlvFuncSettingMdl model;
    EXPECT_EQ(model.freeFileName(0, true), "");
    model.setFreeFileName("Doc_12", 1);
    model.setFileFormatType(1, 1);
    EXPECT_EQ(model.freeFileName(1, true), "Doc_12.tiff");
    EXPECT_EQ(model.freeFileName(1, false), "Doc_12");
    model.setFreeFileName(std::nullopt, 1);
    EXPECT_EQ(model.freeFileName(1, true), std::nullopt);
    for (const char* bad : {"..", "../x", "a/b", ".profile", "C:x"}) {
        model.setFreeFileName(bad, 2);
        EXPECT_EQ(model.freeFileName(2, true), "") << bad;
    }
}

TEST(FileNameRule, EntriesOutsideTheThreeGiveNoName) {
    FixedLookup lookup;
    TlvFuncSettingMdl model;
    model.setPartFileName("Scan", 3); // ignored
    EXPECT_EQ(model.imgFileName(-1, true), "");
    EXPECT_EQ(model.imgFileName(3, true), "");
    EXPECT_EQ(model.freeFileName(TlvFuncSettingMdl::fIndexByFType(2), true), std::nullopt);
    EXPECT_EQ(model.partFileName(3), "");
}
