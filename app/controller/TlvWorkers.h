// The output steps' threads (reading, re-writing, moving, handing off): started here, counted while
// they run, and waited for at the quit with a bound, so a hung step cannot keep the application from
// saving its settings; whatever still runs is joined when the workers go, never left running.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tlv {

class TlvWorkers {
public:
    // ended runs on each worker's thread as its last act.
    explicit TlvWorkers(std::function<void()> ended = {}) : mEnded(std::move(ended)) {}
    // Joins every thread: the owner has told its steps to stop (the batch's cancel) before.
    ~TlvWorkers();
    TlvWorkers(const TlvWorkers&) = delete;
    TlvWorkers& operator=(const TlvWorkers&) = delete;

    void start(std::function<void()> body);
    int running() const;
    // Waits until no worker runs, at most until deadline. True when all ended (and are joined).
    bool joinUntil(std::chrono::steady_clock::time_point deadline);

private:
    void reap(bool all);

    std::function<void()> mEnded;
    mutable std::mutex mLock;
    std::condition_variable mAllEnded;
    int mRunning = 0;
    std::vector<std::jthread> mThreads;
    std::vector<std::thread::id> mFinished;
};

} // namespace tlv
