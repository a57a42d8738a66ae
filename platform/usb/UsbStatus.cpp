// Names for USB results, for messages and test output.
#include "UsbStatus.h"

namespace k3100::usb {

const char* toString(UsbStatus status) {
    switch (status) {
    case UsbStatus::Ok:
        return "ok";
    case UsbStatus::NoDevice:
        return "no device";
    case UsbStatus::NotFound:
        return "not found";
    case UsbStatus::NotResponding:
        return "not responding";
    case UsbStatus::Busy:
        return "busy";
    case UsbStatus::IoError:
        return "I/O error";
    case UsbStatus::PipeStalled:
        return "pipe stalled";
    case UsbStatus::Timeout:
        return "time-out";
    case UsbStatus::AccessDenied:
        return "access denied";
    case UsbStatus::BadArgument:
        return "bad argument";
    case UsbStatus::NoMemory:
        return "out of memory";
    case UsbStatus::Other:
        break;
    }
    return "other error";
}

} // namespace k3100::usb
