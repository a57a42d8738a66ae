// The emulated K3100 for use inside one process: owns the scanner model, hands out USB devices that
// talk to it (each a separate host connection, as separate processes would be), can stand in for the
// USB bus, and takes the same text controls as the k3100-emulator program (load sheets, press keys,
// inject faults). Thread-safe: one lock serialises every transfer and control.
#pragma once

#include "FaultPlan.h"
#include "Sheet.h"

#include "UsbDevice.h"

#include <functional>
#include <memory>
#include <string>

namespace k3100::emu {

class ScannerModel;

inline constexpr uint16_t kEmulatorVendorId = 0xF3B1;
inline constexpr uint16_t kEmulatorProductId = 0x3100;
inline constexpr uint32_t kEmulatorLocationId = 0xE3100000;

class Emulator {
public:
    explicit Emulator(uint16_t vendorId = kEmulatorVendorId, uint16_t productId = kEmulatorProductId);
    ~Emulator(); // also removes itself from the bus when installed
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    uint16_t vendorId() const { return vendorId_; }
    uint16_t productId() const { return productId_; }

    // A new host connection; it stays usable (answering "no device") after the emulator is gone.
    std::shared_ptr<usb::UsbDevice> connect();

    // Makes usb::findDevices return a new connection to this scanner while it exists (and is not
    // unplugged), in place of the real bus.
    void installAsBus();

    // Text controls, one per call:
    //   load SPEC [COUNT]   put COUNT (default 1) sheets in the feeder (see sheetFromSpec)
    //   clear-feeder        take every sheet out
    //   press KEY           press operation-panel key 1-3 (reported once)
    //   fault SPEC          arm a fault (see parseFaultSpec)
    //   clear-faults        disarm every fault
    //   replug              plug the unit back in after "gone"
    //   counters T R P      sheets fed in total, since the roller and since the pad were exchanged
    //   status             describe the unit
    // Returns "ok", the status text, or "error: ...".
    std::string control(const std::string& command);

    // Direct forms of the controls for tests.
    void loadSheet(Sheet sheet, int count = 1);
    void pressKey(int key);
    void armFault(const FaultSpec& spec);
    size_t sheetsInFeeder() const;
    uint32_t totalCount() const;
    // Runs `inspect` on the model under the lock (tests read registers and geometry this way).
    void inspect(const std::function<void(const ScannerModel&)>& inspect) const;

    struct Core;

private:
    std::shared_ptr<Core> core_;
    uint16_t vendorId_;
    uint16_t productId_;
    bool installed_ = false;
};

} // namespace k3100::emu
