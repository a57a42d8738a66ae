// Container memory that applications and data sources hand each other (TW_HANDLE). One allocator in one
// shared library serves both sides of a process, so every block's size is known to whoever reads it.
#pragma once

#include <memory>

#include "twain.h"

namespace twain {

// A new zero-filled block of `bytes` (at least 1); the caller owns it and frees it with freeHandle.
// nullptr when `bytes` is 0 or memory is short. A handle is the block's address: it never moves.
TWAIN_EXPORT TW_HANDLE allocHandle(TW_UINT32 bytes) noexcept;

// Frees a block from allocHandle. nullptr, a block already freed or one this allocator did not make is
// left alone (a leak is better than a crash on a hostile caller's handle).
TWAIN_EXPORT void freeHandle(TW_HANDLE handle) noexcept;

// The block's memory while the caller uses it; nullptr for nullptr. A handle this allocator did not make
// is returned as it is, since on Linux a TWAIN handle from elsewhere is a plain pointer.
TWAIN_EXPORT TW_MEMREF lockHandle(TW_HANDLE handle) noexcept;
TWAIN_EXPORT void unlockHandle(TW_HANDLE handle) noexcept;

// Bytes of a block from allocHandle; 0 for nullptr, a freed block or a handle from elsewhere.
TWAIN_EXPORT TW_UINT32 handleSize(TW_HANDLE handle) noexcept;

struct HandleFree {
    void operator()(void* handle) const noexcept { freeHandle(handle); }
};
// Owns a block from allocHandle.
using OwnedHandle = std::unique_ptr<void, HandleFree>;

} // namespace twain
