// The reader thread: pulls raw image data from the scanner into per-page piece lists. A page ends with
// the short read that sense key 0 announces, an abort (panel key or host) or a device error, each marked
// by an empty closing piece. It throttles itself on the queued bytes and sees a stop at every wait.
#include "COrvkQS.h"

#include "ResultDecoding.h"
#include "ScannerErrors.h"

#include "BigEndian.h"

#include <new>

namespace k3100 {
namespace {

constexpr auto kThrottleStep = std::chrono::seconds(1);

bool holdsData(SPageData& page) {
    std::lock_guard lock(page.mutex);
    return !page.pieces.empty();
}

} // namespace

void COrvkQS::notifyProgress() {
    {
        std::lock_guard lock(progressMutex);
        ++progressCount;
    }
    progress.notify_all();
}

void COrvkQS::stopReader() {
    std::lock_guard join(readerJoinMutex);
    if (!reader.joinable())
        return;
    readerStop = true;
    notifyProgress();
    reader.join();
    readerStop = false;
}

void COrvkQS::appendPage(const std::shared_ptr<SPageData>& page) {
    {
        std::lock_guard lock(pageListMutex);
        pageList.push_back(page);
    }
    notifyProgress();
}

void COrvkQS::appendPiece(SPageData& page, SScanData piece) {
    bufferedBytes += piece.byteCount;
    {
        std::lock_guard lock(page.mutex);
        page.pieces.push_back(std::move(piece));
    }
    page.arrived.notify_all();
    notifyProgress();
}

// Holds the reader between pages while `full` holds, until an abort (the panel key's too), a device error
// or a stop.
void COrvkQS::pauseReaderWhile(const std::function<bool()>& full) {
    const auto held = [&] {
        return full() && abortState != 1 && deviceError == 0 && !readerStop && !stopAfterPage;
    };
    if (!held())
        return;
    readerPaused = true;
    notifyProgress();
    auto lastKeyCheck = std::chrono::steady_clock::now();
    for (;;) {
        std::unique_lock lock(progressMutex);
        const uint64_t seen = progressCount;
        lock.unlock();
        pollPanelKey(lastKeyCheck); // the panel's stop key still ends the batch while the reader waits
        if (!held())
            break;
        lock.lock();
        progress.wait_for(lock, kThrottleStep, [&] { return progressCount != seen; });
    }
    readerPaused = false;
}

size_t COrvkQS::queuedPages() {
    std::lock_guard lock(pageListMutex);
    return pageList.size();
}

// The next sheet is read while the current one is processed, but no further: a host slower than the
// feeder leaves the paper in the feeder, not in memory. The byte limit still bounds very long pages.
void COrvkQS::throttleReader() {
    if (bufferedBytes > limits.pauseAbove)
        pauseReaderWhile([&] { return bufferedBytes >= limits.resumeBelow; });
    pauseReaderWhile([&] { return queuedPages() >= limits.pagesAhead; });
}

// Requests an abort when the configured panel key is down, asking at most once per `keyPoll`.
void COrvkQS::pollPanelKey(std::chrono::steady_clock::time_point& lastCheck) {
    if (keyAbort == 0 || abortState != 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastCheck < limits.keyPoll)
        return;
    lastCheck = now;
    uint32_t keys = 0;
    if (GetStatus("OperationpanelEZKeyStatus", &keys) != 0 || ((keys >> (keyAbort - 1)) & 1u) == 0)
        return;
    int expected = 0;
    abortState.compare_exchange_strong(expected, 1);
}

// Reads one page's raw data. Returns 0 or the device error that ended it.
uint32_t COrvkQS::readPage(SPageData& page, uint32_t& readSize, bool& endOfPage, bool& aborted) {
    auto lastKeyCheck = std::chrono::steady_clock::now();
    uint32_t stalls = 0;
    for (;;) {
        pollPanelKey(lastKeyCheck);
        if (abortState == 1 || readerStop) {
            ExecObjectPosition(PositionMode::Unload);
            if (params.batch)
                ExecStopBatch();
            aborted = true;
            return kScanOk;
        }
        std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[readSize]);
        if (!buffer)
            return kScanErrNoMemory;
        const uint32_t requested = readSize;
        uint32_t received = requested;
        const uint32_t result = ExecRead(received, buffer.get(), DataKind::Image);
        readSize = limits.readSize;
        if (result == kScanOk) {
            appendPiece(page, {received, 0, std::move(buffer), SScanData::kData, 0});
            continue;
        }
        if (result != kScanErrCheckCondition && result != kScanErrPipeStalled)
            return result;
        const bool stalled = result == kScanErrPipeStalled;
        if (stalled) {
            if (const uint32_t cleared = ClearEndpoints(); cleared != kScanOk)
                return cleared;
        }
        uint32_t packed = 0;
        uint32_t missing = 0;
        const uint32_t sense = ExecRequestSense(&packed, nullptr, &missing);
        if (sense != kScanOk)
            return sense;
        if ((packed >> 16) != 0)
            return DecodeSense(packed);
        // Only a short read with its residue ends a page. A stalled READ that moved nothing left the
        // scanner where it was, so it is asked again; any other unannounced end would cut the sheet.
        if (missing == 0) {
            if (stalled && received == 0 && ++stalls <= kStallRetries) {
                readSize = requested;
                continue;
            }
            return stalled ? kScanErrPipeStalled : kScanErrTransferIO;
        }
        // Never take more than actually arrived, whatever the residue claims.
        const uint32_t count = std::min(received, missing <= requested ? requested - missing : 0u);
        appendPiece(page, {count, 0, std::move(buffer), SScanData::kData, SScanData::kLastPiece});
        readSize = limits.readSizeAfterPage;
        endOfPage = true;
        return kScanOk;
    }
}

uint32_t COrvkQS::readGeometry(SPageData& page) {
    std::array<uint8_t, 16> block{};
    const auto word = [&](int index) { return usb::getBE32(&block[4 * index]); };
    for (DataKind kind : {DataKind::GeometryB, DataKind::GeometryA, DataKind::GeometryC}) {
        if (const uint32_t result = readBlock(kind, block.data(), block.size()); result != kScanOk)
            return result;
        if (kind == DataKind::GeometryB)
            page.geometryB = word(3);
        else if (kind == DataKind::GeometryA)
            page.geometryA = word(3);
        else
            page.geometryC = {word(0), word(1), word(2), word(3)};
    }
    if (params.detectPageSize && page.geometryB == 0xFFFFFFFF)
        return kScanErrPaperJam;
    return kScanOk;
}

// The user's stop between two pages: the scanner feeds no further sheet, and the queue ends as an
// empty feeder ends it, after the pages already read.
void COrvkQS::endBatchAfterPage(double previousStart) {
    if (params.batch)
        ExecStopBatch();
    auto end = std::make_shared<SPageData>();
    end->timeStamp = previousStart;
    appendPage(end);
    appendPiece(*end, {0, 0, nullptr, SScanData::kError, kScanErrEndOfBatch});
}

void COrvkQS::ScanImage() {
    readerId = std::this_thread::get_id();
    uint32_t readSize = limits.readSize;
    double previousStart = 0;
    int pages = 0;
    const bool sizing = params.detectPageSize || params.deskew;
    bool stop = false;
    while (!stop && !readerStop) {
        throttleReader();
        if (stopAfterPage && pages > 0) {
            endBatchAfterPage(previousStart);
            break;
        }
        auto page = std::make_shared<SPageData>();
        page->timeStamp = clock();
        if (!sizing)
            appendPage(page);
        bool endOfPage = false, aborted = false;
        uint32_t error = readPage(*page, readSize, endOfPage, aborted);
        if (error != kScanOk) {
            std::lock_guard lock(page->mutex);
            page->timeStamp = previousStart;
        }
        stop = aborted || error != kScanOk || (endOfPage && !params.batch);
        if (aborted) {
            appendPiece(*page, {0, 0, nullptr, SScanData::kAborted, 0});
        } else if (error != kScanOk) {
            // An empty feeder ends a continuous batch; paper gone from under a sheet already being
            // read is a fault of that sheet.
            if (params.batch && error == kScanErrNoPaper && pages > 0 && !holdsData(*page))
                error = kScanErrEndOfBatch;
            appendPiece(*page, {0, 0, nullptr, SScanData::kError, error});
        } else if (sizing) {
            const uint32_t geometryError = readGeometry(*page);
            if (geometryError != kScanOk) {
                std::lock_guard lock(page->mutex);
                bufferedBytes -=
                    page->pieces.empty() ? 0 : page->pieces.back().byteCount - page->pieces.back().taken;
                if (!page->pieces.empty())
                    page->pieces.pop_back();
                page->pieces.push_back({0, 0, nullptr, SScanData::kError, geometryError});
                stop = true;
            }
        }
        if (sizing)
            appendPage(page);
        previousStart = page->timeStamp;
        ++pages;
    }
    readerId = std::thread::id{};
    readerRunning = false;
    notifyProgress();
}

} // namespace k3100
