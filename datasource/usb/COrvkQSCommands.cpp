// Command execution: container, optional data phase, status. A transfer error ends the command at
// once and is decoded; nothing is retried here (the device object's callers retry where they must).
#include "COrvkQSCommands.h"

#include "ResultDecoding.h"
#include "ScannerErrors.h"

#include "BigEndian.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace k3100 {
namespace {

template <size_t N> void copyText(std::array<char, N>* out, const uint8_t* in) {
    if (out == nullptr)
        return;
    std::copy_n(in, N - 1, reinterpret_cast<uint8_t*>(out->data()));
    (*out)[N - 1] = '\0';
}

} // namespace

uint32_t COrvkQSCommands::GetResponse() {
    std::array<uint8_t, usb::kStatusSize> status{};
    uint32_t size = status.size();
    const usb::UsbStatus result = ReadData(status.data(), &size, kTransferTimeoutMs, kTransferTimeoutMs);
    if (result != usb::UsbStatus::Ok)
        return DecodeIOResult(result);
    // A status phase cut short is a broken transfer, not a good status.
    if (size != status.size())
        return kScanErrTransferIO;
    return usb::getBE32(status.data()) == 0 ? kScanOk : kScanErrCheckCondition;
}

uint32_t COrvkQSCommands::runCommand(const usb::CommandBlock& block, std::span<const uint8_t> dataOut,
                                     std::span<uint8_t> dataIn, uint32_t* received) {
    if (received != nullptr)
        *received = 0;
    if (device() == nullptr)
        return kScanErrDeviceNotFound;
    std::lock_guard lock(device()->commandMutex());
    const auto container = usb::commandContainer(block);
    usb::UsbStatus result =
        WriteData(container.data(), container.size(), kTransferTimeoutMs, kTransferTimeoutMs);
    if (result != usb::UsbStatus::Ok)
        return DecodeIOResult(result);
    if (!dataOut.empty()) {
        const auto header = usb::dataHeader(static_cast<uint32_t>(dataOut.size()));
        std::vector<uint8_t> data(header.begin(), header.end());
        data.insert(data.end(), dataOut.begin(), dataOut.end());
        result = WriteData(data.data(), static_cast<uint32_t>(data.size()), kTransferTimeoutMs,
                           kTransferTimeoutMs);
    } else if (!dataIn.empty()) {
        uint32_t size = static_cast<uint32_t>(dataIn.size());
        result = ReadData(dataIn.data(), &size, kTransferTimeoutMs, kTransferTimeoutMs);
        if (received != nullptr)
            *received = size;
    }
    if (result != usb::UsbStatus::Ok)
        return DecodeIOResult(result);
    return GetResponse();
}

uint32_t COrvkQSCommands::ExecTestUnitReady() {
    return runCommand(usb::blockTestUnitReady(), {}, {});
}

uint32_t COrvkQSCommands::ExecRequestSense(uint32_t* packedSense, bool* endOfMedium, uint32_t* information) {
    std::array<uint8_t, usb::kRequestSenseLength> data{};
    uint32_t received = 0;
    const uint32_t result = runCommand(usb::blockRequestSense(), {}, data, &received);
    if (result != kScanOk)
        return result;
    // Fewer than the sense key's byte cannot be read as sense data.
    if (received < 3)
        return kScanErrTransferIO;
    const usb::SenseData sense = usb::decodeSense(data);
    if (packedSense != nullptr)
        *packedSense = PackSense(sense);
    if (endOfMedium != nullptr)
        *endOfMedium = sense.endOfMedium;
    if (information != nullptr)
        *information = sense.incorrectLength ? sense.information : 0;
    return kScanOk;
}

uint32_t COrvkQSCommands::ExecInquiry(std::array<char, 9>* vendor, std::array<char, 17>* product,
                                      std::array<char, 5>* revision) {
    std::array<uint8_t, usb::kInquiryLength> data{};
    const uint32_t result = runCommand(usb::blockInquiry(), {}, data);
    if (result != kScanOk)
        return result;
    copyText(vendor, &data[8]);
    copyText(product, &data[16]);
    copyText(revision, &data[32]);
    return kScanOk;
}

uint32_t COrvkQSCommands::ExecReserveUnit() {
    return runCommand(usb::blockReserveUnit(), {}, {});
}
uint32_t COrvkQSCommands::ExecReleaseUnit() {
    return runCommand(usb::blockReleaseUnit(), {}, {});
}

uint32_t COrvkQSCommands::ExecSetWindow(const SScanWindow& window) {
    const auto data = usb::encodeWindowList(window);
    return runCommand(usb::blockSetWindow(), data, {});
}

uint32_t COrvkQSCommands::ExecScan(std::span<const uint8_t> sides) {
    if (sides.empty() || sides.size() > 2)
        return kScanErrIllegalRequest;
    return runCommand(usb::blockScan(static_cast<uint8_t>(sides.size())), sides, {});
}

uint32_t COrvkQSCommands::ExecRead(uint32_t& length, uint8_t* buffer, DataKind kind) {
    const uint32_t fixed = usb::dataKindCode(kind).length;
    const uint32_t wanted = fixed != 0 ? fixed : length;
    if (buffer == nullptr || length < wanted || wanted == 0 || wanted > 0xFFFFFF) {
        length = 0;
        return kScanErrIllegalRequest;
    }
    return runCommand(usb::blockRead(kind, wanted), {}, {buffer, wanted}, &length);
}

uint32_t COrvkQSCommands::ExecSend(std::span<const uint8_t> data, DataKind kind) {
    if (data.empty() || data.size() > 0xFFFFFF)
        return kScanErrIllegalRequest;
    return runCommand(usb::blockSend(kind, static_cast<uint32_t>(data.size())), data, {});
}

uint32_t COrvkQSCommands::ExecDefineScanMode(const SScanModeParam& mode) {
    if (mode.page > 2)
        return kScanErrIllegalRequest;
    const auto data = usb::encodeModePage(mode);
    return runCommand(usb::blockDefineScanMode(), data, {});
}

uint32_t COrvkQSCommands::ExecObjectPosition(PositionMode mode) {
    return runCommand(usb::blockObjectPosition(mode), {}, {});
}

uint32_t COrvkQSCommands::ExecStopBatch() {
    return runCommand(usb::blockStopBatch(), {}, {});
}

uint32_t COrvkQSCommands::ExecSetAdjustData(const SAdjustInfo& front, const SAdjustInfo& back) {
    const auto data = usb::encodeAdjustData(front, back);
    return runCommand(usb::blockSetAdjustData(), data, {});
}

uint32_t COrvkQSCommands::ExecGetMemory(uint32_t address, uint32_t length, uint8_t* buffer) {
    if (buffer == nullptr && length != 0)
        return kScanErrIllegalRequest;
    while (length > 0) {
        const uint32_t block = std::min(length, usb::kMaxGetMemoryLength);
        uint32_t received = 0;
        const uint32_t result =
            runCommand(usb::blockGetMemory(address, block), {}, {buffer, block}, &received);
        if (result != kScanOk)
            return result;
        // A block cut short would leave a hole in the caller's copy of the device memory.
        if (received != block)
            return kScanErrTransferIO;
        address += block;
        buffer += block;
        length -= block;
    }
    return kScanOk;
}

} // namespace k3100
