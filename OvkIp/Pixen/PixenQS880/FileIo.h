// Private helpers of the image-file code: an owned file descriptor, whole reads and writes that survive
// short transfers and signals, and little-endian fields (the files are little-endian on every processor).
#pragma once

#include <cstddef>
#include <cstdint>

namespace Ovk::Pixen::fileio {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) noexcept : m_fd(fd) {}
    ~UniqueFd();
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    UniqueFd& operator=(UniqueFd&&) = delete;

    int get() const noexcept { return m_fd; }
    bool valid() const noexcept { return m_fd >= 0; }
    // Closes and reports whether everything written reached the file system.
    bool close() noexcept;

private:
    int m_fd;
};

// Opens an existing regular file for reading; never blocks on a FIFO or device. Invalid on failure.
UniqueFd openForReading(const char* path) noexcept;
// Creates or truncates a file for writing (mode 0644 before the umask).
UniqueFd openForWriting(const char* path) noexcept;
// Size of an open regular file, or -1.
std::int64_t fileSize(int fd) noexcept;

bool writeAll(int fd, const void* data, std::size_t size) noexcept;
// False when the file ends early.
bool readAll(int fd, void* data, std::size_t size) noexcept;

inline void putLe16(std::uint8_t* p, std::uint32_t v) noexcept {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putLe32(std::uint8_t* p, std::uint32_t v) noexcept {
    putLe16(p, v);
    putLe16(p + 2, v >> 16);
}
inline std::uint32_t getLe16(const std::uint8_t* p) noexcept {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
}
inline std::uint32_t getLe32(const std::uint8_t* p) noexcept {
    return getLe16(p) | getLe16(p + 2) << 16;
}

} // namespace Ovk::Pixen::fileio
