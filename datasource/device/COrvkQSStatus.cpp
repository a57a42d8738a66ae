// Keyed status reads and the service blocks. Keys that need a device command wait (bounded) for the
// reader thread to end, because while it runs its commands are the only ones; the count of queued pages
// and the cached values need no command and never wait.
#include "COrvkQS.h"

#include "ScannerErrors.h"

#include "BigEndian.h"

#include <algorithm>
#include <cstring>

namespace k3100 {
namespace {

constexpr int kStatusTries = 3;
using ServiceBlock = std::array<uint8_t, usb::kServiceBlockLength>;

} // namespace

uint32_t COrvkQS::waitReaderIdle() {
    if (onReaderThread() || !readerRunning)
        return kScanOk;
    return waitHost([&] { return !readerRunning; }, limits.readerWaitLimit) ? kScanOk : kScanErrDeviceBusy;
}

uint32_t COrvkQS::readWithRetry(DataKind kind, uint8_t* buffer, uint32_t length) {
    uint32_t result = kScanOk;
    for (int attempt = 0; attempt < kStatusTries; ++attempt) {
        uint32_t received = length;
        result = explain(ExecRead(received, buffer, kind));
        if (result == kScanOk)
            return received == length ? kScanOk : kScanErrTransferIO;
    }
    return result;
}

// The sense after a stall names no fault when the command never ran: such a read brought nothing.
uint32_t COrvkQS::readBlock(DataKind kind, uint8_t* buffer, uint32_t length) {
    for (uint32_t stalls = 0;; ++stalls) {
        uint32_t received = length;
        const uint32_t sent = ExecRead(received, buffer, kind);
        const uint32_t result = explain(sent);
        if (sent != kScanErrPipeStalled || result != kScanOk)
            return result;
        if (stalls == kStallRetries)
            return kScanErrPipeStalled;
    }
}

uint32_t COrvkQS::batchTransferCount(uint32_t& count) {
    count = 0;
    uint32_t error = kScanOk;
    {
        std::lock_guard lock(pageListMutex);
        for (const auto& page : pageList) {
            std::lock_guard pageLock(page->mutex);
            if (page->pieces.empty())
                continue;
            for (const SScanData& piece : page->pieces) {
                if (piece.kind == SScanData::kAborted && count < 2)
                    error = kScanErrCancelled;
                else if (piece.kind == SScanData::kError && piece.code != 0)
                    error = piece.code;
                if (error != kScanOk)
                    break;
            }
            if (error != kScanOk)
                break;
            ++count;
        }
    }
    {
        std::lock_guard lock(inProcessMutex);
        if (inProcessPage)
            ++count;
    }
    // Queued pages all come after the side the host reads, which was read whole: the failed page is
    // the next one and its fault is told when it is asked for, so that the side now read keeps its
    // place in the batch.
    if (count == 0 && error != kScanOk && currentImageData != nullptr)
        ++count;
    return error;
}

uint32_t COrvkQS::statusCommand(const std::string& key, void* output) {
    auto* word = static_cast<uint32_t*>(output);
    if (key == "OperationpanelEZKeyStatus") {
        std::array<uint8_t, 8> keys{};
        const uint32_t result = readBlock(DataKind::PanelKeys, keys.data(), keys.size());
        if (result == kScanOk)
            *word = ((keys[0] >> 7) & 1u) | (((keys[0] >> 6) & 1u) << 1) | (((keys[0] >> 2) & 1u) << 2);
        return result;
    }
    if (key == "DocumentReadyStatus") {
        uint8_t ready = 0;
        const uint32_t result = readBlock(DataKind::DocumentReady, &ready, 1);
        if (result == kScanOk)
            *word = ready;
        return result;
    }
    if (key == "DocumentBatchStatus") {
        const uint32_t result = explain(ExecObjectPosition(PositionMode::DocumentCheck));
        bool queued = false;
        if (result != kScanOk && state >= kScanning) {
            std::lock_guard lock(pageListMutex);
            queued = !pageList.empty();
        }
        *word = (result == kScanOk || queued) ? 1 : 0;
        return result;
    }
    if (key == "ServiceData") {
        ServiceBlock block{};
        const uint32_t result = readWithRetry(DataKind::ServiceBlock, block.data(), block.size());
        if (result == kScanOk) {
            const uint32_t total = usb::getBE32(&block[usb::kServiceTotalCount]);
            word[0] = total;
            word[1] = total - usb::getBE32(&block[usb::kServiceRollerReference]);
            word[2] = total - usb::getBE32(&block[usb::kServicePadReference]);
        }
        return result;
    }
    if (key == "MaxScanLength") {
        ServiceBlock block{};
        const uint32_t result = readWithRetry(DataKind::MaxScanLength, block.data(), block.size());
        if (result == kScanOk)
            *word = usb::getBE32(&block[usb::kMaxScanLengthWord]);
        return result;
    }
    // "ScannerInfo"
    uint32_t result = kScanOk;
    if (scannerInfo[0] == '\0') {
        std::array<char, 9> vendor{};
        std::array<char, 17> product{};
        std::array<char, 5> revision{};
        for (int attempt = 0; attempt < kStatusTries; ++attempt) {
            result = explain(ExecInquiry(&vendor, &product, &revision));
            if (result == kScanOk)
                break;
        }
        if (result != kScanOk)
            return result;
        std::memcpy(&scannerInfo[0], product.data(), product.size());
        std::memcpy(&scannerInfo[32], vendor.data(), vendor.size());
        std::memcpy(&scannerInfo[64], revision.data(), revision.size());
        scannerInfo[96] = 0;
    }
    // The product identification as the scanner gives it: it is the name the user sees.
    std::memcpy(output, scannerInfo.data(), scannerInfo.size());
    return result;
}

int COrvkQS::GetStatus(const char* key, void* output) {
    if (key == nullptr)
        return 0;
    const std::string name = key;
    uint32_t result = kScanOk;
    if (name == "BatchTransferCount") {
        uint32_t count = 0;
        result = batchTransferCount(count);
        if (output != nullptr)
            *static_cast<uint32_t*>(output) = count;
        return static_cast<int>(result);
    }
    const bool command = name == "OperationpanelEZKeyStatus" || name == "DocumentReadyStatus" ||
                         name == "DocumentBatchStatus" || name == "ServiceData" || name == "MaxScanLength" ||
                         name == "ScannerInfo";
    if (command && output == nullptr)
        return static_cast<int>(kScanErrIllegalRequest);
    if (name == "ScannerErrorStatus") {
        result = deviceError != 0 ? deviceError.load() : GetPageError();
    } else if (name == "AbortState") {
        if (output != nullptr)
            *static_cast<uint32_t*>(output) = static_cast<uint32_t>(abortState.load());
    } else if (command) {
        result = waitReaderIdle();
        if (result == kScanOk)
            result = statusCommand(name, output);
    }
    // The reader's own panel-key poll must not overwrite an error the host has yet to see.
    if (!onReaderThread())
        deviceError = result;
    return static_cast<int>(result);
}

uint32_t COrvkQS::readServiceBlock(DataKind kind, ServiceBlock& block) {
    const uint32_t result = waitReaderIdle();
    return result != kScanOk ? result : readWithRetry(kind, block.data(), block.size());
}

uint32_t COrvkQS::writeServiceBlock(DataKind kind, const ServiceBlock& block) {
    return explain(ExecSend(block, kind));
}

uint32_t COrvkQS::ClearRollerCounter(uint8_t which) {
    ServiceBlock block{};
    uint32_t result = readServiceBlock(DataKind::ServiceBlock, block);
    if (result != kScanOk)
        return result;
    const uint32_t total = usb::getBE32(&block[usb::kServiceTotalCount]);
    usb::putBE32(&block[which == 0 ? usb::kServiceRollerReference : usb::kServicePadReference], total);
    return writeServiceBlock(DataKind::ServiceBlock, block);
}

uint32_t COrvkQS::SetScanCounter(uint32_t total, uint32_t roller, uint32_t pad) {
    if (total < roller || total < pad)
        return kScanErrCountOrder;
    ServiceBlock block{};
    uint32_t result = readServiceBlock(DataKind::ServiceBlock, block);
    if (result != kScanOk)
        return result;
    usb::putBE32(&block[usb::kServiceTotalCount], total);
    usb::putBE32(&block[usb::kServiceRollerReference], total - roller);
    usb::putBE32(&block[usb::kServicePadReference], total - pad);
    return writeServiceBlock(DataKind::ServiceBlock, block);
}

uint32_t COrvkQS::SetSerialNumber(const char* serial) {
    if (serial == nullptr)
        return kScanErrIllegalRequest;
    ServiceBlock block{};
    uint32_t result = readServiceBlock(DataKind::ServiceBlock, block);
    if (result != kScanOk)
        return result;
    uint8_t* field = &block[usb::kServiceSerialNumber];
    std::fill_n(field, usb::kServiceSerialLength, 0);
    std::memcpy(field, serial, strnlen(serial, usb::kServiceSerialLength));
    return writeServiceBlock(DataKind::ServiceBlock, block);
}

uint32_t COrvkQS::SetMaxScanLength(uint32_t length) {
    ServiceBlock block{};
    uint32_t result = readServiceBlock(DataKind::MaxScanLength, block);
    if (result != kScanOk)
        return result;
    usb::putBE32(&block[usb::kMaxScanLengthWord], length);
    return writeServiceBlock(DataKind::MaxScanLength, block);
}

} // namespace k3100
