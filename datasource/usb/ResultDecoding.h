// Turns transport results and sense data into the data source's error codes (no device state needed).
#pragma once

#include "UsbStatus.h"
#include "WirePayloads.h"

#include <cstdint>

namespace k3100 {

uint32_t DecodeIOResult(usb::UsbStatus result);

// Packed sense: key x 0x10000 + additional sense code x 0x100 + qualifier.
uint32_t PackSense(const usb::SenseData& sense);
uint32_t DecodeSense(uint32_t packedSense);

} // namespace k3100
