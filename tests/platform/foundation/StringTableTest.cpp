// String tables: the text form with comments, escapes and bare keys, damaged text, and the
// property-list form; a missing key answers itself.
#include "StringTable.h"
#include "PropertyList.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

using namespace fnd;

TEST(StringTable, ReadsTheTextFormWithCommentsAndEscapes) {
    std::string error;
    const StringTable t = StringTable::parse(R"(// alerts
/* several
   lines */
"Err_MemFullError" = "Not enough memory.";
Cnfm_Quit = "Quit \"now\"?\nYes";
"Umlaut" = "Gr\U00FC\U00DFe";   "Second" = "on one line";
)",
                                             &error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(t.size(), 4u);
    EXPECT_EQ(t.lookup("Err_MemFullError"), "Not enough memory.");
    EXPECT_EQ(t.lookup("Cnfm_Quit"), "Quit \"now\"?\nYes");
    EXPECT_EQ(t.lookup("Umlaut"), "Grüße");
    EXPECT_EQ(t.lookup("Second"), "on one line");
    EXPECT_EQ(t.lookup("Err_Unknown"), "Err_Unknown");
    EXPECT_EQ(t.find("Err_Unknown"), nullptr);
}

TEST(StringTable, DamagedTextKeepsTheEntriesBeforeTheDamage) {
    const std::string damaged[] = {
        "\"a\" = \"1\";\n\"b\" = \"2\"\n\"c\" = \"3\";", // missing ';'
        "\"a\" = \"1\";\n\"b\" = \"unterminated",
        "\"a\" = \"1\";\n\"b\" = \"\\U00zz\";",
        "\"a\" = \"1\";\n= \"2\";",
    };
    for (const std::string& text : damaged) {
        std::string error;
        const StringTable t = StringTable::parse(text, &error);
        EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
        EXPECT_EQ(t.lookup("a"), "1");
        EXPECT_EQ(t.find("b"), nullptr);
    }
}

TEST(StringTable, LoadsPropertyListTablesAndWarnsAboutDamagedFiles) {
    TempFolder dir;
    ASSERT_TRUE(
        plist::writeFile(dir / "plist.strings", Value(Dictionary{{"Title", "Scan"}, {"NotText", 5}})));
    const StringTable fromPlist = StringTable::load(dir / "plist.strings");
    EXPECT_EQ(fromPlist.lookup("Title"), "Scan");
    EXPECT_EQ(fromPlist.lookup("NotText"), "NotText");

    EXPECT_EQ(StringTable::load(dir / "missing.strings").size(), 0u);

    writeText(dir / "bad.strings", "\"a\" = \"1\";\n\"b\" \"2\";");
    testing::internal::CaptureStderr();
    const StringTable bad = StringTable::load(dir / "bad.strings");
    const std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_NE(warning.find("bad.strings"), std::string::npos);
    EXPECT_NE(warning.find("line 2"), std::string::npos);
    EXPECT_EQ(bad.lookup("a"), "1");
}
