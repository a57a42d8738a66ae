// Builds the light-curve block: header (time stamp, spare word, record count), then records of a 36-byte
// header and their tables. Each layout and entry width the reader accepts appears at least once.
#include "LightCurveBlock.h"

#include "SensorModel.h"

#include <cmath>

namespace k3100::emu {
namespace {

constexpr uint16_t kHeaderSize = 36;
constexpr uint32_t kSensorColumns[2] = {2552, 5104}; // 300 and 600 dpi
constexpr uint16_t kResolutions[2] = {300, 600};

struct CurveKind {
    uint16_t spp;
    uint16_t bits;
    uint16_t layout; // 1: tables one after another; else interleaved by pixel
    uint8_t special;
    uint8_t emphasis;
    uint32_t scale;
};

// Normal colour and grey, drop-out (colour curve used on grey scans), emphasis colour and grey.
constexpr CurveKind kKinds[] = {
    {3, 16, 1, 0, 0, 1000}, {1, 16, 1, 0, 0, 1000}, {3, 32, 0, 1, 0, 100000},
    {3, 8, 0, 0, 1, 200},   {1, 8, 1, 0, 1, 200},
};

void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

void putEntry(std::vector<uint8_t>& b, size_t at, uint16_t bits, uint32_t v) {
    if (bits == 8)
        b[at] = static_cast<uint8_t>(v);
    else if (bits == 16)
        put16(b, at, v);
    else
        put32(b, at, v);
}

// Appends one record at `at`; returns the offset after it.
size_t appendRecord(std::vector<uint8_t>& b, size_t at, uint16_t side, int res, const CurveKind& k) {
    const uint32_t count = kSensorColumns[res];
    const uint32_t entry = k.bits / 8;
    const uint32_t stride = count * entry;
    const uint32_t dataSize = stride * k.spp;
    put16(b, at + 0, kHeaderSize);
    put16(b, at + 2, side);
    put16(b, at + 4, k.spp);
    put16(b, at + 6, k.bits);
    put32(b, at + 8, k.scale);
    put32(b, at + 12, count);
    put32(b, at + 16, stride);
    put32(b, at + 20, dataSize);
    put16(b, at + 24, kResolutions[res]);
    put16(b, at + 26, k.layout);
    put32(b, at + 28, 1); // usable
    b[at + 32] = k.special;
    b[at + 33] = k.emphasis;
    const size_t data = at + kHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        const double factor = kPaperWhite / stripReflectance(static_cast<int>(i), static_cast<int>(count));
        const auto value = static_cast<uint32_t>(std::lround(factor * k.scale));
        for (uint16_t j = 0; j < k.spp; ++j) {
            const size_t index = k.layout == 1 ? j * count + i : static_cast<size_t>(i) * k.spp + j;
            putEntry(b, data + index * entry, k.bits, value);
        }
    }
    return data + dataSize;
}

} // namespace

std::vector<uint8_t> buildLightCurveBlock() {
    std::vector<uint8_t> block(kLightCurveSize, 0xFF); // erased flash beyond the records
    put32(block, 0, kLightCurveTimeStamp);
    put32(block, 4, 0);
    uint32_t records = 0;
    size_t at = 12;
    for (uint16_t side = 0; side < 2; ++side)
        for (int res = 0; res < 2; ++res)
            for (const CurveKind& kind : kKinds) {
                at = appendRecord(block, at, side, res, kind);
                ++records;
            }
    put32(block, 8, records);
    return block;
}

} // namespace k3100::emu
