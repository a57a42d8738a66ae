// Level tables and the byte clamp shared by every edge-emphasis kernel.
#include "EdgeEmphasis/EdgeLevels.h"

#include <algorithm>

std::vector<int32_t> MakeEdgeLevelTable(EdgeLevelRule rule, int32_t range) {
    std::vector<int32_t> table(static_cast<size_t>(2 * range));
    for (int32_t d = -range; d < range; ++d)
        table[static_cast<size_t>(d + range)] = std::clamp(rule(d), -255, 255);
    return table;
}

const std::array<uint8_t, kEdgeToByteLow + kEdgeToByteHigh + 1> kEdgeToByteTable = [] {
    std::array<uint8_t, kEdgeToByteLow + kEdgeToByteHigh + 1> table{};
    for (int32_t v = -kEdgeToByteLow; v <= kEdgeToByteHigh; ++v)
        table[static_cast<size_t>(v + kEdgeToByteLow)] = static_cast<uint8_t>(std::clamp(v, 0, 255));
    return table;
}();
