// The scanner's identity and service records as the device object hands them over, read into the
// dialog's scanner information. Text fields are read within their bounds, whether or not the scanner
// ended them with a zero byte.
#pragma once

#include "Value.h"

#include <array>
#include <cstdint>

// Name (64 bytes), version (32 bytes), ultrasonic double-feed flag (1 byte).
using ScannerInfoBlock = std::array<char, 97>;
// Sheets fed in total, since the roller's and since the pad's last exchange.
using ServiceCounters = std::array<std::uint32_t, 3>;

fnd::Dictionary ScannerInfoFromRecords(const ScannerInfoBlock& info, const ServiceCounters& service,
                                       std::uint32_t maxScanLength);
