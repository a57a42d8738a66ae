// File helpers over POSIX descriptors: callers see whole reads and writes or a failure.
#include "FileIo.h"

#include "WholeTransfer.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Ovk::Pixen::fileio {

UniqueFd::~UniqueFd() {
    close();
}

bool UniqueFd::close() noexcept {
    if (m_fd < 0)
        return true;
    const bool ok = ::close(m_fd) == 0;
    m_fd = -1;
    return ok;
}

UniqueFd openForReading(const char* path) noexcept {
    if (path == nullptr)
        return UniqueFd{};
    UniqueFd fd{::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    struct stat st {};
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return UniqueFd{};
    return fd;
}

UniqueFd openForWriting(const char* path) noexcept {
    if (path == nullptr)
        return UniqueFd{};
    return UniqueFd{::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0644)};
}

std::int64_t fileSize(int fd) noexcept {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return st.st_size;
}

bool writeAll(int fd, const void* data, std::size_t size) noexcept {
    return fnd::transferAll(static_cast<const std::uint8_t*>(data), size,
                            [fd](const std::uint8_t* bytes, std::size_t n) { return ::write(fd, bytes, n); });
}

bool readAll(int fd, void* data, std::size_t size) noexcept {
    return fnd::transferAll(static_cast<std::uint8_t*>(data), size,
                            [fd](std::uint8_t* bytes, std::size_t n) { return ::read(fd, bytes, n); });
}

} // namespace Ovk::Pixen::fileio
