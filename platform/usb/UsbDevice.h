// One USB device as the scanner protocol sees it: open and claim its first interface, bulk transfers on
// numbered pipes, stall clearing and a location id. Backends: libusb, the emulator socket, the in-process
// emulator. Pipes are numbered from 1 in the order of the interface's endpoints.
#pragma once

#include "UsbStatus.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>

namespace k3100::usb {

// The device's own pipes: the scanner's interface carries bulk-in first, then bulk-out.
inline constexpr uint8_t kBulkInPipe = 1;
inline constexpr uint8_t kBulkOutPipe = 2;
inline constexpr uint32_t kDefaultTimeoutMs = 90000;

class UsbDevice {
public:
    virtual ~UsbDevice() = default;
    UsbDevice() = default;
    UsbDevice(const UsbDevice&) = delete;
    UsbDevice& operator=(const UsbDevice&) = delete;

    virtual uint16_t vendorId() const = 0;
    virtual uint16_t productId() const = 0;

    // Opens the device and claims its first interface (alternate setting 0). Opening twice is Ok.
    virtual UsbStatus open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // One bulk transfer; `received` is the byte count that arrived (a short read is not an error).
    virtual UsbStatus bulkWrite(uint8_t pipe, std::span<const uint8_t> data, uint32_t timeoutMs) = 0;
    virtual UsbStatus bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received,
                               uint32_t timeoutMs) = 0;

    // Clears a stall on the host side and on the device side of the pipe.
    virtual UsbStatus clearHalt(uint8_t pipe) = 0;

    // Bus number in the top byte, then the port path one nibble per hop (0 while closed).
    virtual uint32_t locationId() const = 0;

    // Held for the whole of one command (container, data and status phases) so that commands from
    // several threads never interleave on the wire.
    std::mutex& commandMutex() { return commandMutex_; }

private:
    std::mutex commandMutex_;
};

} // namespace k3100::usb
