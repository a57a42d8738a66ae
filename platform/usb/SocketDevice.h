// The emulator-socket backend: every USB operation becomes one request to the k3100-emulator server, so
// several processes drive one emulated scanner as they would share one real one.
#pragma once

#include "UsbDevice.h"

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace k3100::usb {

class SocketDevice final : public UsbDevice {
public:
    // Takes ownership of a connected socket.
    SocketDevice(int fd, uint16_t vendorId, uint16_t productId);
    ~SocketDevice() override;

    uint16_t vendorId() const override { return vendorId_; }
    uint16_t productId() const override { return productId_; }
    UsbStatus open() override;
    void close() override;
    bool isOpen() const override;
    UsbStatus bulkWrite(uint8_t pipe, std::span<const uint8_t> data, uint32_t timeoutMs) override;
    UsbStatus bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received,
                       uint32_t timeoutMs) override;
    UsbStatus clearHalt(uint8_t pipe) override;
    uint32_t locationId() const override;

    // Time for the emulator's own work on top of a request's time-out; tests shorten it.
    static constexpr std::chrono::milliseconds kReplyMargin{3000};
    void setReplyMargin(std::chrono::milliseconds margin) { replyMargin_ = margin; }

    // Asks the server which ids its scanner carries (vendor << 16 | product).
    UsbStatus probe(uint32_t& ids);

    // Sends a control text to the emulator (load sheets, press keys, inject faults); the answer in `reply`.
    UsbStatus control(const std::string& command, std::string& reply);

private:
    UsbStatus exchange(uint8_t op, uint8_t pipe, uint32_t timeoutMs, uint32_t length,
                       std::span<const uint8_t> payload, uint32_t* value, std::vector<uint8_t>* reply);

    mutable std::mutex mutex_; // one request on the socket at a time
    int fd_;
    uint16_t vendorId_;
    uint16_t productId_;
    bool open_ = false;
    uint32_t locationId_ = 0;
    std::chrono::milliseconds replyMargin_ = kReplyMargin;
};

} // namespace k3100::usb
