// Owned byte buffer with its size; the base of the lamp light-curve record.
#pragma once

#include <cstdint>
#include <memory>

class COvkRaster {
public:
    COvkRaster() noexcept = default;
    virtual ~COvkRaster();
    COvkRaster(const COvkRaster&) = delete;
    COvkRaster& operator=(const COvkRaster&) = delete;

    void Clear() noexcept;
    // 0 keeps the present buffer and gives 0; otherwise replaces it by n uninitialised bytes and gives 1,
    // or leaves the raster empty and gives 0 when they cannot be allocated.
    int SetSize(std::uint32_t n) noexcept;
    std::uint32_t GetSize() const noexcept { return m_ulSize; }
    std::uint8_t* GetPtr() const noexcept { return m_pBuffer.get(); }

private:
    std::unique_ptr<std::uint8_t[]> m_pBuffer;
    std::uint32_t m_ulSize = 0;
};
