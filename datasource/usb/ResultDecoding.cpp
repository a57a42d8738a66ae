// Decoding tables for transport results and sense keys; anything unlisted is an unknown device error.
#include "ResultDecoding.h"

#include "ScannerErrors.h"

namespace k3100 {

uint32_t DecodeIOResult(usb::UsbStatus result) {
    using usb::UsbStatus;
    switch (result) {
    case UsbStatus::Ok:
        return kScanOk;
    case UsbStatus::NoDevice:
    case UsbStatus::NotFound:
    case UsbStatus::NotResponding:
        return kScanErrDeviceNotFound;
    case UsbStatus::Busy:
        return kScanErrDeviceBusy;
    case UsbStatus::IoError:
        return kScanErrTransferIO;
    case UsbStatus::PipeStalled:
        return kScanErrPipeStalled;
    case UsbStatus::Timeout:
        return kScanErrTimeout;
    default:
        return kScanErrUnknownDevice;
    }
}

uint32_t PackSense(const usb::SenseData& sense) {
    return (static_cast<uint32_t>(sense.key) << 16) | (static_cast<uint32_t>(sense.code) << 8) |
           sense.qualifier;
}

namespace {

uint32_t decodeMediumError(uint32_t codeQualifier) {
    switch (codeQualifier) {
    case 0x8000:
        return kScanErrPaperJam;
    case 0x8001:
        return kScanErrCoverOpen;
    case 0x8101:
        return kScanErrDoubleFeed;
    case 0x3A00:
        return kScanErrNoPaper;
    case 0x6000:
        return kScanErrLampError;
    default:
        return kScanErrUnknownDevice;
    }
}

uint32_t decodeIllegalRequest(uint32_t codeQualifier) {
    switch (codeQualifier) {
    case 0x3A00:
        return kScanErrNoPaper;
    case 0x5500:
        return kScanErrSystemResource;
    case 0x2C00:
        return kScanErrCommandSequence;
    default:
        return kScanErrIllegalRequest;
    }
}

} // namespace

uint32_t DecodeSense(uint32_t packedSense) {
    const uint32_t key = packedSense >> 16;
    const uint32_t codeQualifier = packedSense & 0xFFFF;
    switch (key) {
    case 0x0:
        return kScanOk;
    case 0x2:
        return kScanErrNotReady;
    case 0x3:
        return decodeMediumError(codeQualifier);
    case 0x4:
        return kScanErrHardware;
    case 0x5:
        return decodeIllegalRequest(codeQualifier);
    case 0x6:
        return codeQualifier == 0x2900 ? kScanErrNotReady : kScanErrUnknownDevice;
    case 0xB:
        return codeQualifier == 0x8000 ? kScanErrTimeout : kScanErrUnknownDevice;
    default:
        return kScanErrUnknownDevice;
    }
}

} // namespace k3100
