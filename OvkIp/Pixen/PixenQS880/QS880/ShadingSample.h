// One shading correction: the sample less its black level (never below 0), times the gain (4096 = 1.0
// for 8-bit input; 16-bit input carries four more bits, hence the larger shift), limited to 255.
#pragma once

#include <cstdint>

namespace Ovk::Pixen::QS880 {

inline constexpr int kShift8 = 12;
inline constexpr int kShift16 = 16;

// 64-bit so that a 16-bit sample beyond the scanner's 12 bits cannot overflow the product.
inline std::uint8_t shadeSample(std::int64_t sample, std::int64_t black, std::int64_t gain, int shift) {
    const std::int64_t difference = sample > black ? sample - black : 0;
    const std::int64_t value = (difference * gain) >> shift;
    return static_cast<std::uint8_t>(value > 255 ? 255 : value);
}

} // namespace Ovk::Pixen::QS880
