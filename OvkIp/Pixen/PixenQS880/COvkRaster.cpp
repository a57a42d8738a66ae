// Owned byte buffer: allocation never throws, a failure leaves the raster empty.
#include "COvkRaster.h"

#include <new>

COvkRaster::~COvkRaster() = default;

void COvkRaster::Clear() noexcept {
    m_pBuffer.reset();
    m_ulSize = 0;
}

int COvkRaster::SetSize(std::uint32_t n) noexcept {
    if (n == 0)
        return 0;
    Clear();
    m_pBuffer.reset(new (std::nothrow) std::uint8_t[n]);
    if (!m_pBuffer)
        return 0;
    m_ulSize = n;
    return 1;
}
