// The foundation's main run loop and Qt's event loop as one: each side's timers fire while the other
// side is the one running, and calls from workers reach the main thread in the order they were sent.
#include "QtRunLoopDriver.h"
#include "QtTestApp.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// Ends a test's event loop should the awaited event never come (a failure, not a time measurement).
constexpr int kGuardMs = 10000;

class RunLoopDriverTest : public testing::Test {
protected:
    void SetUp() override { testApplication(); }
    appkit::QtRunLoopDriver driver;
};

TEST_F(RunLoopDriverTest, RunLoopTimerFiresWhileQtIdles) {
    bool fired = false;
    fnd::RunLoop::main().addTimer(0.02, false, [&](fnd::Timer&) {
        fired = true;
        QApplication::quit();
    });
    QTimer::singleShot(kGuardMs, qApp, &QApplication::quit);
    QApplication::exec();
    EXPECT_TRUE(fired);
}

TEST_F(RunLoopDriverTest, QtTimerFiresWhileTheRunLoopIsNested) {
    bool qtFired = false;
    bool nestedReturned = false;
    // Inside Qt's loop a run-loop call waits in a nested run, as the data source does in a TWAIN call.
    fnd::RunLoop::main().perform([&] {
        QTimer::singleShot(20, [&] { qtFired = true; });
        for (int i = 0; i < 1000 && !qtFired; ++i)
            fnd::RunLoop::main().runFor(0.01);
        nestedReturned = true;
        QApplication::quit();
    });
    QTimer::singleShot(kGuardMs, qApp, &QApplication::quit);
    QApplication::exec();
    EXPECT_TRUE(nestedReturned);
    EXPECT_TRUE(qtFired);
}

TEST_F(RunLoopDriverTest, CallsFromWorkersKeepTheirOrder) {
    constexpr int kWorkers = 4, kCalls = 200;
    std::vector<std::vector<int>> seen(kWorkers);
    int total = 0;
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.emplace_back([&, w] {
            for (int i = 0; i < kCalls; ++i)
                fnd::performOnMainThread(
                    [&, w, i] {
                        seen[w].push_back(i);
                        if (++total == kWorkers * kCalls + 1)
                            QApplication::quit();
                    },
                    i % 50 == 0); // some callers wait for their call, as a worker waits for a panel
        });
    std::thread waiter([&] { fnd::performOnMainThread([&] { ++total; }, true); });
    QTimer::singleShot(kGuardMs, qApp, &QApplication::quit);
    QApplication::exec();
    for (std::thread& t : workers)
        t.join();
    waiter.join();
    EXPECT_EQ(total, kWorkers * kCalls + 1);
    for (const std::vector<int>& calls : seen) {
        ASSERT_EQ(calls.size(), static_cast<std::size_t>(kCalls));
        for (int i = 0; i < kCalls; ++i)
            EXPECT_EQ(calls[static_cast<std::size_t>(i)], i);
    }
}

} // namespace
