// Login items: our marked autostart entry is written, found and removed; files without the mark are
// never touched, however they are named.
#include "LoginItems.h"
#include "DesktopEntry.h"

#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <sstream>

#include <sys/stat.h>

using ws::LoginItems;

namespace {

std::string read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void write(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

ino_t inode(const std::filesystem::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

class LoginItemsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }
    QTemporaryDir temp;
    ScopedEnv config{"XDG_CONFIG_HOME", temp.path().toUtf8().constData()};
    const LoginItems items{"com.orvikElectronics.tapwell"};
    const std::filesystem::path program{"/opt/K3100 Apps/bin/tapwell"};
};

} // namespace

TEST_F(LoginItemsTest, OurEntryIsWrittenOnceFoundAndRemoved) {
    EXPECT_EQ(items.entryPath(),
              temp.path().toStdString() + "/autostart/com.orvikElectronics.tapwell.desktop");
    EXPECT_FALSE(items.contains(program));
    EXPECT_EQ(items.remove(), LoginItems::Result::Unchanged);
    ASSERT_EQ(items.add(program, "Tapwell"), LoginItems::Result::Done);
    EXPECT_TRUE(items.contains(program));
    EXPECT_FALSE(items.contains("/usr/bin/tapwell"));
    const auto entry = ws::DesktopEntry::load(items.entryPath());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name(), "Tapwell");
    EXPECT_TRUE(entry->boolean("X-K3100-Helper"));

    const ino_t before = inode(items.entryPath());
    EXPECT_EQ(items.add(program, "Tapwell"), LoginItems::Result::Unchanged);
    EXPECT_EQ(inode(items.entryPath()), before);
    // Another copy of the helper takes the entry over.
    EXPECT_EQ(items.add("/usr/local/bin/tapwell", "Tapwell"), LoginItems::Result::Done);
    EXPECT_TRUE(items.contains("/usr/local/bin/tapwell"));

    EXPECT_EQ(items.remove(), LoginItems::Result::Done);
    EXPECT_FALSE(std::filesystem::exists(items.entryPath()));
}

TEST_F(LoginItemsTest, AForeignEntryUnderOurNameIsNeverTouched) {
    const std::string foreign = "[Desktop Entry]\nType=Application\nExec=/usr/bin/tapwell\n";
    write(items.entryPath(), foreign);
    EXPECT_FALSE(items.contains("/usr/bin/tapwell"));
    EXPECT_EQ(items.add(program, "Tapwell"), LoginItems::Result::Foreign);
    EXPECT_EQ(items.remove(), LoginItems::Result::Foreign);
    EXPECT_EQ(read(items.entryPath()), foreign);

    write(items.entryPath(), "not a desktop file at all");
    EXPECT_EQ(items.add(program, "Tapwell"), LoginItems::Result::Foreign);
    EXPECT_EQ(read(items.entryPath()), "not a desktop file at all");
}

TEST_F(LoginItemsTest, StraysOfOtherCopiesGoAndOtherProgramsStay) {
    ASSERT_EQ(items.add(program, "Tapwell"), LoginItems::Result::Done);
    const std::filesystem::path folder = LoginItems::folder();
    write(folder / "com.orvikElectronics.tapwell-old.desktop",
          "[Desktop Entry]\nExec=/old/tapwell\nX-K3100-Helper=true\n");
    write(folder / "mail.desktop", "[Desktop Entry]\nExec=/usr/bin/mail\n");
    write(folder / "other.desktop", "[Desktop Entry]\nExec=/usr/bin/other\nX-K3100-Helper=false\n");
    EXPECT_EQ(items.removeStrays(), 1);
    EXPECT_FALSE(std::filesystem::exists(folder / "com.orvikElectronics.tapwell-old.desktop"));
    EXPECT_TRUE(std::filesystem::exists(folder / "mail.desktop"));
    EXPECT_TRUE(std::filesystem::exists(folder / "other.desktop"));
    EXPECT_TRUE(items.contains(program));
}

TEST_F(LoginItemsTest, JunkInTheAutostartFolderIsPassedOver) {
    const std::filesystem::path folder = LoginItems::folder();
    std::filesystem::create_directories(folder / "folder.desktop");
    ASSERT_EQ(::mkfifo((folder / "pipe.desktop").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder / "gone", folder / "dangling.desktop");
    EXPECT_EQ(items.removeStrays(), 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "pipe.desktop"));
}
