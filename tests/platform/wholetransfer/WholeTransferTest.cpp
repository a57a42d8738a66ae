// Whole transfers: short transfers and signals are carried through, an end or an error stops with a
// reason.
#include "WholeTransfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

namespace {

TEST(WholeTransfer, ShortTransfersAndSignalsStillMoveEveryByte) {
    std::vector<std::uint8_t> source(10);
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i + 1);
    std::vector<std::uint8_t> sink;
    int calls = 0;
    // Three bytes at most per call, and every third call interrupted.
    const auto shortWrite = [&](const std::uint8_t* data, std::size_t n) -> ssize_t {
        if (++calls % 3 == 0) {
            errno = EINTR;
            return -1;
        }
        const std::size_t moved = std::min<std::size_t>(n, 3);
        sink.insert(sink.end(), data, data + moved);
        return static_cast<ssize_t>(moved);
    };
    EXPECT_TRUE(fnd::transferAll(source.data(), source.size(), shortWrite));
    EXPECT_EQ(sink, source);
}

TEST(WholeTransfer, AnEarlyEndOrAnErrorFailsWithItsReason) {
    std::uint8_t buffer[8] = {};
    std::size_t offered = 5;
    const auto endsEarly = [&](std::uint8_t*, std::size_t n) -> ssize_t {
        const std::size_t moved = std::min(n, offered);
        offered -= moved;
        return static_cast<ssize_t>(moved);
    };
    EXPECT_FALSE(fnd::transferAll(buffer, sizeof buffer, endsEarly));
    EXPECT_EQ(errno, EIO);

    const auto fails = [](std::uint8_t*, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    EXPECT_FALSE(fnd::transferAll(buffer, sizeof buffer, fails));
    EXPECT_EQ(errno, ENOSPC);
}

} // namespace
