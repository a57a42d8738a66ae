// Moving files, making folders and the private temporary folder, on real file systems.
#include "TempFolder.h"
#include "TlvUtilsMethod.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

unsigned modeOf(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(TlvUtilsMoveTest, MovesOnlyOntoAFreeName) {
    TempFolder dir;
    writeText(dir / "a", "new");
    writeText(dir / "b", "kept");
    EXPECT_FALSE(TlvUtilsMethod::enhancedMovePath(dir / "a", dir / "b"));
    EXPECT_EQ(readText(dir / "b"), "kept");
    EXPECT_EQ(readText(dir / "a"), "new");

    EXPECT_TRUE(TlvUtilsMethod::enhancedMovePath(dir / "a", dir / "c"));
    EXPECT_EQ(readText(dir / "c"), "new");
    EXPECT_FALSE(fs::exists(dir / "a"));
    EXPECT_FALSE(TlvUtilsMethod::enhancedMovePath(dir / "a", dir / "d"));
    EXPECT_FALSE(TlvUtilsMethod::enhancedMovePath("", dir / "d"));
}

TEST(TlvUtilsMoveTest, AcrossFileSystemsCopiesThenDeletes) {
    TempFolder here;
    TempFolder there("/dev/shm");
    struct stat a {
    }, b{};
    ::stat(here.path().c_str(), &a);
    ::stat(there.path().c_str(), &b);
    if (a.st_dev == b.st_dev)
        GTEST_SKIP() << "needs two file systems";
    writeText(here / "page", "pixels");
    ::chmod((here / "page").c_str(), 0640);
    writeText(there / "taken", "other");

    EXPECT_FALSE(TlvUtilsMethod::enhancedMovePath(here / "page", there / "taken"));
    EXPECT_EQ(readText(there / "taken"), "other");
    EXPECT_TRUE(fs::exists(here / "page"));

    EXPECT_TRUE(TlvUtilsMethod::enhancedMovePath(here / "page", there / "page"));
    EXPECT_EQ(readText(there / "page"), "pixels");
    EXPECT_EQ(modeOf(there / "page"), 0640u);
    EXPECT_FALSE(fs::exists(here / "page"));
}

TEST(TlvUtilsMakeFolderTest, MakesEveryComponentOrFails) {
    TempFolder dir;
    const fs::path deep = dir / "a/b/c";
    EXPECT_TRUE(TlvUtilsMethod::checkAndMakeTargetDirectory(deep));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(TlvUtilsMethod::checkAndMakeTargetDirectory(deep));

    writeText(dir / "file", "x");
    EXPECT_FALSE(TlvUtilsMethod::checkAndMakeTargetDirectory(dir / "file"));
    EXPECT_FALSE(TlvUtilsMethod::checkAndMakeTargetDirectory(dir / "file/sub/deeper"));
    EXPECT_FALSE(TlvUtilsMethod::checkAndMakeTargetDirectory("relative/path"));
    EXPECT_FALSE(TlvUtilsMethod::checkAndMakeTargetDirectory(""));
}

TEST(TlvUtilsFileTest, SizesAndContents) {
    TempFolder dir;
    writeText(dir / "f", "12345");
    fs::create_symlink(dir / "f", dir / "link");
    EXPECT_EQ(TlvUtilsMethod::fileBytesByPath(dir / "link"), 5u);
    EXPECT_EQ(TlvUtilsMethod::fileBytesByPath(dir / "missing"), 0u);
    EXPECT_EQ(TlvUtilsMethod::dataFromPath(dir / "f"), (fnd::Data{'1', '2', '3', '4', '5'}));
    EXPECT_FALSE(TlvUtilsMethod::dataFromPath(dir / "missing"));
}

TEST(TlvUtilsFileTest, SeesItsOwnProgramRunning) {
    EXPECT_TRUE(TlvUtilsMethod::isLaunchedApp(fs::read_symlink("/proc/self/exe")));
    TempFolder dir;
    writeText(dir / "tool", "#!/bin/sh\n");
    EXPECT_FALSE(TlvUtilsMethod::isLaunchedApp(dir / "tool"));
}

TEST(TlvUtilsFileTest, FindsTheDesktopsMailProgram) {
    TempFolder xdg;
    fs::create_directories(xdg / "config");
    fs::create_directories(xdg / "data/applications");
    ::setenv("XDG_CONFIG_HOME", (xdg / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (xdg / "data").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (xdg / "none").c_str(), 1);
    EXPECT_FALSE(TlvUtilsMethod::defaultMailAppPath());

    writeText(xdg / "config/mimeapps.list",
              "[Default Applications]\nx-scheme-handler/mailto=testmail.desktop\n");
    writeText(
        xdg / "data/applications/testmail.desktop",
        "[Desktop Entry]\nType=Application\nName=Mail\nExec=true %u\nMimeType=x-scheme-handler/mailto;\n");
    EXPECT_EQ(TlvUtilsMethod::defaultMailAppPath(), xdg / "data/applications/testmail.desktop");
}

// The temporary folder is chosen once per process, so each case runs in a fresh child process.
class TlvTmpFolderTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    TempFolder tmp;
    fs::path expectedBase() const { return tmp / ("Tlv_K3100_Tmp-" + std::to_string(::getuid())); }
};

// The body runs in a re-started child; its exit code tells the parent whether it failed.
#define IN_CHILD(body)                                                                                       \
    EXPECT_EXIT(                                                                                             \
        {                                                                                                    \
            body fs::remove_all(tmp.path());                                                                 \
            std::exit(::testing::Test::HasFailure() ? 1 : 0);                                                \
        },                                                                                                   \
        testing::ExitedWithCode(0), "")

TEST_F(TlvTmpFolderTest, IsPrivateAndMadeAnew) {
    IN_CHILD({
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
        const fs::path folder = TlvUtilsMethod::tmpImageFolderPath();
        EXPECT_EQ(folder, expectedBase());
        ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
        EXPECT_EQ(modeOf(folder), 0700u);
        writeText(TlvUtilsMethod::tmpBaseImageFilePath(3), "page");
        EXPECT_TRUE(fs::exists(folder / "tmpImg_3"));
        ASSERT_TRUE(TlvUtilsMethod::createAndMultiFolderPath());
        EXPECT_EQ(*TlvUtilsMethod::createAndMailFolderPath(), folder / "Mail");
        TlvUtilsMethod::removeMultiFolder();
        EXPECT_FALSE(fs::exists(folder / "Multi"));

        ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
        EXPECT_TRUE(fs::is_empty(folder));
        EXPECT_TRUE(TlvUtilsMethod::removeTmpFolder());
        EXPECT_FALSE(TlvUtilsMethod::createAndMultiFolderPath());
    });
}

TEST_F(TlvTmpFolderTest, RefusesASymlinkOrAStrangersFolder) {
    IN_CHILD({
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
        fs::create_directory(tmp / "elsewhere");
        fs::create_directory_symlink(tmp / "elsewhere", expectedBase());
        EXPECT_FALSE(TlvUtilsMethod::createTmpFolder());
        EXPECT_FALSE(TlvUtilsMethod::removeTmpFolder());
        EXPECT_FALSE(TlvUtilsMethod::createAndMailFolderPath());
        EXPECT_TRUE(fs::is_symlink(expectedBase()));
        EXPECT_TRUE(fs::is_empty(tmp / "elsewhere"));

        fs::remove(expectedBase());
        fs::create_directory(expectedBase());
        writeText(expectedBase() / "theirs", "x");
        if (::getuid() == 0) {
            ASSERT_EQ(::chown(expectedBase().c_str(), 12345, 12345), 0);
            EXPECT_FALSE(TlvUtilsMethod::createTmpFolder());
            EXPECT_TRUE(fs::exists(expectedBase() / "theirs"));
        }
    });
}

TEST_F(TlvTmpFolderTest, NarrowsAWideModeOfItsOwnFolder) {
    IN_CHILD({
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
        fs::create_directory(expectedBase());
        ::chmod(expectedBase().c_str(), 0777);
        EXPECT_TRUE(TlvUtilsMethod::createAndMailFolderPath());
        EXPECT_EQ(modeOf(expectedBase()), 0700u);
    });
}

TEST_F(TlvTmpFolderTest, ASecondInstanceGetsAFolderOfItsOwn) {
    IN_CHILD({
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
        // Another instance: its own open file description holding the lock.
        const std::string lock = expectedBase().string() + ".lock";
        const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT, 0600);
        ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(TlvUtilsMethod::tmpImageFolderPath(), expectedBase().string() + ".1");
        EXPECT_TRUE(TlvUtilsMethod::createTmpFolder());
        EXPECT_FALSE(fs::exists(expectedBase()));
    });
}

} // namespace
