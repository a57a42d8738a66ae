// Page- and band-sized pixel buffers kept for reuse. A fresh buffer of that size comes from the system
// as newly mapped pages, each faulted in and cleared on first touch and unmapped again when freed; a page
// costs that several times on its way through the chain. Small buffers go straight to the allocator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Ovk::Pixen::BufferPool {

// At least `size` bytes, zero-filled when `zeroed`, else with whatever bytes a reused buffer held; null
// when memory runs out. The caller owns the buffer until it hands it back with give.
std::uint8_t* take(std::size_t size, bool zeroed) noexcept;
// Takes back a buffer from take (null does nothing); a large one is kept for the next take.
void give(std::uint8_t* buffer) noexcept;
// Frees the kept buffers, e.g. when a batch of pages is done.
void releaseKept() noexcept;
// Bytes held in kept buffers.
std::size_t keptBytes() noexcept;

} // namespace Ovk::Pixen::BufferPool
