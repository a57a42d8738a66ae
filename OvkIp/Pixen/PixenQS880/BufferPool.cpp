// Kept buffers: the last large buffers handed back, reused best-fit. A duplex sheet passes through about
// six page-sized buffers (joined bands, straightened page, the blank measure's grey page, per side) and a
// few band buffers at a time, so sixteen cover a sheet.
#include "BufferPool.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define K3100_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define K3100_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define K3100_POISON(p, n) ((void)(p), (void)(n))
#define K3100_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace Ovk::Pixen::BufferPool {

namespace {

// Band buffers (up to 2 MiB of raw data) count too: the allocator maps buffers of that size afresh or
// trims its heap below them, so each would fault its pages in again.
constexpr std::size_t SmallestKept = std::size_t{512} << 10;
constexpr std::size_t MostKept = 16;
constexpr std::size_t MostKeptBytes = std::size_t{1} << 30;

struct Kept {
    std::uint8_t* buffer;
    std::size_t capacity;
};

class Pool {
public:
    Pool() { m_Kept.reserve(MostKept); }

    // Best fit among buffers no more than twice the size, so a small request does not take a page's.
    std::uint8_t* take(std::size_t size) {
        const std::lock_guard<std::mutex> lock(m_Mutex);
        auto best = m_Kept.end();
        for (auto it = m_Kept.begin(); it != m_Kept.end(); ++it)
            if (it->capacity >= size && it->capacity / 2 <= size &&
                (best == m_Kept.end() || it->capacity < best->capacity))
                best = it;
        if (best == m_Kept.end())
            return nullptr;
        std::uint8_t* buffer = best->buffer;
        m_Bytes -= best->capacity;
        K3100_UNPOISON(buffer, best->capacity);
        m_Kept.erase(best);
        return buffer;
    }

    // The oldest kept buffers make room; false when the buffer is not kept.
    bool keep(std::uint8_t* buffer, std::size_t capacity) {
        if (capacity < SmallestKept || capacity > MostKeptBytes)
            return false;
        const std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Closed)
            return false;
        while (!m_Kept.empty() && (m_Kept.size() >= MostKept || m_Bytes + capacity > MostKeptBytes))
            dropOldest();
        K3100_POISON(buffer, capacity);
        m_Kept.push_back({buffer, capacity});
        m_Bytes += capacity;
        return true;
    }

    void releaseAll() {
        const std::lock_guard<std::mutex> lock(m_Mutex);
        while (!m_Kept.empty())
            dropOldest();
    }

    // At the library's end, also when it is unloaded: nothing is kept from now on, not even the list.
    void close() {
        const std::lock_guard<std::mutex> lock(m_Mutex);
        while (!m_Kept.empty())
            dropOldest();
        std::vector<Kept>().swap(m_Kept);
        m_Closed = true;
    }

    std::size_t bytes() {
        const std::lock_guard<std::mutex> lock(m_Mutex);
        return m_Bytes;
    }

private:
    void dropOldest() {
        const Kept oldest = m_Kept.front();
        m_Kept.erase(m_Kept.begin());
        m_Bytes -= oldest.capacity;
        K3100_UNPOISON(oldest.buffer, oldest.capacity);
        std::free(oldest.buffer);
    }

    std::mutex m_Mutex;
    std::vector<Kept> m_Kept; // oldest first; reserved, so keeping never allocates
    std::size_t m_Bytes = 0;
    bool m_Closed = false;
};

// Never destroyed: images held by the library's own static objects may be handed back after every
// other static is gone. Closed instead when the library ends (below).
Pool& pool() {
    alignas(Pool) static unsigned char storage[sizeof(Pool)];
    static Pool* const kept = new (storage) Pool;
    return *kept;
}

// A library unloaded while the process goes on must leave no memory behind: its end closes the pool,
// and buffers handed back later are freed at once.
struct PoolCloser {
    ~PoolCloser() { pool().close(); }
};
const PoolCloser closer;

} // namespace

std::uint8_t* take(std::size_t size, bool zeroed) noexcept {
    if (size >= SmallestKept) {
        if (std::uint8_t* buffer = pool().take(size)) {
            if (zeroed)
                std::memset(buffer, 0, size);
            return buffer;
        }
    }
    // calloc, because fresh large blocks come from the system already zeroed and need no clearing pass.
    return static_cast<std::uint8_t*>(zeroed ? std::calloc(size, 1) : std::malloc(size));
}

void give(std::uint8_t* buffer) noexcept {
    if (buffer != nullptr && !pool().keep(buffer, malloc_usable_size(buffer)))
        std::free(buffer);
}

void releaseKept() noexcept {
    pool().releaseAll();
}

std::size_t keptBytes() noexcept {
    return pool().bytes();
}

} // namespace Ovk::Pixen::BufferPool
