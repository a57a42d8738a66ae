// Discovery without a scanner: the bus (or a missing emulator) yields an empty list, never a failure
// that callers would have to treat as a crash.
#include "UsbDiscovery.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace k3100::usb {
namespace {

TEST(Discovery, LibusbFindsNoScannerOnThisMachine) {
    DeviceList found;
    const UsbStatus status = findLibusbDevices(0xF3B1, 0x3100, found);
    // Without a USB bus in the machine libusb may fail to start; either way no device is reported.
    EXPECT_TRUE(status == UsbStatus::Ok || status == UsbStatus::Other || status == UsbStatus::AccessDenied ||
                status == UsbStatus::NotFound || status == UsbStatus::IoError)
        << toString(status);
    EXPECT_TRUE(found.empty());
}

TEST(Discovery, MissingEmulatorSocketMeansNoScanner) {
    setenv(kEmulatorSocketEnv, "/nonexistent/k3100.sock", 1);
    DeviceList found;
    EXPECT_EQ(findDevices(0xF3B1, 0x3100, found), UsbStatus::Ok);
    EXPECT_TRUE(found.empty());
    unsetenv(kEmulatorSocketEnv);
}

TEST(Discovery, InstalledFinderReplacesTheBus) {
    int calls = 0;
    setDeviceFinder([&](uint16_t vendor, uint16_t product, DeviceList& found) {
        ++calls;
        EXPECT_EQ(vendor, 0x1234);
        EXPECT_EQ(product, 0x5678);
        found.clear();
        return UsbStatus::Busy;
    });
    DeviceList found;
    EXPECT_EQ(findDevices(0x1234, 0x5678, found), UsbStatus::Busy);
    setDeviceFinder({});
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace k3100::usb
