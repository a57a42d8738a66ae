// Page delivery on the host's thread: ScanPage starts the scan and the page's processing thread and
// waits (bounded, running the host's loop) for what the side needs; ReadLines hands out finished rows
// and ends a side with a short block once its processing has ended; an abort is honoured at any time.
#include "COrvkQS.h"

#include "ScannerErrors.h"

#include "RunLoop.h"

#include <algorithm>
#include <cstring>

namespace k3100 {
namespace {

constexpr auto kPollStep = std::chrono::milliseconds(100);

uint32_t chunkBytes(const SImageChunk& chunk) {
    return static_cast<uint32_t>(chunk.image->getSync()) * static_cast<uint32_t>(chunk.image->getHeight());
}

uint32_t chunkLinesLeft(const SImageChunk& chunk) {
    const uint32_t sync = static_cast<uint32_t>(chunk.image->getSync());
    return sync == 0 ? 0 : (chunkBytes(chunk) - chunk.delivered) / sync;
}

} // namespace

bool COrvkQS::waitHost(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        uint64_t seen;
        {
            std::lock_guard lock(progressMutex);
            seen = progressCount;
        }
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        {
            std::unique_lock lock(progressMutex);
            progress.wait_for(lock, kPollStep, [&] { return progressCount != seen; });
        }
        // Keeps the host's timers and queued calls alive while it waits for the scanner.
        fnd::RunLoop::current().runFor(0);
    }
}

void COrvkQS::joinProcessing() {
    if (!processing.joinable())
        return;
    processingStop = true;
    notifyProgress();
    processing.join();
    processingStop = false;
}

void COrvkQS::startReader() {
    stopReader();
    readerRunning = true;
    reader = std::thread(&COrvkQS::ScanImage, this);
}

// A SCAN that stalled the pipe with no fault in its sense never started the scanner: that stall is the
// failure, not the next command's complaint that no scan runs.
uint32_t COrvkQS::sendScan(const std::vector<uint8_t>& sideBytes) {
    const uint32_t sent = ExecScan(sideBytes);
    const uint32_t result = explain(sent);
    return sent == kScanErrPipeStalled && result == kScanOk ? kScanErrPipeStalled : result;
}

std::vector<uint8_t> COrvkQS::pageSides() const {
    if (params.duplex == 2 || params.folio)
        return {0, 1};
    return {params.duplex == 1 ? uint8_t{1} : uint8_t{0}};
}

// Looks at the oldest queued page: whether it holds a piece yet, and the abort or error it ended with.
uint32_t COrvkQS::firstPageStatus(bool& hasPiece) {
    hasPiece = false;
    std::shared_ptr<SPageData> page;
    {
        std::lock_guard lock(pageListMutex);
        if (pageList.empty())
            return kScanOk;
        page = pageList.front();
    }
    std::lock_guard lock(page->mutex);
    hasPiece = !page->pieces.empty();
    for (const SScanData& piece : page->pieces) {
        if (piece.kind == SScanData::kAborted) {
            abortState = 2;
            return kScanErrCancelled;
        }
        if (piece.kind == SScanData::kError)
            return piece.code;
    }
    return kScanOk;
}

// Scans when needed, waits for the page's first data and starts its processing thread.
uint32_t COrvkQS::startPage() {
    if (!params.batch || state == kScanning) {
        const uint32_t result = sendScan(pageSides());
        if (result != kScanOk)
            return result;
        if (state == kScanning || !readerRunning)
            startReader();
    }
    uint32_t error = kScanOk;
    bool hasPiece = false;
    const bool arrived = waitHost(
        [&] {
            const bool readerDone = !readerRunning;
            error = firstPageStatus(hasPiece);
            if (!hasPiece && abortState == 1 && readerDone) {
                abortState = 2;
                error = kScanErrCancelled;
            }
            return hasPiece || error != kScanOk || readerDone;
        },
        limits.pageWaitLimit);
    if (!arrived)
        return kScanErrTimeout;
    if (error == kScanOk && !hasPiece)
        return abortState != 0 ? kScanErrCancelled : kScanErrNoPage;
    if (error != kScanOk && error != kScanErrCancelled)
        return error;
    currentImageData = &front;
    joinProcessing();
    processingRunning = true;
    processing = std::thread(&COrvkQS::ImageProcessing, this);
    return error;
}

bool COrvkQS::sideDescribed() {
    const bool processingDone = !processingRunning;
    std::lock_guard lock(currentImageData->mutex);
    return currentImageData->described || processingDone;
}

bool COrvkQS::needsWholePage() const {
    return params.detectPageSize || params.pixelMode == kPixelModeAutoColour ||
           lowHalf(params.blankSkip) != 0 || params.jamless || params.recognizeDirection;
}

uint32_t COrvkQS::waitWholePage() {
    if (!waitHost([&] { return !processingRunning; }, limits.pageWaitLimit))
        return kScanErrTimeout;
    joinProcessing();
    return deviceError;
}

uint32_t COrvkQS::waitNextSheet() {
    if (!params.batch) {
        if (deviceError != 0)
            return deviceError;
        uint32_t ignored = 0;
        uint32_t result = static_cast<uint32_t>(GetStatus("ScannerErrorStatus", &ignored));
        if (result == kScanOk)
            result = static_cast<uint32_t>(GetStatus("DocumentReadyStatus", &ignored));
        return result;
    }
    uint32_t result = kScanOk;
    const bool ended = waitHost(
        [&] {
            uint32_t count = 0;
            result = static_cast<uint32_t>(GetStatus("BatchTransferCount", &count));
            return count != 0 || result != kScanOk;
        },
        limits.pageWaitLimit);
    if (!ended)
        return kScanErrTimeout;
    const bool normalEnd = result == kScanOk || result == kScanErrNoPaper || result == kScanErrEndOfBatch ||
                           result == kScanErrCancelled;
    return normalEnd ? kScanOk : result;
}

int COrvkQS::ScanPage(tagScanParam* param) {
    deviceError = 0;
    if (param != nullptr)
        *param = params;
    uint32_t cancelled = kScanOk;
    const bool newPage = currentImageData == nullptr;
    if (newPage) {
        const uint32_t result = startPage();
        if (result != kScanOk && result != kScanErrCancelled) {
            deviceError = result;
            return static_cast<int>(result);
        }
        cancelled = result;
    }
    COrvkQSCommands::ScanPage(param);
    if (needsWholePage()) {
        const uint32_t result = waitWholePage();
        if (result != kScanOk)
            return static_cast<int>(result);
        if (params.jamless && newPage && cancelled == kScanOk) {
            const uint32_t next = waitNextSheet();
            if (next != kScanOk)
                return static_cast<int>(next);
        }
    }
    if (cancelled != kScanOk)
        return static_cast<int>(cancelled);
    // The side's size is known once its first band is through the library.
    if (currentImageData != nullptr && !waitHost([&] { return sideDescribed(); }, limits.pageWaitLimit))
        return static_cast<int>(kScanErrTimeout);
    if (deviceError != 0)
        return static_cast<int>(deviceError.load());
    if (param != nullptr && currentImageData != nullptr) {
        std::lock_guard lock(currentImageData->mutex);
        param->outPixelType = currentImageData->pixelType;
        param->outWidth = currentImageData->width;
        param->outLines = currentImageData->height;
        param->blankPage = currentImageData->blank;
    }
    return 0;
}

int COrvkQS::ScanComplete() {
    COrvkQSCommands::ScanComplete();
    if (protectImage || currentImageData == nullptr)
        return 0;
    currentImageData->clear();
    currentImageData = (params.duplex == 2 && currentImageData == &front) ? &back : nullptr;
    return 0;
}

uint32_t COrvkQS::copyLines(SImageData& side, uint8_t* destination, uint32_t rowBytes, uint32_t lines) {
    uint32_t copied = 0;
    auto it = side.chunks.begin();
    while (copied < lines && it != side.chunks.end()) {
        SImageChunk& chunk = *it;
        const uint32_t sync = static_cast<uint32_t>(chunk.image->getSync());
        const uint32_t take = std::min(lines - copied, chunkLinesLeft(chunk));
        const uint8_t* source = chunk.image->getImage() + chunk.delivered;
        for (uint32_t line = 0; line < take; ++line) {
            std::memcpy(destination, source, std::min(rowBytes, sync));
            destination += rowBytes;
            source += sync;
        }
        chunk.delivered += take * sync;
        copied += take;
        if (chunkLinesLeft(chunk) > 0)
            break;
        it = protectImage ? std::next(it) : side.chunks.erase(it);
    }
    return copied;
}

int COrvkQS::ReadLines(uint8_t* destination, uint32_t rowBytes, uint32_t* lineCount) {
    const uint32_t requested = lineCount != nullptr ? *lineCount : 1;
    if (lineCount != nullptr)
        *lineCount = 0;
    if (currentImageData == nullptr || requested == 0)
        return 0;
    if (destination == nullptr || rowBytes == 0)
        return static_cast<int>(kScanErrIllegalRequest);
    SImageData& side = *currentImageData;
    uint32_t result = kScanOk;
    uint32_t copied = 0;
    bool ended = false;
    const bool finished = waitHost(
        [&] {
            const bool processingDone = !processingRunning;
            {
                std::lock_guard lock(side.mutex);
                copied = copyLines(side, destination, rowBytes, requested);
            }
            if (abortState == 1 && !readerRunning)
                abortState = 2;
            result = deviceError != 0 ? deviceError.load() : abortState == 2 ? kScanErrCancelled : kScanOk;
            ended = processingDone;
            return copied > 0 || result != kScanOk || ended;
        },
        limits.pageWaitLimit);
    if (lineCount != nullptr)
        *lineCount = copied;
    if (!finished)
        result = kScanErrTimeout;
    if (result != kScanOk && protectImage)
        ProtectImageBuffer(false);
    return static_cast<int>(result);
}

void COrvkQS::ProtectImageBuffer(bool on) {
    if (!on && protectImage && currentImageData != nullptr) {
        std::lock_guard lock(currentImageData->mutex);
        for (SImageChunk& chunk : currentImageData->chunks)
            chunk.delivered = 0;
    }
    protectImage = on;
}

void COrvkQS::CleanupImageBuffer() {
    front.clear();
    back.clear();
}

void COrvkQS::CleanupPageBuffer() {
    std::deque<std::shared_ptr<SPageData>> dropped;
    {
        std::lock_guard lock(pageListMutex);
        dropped.swap(pageList);
    }
    for (const auto& page : dropped) {
        std::lock_guard lock(page->mutex);
        for (const SScanData& piece : page->pieces)
            bufferedBytes -= piece.byteCount - piece.taken;
    }
}

} // namespace k3100
