// Statuses of the size detectors and the image objects: 0 success, failures have the top bit set so that a
// caller can test for a negative value.
#pragma once

#include <cstdint>

namespace Ovk::DetectSize {

inline constexpr std::int32_t kStatusOk = 0;
inline constexpr std::int32_t kStatusNotImplemented = static_cast<std::int32_t>(0x80000001u);
inline constexpr std::int32_t kStatusNoMemory = static_cast<std::int32_t>(0x80000002u);
inline constexpr std::int32_t kStatusBadArgument = static_cast<std::int32_t>(0x80000003u);
inline constexpr std::int32_t kStatusBadRecord = static_cast<std::int32_t>(0x80000008u);

} // namespace Ovk::DetectSize
