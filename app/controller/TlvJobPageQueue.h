// The page writer of a job batch: one thread per batch takes the pages in the order they arrived and
// writes them one after another, so no page waits on a lock for its turn and the files come out in
// page order. The thread starts with the batch's first page and ends when the batch is drained.
#pragma once

#include "TlvBatchSnapshot.h"
#include "Value.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace tlv {

class TlvJobPageQueue {
public:
    // write runs on the writer thread for each page: (the batch's snapshot, record, page index).
    using Writer =
        std::function<void(const TlvBatchSnapshot& batch, const fnd::Dictionary& record, int index)>;
    // idle runs whenever no page is left pending: on the writer thread after its last page, or in
    // dropQueued.
    TlvJobPageQueue(Writer write, std::function<void()> idle);
    // Drains what is queued and joins the thread.
    ~TlvJobPageQueue();
    TlvJobPageQueue(const TlvJobPageQueue&) = delete;
    TlvJobPageQueue& operator=(const TlvJobPageQueue&) = delete;

    // Queues a page of the batch; starts the writer thread when none runs.
    void enqueue(std::shared_ptr<const TlvBatchSnapshot> batch, fnd::Dictionary record, int index);
    // Pages queued or being written.
    int pending() const;
    // Forgets the pages not yet started (a cancel); the page being written is finished.
    void dropQueued();
    // Ends the batch: waits until every queued page is written and the thread has ended; the next
    // page starts a new batch.
    void drain();

private:
    void run();

    Writer mWrite;
    std::function<void()> mIdle;
    mutable std::mutex mLock;
    std::condition_variable mWork;
    struct Page {
        std::shared_ptr<const TlvBatchSnapshot> batch;
        fnd::Dictionary record;
        int index = 0;
    };
    std::deque<Page> mQueue;
    int mPending = 0;
    bool mRunning = false; // a writer thread exists for this batch
    bool mClosing = false;
    std::thread mThread;
};

} // namespace tlv
