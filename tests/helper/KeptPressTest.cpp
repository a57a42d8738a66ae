// The press kept in the session's runtime folder for the next helper: given once, not when it is older
// than asked, and never written anywhere another user could have chosen.
#include "KeptPress.h"

#include "OtherUser.h"
#include "ScopedEnv.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace tapwell {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char kFile[] = "com.orvikElectronics.tapwell.press";

TEST(KeptPress, IsGivenOnceAndNotWhenStaleOrForgotten) {
    const TempFolder folder;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", folder.path().c_str());
    const KeptPress kept = KeptPress::forSession();
    EXPECT_EQ(kept.take(30s), 0u); // none kept yet
    ASSERT_TRUE(kept.keep(3));
    EXPECT_EQ(kept.take(30s), 3u);
    EXPECT_EQ(kept.take(30s), 0u);

    ASSERT_TRUE(kept.keep(1));
    fs::last_write_time(folder / kFile, fs::file_time_type::clock::now() - 31s);
    EXPECT_EQ(kept.take(30s), 0u);
    EXPECT_FALSE(fs::exists(folder / kFile)); // a stale press goes too

    ASSERT_TRUE(kept.keep(2));
    ASSERT_TRUE(kept.keep(0));
    EXPECT_EQ(kept.take(30s), 0u);
}

// Runtime folders that another user made or may enter are refused, and so is the current folder: a
// link planted in any of them never carries the press into a file of ours. Without a runtime folder
// named, the press is kept in the user's own cache folder, whatever another user made in /tmp.
TEST(KeptPress, NothingIsWrittenWhereAnotherUserCouldReach) {
    if (const std::string why = test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    const test::SharedFolder sharedFolder;
    const fs::path& shared = sharedFolder.path();
    const test::ActingAs victim(test::kVictimUid, test::kVictimGid);
    ASSERT_TRUE(victim.active());
    const fs::path home = shared / "home", current = home / "current", precious = home / "precious";
    fs::create_directories(current);
    writeText(precious, "precious");
    fs::create_symlink(precious, current / kFile);
    const fs::path before = fs::current_path();
    fs::current_path(current);
    const ScopedEnv tmp("TMPDIR", shared.c_str());
    const ScopedEnv homeVariable("HOME", home.c_str());
    const ScopedEnv cache("XDG_CACHE_HOME", nullptr);
    const fs::path premade = shared / ("runtime-" + std::to_string(test::kVictimUid));
    const fs::path foreign = shared / "foreign";
    ASSERT_TRUE(test::asOtherUser([&] {
        return mkdir(premade.c_str(), 0700) == 0 && chmod(premade.c_str(), 0777) == 0 &&
               mkdir(foreign.c_str(), 0700) == 0 && symlink(precious.c_str(), (shared / kFile).c_str()) == 0;
    }));
    const struct {
        const char* runtime;
        const char* what;
    } cases[] = {{foreign.c_str(), "another user's folder"},
                 {shared.c_str(), "a folder everyone may enter, holding a planted link"}};
    for (const auto& [runtime, what] : cases) {
        const ScopedEnv variable("XDG_RUNTIME_DIR", runtime);
        EXPECT_FALSE(KeptPress::forSession().keep(1)) << what;
        EXPECT_EQ(readText(precious), "precious") << what;
    }
    const ScopedEnv unnamed("XDG_RUNTIME_DIR", nullptr);
    EXPECT_TRUE(KeptPress::forSession().keep(1));
    EXPECT_TRUE(fs::is_regular_file(home / ".cache/k3100-runtime" / kFile));
    EXPECT_EQ(readText(precious), "precious");
    EXPECT_TRUE(fs::is_empty(premade));
    fs::current_path(before);
}

} // namespace
} // namespace tapwell
