// Level rules of edge emphasis: what is added to a pixel for a measured difference d (or e, the reversed
// difference of the smoothing kernels). Tables are built from them once per image, so the per-pixel cost is
// one lookup; d/n truncates toward zero.
#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

using EdgeLevelRule = int32_t (*)(int32_t d);

namespace EdgeLevel {
inline int32_t Zero(int32_t) {
    return 0;
}
inline int32_t Full(int32_t d) {
    return d;
}
inline int32_t Sixteenth(int32_t d) {
    return d / 16;
}
// Differences up to the first bound are noise; beyond it a weak, beyond the second a strong share.
template <int32_t Noise, int32_t Strong, int32_t WeakDiv, int32_t StrongDiv> int32_t Cored(int32_t d) {
    const int32_t a = std::abs(d);
    return a <= Noise ? 0 : a < Strong ? d / WeakDiv : d / StrongDiv;
}
constexpr EdgeLevelRule Cored2 = Cored<192, 256, 16, 8>;
constexpr EdgeLevelRule Cored3 = Cored<128, 256, 16, 8>;
constexpr EdgeLevelRule Cored4 = Cored<128, 256, 4, 2>;
constexpr EdgeLevelRule Cored5 = Cored<64, 193, 2, 1>;
template <int32_t N> int32_t Limited(int32_t d) {
    return (d < -255 ? -255 : d > 255 ? 255 : d) / N;
}
constexpr EdgeLevelRule AverageBase = Cored<192, 193, 8, 8>;
constexpr EdgeLevelRule Average8 = Cored<1, 2, 8, 8>;
constexpr EdgeLevelRule Average16 = Cored<1, 2, 16, 16>;
constexpr EdgeLevelRule Average16And8 = Cored<1, 193, 16, 8>;
// g/8 of the difference, with small results dropped as noise.
template <int32_t G> int32_t Gain(int32_t d) {
    const int32_t v = G * d / 8;
    return std::abs(v) <= 30 ? 0 : v;
}
} // namespace EdgeLevel

// Table of rule(d) limited to -255..255 for d in -range..range-1; index it at its middle.
std::vector<int32_t> MakeEdgeLevelTable(EdgeLevelRule rule, int32_t range);

// kEdgeToByte[v]: v limited to 0..255, for v in -kEdgeToByteLow..kEdgeToByteHigh, which covers a pixel
// plus any level (the older functions add unlimited levels up to 4 * 255).
constexpr int32_t kEdgeToByteLow = 1024;
constexpr int32_t kEdgeToByteHigh = 255 + 1024;
extern const std::array<uint8_t, kEdgeToByteLow + kEdgeToByteHigh + 1> kEdgeToByteTable;
inline const uint8_t* const kEdgeToByte = kEdgeToByteTable.data() + kEdgeToByteLow;
