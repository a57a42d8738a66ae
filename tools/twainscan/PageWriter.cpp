// Pages are numbered as they come; an encoder that finishes early waits for the pages before its own, so
// the numbers in the file names and in the printed lines stay the scanner's order.
#include "PageWriter.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#include "ImageEncoders.h"

namespace twainscan {

CPageWriter::CPageWriter(CPageFiles& files) : mFiles(files) {
    for (std::jthread& thread : mThreads)
        thread = std::jthread([this](std::stop_token stop) { Run(stop); });
}

void CPageWriter::Add(SPageBitmap page) {
    std::unique_lock lock(mMutex);
    mChanged.wait(lock, [&] { return mAdded - mWritten < int(kAhead) || !mFailure.empty(); });
    ThrowOnFailure();
    mQueue.emplace_back(++mAdded, std::move(page));
    mChanged.notify_all();
}

void CPageWriter::Finish() {
    std::unique_lock lock(mMutex);
    mChanged.wait(lock, [&] { return mWritten == mAdded || !mFailure.empty(); });
    ThrowOnFailure();
}

void CPageWriter::ThrowOnFailure() const {
    if (!mFailure.empty())
        throw WriteFailure(mFailure, mWritten);
}

void CPageWriter::Run(std::stop_token stop) {
    // The scanner's side is the batch's critical path: on few cores an encoder at the same priority
    // holds it back, while one that yields still has the time between transfers.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kEncoderNice);
    std::unique_lock lock(mMutex);
    for (;;) {
        // A stop still lets the queued pages out: they were scanned and are the user's.
        mChanged.wait(lock, stop, [&] { return !mQueue.empty() || !mFailure.empty(); });
        if (mQueue.empty() || !mFailure.empty())
            return;
        auto [number, page] = std::move(mQueue.front());
        mQueue.pop_front();
        if (!Publish(lock, page, number))
            return;
    }
}

bool CPageWriter::Publish(std::unique_lock<std::mutex>& lock, const SPageBitmap& page, int number) {
    lock.unlock();
    std::string failure;
    std::vector<std::uint8_t> tiff;
    try {
        tiff = EncodeTiff(page, ETiffCompression::kBest);
        if (tiff.empty())
            failure = "cannot encode page " + std::to_string(number);
    } catch (const std::bad_alloc&) {
        failure = "out of memory";
    }
    lock.lock();
    mChanged.wait(lock, [&] { return mWritten == number - 1 || !mFailure.empty(); });
    if (!mFailure.empty())
        return false;
    if (failure.empty()) {
        lock.unlock();
        try {
            Write(tiff, page, number);
        } catch (const ScanError& error) {
            failure = error.what();
        }
        lock.lock();
    }
    if (failure.empty())
        mWritten = number;
    else
        mFailure = failure;
    mChanged.notify_all();
    return failure.empty();
}

void CPageWriter::Write(const std::vector<std::uint8_t>& tiff, const SPageBitmap& page, int number) {
    const std::filesystem::path path = mFiles.Write(tiff);
    std::printf("page %d: %u x %u pixels, %u bit, %.0f dpi -> %s\n", number, page.width, page.height,
                page.samplesPerPixel * page.bitsPerSample, page.xResolution, path.c_str());
    std::fflush(stdout);
}

} // namespace twainscan
