// A USB device whose pipes lead straight into an in-process emulated scanner (one host connection).
#pragma once

#include "Emulator.h"

#include <memory>

namespace k3100::emu {

class Session;

class EmulatedDevice final : public usb::UsbDevice {
public:
    EmulatedDevice(std::shared_ptr<Emulator::Core> core, uint16_t vendorId, uint16_t productId);
    ~EmulatedDevice() override;

    uint16_t vendorId() const override { return vendorId_; }
    uint16_t productId() const override { return productId_; }
    usb::UsbStatus open() override;
    void close() override;
    bool isOpen() const override;
    usb::UsbStatus bulkWrite(uint8_t pipe, std::span<const uint8_t> data, uint32_t timeoutMs) override;
    usb::UsbStatus bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received,
                            uint32_t timeoutMs) override;
    usb::UsbStatus clearHalt(uint8_t pipe) override;
    uint32_t locationId() const override;

private:
    std::shared_ptr<Emulator::Core> core_;
    std::unique_ptr<Session> session_; // while open
    uint16_t vendorId_;
    uint16_t productId_;
};

} // namespace k3100::emu
