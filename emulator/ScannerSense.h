// Sense codes the emulated scanner reports, and the helpers that build failed outcomes from them.
#pragma once

#include "ScannerModel.h"

namespace k3100::emu {

struct SenseCode {
    uint8_t key;
    uint8_t code;
    uint8_t qualifier;
};

inline constexpr SenseCode kSenseNotReady{0x2, 0x04, 0x01};
inline constexpr SenseCode kSenseInUse{0x2, 0x04, 0x00};
inline constexpr SenseCode kSenseJam{0x3, 0x80, 0x00};
inline constexpr SenseCode kSenseCoverOpen{0x3, 0x80, 0x01};
inline constexpr SenseCode kSenseDoubleFeed{0x3, 0x81, 0x01};
inline constexpr SenseCode kSenseNoPaper{0x3, 0x3A, 0x00};
inline constexpr SenseCode kSenseLamp{0x3, 0x60, 0x00};
inline constexpr SenseCode kSenseHardware{0x4, 0x44, 0x00};
inline constexpr SenseCode kSenseInvalidOpcode{0x5, 0x20, 0x00};
inline constexpr SenseCode kSenseAddressRange{0x5, 0x21, 0x00};
inline constexpr SenseCode kSenseInvalidField{0x5, 0x24, 0x00};
inline constexpr SenseCode kSenseInvalidParameter{0x5, 0x26, 0x00};
inline constexpr SenseCode kSenseSequence{0x5, 0x2C, 0x00};
inline constexpr SenseCode kSensePowerOn{0x6, 0x29, 0x00};
inline constexpr SenseCode kSenseTimeout{0xB, 0x80, 0x00};

inline Outcome failed(SenseCode code) {
    Outcome o;
    o.check = true;
    o.sense.key = code.key;
    o.sense.code = code.code;
    o.sense.qualifier = code.qualifier;
    return o;
}

inline Outcome good(std::vector<uint8_t> data = {}) {
    Outcome o;
    o.dataIn = std::move(data);
    return o;
}

} // namespace k3100::emu
