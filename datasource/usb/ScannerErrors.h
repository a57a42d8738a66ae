// The data source's own 32-bit error codes: every device operation returns 0 or one of these, and the
// alerts, the scan control and the button export all read the same values.
#pragma once

#include <cstdint>

namespace k3100 {

inline constexpr uint32_t kScanOk = 0;
inline constexpr uint32_t kScanErrNoMemory = 2;
inline constexpr uint32_t kScanErrCountOrder = 3; // total count below the roller or pad count
inline constexpr uint32_t kScanErrDeviceNotFound = 0x100;
inline constexpr uint32_t kScanErrDeviceBusy = 0x200;
inline constexpr uint32_t kScanErrTransferIO = 0x300;
inline constexpr uint32_t kScanErrPipeStalled = 0x1000;
inline constexpr uint32_t kScanErrNotReady = 0x10000;
inline constexpr uint32_t kScanErrNoPaper = 0x20000;
inline constexpr uint32_t kScanErrPaperJam = 0x30000;
inline constexpr uint32_t kScanErrCoverOpen = 0x40000;
inline constexpr uint32_t kScanErrDoubleFeed = 0x50000;
inline constexpr uint32_t kScanErrLampError = 0x60000;
inline constexpr uint32_t kScanErrHardware = 0x70000;
inline constexpr uint32_t kScanErrIllegalRequest = 0x80000;
inline constexpr uint32_t kScanErrPrevious = 0x90000;
inline constexpr uint32_t kScanErrTimeout = 0xA0000;
inline constexpr uint32_t kScanErrCommandSequence = 0xB0000;
inline constexpr uint32_t kScanErrSystemResource = 0xC0000;
inline constexpr uint32_t kScanErrUnknownDevice = 0xF0000;
inline constexpr uint32_t kScanErrNoDirectionModel = 0x100000; // text direction has no model to run on
inline constexpr uint32_t kScanErrCheckCondition = 0x01000000;
inline constexpr uint32_t kScanErrCancelled = 0x04000000;
inline constexpr uint32_t kScanErrNoPage = 0x08000000;
inline constexpr uint32_t kScanErrBlankPages = 0x08000001; // paper came, but every page was blank
inline constexpr uint32_t kScanErrEndOfBatch = 0x20000000;
inline constexpr uint32_t kScanErrImageLibrary = 0x80000001;

} // namespace k3100
