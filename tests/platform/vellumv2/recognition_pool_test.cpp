// How many recognition workers a machine gets: one per core, as many as the free memory holds.
#include "recognition_pool.h"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kGiB = uint64_t{1} << 30;

TEST(RecognitionWorkers, OnePerCoreWithinWhatTheFreeMemoryHolds) {
    EXPECT_EQ(vlm::recognitionWorkers(2, 16 * kGiB), 2u);
    EXPECT_EQ(vlm::recognitionWorkers(6, 16 * kGiB), 6u);
    EXPECT_EQ(vlm::recognitionWorkers(1, 16 * kGiB), 1u);
    EXPECT_EQ(vlm::recognitionWorkers(0, std::nullopt), 1u);
    EXPECT_EQ(vlm::recognitionWorkers(4, std::nullopt), 4u);

    // A 4 GB machine with 3 GB free: fewer workers than cores, and the scan still fits beside them.
    const size_t small = vlm::recognitionWorkers(8, 3 * kGiB);
    EXPECT_GE(small, 2u);
    EXPECT_LT(small, 8u);
    EXPECT_LE(small * vlm::kBytesPerWorker + vlm::kBytesBesideWorkers, 3 * kGiB);
    // Too little for one engine beside the scan still gives one: recognition slows, it does not stop.
    EXPECT_EQ(vlm::recognitionWorkers(8, vlm::kBytesBesideWorkers / 2), 1u);
}

} // namespace
