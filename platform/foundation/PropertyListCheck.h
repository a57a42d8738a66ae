// Folder-private: pre-checks of property lists for what the property-list library cannot take safely:
// strings holding a NUL character (it aborts the process on such a key) and nesting deep enough to
// overflow the stack of its recursive binary reader or of its recursive release of a tree.
#pragma once

#include <cstdint>
#include <span>

namespace fnd::plist {

// True when bytes is a binary property list with a string object that contains NUL. Damaged tables
// are left to the parser to reject; this walks only what lies inside the buffer.
bool binaryHasNulInStrings(std::span<const std::uint8_t> bytes);

// True when bytes is a binary property list whose containers, followed from the top object, nest more
// than maxDepth deep (a reference cycle nests without end), or which expands to more objects than it
// has bytes: containers shared over and over multiply into a tree too large to build. Iterative, so
// the walk itself needs no stack; costs at most one step per byte of input.
bool binaryNestsTooDeeply(std::span<const std::uint8_t> bytes, int maxDepth);

// True when bytes, read as XML, opens array and dict elements more than maxDepth deep below the top
// one. It counts tags rather than parsing, so a comment or CDATA section holding tags could only make
// it refuse early. One pass.
bool xmlNestsTooDeeply(std::span<const std::uint8_t> bytes, int maxDepth);

} // namespace fnd::plist
