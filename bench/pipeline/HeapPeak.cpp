// Wraps glibc's allocator: each block is counted by its usable size, so no header is added and blocks
// stay compatible with malloc_usable_size and with memory freed by code built elsewhere.
#include "HeapPeak.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {
std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};

void* Counted(void* block) {
    if (block != nullptr) {
        const int64_t live = g_live.fetch_add(static_cast<int64_t>(malloc_usable_size(block))) +
                             static_cast<int64_t>(malloc_usable_size(block));
        int64_t peak = g_peak.load(std::memory_order_relaxed);
        while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
        }
    }
    return block;
}

void Uncount(void* block) {
    if (block != nullptr)
        g_live.fetch_sub(static_cast<int64_t>(malloc_usable_size(block)));
}
} // namespace

namespace HeapPeak {
int64_t Restart() {
    const int64_t live = g_live.load();
    g_peak.store(live);
    return live;
}
int64_t Peak() {
    return g_peak.load();
}
} // namespace HeapPeak

extern "C" {
void* malloc(size_t size) {
    return Counted(__libc_malloc(size));
}
void* calloc(size_t count, size_t size) {
    return Counted(__libc_calloc(count, size));
}
void free(void* block) {
    Uncount(block);
    __libc_free(block);
}
void* realloc(void* block, size_t size) {
    const int64_t before = block != nullptr ? static_cast<int64_t>(malloc_usable_size(block)) : 0;
    void* moved = __libc_realloc(block, size);
    if (moved != nullptr || size == 0) {
        g_live.fetch_sub(before); // the old block is gone (freed, or moved into the new one)
        Counted(moved);
    }
    return moved;
}
void* memalign(size_t alignment, size_t size) {
    return Counted(__libc_memalign(alignment, size));
}
void* aligned_alloc(size_t alignment, size_t size) {
    return memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    void* block = memalign(alignment, size);
    if (block == nullptr)
        return ENOMEM;
    *out = block;
    return 0;
}
}
