// A sized, zero-filled array whose allocation failure shows as a count of 0 instead of an
// exception, so the analysis entry points can turn it into their out-of-memory code.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

template <typename T> class CBuffer {
public:
    explicit CBuffer(int32_t n = 0) {
        if (n > 0 && (m_data = allocate(n)))
            m_count = n;
    }
    virtual ~CBuffer() = default;
    CBuffer(const CBuffer&) = delete;
    CBuffer& operator=(const CBuffer&) = delete;
    CBuffer(CBuffer&& other) noexcept : m_data(std::move(other.m_data)), m_count(other.m_count) {
        other.m_count = 0;
    }
    CBuffer& operator=(CBuffer&& other) noexcept {
        m_data = std::move(other.m_data);
        m_count = other.m_count;
        other.m_count = 0;
        return *this;
    }

    int32_t GetSize() const { return m_count; }
    T* data() { return m_data.get(); }
    const T* data() const { return m_data.get(); }
    T& operator[](int32_t i) { return m_data[i]; }
    const T& operator[](int32_t i) const { return m_data[i]; }

    // Shrinking keeps the array; growing copies into a new zero-filled one. 0 when that fails,
    // with the buffer as it was.
    int Resize(int32_t n) {
        if (n <= m_count) {
            m_count = std::max<int32_t>(n, 0);
            return 1;
        }
        std::unique_ptr<T[]> grown = allocate(n);
        if (!grown)
            return 0;
        std::copy_n(m_data.get(), m_count, grown.get());
        m_data = std::move(grown);
        m_count = n;
        return 1;
    }

    // Hands the array to the caller, who frees it with delete[].
    T* Detach() {
        m_count = 0;
        return m_data.release();
    }

private:
    static std::unique_ptr<T[]> allocate(int32_t n) {
        return std::unique_ptr<T[]>(new (std::nothrow) T[n]());
    }

    std::unique_ptr<T[]> m_data;
    int32_t m_count = 0;
};
