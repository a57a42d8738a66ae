// A USB device for tests that records what is written and answers reads from a script, so the bytes
// of each command can be checked without an emulator in between.
#pragma once

#include "UsbDevice.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace k3100::test {

class ScriptedDevice final : public usb::UsbDevice {
public:
    struct Reply {
        usb::UsbStatus status = usb::UsbStatus::Ok;
        std::vector<uint8_t> bytes;
    };

    std::vector<std::vector<uint8_t>> writes;
    std::vector<uint8_t> writePipes;
    std::vector<size_t> readSizes;
    std::vector<uint8_t> clearedPipes;
    std::deque<Reply> replies;
    usb::UsbStatus writeStatus = usb::UsbStatus::Ok;
    usb::UsbStatus clearStatus = usb::UsbStatus::Ok;

    void replyStatus(uint32_t value) {
        replies.push_back(
            {usb::UsbStatus::Ok,
             {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)}});
    }
    void replyData(std::vector<uint8_t> bytes) { replies.push_back({usb::UsbStatus::Ok, std::move(bytes)}); }
    void replyFailure(usb::UsbStatus status) { replies.push_back({status, {}}); }

    uint16_t vendorId() const override { return 0xF3B1; }
    uint16_t productId() const override { return 0x3100; }
    usb::UsbStatus open() override {
        open_ = true;
        return usb::UsbStatus::Ok;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    usb::UsbStatus bulkWrite(uint8_t pipe, std::span<const uint8_t> data, uint32_t) override {
        writes.emplace_back(data.begin(), data.end());
        writePipes.push_back(pipe);
        return writeStatus;
    }
    usb::UsbStatus bulkRead(uint8_t, std::span<uint8_t> buffer, size_t& received, uint32_t) override {
        readSizes.push_back(buffer.size());
        received = 0;
        if (replies.empty())
            return usb::UsbStatus::Timeout;
        Reply reply = std::move(replies.front());
        replies.pop_front();
        received = std::min(buffer.size(), reply.bytes.size());
        std::copy_n(reply.bytes.begin(), received, buffer.begin());
        return reply.status;
    }
    usb::UsbStatus clearHalt(uint8_t pipe) override {
        clearedPipes.push_back(pipe);
        return clearStatus;
    }
    uint32_t locationId() const override { return open_ ? 0x14200000 : 0; }

private:
    bool open_ = false;
};

} // namespace k3100::test
