// One writer thread per batch over a queue of pages.
#include "TlvJobPageQueue.h"

namespace tlv {

TlvJobPageQueue::TlvJobPageQueue(Writer write, std::function<void()> idle)
    : mWrite(std::move(write)), mIdle(std::move(idle)) {}

TlvJobPageQueue::~TlvJobPageQueue() {
    drain();
}

void TlvJobPageQueue::enqueue(std::shared_ptr<const TlvBatchSnapshot> batch, fnd::Dictionary record,
                              int index) {
    std::lock_guard lock(mLock);
    mQueue.push_back(Page{std::move(batch), std::move(record), index});
    ++mPending;
    if (!mRunning) {
        mRunning = true;
        mThread = std::thread([this] { run(); });
    }
    mWork.notify_one();
}

int TlvJobPageQueue::pending() const {
    std::lock_guard lock(mLock);
    return mPending;
}

void TlvJobPageQueue::dropQueued() {
    bool idle = false;
    {
        std::lock_guard lock(mLock);
        idle = !mQueue.empty() && mPending == static_cast<int>(mQueue.size());
        mPending -= static_cast<int>(mQueue.size());
        mQueue.clear();
    }
    if (idle && mIdle)
        mIdle();
}

void TlvJobPageQueue::drain() {
    std::thread writer;
    {
        std::lock_guard lock(mLock);
        mClosing = true;
        mWork.notify_one();
        writer = std::move(mThread);
    }
    if (writer.joinable())
        writer.join();
    std::lock_guard lock(mLock);
    mClosing = false;
    mRunning = false;
}

void TlvJobPageQueue::run() {
    std::unique_lock lock(mLock);
    for (;;) {
        mWork.wait(lock, [this] { return !mQueue.empty() || mClosing; });
        if (mQueue.empty())
            return; // closing, and every page is written
        const Page page = std::move(mQueue.front());
        mQueue.pop_front();
        lock.unlock();
        mWrite(*page.batch, page.record, page.index);
        lock.lock();
        if (--mPending == 0) {
            if (mIdle) {
                lock.unlock();
                mIdle();
                lock.lock();
            }
        }
    }
}

} // namespace tlv
