// The user's runtime folder when the session names none: in the user's own cache folder, where no other
// user can make the name first as one could in /tmp, and checked there as any private folder is.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "PrivateFolder.h"
#include "ScopedEnv.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

mode_t modeOf(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(PrivateFolder, WithoutARuntimeFolderNamedItIsMadeInTheUsersCacheFolder) {
    const TempFolder home;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv homeVariable("HOME", home.path().c_str());
    {
        const ScopedEnv cache("XDG_CACHE_HOME", nullptr);
        const fnd::PrivateFolder folder = fnd::PrivateFolder::runtime();
        EXPECT_TRUE(folder.valid());
        EXPECT_EQ(folder.path(), home / ".cache/k3100-runtime");
        EXPECT_EQ(modeOf(home / ".cache"), 0700u);
        EXPECT_EQ(modeOf(folder.path()), 0700u);
    }
    const ScopedEnv cache("XDG_CACHE_HOME", (home / "cache").c_str());
    ASSERT_EQ(::mkdir((home / "cache").c_str(), 0755), 0);
    EXPECT_EQ(fnd::PrivateFolder::runtime().path(), home / "cache/k3100-runtime");

    // Found open to others, or a link: refused, naming the folder.
    ASSERT_EQ(::chmod((home / "cache/k3100-runtime").c_str(), 0755), 0);
    std::string problem;
    EXPECT_FALSE(fnd::PrivateFolder::runtime(&problem).valid());
    EXPECT_NE(problem.find("k3100-runtime"), std::string::npos) << problem;
    fs::remove(home / "cache/k3100-runtime");
    fs::create_directory_symlink(home / ".cache/k3100-runtime", home / "cache/k3100-runtime");
    EXPECT_FALSE(fnd::PrivateFolder::runtime().valid());
}

// A home that does not exist leaves no folder to make: said so, with why.
TEST(PrivateFolder, AFolderThatCannotBeMadeIsSaidSoWithWhy) {
    const TempFolder scratch;
    const fs::path home = scratch / "no-such-home";
    const ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv cache("XDG_CACHE_HOME", nullptr);
    const ScopedEnv homeVariable("HOME", home.c_str());
    std::string problem;
    EXPECT_FALSE(fnd::PrivateFolder::runtime(&problem).valid());
    EXPECT_EQ(problem, "the folder " + (home / ".cache/k3100-runtime").string() +
                           " cannot be made: No such file or directory");
    EXPECT_FALSE(fs::exists(home));
}

} // namespace
