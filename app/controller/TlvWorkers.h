// The output steps' threads (reading, re-writing, moving, handing off): started here, counted while
// they run, and waited for at the quit with a bound, so a hung step cannot keep the application from
// saving its settings and leaving.
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
    // Joins every thread that has ended; one still running is left to the end of the process.
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
    std::vector<std::thread> mThreads;
    std::vector<std::thread::id> mFinished;
};

} // namespace tlv
