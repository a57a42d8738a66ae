// tapwell reads tollivar's job list from tollivar's preferences file whenever it looks, also while
// tollivar writes that file: it always finds a whole list, the one before or the one after the write.
#include "AppSettingRecord.h"
#include "FixedLookup.h"
#include "TlvAppleEventLink.h"
#include "TlvMainCntlr.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(JobListRead, TheHelperReadsAWholeListWhileTollivarRewritesIt) {
    FixedLookup lookup;
    PrivateDefaults home;
    const auto defaults = home.open();
    TlvMainCntlr cntlr(*defaults);
    tlv::TlvAppleEventLink link(cntlr, nullptr, *defaults);
    ASSERT_TRUE(link.saveAppSettingForLogin());
    const std::optional<tapwell::AppSetting> first = tapwell::readAppSetting(home.file());
    ASSERT_TRUE(first && first->jobs);
    const std::size_t whole = first->jobs->size();
    const TlvJobListSettingMdl second = cntlr.jobLists().jobListMdlAtIndex(1)->copyWithZone();
    ASSERT_FALSE(second.isBlank());

    std::atomic<bool> done{false};
    std::atomic<int> reads{0}, broken{0};
    std::thread helper([&] {
        while (!done) {
            const std::optional<tapwell::AppSetting> seen = tapwell::readAppSetting(home.file());
            ++reads;
            const std::size_t jobs = seen && seen->jobs ? seen->jobs->size() : 0;
            if (jobs != whole && jobs != whole - 1)
                ++broken;
        }
    });
    for (int round = 0; round < 100; ++round) {
        if (round % 2 == 0)
            cntlr.jobLists().deleteJob(1);
        else
            cntlr.jobLists().replaceMdlInJLMdlArray(second);
        ASSERT_TRUE(link.saveAppSettingForLogin());
    }
    done = true;
    helper.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(broken, 0) << "of " << reads << " reads";
}

} // namespace
