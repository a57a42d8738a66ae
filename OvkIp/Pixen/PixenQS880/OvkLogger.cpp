// Trace log. The file is opened without following links and must be a regular file owned by this user
// with no second hard link, so a link or another user's file planted in /tmp cannot make the library
// empty or fill someone else's file. Each line goes out in one write, so it is never buffered when the
// process dies.
#include "OvkLogger.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace Ovk {

OvkLogger* OvkLogger::Instance = nullptr;

namespace {

constexpr std::size_t kLineBuffer = 2048; // formatted text plus its terminating zero

int openTraceFile(const char* path) noexcept {
    // Non-blocking so that a FIFO planted under the name cannot hang the library at load.
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    // A second hard link would be a name for another file of this user, which the truncation would empty.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_nlink != 1 ||
        ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The trace follows the file as it exists when the library is loaded.
[[maybe_unused]] const bool kTraceCheckedAtLoad = (OvkLogger::createLogger(OvkLogger::DefaultPath), true);

} // namespace

OvkLogger::~OvkLogger() {
    ::close(m_fd);
}

void OvkLogger::createLogger(const char* path) noexcept {
    if (Instance != nullptr || path == nullptr)
        return;
    const int fd = openTraceFile(path);
    if (fd < 0)
        return;
    // Deliberately immortal: trace calls may come from other objects' destructors at exit.
    Instance = new (std::nothrow) OvkLogger(fd);
    if (Instance == nullptr)
        ::close(fd);
}

void OvkLogger::writeLog(const char* format, ...) noexcept {
    if (Instance == nullptr || format == nullptr)
        return;
    char line[kLineBuffer + 1];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(line, kLineBuffer, format, args);
    va_end(args);
    if (length < 0)
        return;
    const std::size_t used = std::min<std::size_t>(static_cast<std::size_t>(length), kLineBuffer - 1);
    line[used] = '\n';
    [[maybe_unused]] const ssize_t written = ::write(Instance->m_fd, line, used + 1);
}

} // namespace Ovk
