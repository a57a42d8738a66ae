// Ring of lines for the duplex shadow filters: a line's slot is its page line number modulo the capacity.
#include "DetectSize/ImgLineBuffer.h"

#include <algorithm>
#include <new>

namespace Ovk::DetectSize {

bool CImgLineBuffer::init(std::int32_t width, std::int32_t capacity) {
    m_width = static_cast<std::size_t>(std::max(width, 0));
    m_capacity = std::max(capacity, 1);
    m_received = 0;
    m_removed = 0;
    try {
        m_lines.assign(m_width * static_cast<std::size_t>(m_capacity), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void CImgLineBuffer::push(const std::uint8_t* samples, std::int32_t stride) {
    std::uint8_t* slot = m_lines.data() + static_cast<std::size_t>(m_received % m_capacity) * m_width;
    for (std::size_t x = 0; x < m_width; ++x)
        slot[x] = samples[x * static_cast<std::size_t>(stride)];
    ++m_received;
}

} // namespace Ovk::DetectSize
