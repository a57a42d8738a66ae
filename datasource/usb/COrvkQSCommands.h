// The scanner's command set on top of the generic device: each Exec operation sends one command block in
// a command container, moves its data phase, reads the 4-byte status and returns 0 or a data-source
// error code. A check condition comes back as 0x01000000 for the caller to answer with REQUEST SENSE.
// The device object of the scanner model derives from this class.
#pragma once

#include "CDocScanner.h"

#include "CommandWire.h"
#include "WirePayloads.h"

#include <array>
#include <span>

namespace k3100 {

using usb::DataKind;
using usb::PositionMode;
using usb::SAdjustInfo;
using usb::SScanModeParam;
using usb::SScanWindow;

class COrvkQSCommands : public CDocScanner {
public:
    using CDocScanner::CDocScanner;

    uint32_t ExecTestUnitReady();
    // Outputs may be null. The information field is reported only when the incorrect-length bit is set.
    uint32_t ExecRequestSense(uint32_t* packedSense, bool* endOfMedium, uint32_t* information);
    // Texts are copied with a terminating zero; outputs may be null.
    uint32_t ExecInquiry(std::array<char, 9>* vendor, std::array<char, 17>* product,
                         std::array<char, 5>* revision);
    uint32_t ExecReserveUnit();
    uint32_t ExecReleaseUnit();
    uint32_t ExecSetWindow(const SScanWindow& window);
    // One byte per side to scan (1 or 2 bytes).
    uint32_t ExecScan(std::span<const uint8_t> sides);
    // `length`: in, the bytes wanted (kinds other than image data have a fixed length that the buffer must
    // hold); out, the bytes received.
    uint32_t ExecRead(uint32_t& length, uint8_t* buffer, DataKind kind);
    uint32_t ExecSend(std::span<const uint8_t> data, DataKind kind);
    uint32_t ExecDefineScanMode(const SScanModeParam& mode);
    uint32_t ExecObjectPosition(PositionMode mode);
    uint32_t ExecStopBatch();
    uint32_t ExecSetAdjustData(const SAdjustInfo& front, const SAdjustInfo& back);
    // Reads `length` bytes of device memory in commands of at most 8 KiB each.
    uint32_t ExecGetMemory(uint32_t address, uint32_t length, uint8_t* buffer);

    // The status phase: 0, 0x01000000 (check condition) or a decoded transport error.
    uint32_t GetResponse();

private:
    // Runs one whole command under the device's command lock. `received` (may be null) gets the byte
    // count of an in data phase.
    uint32_t runCommand(const usb::CommandBlock& block, std::span<const uint8_t> dataOut,
                        std::span<uint8_t> dataIn, uint32_t* received = nullptr);
};

} // namespace k3100
