// Where the pages of a session go: one writer thread, fed through a queue, appends each page's rows to
// the page's raw file (rows as delivered, no header) and streams them through the scaler into its
// thumbnail, so that the thread talking to the data source never waits for the disk or the scaler.
// Pages follow each other: a page is opened, gets its rows, and is finished before the next one is
// opened.
#pragma once

#include "FG_Zoom.h"
#include "TlvPageRecord.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tlv {

// How a page's writing ended: 0, or kScnErrNoMemory, kScnErrNoScaler, kScnErrTmpDiskFull (a write found
// no room) or kScnErrFileWrite (the file could not be made, also when the name exists, or a write failed).
struct TlvPageWritten {
    int rc = 0;
    TlvThumbnail thumbnail;
    std::string file; // the raw file this page made; empty when none was made
};

class TlvPageSink {
public:
    TlvPageSink();
    // Drops what is still queued and removes the file of a page that was not finished.
    ~TlvPageSink();
    TlvPageSink(const TlvPageSink&) = delete;
    TlvPageSink& operator=(const TlvPageSink&) = delete;

    // Starts a page: its raw file, a new name in the temporary folder, and its thumbnail.
    void open(std::string rawFileName, const TlvPageLayout& page);
    // Rows of the page, each page.rowBytes long, in order.
    void take(std::vector<std::uint8_t> rows);
    // Closes the page's file; done runs on the writer thread. A page that is not kept is the caller's
    // to remove.
    void finish(std::function<void(TlvPageWritten)> done);

private:
    struct Page {
        std::string name;
        std::FILE* file = nullptr;
        std::uint32_t rowBytes = 0;
        int rc = 0;
        FG_Zoom zoom;
        TlvThumbnail thumbnail;
        int thumbRows = 0;
    };

    void post(std::function<void()> job);
    void run();
    void openPage(const std::string& rawFileName, const TlvPageLayout& layout);
    void writeRows(const std::vector<std::uint8_t>& rows);
    static int writeFailure();
    void scaleRow(const std::uint8_t* row);
    void closePage();

    Page mPage;                   // writer thread only, once it runs
    bool mPageUnfinished = false; // writer thread only
    std::mutex mLock;
    std::condition_variable mWork;
    std::deque<std::function<void()>> mQueue; // under mLock
    bool mStopping = false;                   // under mLock
    std::thread mThread;
};

} // namespace tlv
