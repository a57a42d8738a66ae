// Result of one USB operation, independent of the backend that carried it (libusb, the emulator socket or
// the in-process emulator), so that callers decode transport failures in one place.
#pragma once

#include <cstdint>

namespace k3100::usb {

enum class UsbStatus : int32_t {
    Ok = 0,
    NoDevice,      // unplugged or never opened
    NotFound,      // no such interface, endpoint or device
    NotResponding, // device does not answer its control requests
    Busy,          // claimed by another driver or process
    IoError,
    PipeStalled,
    Timeout,
    AccessDenied,
    BadArgument,
    NoMemory,
    Other,
};

const char* toString(UsbStatus status);

} // namespace k3100::usb
