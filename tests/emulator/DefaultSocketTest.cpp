// The socket the emulator serves when none is named: the user's own, never one shared by every user.
#include "DefaultSocket.h"
#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace k3100::test {
namespace {

namespace fs = std::filesystem;

TEST(DefaultSocket, IsTheUsersOwnAndRefusesAFolderOthersCouldEnter) {
    std::string scratch = (fs::temp_directory_path() / "k3100-socket-XXXXXX").string();
    ASSERT_TRUE(::mkdtemp(scratch.data()));
    const ScopedEnv named("K3100_EMULATOR_SOCKET", nullptr);
    const ScopedEnv tmp("TMPDIR", scratch.c_str());
    std::string error;
    {
        const ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/4711");
        EXPECT_EQ(emu::defaultSocketPath(error), "/run/user/4711/k3100.sock");
        const ScopedEnv chosen("K3100_EMULATOR_SOCKET", "/somewhere/scanner");
        EXPECT_EQ(emu::defaultSocketPath(error), "/somewhere/scanner");
    }

    // No runtime folder: a folder made for this user alone.
    const ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const fs::path folder = fs::path(scratch) / ("k3100-" + std::to_string(::getuid()));
    EXPECT_EQ(emu::defaultSocketPath(error), (folder / "k3100.sock").string());
    struct stat st {};
    ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);

    // Made beforehand, open to everybody (or a link someone planted): refused, never served from.
    ::chmod(folder.c_str(), 0777);
    EXPECT_EQ(emu::defaultSocketPath(error), "");
    EXPECT_NE(error, "");
    fs::remove(folder);
    fs::create_directory(fs::path(scratch) / "elsewhere");
    fs::create_directory_symlink(fs::path(scratch) / "elsewhere", folder);
    EXPECT_EQ(emu::defaultSocketPath(error), "");
    fs::remove_all(scratch);
}

} // namespace
} // namespace k3100::test
