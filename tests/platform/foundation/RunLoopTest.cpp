// Run loop: timers, nested runs, delayed calls per target, and calls to the main thread in order.
// Waits are bounded by counts of loop turns, never by asserting on elapsed time.
#include "RunLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace fnd;

namespace {

// Turns the loop until done() holds, giving up after many short runs.
template <typename Pred> bool runUntil(RunLoop& loop, Pred done) {
    for (int i = 0; i < 2000 && !done(); ++i)
        loop.runFor(0.005);
    return done();
}

} // namespace

TEST(RunLoop, OneShotTimerFiresOnceAndOnlyWhenDue) {
    RunLoop loop;
    int fired = 0, late = 0;
    TimerRef t = loop.addTimer(0, false, [&](Timer&) { ++fired; });
    TimerRef later = loop.addTimer(3600, false, [&](Timer&) { ++late; });
    loop.runFor(0);
    loop.runFor(0.01);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(t->isValid());
    EXPECT_EQ(late, 0);
    EXPECT_TRUE(later->isValid());
    later->invalidate();
}

TEST(RunLoop, RepeatingTimerRunsUntilInvalidated) {
    RunLoop loop;
    int fired = 0;
    TimerRef t = loop.addTimer(0.001, true, [&](Timer& self) {
        if (++fired == 3)
            self.invalidate();
    });
    EXPECT_TRUE(runUntil(loop, [&] { return !t->isValid(); }));
    loop.runFor(0.02);
    EXPECT_EQ(fired, 3);
}

TEST(RunLoop, NestedRunForServesOtherWorkButNotTheRunningTimer) {
    RunLoop loop;
    int depth = 0, maxDepth = 0, outerFired = 0, innerFired = 0, calls = 0;
    TimerRef outer = loop.addTimer(0.001, true, [&](Timer& self) {
        maxDepth = std::max(maxDepth, ++depth);
        ++outerFired;
        loop.addTimer(0, false, [&](Timer&) { ++innerFired; });
        loop.perform([&] { ++calls; });
        loop.runFor(0.02); // as a wait on the main thread does
        --depth;
        if (outerFired == 2)
            self.invalidate();
    });
    EXPECT_TRUE(runUntil(loop, [&] { return !outer->isValid(); }));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(innerFired, 2);
    EXPECT_EQ(calls, 2);
}

TEST(RunLoop, CancelRemovesOnlyThatTargetsDelayedCalls) {
    RunLoop loop;
    int dialog = 0, other = 0;
    std::vector<std::string> ran;
    loop.performAfterDelay(
        &dialog, [&] { ran.push_back("dialog"); }, 0);
    loop.performAfterDelay(
        &dialog, [&] { ran.push_back("dialog later"); }, 0.01);
    loop.performAfterDelay(
        &other, [&] { ran.push_back("other"); }, 0.01);
    loop.cancelPerforms(&dialog);
    EXPECT_TRUE(runUntil(loop, [&] { return !ran.empty(); }));
    loop.runFor(0.02);
    EXPECT_EQ(ran, (std::vector<std::string>{"other"}));
}

// A loop that outlives the code that made its timers (a module unloaded while the process goes on) must
// hold neither the timers nor their callbacks once they are invalidated or done, without being run again.
TEST(RunLoop, TimersAndTheirCallbacksLeaveTheLoopWhenTheyEnd) {
    RunLoop loop;
    auto captured = std::make_shared<int>(0);
    const auto holders = [&] { return captured.use_count() - 1; };
    TimerRef repeating = loop.addTimer(3600, true, [captured](Timer&) {});
    TimerRef oneShot = loop.addTimer(0, false, [captured](Timer&) {});
    TimerRef selfEnding = loop.addTimer(0, true, [captured](Timer& self) { self.invalidate(); });
    int target = 0;
    loop.performAfterDelay(
        &target, [captured] {}, 3600);
    EXPECT_EQ(loop.timerCount(), 4u);
    EXPECT_EQ(holders(), 4);

    repeating->invalidate();
    EXPECT_EQ(loop.timerCount(), 3u);
    EXPECT_EQ(holders(), 3);
    loop.cancelPerforms(&target);
    EXPECT_EQ(loop.timerCount(), 2u);
    EXPECT_EQ(holders(), 2);
    loop.runFor(0);
    EXPECT_FALSE(oneShot->isValid());
    EXPECT_FALSE(selfEnding->isValid());
    EXPECT_EQ(loop.timerCount(), 0u);
    EXPECT_EQ(holders(), 0);
    repeating->invalidate(); // twice is harmless
}

TEST(RunLoop, ACallbackThatThrowsDoesNotStopTheLoop) {
    RunLoop loop;
    int after = 0;
    loop.perform([] { throw std::runtime_error("broken handler"); });
    loop.perform([&] { ++after; });
    testing::internal::CaptureStderr();
    loop.runFor(0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("broken handler"), std::string::npos);
    EXPECT_EQ(after, 1);
}

TEST(RunLoop, MainThreadCallsRunInOrderAndWaitingOnesReturn) {
    ASSERT_TRUE(RunLoop::isMainThread());
    std::vector<int> order;
    std::atomic<bool> workerDone = false;
    std::atomic<bool> ranOnMain = true;
    std::thread worker([&] {
        EXPECT_NE(&RunLoop::current(), &RunLoop::main());
        performOnMainThread([&] { order.push_back(1); }, false);
        performOnMainThread([&] { order.push_back(2); }, false);
        performOnMainThread(
            [&] {
                ranOnMain = ranOnMain && RunLoop::isMainThread();
                order.push_back(3);
            },
            true);
        order.push_back(4); // only after the waiting call ran: order needs no lock here
        EXPECT_THROW(performOnMainThread([] { throw std::runtime_error("no"); }, true), std::runtime_error);
        workerDone = true;
    });
    EXPECT_TRUE(runUntil(RunLoop::main(), [&] { return workerDone.load(); }));
    worker.join();
    EXPECT_TRUE(ranOnMain);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));

    // On the main thread a waiting call runs at once, ahead of queued ones.
    performOnMainThread([&] { order.push_back(5); }, false);
    performOnMainThread([&] { order.push_back(6); }, true);
    EXPECT_EQ(order.back(), 6);
    RunLoop::main().runFor(0);
    EXPECT_EQ(order.back(), 5);
}

namespace {

struct CountingDriver : RunLoopDriver {
    std::atomic<int> wakes = 0;
    void wake() override { ++wakes; }
};

} // namespace

TEST(RunLoop, ADriverIsWokenAndProcessesDueWork) {
    RunLoop loop;
    CountingDriver driver;
    loop.setDriver(&driver);
    int ran = 0;
    std::thread([&] { loop.perform([&] { ++ran; }); }).join();
    EXPECT_EQ(driver.wakes, 1);
    EXPECT_EQ(loop.processDue(), std::nullopt);
    EXPECT_EQ(ran, 1);

    TimerRef t = loop.addTimer(3600, false, [](Timer&) {});
    EXPECT_EQ(driver.wakes, 2);
    const std::optional<double> next = loop.processDue();
    ASSERT_TRUE(next);
    EXPECT_GT(*next, 3000.0);
    t->invalidate();
    loop.setDriver(nullptr);
}
