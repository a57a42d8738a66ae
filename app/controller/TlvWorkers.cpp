// Counted worker threads with a bounded join.
#include "TlvWorkers.h"

#include <algorithm>

namespace tlv {

TlvWorkers::~TlvWorkers() {
    reap(true);
}

void TlvWorkers::start(std::function<void()> body) {
    reap(false);
    std::lock_guard lock(mLock);
    ++mRunning;
    mThreads.emplace_back([this, body = std::move(body)] {
        body();
        {
            std::lock_guard done(mLock);
            --mRunning;
            mFinished.push_back(std::this_thread::get_id());
            mAllEnded.notify_all();
        }
        if (mEnded)
            mEnded();
    });
}

int TlvWorkers::running() const {
    std::lock_guard lock(mLock);
    return mRunning;
}

bool TlvWorkers::joinUntil(std::chrono::steady_clock::time_point deadline) {
    {
        std::unique_lock lock(mLock);
        if (!mAllEnded.wait_until(lock, deadline, [this] { return mRunning == 0; }))
            return false;
    }
    reap(true);
    return true;
}

void TlvWorkers::reap(bool all) {
    std::vector<std::jthread> ended;
    {
        std::lock_guard lock(mLock);
        auto isEnded = [&](const std::jthread& t) {
            return all || std::find(mFinished.begin(), mFinished.end(), t.get_id()) != mFinished.end();
        };
        auto split = std::stable_partition(mThreads.begin(), mThreads.end(),
                                           [&](const std::jthread& t) { return !isEnded(t); });
        std::move(split, mThreads.end(), std::back_inserter(ended));
        mThreads.erase(split, mThreads.end());
        if (all)
            mFinished.clear();
    }
    for (std::jthread& thread : ended)
        thread.join();
    // Ids of joined threads may be reused by new ones.
    std::lock_guard lock(mLock);
    if (!all)
        mFinished.erase(std::remove_if(mFinished.begin(), mFinished.end(),
                                       [&](std::thread::id id) {
                                           return std::none_of(
                                               mThreads.begin(), mThreads.end(),
                                               [&](const std::jthread& t) { return t.get_id() == id; });
                                       }),
                        mFinished.end());
}

} // namespace tlv
