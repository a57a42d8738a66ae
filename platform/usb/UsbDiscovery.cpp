// Chooses the backend for discovery: an installed finder, then the emulator socket, then libusb.
#include "UsbDiscovery.h"

#include <cstdlib>
#include <mutex>

namespace k3100::usb {
namespace {

std::mutex finderMutex;
DeviceFinder installedFinder;

} // namespace

void setDeviceFinder(DeviceFinder finder) {
    std::lock_guard lock(finderMutex);
    installedFinder = std::move(finder);
}

UsbStatus findDevices(uint16_t vendorId, uint16_t productId, DeviceList& found, std::string* problem) {
    found.clear();
    DeviceFinder finder;
    {
        std::lock_guard lock(finderMutex);
        finder = installedFinder;
    }
    if (finder)
        return finder(vendorId, productId, found);
    const char* socketPath = std::getenv(kEmulatorSocketEnv);
    if (socketPath != nullptr && *socketPath != '\0')
        return findSocketDevices(socketPath, vendorId, productId, found, problem);
    return findLibusbDevices(vendorId, productId, found);
}

} // namespace k3100::usb
