// Sense keys and transport results to the data source's error codes.
#include "ResultDecoding.h"
#include "ScannerErrors.h"

#include <gtest/gtest.h>

namespace k3100 {
namespace {

TEST(ResultDecoding, SenseTable) {
    struct Case {
        uint32_t packed;
        uint32_t expected;
    };
    const Case cases[] = {
        {0x000000, kScanOk},
        {0x00FFFF, kScanOk},
        {0x020401, kScanErrNotReady},
        {0x038000, kScanErrPaperJam},
        {0x038001, kScanErrCoverOpen},
        {0x038101, kScanErrDoubleFeed},
        {0x033A00, kScanErrNoPaper},
        {0x036000, kScanErrLampError},
        {0x031234, kScanErrUnknownDevice},
        {0x044400, kScanErrHardware},
        {0x053A00, kScanErrNoPaper},
        {0x055500, kScanErrSystemResource},
        {0x052C00, kScanErrCommandSequence},
        {0x052000, kScanErrIllegalRequest},
        {0x062900, kScanErrNotReady},
        {0x062800, kScanErrUnknownDevice},
        {0x0B8000, kScanErrTimeout},
        {0x0B4700, kScanErrUnknownDevice},
        {0x010000, kScanErrUnknownDevice},
        {0x070000, kScanErrUnknownDevice},
        {0x0C8000, kScanErrUnknownDevice},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeSense(c.packed), c.expected) << std::hex << c.packed;
}

TEST(ResultDecoding, TransportTable) {
    using usb::UsbStatus;
    EXPECT_EQ(DecodeIOResult(UsbStatus::Ok), kScanOk);
    EXPECT_EQ(DecodeIOResult(UsbStatus::NoDevice), kScanErrDeviceNotFound);
    EXPECT_EQ(DecodeIOResult(UsbStatus::NotFound), kScanErrDeviceNotFound);
    EXPECT_EQ(DecodeIOResult(UsbStatus::NotResponding), kScanErrDeviceNotFound);
    EXPECT_EQ(DecodeIOResult(UsbStatus::Busy), kScanErrDeviceBusy);
    EXPECT_EQ(DecodeIOResult(UsbStatus::IoError), kScanErrTransferIO);
    EXPECT_EQ(DecodeIOResult(UsbStatus::PipeStalled), kScanErrPipeStalled);
    EXPECT_EQ(DecodeIOResult(UsbStatus::AccessDenied), kScanErrUnknownDevice);
    // A transport time-out and a time-out reported in sense data mean the same to the caller.
    EXPECT_EQ(DecodeIOResult(UsbStatus::Timeout), DecodeSense(0x0B8000));
}

TEST(ResultDecoding, PackSense) {
    usb::SenseData s;
    s.key = 3;
    s.code = 0x81;
    s.qualifier = 0x01;
    EXPECT_EQ(PackSense(s), 0x038101u);
    EXPECT_EQ(DecodeSense(PackSense(s)), kScanErrDoubleFeed);
}

} // namespace
} // namespace k3100
