// The desktop's answers: language names from locale names, desktop entries in the XDG data
// folders, the CUPS default in lpoptions.
#include "TlvSystemLookup.h"

#include "ScopedEnv.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

TEST(SystemLookup, LocalesNameTheApplicationsLanguages) {
    const std::pair<const char*, const char*> cases[] = {{"ja_JP.UTF-8", "Japanese"},
                                                         {"en_GB", "English"},
                                                         {"zh_CN.UTF-8", "zh_CN"},
                                                         {"zh_Hans", "zh_CN"},
                                                         {"zh_SG", "zh_CN"},
                                                         {"zh_TW.Big5", "zh_TW"},
                                                         {"zh_Hant_HK", "zh_TW"},
                                                         {"zh-Hant", "zh_TW"},
                                                         {"ko_KR", "Korean"},
                                                         {"es_MX", "Spanish"},
                                                         {"fr", "French"},
                                                         {"de_AT@euro", "German"},
                                                         {"it_IT", "Italian"},
                                                         {"nl_BE.UTF-8", "Dutch"},
                                                         {"pt_BR", ""},
                                                         {"C", ""},
                                                         {"", ""}};
    for (const auto& [locale, name] : cases)
        EXPECT_EQ(TlvSystemLookup::languageNameForLocale(locale), name) << locale;
}

TEST(SystemLookup, FirstKnownDesktopLanguageWinsAndEnglishIsTheLast) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv messages("LC_MESSAGES", nullptr);
    ScopedEnv list("LANGUAGE", "pt_BR:ko:ja");
    ScopedEnv lang("LANG", "de_DE.UTF-8");
    EXPECT_EQ(TlvSystemLookup().languageName(), "Korean");
    ScopedEnv none("LANGUAGE", nullptr);
    EXPECT_EQ(TlvSystemLookup().languageName(), "German");
    ScopedEnv posix("LANG", "C");
    EXPECT_EQ(TlvSystemLookup().languageName(), "English");
}

TEST(SystemLookup, DesktopEntriesAreFoundInTheDataFoldersInOrder) {
    TempFolder home;
    TempFolder system;
    std::filesystem::create_directories(home / "applications");
    std::filesystem::create_directories(system / "applications/kde");
    writeText(system / "applications/viewer.desktop", "[Desktop Entry]\n");
    writeText(system / "applications/kde/gallery.desktop", "[Desktop Entry]\n");
    const std::vector<std::filesystem::path> dirs{home.path(), system.path()};
    EXPECT_EQ(TlvSystemLookup::desktopEntryPath("viewer.desktop", dirs),
              system / "applications/viewer.desktop");
    writeText(home / "applications/viewer.desktop", "[Desktop Entry]\n");
    EXPECT_EQ(TlvSystemLookup::desktopEntryPath("viewer.desktop", dirs),
              home / "applications/viewer.desktop");
    EXPECT_EQ(TlvSystemLookup::desktopEntryPath("kde-gallery.desktop", dirs),
              system / "applications/kde/gallery.desktop");
    EXPECT_EQ(TlvSystemLookup::desktopEntryPath("missing.desktop", dirs), std::nullopt);
    EXPECT_EQ(TlvSystemLookup::desktopEntryPath("../applications/viewer.desktop", dirs), std::nullopt);
    EXPECT_EQ(TlvSystemLookup::desktopEntryPath("", dirs), std::nullopt);
}

TEST(SystemLookup, DefaultPrinterFromLpoptions) {
    EXPECT_EQ(TlvSystemLookup::defaultInLpoptions("Dest Other\nDefault Office/duplex sides=two-sided\n"),
              "Office");
    EXPECT_EQ(TlvSystemLookup::defaultInLpoptions("Dest Office\n"), std::nullopt);
    EXPECT_EQ(TlvSystemLookup::defaultInLpoptions("Default \n"), std::nullopt);
    ScopedEnv dest("LPDEST", "Lab");
    EXPECT_EQ(TlvSystemLookup().defaultPrinterName(), "Lab");
}
