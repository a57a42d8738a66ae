// Applications from .desktop files in the XDG folders, the default application of a type as
// xdg-mime answers it, and standard folders as xdg-user-dir answers them; all in a private home.
#include "Applications.h"
#include "DesktopEntry.h"
#include "StandardFolders.h"

#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

namespace fs = std::filesystem;

namespace {

void write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

class Applications : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }
    QTemporaryDir temp;
    fs::path home{temp.path().toStdString()};
    ScopedEnv homeEnv{"HOME", home.c_str()};
    ScopedEnv config{"XDG_CONFIG_HOME", (home / "config").c_str()};
    ScopedEnv data{"XDG_DATA_HOME", (home / "data").c_str()};
    ScopedEnv dataDirs{"XDG_DATA_DIRS", (home / "system").c_str()};
    // No desktop environment: xdg-mime uses the standard files.
    ScopedEnv desktop{"XDG_CURRENT_DESKTOP", nullptr};
    ScopedEnv session{"DESKTOP_SESSION", nullptr};
};

} // namespace

TEST_F(Applications, EntriesAreFoundByIdWithTheUsersFirst) {
    write(home / "system/applications/viewer.desktop", "[Desktop Entry]\nName=System viewer\n");
    write(home / "system/applications/vendor/mail.desktop", "[Desktop Entry]\nName=Vendor mail\n");
    EXPECT_EQ(ws::findDesktopFile("viewer.desktop"), home / "system/applications/viewer.desktop");
    EXPECT_EQ(ws::findDesktopFile("vendor-mail.desktop"), home / "system/applications/vendor/mail.desktop");
    write(home / "data/applications/viewer.desktop", "[Desktop Entry]\nName=My viewer\n");
    EXPECT_EQ(ws::findDesktopFile("viewer.desktop"), home / "data/applications/viewer.desktop");
    EXPECT_EQ(ws::findDesktopFile("../applications/viewer.desktop"), std::nullopt);
    write(home / "system/outside.desktop", "[Desktop Entry]\nName=Outside\n");
    EXPECT_EQ(ws::findDesktopFile("vendor-..-..-outside.desktop"), std::nullopt);
    EXPECT_EQ(ws::findDesktopFile("missing.desktop"), std::nullopt);
}

TEST_F(Applications, TheDefaultApplicationOfATypeComesWithItsNameAndIcon) {
    write(home / "config/mimeapps.list", "[Default Applications]\nx-scheme-handler/mailto=postbox.desktop\n");
    // xdg-mime answers only with an entry whose program exists.
    write(home / "data/applications/postbox.desktop",
          "[Desktop Entry]\nType=Application\nName=Postbox\nName[de]=Postfach\nIcon=postbox\nExec=true %U\n");
    EXPECT_EQ(ws::defaultApplicationId("x-scheme-handler/mailto"), "postbox.desktop");
    ScopedEnv lang("LANG", "de_AT.UTF-8");
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv messages("LC_MESSAGES", nullptr);
    const auto mail = ws::defaultApplication("x-scheme-handler/mailto");
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->name(), "Postfach");
    EXPECT_EQ(mail->icon(), "postbox");
    EXPECT_EQ(mail->file(), home / "data/applications/postbox.desktop");
    EXPECT_EQ(ws::defaultApplication("application/x-k3100-nothing"), std::nullopt);
}

TEST_F(Applications, TheApplicationsOfATypeAreTheShownEntriesListingItOnceEach) {
    write(home / "system/applications/viewer.desktop",
          "[Desktop Entry]\nName=Viewer\nMimeType=image/jpeg;image/tiff;\n");
    write(home / "system/applications/vendor/paint.desktop",
          "[Desktop Entry]\nName=Paint\nMimeType=image/tiff\n");
    write(home / "system/applications/tiffany.desktop",
          "[Desktop Entry]\nName=Tiffany\nMimeType=image/tiff-x;\n");
    write(home / "system/applications/hidden.desktop",
          "[Desktop Entry]\nName=Hidden\nNoDisplay=true\nMimeType=image/tiff;\n");
    // The user's own entry of the same id hides the system's, though it lists other types.
    write(home / "data/applications/vendor-paint.desktop",
          "[Desktop Entry]\nName=My paint\nMimeType=image/png;\n");
    std::vector<std::string> names;
    for (const ws::DesktopEntry& entry : ws::applicationsForType("image/tiff"))
        names.push_back(entry.name());
    EXPECT_EQ(names, std::vector<std::string>{"Viewer"});
    fs::remove(home / "data/applications/vendor-paint.desktop");
    names.clear();
    for (const ws::DesktopEntry& entry : ws::applicationsForType("image/tiff"))
        names.push_back(entry.name());
    EXPECT_EQ(names, (std::vector<std::string>{"Paint", "Viewer"}));
}

TEST_F(Applications, StandardFoldersFollowTheUsersSettings) {
    write(home / "config/user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(ws::userFolder("PICTURES"), home / "Bilder");
    EXPECT_EQ(ws::userFolder("DOCUMENTS"), home);
    EXPECT_EQ(ws::userFolder("--help"), home);
}

TEST(DesktopEntry, OnlyTheMainGroupCountsAndEscapesAreUndone) {
    const auto entry =
        ws::DesktopEntry::parse("# comment\n[Other]\nName=wrong\n[Desktop Entry]\nName = Scan\\sto "
                                "mail\nName=second\nComment=a\\\\b\\;c\n[Desktop Action x]\nIcon=no\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->value("Name"), "Scan to mail");
    EXPECT_EQ(entry->value("Comment"), "a\\b\\;c");
    EXPECT_EQ(entry->value("Icon"), std::nullopt);
    EXPECT_EQ(ws::DesktopEntry::parse("[Other]\nName=x\n"), std::nullopt);
}
