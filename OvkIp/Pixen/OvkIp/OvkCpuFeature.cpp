// The accelerated paths are optional and must give identical bytes; this build has only the portable ones,
// so the feature probe answers "absent" for every mask.
#include "OvkCpuFeature.h"

#include <cstdint>

namespace {
constexpr uint32_t kMmxBit = 0x800000;
constexpr uint32_t kSse2Bit = 0x4000000;

int IsFeature(uint32_t /*mask*/) {
    return 0;
}
} // namespace

int IsMMXFeatureAvailable() {
    static const int available = IsFeature(kMmxBit);
    return available;
}

int IsSSE2FeatureAvailable() {
    static const int available = IsFeature(kSse2Bit);
    return available;
}
