// Byte-exact packing of the command payloads; fixed bytes are checked on decode so the emulated
// scanner answers a malformed payload with an error instead of guessing.
#include "WirePayloads.h"

#include "BigEndian.h"

#include <algorithm>

namespace k3100::usb {
namespace {

constexpr uint16_t kWindowDescriptorLength = 44;
constexpr size_t kWindowDescriptor = 8;
constexpr uint8_t kWindowByte37 = 0x10;
constexpr uint8_t kModePageLengthByte = 14;
constexpr uint8_t kModePageCodes[3] = {0x30, 0x32, 0x36};
constexpr uint8_t kSenseCurrentError = 0x70;
constexpr uint8_t kSenseAdditionalLength = kRequestSenseLength - 8;
constexpr uint8_t kDeviceTypeScanner = 0x06;

bool allZero(std::span<const uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
}

void putText(uint8_t* p, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i)
        p[i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
}

void putAdjust(uint8_t* p, const SAdjustInfo& info) {
    p[0] = info.Gain1;
    p[2] = info.Offset1;
    putBE16(p + 4, info.RedLED);
    putBE16(p + 6, info.GreenLED);
    putBE16(p + 8, info.BlueLED);
}

std::optional<SAdjustInfo> getAdjust(std::span<const uint8_t> p) {
    if (p[1] != 0 || p[3] != 0 || !allZero(p.subspan(10, 6)))
        return std::nullopt;
    return SAdjustInfo{p[0], p[2], getBE16(&p[4]), getBE16(&p[6]), getBE16(&p[8])};
}

} // namespace

std::array<uint8_t, kWindowListLength> encodeWindowList(const SScanWindow& w) {
    std::array<uint8_t, kWindowListLength> b{};
    putBE16(&b[6], kWindowDescriptorLength);
    b[8] = w.identifier;
    putBE16(&b[10], w.xResolution);
    putBE16(&b[12], w.yResolution);
    putBE32(&b[14], w.left);
    putBE32(&b[18], w.top);
    putBE32(&b[22], w.width);
    putBE32(&b[26], w.length);
    b[33] = w.composition;
    b[34] = w.bitsPerPixel;
    b[37] = kWindowByte37;
    return b;
}

std::optional<SScanWindow> decodeWindowList(std::span<const uint8_t> b) {
    if (b.size() != kWindowListLength || !allZero(b.first(6)) || getBE16(&b[6]) != kWindowDescriptorLength)
        return std::nullopt;
    if (b[9] != 0 || !allZero(b.subspan(30, 3)) || !allZero(b.subspan(35, 2)) || b[37] != kWindowByte37 ||
        !allZero(b.subspan(38)))
        return std::nullopt;
    const uint8_t* d = &b[kWindowDescriptor];
    SScanWindow w;
    w.identifier = d[0];
    w.xResolution = getBE16(d + 2);
    w.yResolution = getBE16(d + 4);
    w.left = getBE32(d + 6);
    w.top = getBE32(d + 10);
    w.width = getBE32(d + 14);
    w.length = getBE32(d + 18);
    w.composition = b[33];
    w.bitsPerPixel = b[34];
    return w;
}

std::array<uint8_t, kModePageLength> encodeModePage(const SScanModeParam& m) {
    std::array<uint8_t, kModePageLength> b{};
    b[4] = kModePageCodes[m.page % 3];
    b[5] = kModePageLengthByte;
    switch (m.page) {
    case 0:
        b[7] = static_cast<uint8_t>((m.first ? 0x01 : 0) | (m.second ? 0x04 : 0));
        b[9] = m.third ? 0x10 : 0;
        break;
    case 1:
        b[6] = m.first;
        b[7] = 1;
        b[10] = static_cast<uint8_t>((m.second ? 0x40 : 0) | (m.third ? 0x20 : 0));
        putBE16(&b[12], m.value16);
        break;
    default:
        b[11] = m.first;
        b[12] = m.second;
        b[13] = m.third;
        b[14] = m.fourth;
        break;
    }
    return b;
}

std::optional<SScanModeParam> decodeModePage(std::span<const uint8_t> b) {
    if (b.size() != kModePageLength || !allZero(b.first(4)) || b[5] != kModePageLengthByte)
        return std::nullopt;
    SScanModeParam m;
    if (b[4] == kModePageCodes[0]) {
        m.page = 0;
        m.first = b[7] & 0x01 ? 1 : 0;
        m.second = b[7] & 0x04 ? 1 : 0;
        m.third = b[9] & 0x10 ? 1 : 0;
    } else if (b[4] == kModePageCodes[1]) {
        m.page = 1;
        m.first = b[6];
        m.second = b[10] & 0x40 ? 1 : 0;
        m.third = b[10] & 0x20 ? 1 : 0;
        m.value16 = getBE16(&b[12]);
    } else if (b[4] == kModePageCodes[2]) {
        m.page = 2;
        m.first = b[11];
        m.second = b[12];
        m.third = b[13];
        m.fourth = b[14];
    } else {
        return std::nullopt;
    }
    return m;
}

std::array<uint8_t, kAdjustDataLength> encodeAdjustData(const SAdjustInfo& front, const SAdjustInfo& back) {
    std::array<uint8_t, kAdjustDataLength> b{};
    putAdjust(&b[0], front);
    putAdjust(&b[16], back);
    return b;
}

std::optional<AdjustPair> decodeAdjustData(std::span<const uint8_t> b) {
    if (b.size() != kAdjustDataLength)
        return std::nullopt;
    const auto front = getAdjust(b.first(16));
    const auto back = getAdjust(b.subspan(16, 16));
    if (!front || !back)
        return std::nullopt;
    return AdjustPair{*front, *back};
}

std::array<uint8_t, kRequestSenseLength> encodeSense(const SenseData& s) {
    std::array<uint8_t, kRequestSenseLength> b{};
    b[0] = kSenseCurrentError;
    b[2] = static_cast<uint8_t>((s.key & 0x0F) | (s.incorrectLength ? 0x20 : 0) | (s.endOfMedium ? 0x40 : 0));
    putBE32(&b[3], s.information);
    b[7] = kSenseAdditionalLength;
    b[12] = s.code;
    b[13] = s.qualifier;
    return b;
}

SenseData decodeSense(std::span<const uint8_t, kRequestSenseLength> b) {
    SenseData s;
    s.key = b[2] & 0x0F;
    s.incorrectLength = (b[2] & 0x20) != 0;
    s.endOfMedium = (b[2] & 0x40) != 0;
    s.information = getBE32(&b[3]);
    s.code = b[12];
    s.qualifier = b[13];
    return s;
}

std::array<uint8_t, kInquiryLength> encodeInquiry(const InquiryData& inquiry) {
    std::array<uint8_t, kInquiryLength> b{};
    b[0] = kDeviceTypeScanner;
    b[4] = kInquiryLength - 5;
    putText(&b[8], inquiry.vendor, 8);
    putText(&b[16], inquiry.product, 16);
    putText(&b[32], inquiry.revision, 4);
    return b;
}

uint8_t panelKeyBit(int key) {
    switch (key) {
    case 1:
        return 0x80;
    case 2:
        return 0x40;
    case 3:
        return 0x04;
    default:
        return 0;
    }
}

} // namespace k3100::usb
