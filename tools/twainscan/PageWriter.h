// Encodes and writes the pages on a thread of their own, so that the scanner's next page is pulled while
// the last one is compressed. At most a page or two wait for it: a slow disk holds the transfers back
// rather than fill the memory.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "PageBitmap.h"
#include "PageFiles.h"

namespace twainscan {

class CPageWriter {
public:
    // files must outlive the writer. ahead: pages that may wait to be written.
    // Destroying it writes what is queued first, unless a write failed.
    explicit CPageWriter(CPageFiles& files, std::size_t ahead = 2);
    CPageWriter(const CPageWriter&) = delete;
    CPageWriter& operator=(const CPageWriter&) = delete;

    // Queues a page, waiting while `ahead` pages wait already. Throws ScanError once a write failed.
    void Add(SPageBitmap page);
    // Writes every queued page; throws ScanError when one could not be written.
    void Finish();
    // Pages written so far.
    int Written() const;

private:
    void Run(std::stop_token stop);
    void Write(const SPageBitmap& page, int number);
    void ThrowOnFailure() const;

    CPageFiles& mFiles;
    const std::size_t mAhead;
    mutable std::mutex mMutex;
    std::condition_variable_any mChanged;
    std::deque<SPageBitmap> mQueue;
    int mWritten = 0;
    bool mWriting = false; // a page is off the queue and not yet written
    std::string mFailure;  // the first write's error; nothing is written after it
    std::jthread mThread;  // last: it starts once everything it uses is there
};

} // namespace twainscan
