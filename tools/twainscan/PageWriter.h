// Encodes and writes the pages on threads of their own, so that the scanner's next page is pulled while
// the last ones are compressed. Two encoders work side by side (a page's Deflate takes about as long as
// the chain takes to bring it), and each page is written in its turn, so the file numbers keep the
// scanner's order. At most two pages wait for them: a slow disk holds the transfers back rather than
// fill the memory. The encoders run at a lower priority than the transfers.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "PageBitmap.h"
#include "PageFiles.h"
#include "TwainSession.h"

namespace twainscan {

// A page that could not be encoded or written; every page before it is written.
class WriteFailure : public ScanError {
public:
    WriteFailure(const std::string& what, int pagesWritten) : ScanError(what), mPagesWritten(pagesWritten) {}
    int PagesWritten() const { return mPagesWritten; }

private:
    int mPagesWritten;
};

class CPageWriter {
public:
    // files must outlive the writer. Destroying it writes what is queued first, unless a write failed.
    explicit CPageWriter(CPageFiles& files);
    CPageWriter(const CPageWriter&) = delete;
    CPageWriter& operator=(const CPageWriter&) = delete;

    // Queues a page, waiting while two are not yet written. Throws WriteFailure once a write failed.
    void Add(SPageBitmap page);
    // Writes every queued page; throws WriteFailure when one could not be written.
    void Finish();

private:
    static constexpr std::size_t kAhead = 2;    // pages given over and not yet written
    static constexpr std::size_t kEncoders = 2; // threads
    static constexpr int kEncoderNice = 10;     // below the transfers' threads

    void Run(std::stop_token stop);
    // Encodes outside the lock, then writes once every earlier page is out; false after a failure.
    bool Publish(std::unique_lock<std::mutex>& lock, const SPageBitmap& page, int number);
    void Write(const std::vector<std::uint8_t>& tiff, const SPageBitmap& page, int number);
    void ThrowOnFailure() const;

    CPageFiles& mFiles;
    std::mutex mMutex;
    std::condition_variable_any mChanged;
    std::deque<std::pair<int, SPageBitmap>> mQueue; // with each page's number, from 1
    int mAdded = 0;
    int mWritten = 0;                             // every page up to this number is written
    std::string mFailure;                         // the first write's error; nothing is written after it
    std::array<std::jthread, kEncoders> mThreads; // last: they start once everything they use is there
};

} // namespace twainscan
