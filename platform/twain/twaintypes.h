// Scalar and string types of TWAIN records on Linux: fixed-width integers, pointer-wide handles and
// references.
#pragma once

#include <cstdint>

// Shared objects are built with hidden symbols; the entry points must stay visible.
#define TWAIN_EXPORT __attribute__((visibility("default")))

using TW_INT8 = signed char;
using TW_INT16 = std::int16_t;
using TW_INT32 = std::int32_t;
using TW_UINT8 = std::uint8_t;
using TW_UINT16 = std::uint16_t;
using TW_UINT32 = std::uint32_t;
using TW_BOOL = std::uint16_t;
using TW_HANDLE = void*;
using TW_MEMREF = void*;
using TW_UINTPTR = std::uintptr_t;

// Strings are zero-terminated and the fields are two bytes longer than their name says, so that the
// records stay even-sized; this system's own strings are length-prefixed within the same fields.
using TW_STR32 = char[34];
using TW_STR64 = char[66];
using TW_STR128 = char[130];
using TW_STR255 = char[256];
