// One writer thread takes the pages in the order they came, so the numbers in the file names and in the
// printed lines stay the scanner's order.
#include "PageWriter.h"

#include <cstdio>

#include "ImageEncoders.h"
#include "TwainSession.h"

namespace twainscan {

CPageWriter::CPageWriter(CPageFiles& files, std::size_t ahead)
    : mFiles(files), mAhead(ahead), mThread([this](std::stop_token stop) { Run(stop); }) {}

void CPageWriter::Add(SPageBitmap page) {
    std::unique_lock lock(mMutex);
    mChanged.wait(lock, [&] { return mQueue.size() < mAhead || !mFailure.empty(); });
    ThrowOnFailure();
    mQueue.push_back(std::move(page));
    mChanged.notify_all();
}

void CPageWriter::Finish() {
    std::unique_lock lock(mMutex);
    mChanged.wait(lock, [&] { return (mQueue.empty() && !mWriting) || !mFailure.empty(); });
    ThrowOnFailure();
}

int CPageWriter::Written() const {
    std::lock_guard lock(mMutex);
    return mWritten;
}

void CPageWriter::ThrowOnFailure() const {
    if (!mFailure.empty())
        throw ScanError(mFailure);
}

void CPageWriter::Run(std::stop_token stop) {
    std::unique_lock lock(mMutex);
    for (;;) {
        // A stop still lets the queued pages out: they were scanned and are the user's.
        mChanged.wait(lock, stop, [&] { return !mQueue.empty(); });
        if (mQueue.empty() || !mFailure.empty())
            return;
        SPageBitmap page = std::move(mQueue.front());
        mQueue.pop_front();
        mWriting = true;
        const int number = mWritten + 1;
        lock.unlock();
        std::string failure;
        try {
            Write(page, number);
        } catch (const ScanError& error) {
            failure = error.what();
        } catch (const std::bad_alloc&) {
            failure = "out of memory";
        }
        lock.lock();
        mWriting = false;
        if (failure.empty())
            mWritten = number;
        else
            mFailure = failure;
        mChanged.notify_all();
    }
}

void CPageWriter::Write(const SPageBitmap& page, int number) {
    const std::vector<std::uint8_t> tiff = EncodeTiff(page, ETiffCompression::kBest);
    if (tiff.empty())
        throw ScanError("cannot encode page " + std::to_string(number));
    const std::filesystem::path path = mFiles.Write(tiff);
    std::printf("page %d: %u x %u pixels, %u bit, %.0f dpi -> %s\n", number, page.width, page.height,
                page.samplesPerPixel * page.bitsPerSample, page.xResolution, path.c_str());
    std::fflush(stdout);
}

} // namespace twainscan
