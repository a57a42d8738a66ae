// Finds the scanners on the bus by vendor and product id. With K3100_EMULATOR_SOCKET set, the emulated
// scanner serving that Unix socket stands in for the bus; a test may also install its own finder (the
// in-process emulator does). Finding nothing is not an error: the list is just empty.
#pragma once

#include "UsbDevice.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace k3100::usb {

inline constexpr const char* kEmulatorSocketEnv = "K3100_EMULATOR_SOCKET";

using DeviceList = std::vector<std::shared_ptr<UsbDevice>>;
using DeviceFinder = std::function<UsbStatus(uint16_t vendorId, uint16_t productId, DeviceList& found)>;

// Fills `found` with every matching device (unopened). Returns Ok also when none matches; another
// status when the bus itself could not be read (the list is then empty): AccessDenied when another user
// serves the emulated scanner's socket, which problem (when given) then says.
UsbStatus findDevices(uint16_t vendorId, uint16_t productId, DeviceList& found,
                      std::string* problem = nullptr);

// Replaces the bus for this process (an empty function restores it). Used by in-process emulation.
void setDeviceFinder(DeviceFinder finder);

// The backends behind findDevices, callable on their own.
UsbStatus findLibusbDevices(uint16_t vendorId, uint16_t productId, DeviceList& found);
UsbStatus findSocketDevices(const char* socketPath, uint16_t vendorId, uint16_t productId, DeviceList& found,
                            std::string* problem = nullptr);

} // namespace k3100::usb
