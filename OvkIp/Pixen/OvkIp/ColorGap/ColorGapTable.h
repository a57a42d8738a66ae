// Colour classes for fringe search: every 15-bit colour gets a class (mono band and strongest channel, or a
// tinted family) from thirteen thresholds chosen by resolution, so the per-pixel work is one table lookup.
#pragma once

#include <array>
#include <cstdint>

// Thresholds of the class builder, levels 0..255.
struct tagGAPPARAM {
    int32_t dwGapParamSize; // kGapParamSize; any other value means "use the defaults"
    int32_t lThreshold[13]; // P1..P13
};
static_assert(sizeof(tagGAPPARAM) == 56);
constexpr int32_t kGapParamSize = sizeof(tagGAPPARAM);

constexpr int32_t kColorClassCount = 32;
constexpr int32_t kColorTableSize = 32768; // one class per 15-bit colour
constexpr int32_t kPairTableSize = kColorClassCount * kColorClassCount * 4;
constexpr uint8_t kClassMono = 16; // neutral colour; bits 2-3 give its brightness band
constexpr uint8_t kClassBand = 12; // 0 in these bits: the dark band
constexpr uint8_t kClassNone = 31;

// 15-bit index of a colour: the five high bits of each sample.
inline uint32_t ColorIndex(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint32_t>(r >> 3) << 10 | static_cast<uint32_t>(g >> 3) << 5 | (b >> 3);
}

class CBuildDefColorGapMap {
public:
    // Resolution in dpi; nothing is accepted for 0 or less. params is used when its size word is right.
    void Init(int32_t resolution, const tagGAPPARAM* params);
    // Fills size bytes (at least kColorTableSize) with the class of every 15-bit colour; 0 when it cannot.
    int OutputTable(uint8_t* table, int32_t size) const;

    // Colours as R | G << 8 | B << 16.
    uint8_t IsDoubtColor(uint32_t rgb) const;
    uint8_t IsMonoColor(uint32_t rgb) const;
    uint8_t IsDoubtRed(uint32_t rgb) const;
    uint8_t IsDoubtGreen(uint32_t rgb) const;
    uint8_t IsDoubtBlue(uint32_t rgb) const;

private:
    int32_t P(int n) const { return m_GapParam.lThreshold[n - 1]; }

    tagGAPPARAM m_GapParam{};
    int32_t m_resolution = -1; // dpi the thresholds were chosen for
};

// Default thresholds for a y resolution in dpi.
const tagGAPPARAM& DefaultGapParam(int32_t resolution);
// Built-in pair flags, indexed previous class * 32 + current class: 1 where the step continues a fringe.
const std::array<uint32_t, kColorClassCount * kColorClassCount>& ColorGapBoolMap();
// Class table used when none can be built (no usable resolution): the one for 300 dpi.
const std::array<uint8_t, kColorTableSize>& ByteColorMap();
