// Result codes shared by filters, controllers, chains and the library's entry points.
#pragma once

#include <cstdint>

namespace Ovk::Pixen {

inline constexpr std::int32_t RTN_OK = 0;             // done
inline constexpr std::int32_t RTN_NOT_APPLICABLE = 1; // the operation does not apply to this input
inline constexpr std::int32_t RTN_PAR = 2;            // bad parameter or record of the wrong size
inline constexpr std::int32_t RTN_MEMORY = 3;         // out of memory, an image could not be created
inline constexpr std::int32_t RTN_SEQUENCE = 4;       // image state out of sequence
inline constexpr std::int32_t RTN_OPTIONS = 5;        // inconsistent options

} // namespace Ovk::Pixen
