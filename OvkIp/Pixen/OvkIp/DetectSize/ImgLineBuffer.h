// Window of the most recent lines of one side of a duplex scan, one sample per pixel, addressed by the
// line's number on the page. Lines are copied in as they arrive, so the caller may reuse its band buffers.
#pragma once

#include <cstdint>
#include <vector>

namespace Ovk::DetectSize {

class CImgLineBuffer {
public:
    // Returns false when memory runs out.
    bool init(std::int32_t width, std::int32_t capacity);
    void push(const std::uint8_t* samples, std::int32_t stride);
    void pop() { ++m_removed; }

    // Samples of page line y, which must be held.
    const std::uint8_t* row(std::int32_t y) const {
        return m_lines.data() + static_cast<std::size_t>(y % m_capacity) * m_width;
    }
    std::int32_t getQueLine() const { return m_received - m_removed; }
    std::int32_t removed() const { return m_removed; }
    std::int32_t seen() const { return m_received; }

private:
    std::size_t m_width = 0;
    std::int32_t m_capacity = 1;
    std::int32_t m_received = 0;
    std::int32_t m_removed = 0;
    std::vector<std::uint8_t> m_lines;
};

} // namespace Ovk::DetectSize
