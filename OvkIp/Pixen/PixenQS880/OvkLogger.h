// The library's diagnostic trace: one process-wide log that is on only when its file already existed
// when the library was loaded. Every call is a no-op while it is off; trace lines never change behaviour.
#pragma once

namespace Ovk {

class OvkLogger {
public:
    static constexpr const char* DefaultPath = "/tmp/Pixen.log";

    virtual ~OvkLogger();
    OvkLogger(const OvkLogger&) = delete;
    OvkLogger& operator=(const OvkLogger&) = delete;

    // Turns the trace on when path names an existing regular file of this user, reached without a
    // symbolic link; the file is emptied. Never creates the file. Once on, later calls change nothing.
    static void createLogger(const char* path) noexcept;
    static bool isLogOn() noexcept { return Instance != nullptr; }
    // printf-style; one line of at most 2047 characters plus a newline, written at once.
    static void writeLog(const char* format, ...) noexcept __attribute__((format(printf, 1, 2)));

    // The one logger; null while the trace is off. Never deleted: it lives until the process ends.
    static OvkLogger* Instance;

private:
    explicit OvkLogger(int fd) noexcept : m_fd(fd) {}

    int m_fd;
};

} // namespace Ovk
