// How many recognition workers a machine gets: one per core, as many as the free memory holds; and the
// process's end while they work.
#include "recognition_pool.h"
#include "tesseract_engine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

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

// A document given up (its disk full) leaves its pages with the workers, and the process may end while
// they start their engines for them: they must be out of Tesseract before its own data goes at exit.
TEST(RecognitionPoolDeathTest, TheProcessEndsCleanlyWhileWorkersStartTheirEngines) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            vlm::RecognitionPool& pool = vlm::RecognitionPool::shared();
            // The largest packs, so that an engine takes long to start.
            constexpr char kLanguages[] = "jpn+chi_sim+eng";
            if (pool.prepare(vlm::dataPathFor(kLanguages), kLanguages) != VLM_OK)
                std::_Exit(2);
            // A blank page shows no lines to tell its turn, so each worker starts its orientation engine
            // for its first one; the workers beyond the first start their reading engines too. The pause
            // lets them take the pages, not start the engines: the process ends while they do.
            std::vector<std::future<vlm::Recognition>> pages;
            for (size_t i = 0; i < 2 * pool.workerCount(); ++i)
                pages.push_back(pool.recognise({std::vector<uint8_t>(400 * 400, 255), 400, 400}, 300));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
