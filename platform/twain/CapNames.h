// The name capabilities of the K3100 (TWTY_STR64: custom paper, favourite, custom tone curve) hold a
// length byte counting UTF-16 code units, then the units in host byte order. These convert them to and
// from UTF-8, for the data source and the applications that exchange them alike.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "twaintypes.h"

using CapNameItem = std::array<std::uint8_t, 66>;

// The name as UTF-8; unpaired surrogates become U+FFFD. A length beyond the item is cut to what fits.
TWAIN_EXPORT std::string DecodeCapName(const CapNameItem& item);
// The item for a UTF-8 name, cut to the 32 units that fit; bytes that are not UTF-8 become U+FFFD.
TWAIN_EXPORT CapNameItem EncodeCapName(std::string_view name);
