// The socket the emulator serves when none is named: in the user's own runtime folder, never in one that
// every user of the machine shares.
#include "DefaultSocket.h"
#include "ScopedEnv.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace k3100::test {
namespace {

namespace fs = std::filesystem;

TEST(DefaultSocket, IsTheUsersOwnAndRefusesAFolderOthersCouldEnter) {
    const TempFolder scratch;
    const ScopedEnv named("K3100_EMULATOR_SOCKET", nullptr);
    std::string error;
    {
        const ScopedEnv chosen("K3100_EMULATOR_SOCKET", "/somewhere/scanner");
        EXPECT_EQ(emu::defaultSocketPath(error), "/somewhere/scanner");
    }
    const fs::path runtime = scratch / "runtime";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    {
        const ScopedEnv variable("XDG_RUNTIME_DIR", runtime.c_str());
        EXPECT_EQ(emu::defaultSocketPath(error), (runtime / "k3100.sock").string());
        // Open to everybody: refused, never served from.
        ASSERT_EQ(::chmod(runtime.c_str(), 0777), 0);
        EXPECT_EQ(emu::defaultSocketPath(error), "");
        EXPECT_NE(error.find(runtime.string()), std::string::npos) << error;
    }

    // No runtime folder named: one made for this user in the user's cache folder.
    const ScopedEnv variable("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv cache("XDG_CACHE_HOME", scratch.path().c_str());
    EXPECT_EQ(emu::defaultSocketPath(error), (scratch / "k3100-runtime/k3100.sock").string());
}

} // namespace
} // namespace k3100::test
