// The libusb-1.0 backend for a real scanner: one device reference, opened and claimed on demand.
#pragma once

#include "UsbDevice.h"

#include <memory>
#include <vector>

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

namespace k3100::usb {

class LibusbContext; // shared by every device found through it

class LibusbDevice final : public UsbDevice {
public:
    LibusbDevice(std::shared_ptr<LibusbContext> context, libusb_device* device, uint16_t vendorId,
                 uint16_t productId);
    ~LibusbDevice() override;

    uint16_t vendorId() const override { return vendorId_; }
    uint16_t productId() const override { return productId_; }
    UsbStatus open() override;
    void close() override;
    bool isOpen() const override { return handle_ != nullptr; }
    UsbStatus bulkWrite(uint8_t pipe, std::span<const uint8_t> data, uint32_t timeoutMs) override;
    UsbStatus bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received,
                       uint32_t timeoutMs) override;
    UsbStatus clearHalt(uint8_t pipe) override;
    uint32_t locationId() const override { return locationId_; }

private:
    UsbStatus claimFirstInterface();
    int endpointOf(uint8_t pipe) const; // -1 when the pipe does not exist

    std::shared_ptr<LibusbContext> context_;
    libusb_device* device_; // one reference held from construction to destruction
    libusb_device_handle* handle_ = nullptr;
    uint16_t vendorId_;
    uint16_t productId_;
    int interfaceNumber_ = -1;
    std::vector<uint8_t> endpoints_; // endpoint addresses in interface order: pipe 1 is endpoints_[0]
    uint32_t locationId_ = 0;
};

// Maps a libusb error code (negative) to a UsbStatus.
UsbStatus fromLibusb(int error);

} // namespace k3100::usb
