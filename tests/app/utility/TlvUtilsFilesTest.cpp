// Moving files, making folders and the private temporary folder, on real file systems.
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "TlvUtilsMethod.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
    const ScopedEnv config("XDG_CONFIG_HOME", (xdg / "config").c_str());
    const ScopedEnv data("XDG_DATA_HOME", (xdg / "data").c_str());
    const ScopedEnv dataDirs("XDG_DATA_DIRS", (xdg / "none").c_str());
    EXPECT_FALSE(TlvUtilsMethod::defaultMailAppPath());

    writeText(xdg / "config/mimeapps.list",
              "[Default Applications]\nx-scheme-handler/mailto=testmail.desktop\n");
    writeText(
        xdg / "data/applications/testmail.desktop",
        "[Desktop Entry]\nType=Application\nName=Mail\nExec=true %u\nMimeType=x-scheme-handler/mailto;\n");
    EXPECT_EQ(TlvUtilsMethod::defaultMailAppPath(), xdg / "data/applications/testmail.desktop");
}

// The temporary folder belongs to the process and TMPDIR is the test's, so each case runs in a child.
class TlvTmpFolderTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    TempFolder tmp;
    // The predictable name an older build used, and the start of every folder's name now.
    fs::path fixedName() const { return tmp / ("Tlv_K3100_Tmp-" + std::to_string(::getuid())); }
    std::string prefix() const { return fixedName().string() + "."; }
};

// The body runs in a re-started child; its exit code tells the parent whether it failed.
#define IN_CHILD(body)                                                                                       \
    EXPECT_EXIT(                                                                                             \
        {                                                                                                    \
            ::setenv("TMPDIR", tmp.path().c_str(), 1);                                                       \
            body fs::remove_all(tmp.path());                                                                 \
            std::exit(::testing::Test::HasFailure() ? 1 : 0);                                                \
        },                                                                                                   \
        testing::ExitedWithCode(0), "")

TEST_F(TlvTmpFolderTest, EachBatchGetsAFreshPrivateFolder) {
    IN_CHILD({
        EXPECT_TRUE(TlvUtilsMethod::tmpImageFolderPath().empty());
        EXPECT_LT(TlvUtilsMethod::createTmpFile("tmpImg_0"), 0); // no folder yet: nowhere to write
        ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
        const fs::path first = TlvUtilsMethod::tmpImageFolderPath();
        EXPECT_EQ(first.string().rfind(prefix(), 0), 0u) << first;
        EXPECT_EQ(modeOf(first), 0700u);
        const int fd = TlvUtilsMethod::createTmpFile("tmpImg_3");
        ASSERT_GE(fd, 0);
        ::close(fd);
        EXPECT_EQ(modeOf(first / "tmpImg_3"), 0600u);
        EXPECT_LT(TlvUtilsMethod::createTmpFile("tmpImg_3"), 0); // never reopened, never truncated
        ASSERT_TRUE(TlvUtilsMethod::createAndMultiFolderPath());
        EXPECT_EQ(*TlvUtilsMethod::createAndMailFolderPath(), first / "Mail");
        TlvUtilsMethod::removeMultiFolder();
        EXPECT_FALSE(fs::exists(first / "Multi"));

        ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
        const fs::path second = TlvUtilsMethod::tmpImageFolderPath();
        EXPECT_NE(second, first);
        EXPECT_FALSE(fs::exists(first));
        EXPECT_TRUE(fs::is_empty(second));
        EXPECT_TRUE(TlvUtilsMethod::removeTmpFolder());
        EXPECT_FALSE(fs::exists(second));
        EXPECT_FALSE(TlvUtilsMethod::createAndMultiFolderPath());
    });
}

TEST_F(TlvTmpFolderTest, AFolderSomeoneMadeBeforehandIsNeverUsed) {
    IN_CHILD({
        // Made by "another user" under the predictable name, open to everybody.
        fs::create_directory(fixedName());
        ::chmod(fixedName().c_str(), 0777);
        fs::create_directory(prefix() + "AAAAAA");
        ::chmod((prefix() + "AAAAAA").c_str(), 0777);
        ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
        const int fd = TlvUtilsMethod::createTmpFile("tmpImg_1");
        ASSERT_GE(fd, 0);
        ::close(fd);
        EXPECT_TRUE(fs::is_empty(fixedName()));
        EXPECT_TRUE(fs::is_empty(prefix() + "AAAAAA"));
        EXPECT_EQ(modeOf(prefix() + "AAAAAA"), 0777u); // not this program's to change or remove

        // A temporary folder in which no private folder can be made: no folder, so no page goes anywhere.
        ::setenv("TMPDIR", (tmp / "missing").c_str(), 1);
        EXPECT_FALSE(TlvUtilsMethod::createTmpFolder());
        EXPECT_TRUE(TlvUtilsMethod::tmpImageFolderPath().empty());
        EXPECT_LT(TlvUtilsMethod::createTmpFile("tmpImg_1"), 0);
    });
}

TEST_F(TlvTmpFolderTest, APlantedLinkIsNeitherFollowedNorReplaced) {
    IN_CHILD({
        writeText(tmp / "victim", "the user's own file");
        ::chmod((tmp / "victim").c_str(), 0600);
        ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
        const fs::path folder = TlvUtilsMethod::tmpImageFolderPath();
        fs::create_symlink(tmp / "victim", folder / "tmpImg_1");
        EXPECT_LT(TlvUtilsMethod::createTmpFile("tmpImg_1"), 0);
        EXPECT_LT(TlvUtilsMethod::openTmpFile("tmpImg_1"), 0);
        EXPECT_LT(TlvUtilsMethod::createTmpFile("../victim"), 0);
        EXPECT_EQ(readText(tmp / "victim"), "the user's own file");
        EXPECT_TRUE(fs::is_symlink(folder / "tmpImg_1"));
    });
}

// Two instances of one user starting batches at once: neither takes the other's fresh folder for one
// a crashed instance left.
TEST_F(TlvTmpFolderTest, InstancesStartingTogetherKeepEachOthersFolders) {
    IN_CHILD({
        const auto batches = [] {
            for (int k = 0; k < 1000; ++k) {
                if (!TlvUtilsMethod::createTmpFolder())
                    return false;
                const int fd = TlvUtilsMethod::createTmpFile("tmpImg_0");
                if (fd < 0)
                    return false;
                ::close(fd);
            }
            return true;
        };
        const pid_t other = ::fork();
        if (other == 0)
            ::_exit(batches() ? 0 : 1);
        EXPECT_TRUE(batches());
        int status = 0;
        ASSERT_EQ(::waitpid(other, &status, 0), other);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    });
}

TEST_F(TlvTmpFolderTest, RemovesWhatACrashedInstanceLeftButNotARunningOnesFolder) {
    IN_CHILD({
        for (const char* name : {"left00", "runs00"}) {
            fs::create_directory(prefix() + name);
            ::chmod((prefix() + name).c_str(), 0700);
            writeText(fs::path(prefix() + name) / "tmpImg_0", "page");
        }
        // The running instance holds the lock on its folder through its own open descriptor.
        const int running = ::open((prefix() + "runs00").c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_EQ(::flock(running, LOCK_EX | LOCK_NB), 0);
        ASSERT_TRUE(TlvUtilsMethod::createTmpFolder());
        EXPECT_FALSE(fs::exists(prefix() + "left00"));
        EXPECT_TRUE(fs::exists(fs::path(prefix() + "runs00") / "tmpImg_0"));
        ::close(running);
    });
}

} // namespace
