// Rows go to the file one at a time with the page's row length, so that a data source padding its
// rows still leaves a file whose rows are as long as the page record says.
#include "TlvPageSink.h"

#include "FileIO.h"
#include "TlvDeviceCntlr.h"
#include "TlvUtilsMethod.h"

#include <new>
#include <unistd.h>
#include <utility>

namespace tlv {

TlvPageSink::TlvPageSink() : mThread(&TlvPageSink::run, this) {}

TlvPageSink::~TlvPageSink() {
    {
        std::lock_guard lock(mLock);
        mQueue.clear();
        mStopping = true;
    }
    mWork.notify_all();
    mThread.join();
    if (mPageUnfinished) {
        closePage();
        if (!mPage.name.empty())
            TlvUtilsMethod::removeTmpFile(mPage.name);
    }
}

void TlvPageSink::open(std::string rawFileName, const TlvPageLayout& page) {
    post([this, name = std::move(rawFileName), page] { openPage(name, page); });
}

void TlvPageSink::take(std::vector<std::uint8_t> rows) {
    post([this, rows = std::move(rows)] { writeRows(rows); });
}

void TlvPageSink::finish(std::function<void(TlvPageWritten)> done) {
    post([this, done = std::move(done)] {
        closePage();
        mPageUnfinished = false;
        done(TlvPageWritten{mPage.rc, std::move(mPage.thumbnail), std::exchange(mPage.name, {})});
    });
}

void TlvPageSink::post(std::function<void()> job) {
    {
        std::lock_guard lock(mLock);
        mQueue.push_back(std::move(job));
    }
    mWork.notify_one();
}

void TlvPageSink::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mLock);
            mWork.wait(lock, [this] { return mStopping || !mQueue.empty(); });
            if (mStopping)
                return;
            job = std::move(mQueue.front());
            mQueue.pop_front();
        }
        job();
    }
}

void TlvPageSink::openPage(const std::string& rawFileName, const TlvPageLayout& layout) {
    mPage.name.clear();
    mPage.rowBytes = layout.rowBytes;
    mPage.rc = 0;
    mPage.thumbRows = 0;
    mPageUnfinished = true;
    if (const int fd = TlvUtilsMethod::createTmpFile(rawFileName); fd >= 0) {
        mPage.name = rawFileName;
        mPage.file = ::fdopen(fd, "wb");
        if (!mPage.file)
            ::close(fd);
    }
    if (!mPage.file)
        mPage.rc = kScnErrFileWrite;
    const TlvThumbSize size = sizeForPreImg(layout.width, layout.height);
    TlvThumbnail& thumb = mPage.thumbnail;
    thumb = TlvThumbnail{
        size.width, size.height, layout.bitsPerPixel, (size.width * layout.bitsPerPixel + 7) / 8, {}};
    try {
        thumb.pixels.assign(static_cast<std::size_t>(thumb.bytesPerRow) * size.height, 0);
    } catch (const std::bad_alloc&) {
        mPage.rc = kScnErrNoMemory;
        return;
    }
    const int rc =
        mPage.zoom.Open(size.width, size.height, layout.width, layout.height, layout.bitsPerPixel, 2);
    if (rc != kFGZoomDone)
        mPage.rc = rc == kFGZoomNoMemory ? kScnErrNoMemory : kScnErrNoScaler;
}

void TlvPageSink::writeRows(const std::vector<std::uint8_t>& rows) {
    if (mPage.rc == kScnErrNoMemory || mPage.rc == kScnErrNoScaler || mPage.rowBytes == 0)
        return;
    for (std::size_t at = 0; at + mPage.rowBytes <= rows.size(); at += mPage.rowBytes) {
        const std::uint8_t* row = rows.data() + at;
        if (mPage.file && std::fwrite(row, 1, mPage.rowBytes, mPage.file) != mPage.rowBytes)
            mPage.rc = writeFailure();
        scaleRow(row);
    }
}

// Told apart: a disk with no room, which the user can mend, from any other failure.
int TlvPageSink::writeFailure() {
    return fnd::isNoRoomError(errno) ? kScnErrTmpDiskFull : kScnErrFileWrite;
}

void TlvPageSink::scaleRow(const std::uint8_t* row) {
    FG_Zoom& zoom = mPage.zoom;
    TlvThumbnail& thumb = mPage.thumbnail;
    if (zoom.Send(row) != kFGZoomDone)
        return;
    while (zoom.ReadyCount() > 0 && mPage.thumbRows < thumb.height) {
        std::uint8_t* out = thumb.pixels.data() + std::size_t(mPage.thumbRows) * thumb.bytesPerRow;
        if (zoom.Read(out) != kFGZoomDone)
            return;
        ++mPage.thumbRows;
    }
}

void TlvPageSink::closePage() {
    mPage.zoom.Close();
    if (mPage.file && std::fclose(mPage.file) != 0 && mPage.rc == 0)
        mPage.rc = writeFailure();
    mPage.file = nullptr;
}

} // namespace tlv
