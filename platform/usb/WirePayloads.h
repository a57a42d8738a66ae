// Data phases of the scanner's commands: window list, scan-mode pages, adjust registers, sense data,
// inquiry data and the service blocks. Encoders serve the data source, decoders the emulated scanner;
// decoders check the fixed bytes so that a malformed payload is refused rather than half-read.
#pragma once

#include "CommandWire.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace k3100::usb {

// Positions and sizes in 1/1200 inch.
struct SScanWindow {
    uint8_t identifier = 0; // 0 front, 1 back
    uint16_t xResolution = 0;
    uint16_t yResolution = 0;
    uint32_t left = 0;
    uint32_t top = 0; // two's complement: a window may start before the paper's leading edge
    uint32_t width = 0;
    uint32_t length = 0;
    uint8_t composition = 0;  // 2 grey, 5 colour
    uint8_t bitsPerPixel = 0; // 8 for scans, 12 for calibration
};
inline constexpr uint8_t kCompositionGrey = 2;
inline constexpr uint8_t kCompositionColour = 5;

std::array<uint8_t, kWindowListLength> encodeWindowList(const SScanWindow& window);
std::optional<SScanWindow> decodeWindowList(std::span<const uint8_t> bytes);

// Page 0: first = double feed by length, second = ultrasonic double feed, third = jam-less feeding.
// Page 1: first = side selection (0 front, 2 both), second = continuous feeding, third = page-size
//         detection, value16 = prescan-and-keep.
// Page 2: first/second = front/back drop-out colour, third/fourth = front/back colour enhancement.
struct SScanModeParam {
    uint8_t page = 0;
    uint8_t first = 0;
    uint8_t second = 0;
    uint8_t third = 0;
    uint8_t fourth = 0;
    uint16_t value16 = 0;
};

std::array<uint8_t, kModePageLength> encodeModePage(const SScanModeParam& mode);
std::optional<SScanModeParam> decodeModePage(std::span<const uint8_t> bytes);

// Analogue front end and lamp registers of one side (names follow the image library's register block).
struct SAdjustInfo {
    uint8_t Gain1 = 0;
    uint8_t Offset1 = 0;
    uint16_t RedLED = 0;
    uint16_t GreenLED = 0;
    uint16_t BlueLED = 0;
};

std::array<uint8_t, kAdjustDataLength> encodeAdjustData(const SAdjustInfo& front, const SAdjustInfo& back);
struct AdjustPair {
    SAdjustInfo front;
    SAdjustInfo back;
};
std::optional<AdjustPair> decodeAdjustData(std::span<const uint8_t> bytes);

struct SenseData {
    uint8_t key = 0;
    bool incorrectLength = false;
    bool endOfMedium = false;
    uint32_t information = 0;
    uint8_t code = 0;
    uint8_t qualifier = 0;
};

std::array<uint8_t, kRequestSenseLength> encodeSense(const SenseData& sense);
SenseData decodeSense(std::span<const uint8_t, kRequestSenseLength> bytes);

struct InquiryData {
    std::string vendor;   // 8 characters on the wire
    std::string product;  // 16
    std::string revision; // 4
};

std::array<uint8_t, kInquiryLength> encodeInquiry(const InquiryData& inquiry);

// Service block (READ/SEND kind 6) and maximum scan length block (kind 7), 128 bytes each.
inline constexpr size_t kServiceBlockLength = 128;
inline constexpr size_t kServiceTotalCount = 4;
inline constexpr size_t kServiceRollerReference = 68;
inline constexpr size_t kServicePadReference = 76;
inline constexpr size_t kServiceSerialNumber = 108;
inline constexpr size_t kServiceSerialLength = 16;
inline constexpr size_t kMaxScanLengthWord = 16;

// Operation-panel key bits in byte 0 of the key block (kind 4), keys numbered from 1.
uint8_t panelKeyBit(int key);

} // namespace k3100::usb
