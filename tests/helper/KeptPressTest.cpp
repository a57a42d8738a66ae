// The press kept in a file for the next helper: given once, and not when it is older than asked.
#include "KeptPress.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace tapwell {
namespace {

using namespace std::chrono_literals;

TEST(KeptPress, IsGivenOnceAndNotWhenStaleOrForgotten) {
    const TempFolder folder;
    const KeptPress kept(folder / "press");
    EXPECT_EQ(kept.take(30s), 0u); // none kept yet
    ASSERT_TRUE(kept.keep(3));
    EXPECT_EQ(kept.take(30s), 3u);
    EXPECT_EQ(kept.take(30s), 0u);

    ASSERT_TRUE(kept.keep(1));
    std::filesystem::last_write_time(folder / "press", std::filesystem::file_time_type::clock::now() - 31s);
    EXPECT_EQ(kept.take(30s), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder / "press")); // a stale press goes too

    ASSERT_TRUE(kept.keep(2));
    ASSERT_TRUE(kept.keep(0));
    EXPECT_EQ(kept.take(30s), 0u);
}

} // namespace
} // namespace tapwell
