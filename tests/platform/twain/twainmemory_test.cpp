// Container memory: sizes readers can check, and handles that are not ours never reach free().
#include "twainmemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

TEST(TwainMemory, BlocksAreZeroFilledAndKnowTheirSize) {
    twain::OwnedHandle handle(twain::allocHandle(sizeof(TW_ONEVALUE) + 34));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(twain::handleSize(handle.get()), sizeof(TW_ONEVALUE) + 34);
    auto* bytes = static_cast<unsigned char*>(twain::lockHandle(handle.get()));
    ASSERT_NE(bytes, nullptr);
    for (std::size_t i = 0; i < sizeof(TW_ONEVALUE) + 34; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    std::memset(bytes, 0xA5, sizeof(TW_ONEVALUE) + 34);
    twain::unlockHandle(handle.get());
}

TEST(TwainMemory, EmptyAndForeignHandlesAreRefused) {
    EXPECT_EQ(twain::allocHandle(0), nullptr);
    EXPECT_EQ(twain::handleSize(nullptr), 0u);
    EXPECT_EQ(twain::lockHandle(nullptr), nullptr);
    twain::freeHandle(nullptr);

    int foreign[4] = {};
    EXPECT_EQ(twain::handleSize(foreign), 0u);
    EXPECT_EQ(twain::lockHandle(foreign), foreign);
    twain::freeHandle(foreign); // must not reach free() with a stack address
}

TEST(TwainMemory, FreedBlockIsForgottenAndNotFreedTwice) {
    TW_HANDLE handle = twain::allocHandle(16);
    ASSERT_NE(handle, nullptr);
    twain::freeHandle(handle);
    EXPECT_EQ(twain::handleSize(handle), 0u);
    twain::freeHandle(handle); // a second free of a stale handle is ignored
}

TEST(TwainMemory, ThreadsAllocateAndFreeConcurrently) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (TW_UINT32 i = 1; i <= 500; ++i) {
                twain::OwnedHandle handle(twain::allocHandle(i + t));
                ASSERT_EQ(twain::handleSize(handle.get()), i + t);
            }
        });
    for (auto& thread : threads)
        thread.join();
}

} // namespace
