// Folder-private: a pre-check of binary property lists for strings holding a NUL character, which
// the property-list library cannot return as dictionary keys (it aborts the process instead).
#pragma once

#include <cstdint>
#include <span>

namespace fnd::plist {

// True when bytes is a binary property list with a string object that contains NUL. Damaged tables
// are left to the parser to reject; this walks only what lies inside the buffer.
bool binaryHasNulInStrings(std::span<const std::uint8_t> bytes);

} // namespace fnd::plist
