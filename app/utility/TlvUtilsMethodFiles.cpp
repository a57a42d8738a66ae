// File helpers that never lose data: a move never replaces an existing target (rename with
// RENAME_NOREPLACE, or a hard link, on one file system; a copy made with O_EXCL and then a delete of
// the source across file systems), and making a path reports the first component that fails.
#include "TlvUtilsMethod.h"

#include "Applications.h"
#include "FileIO.h"
#include "RunningPrograms.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

bool copyBytes(int from, int to) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(to, buffer + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno != EINTR)
                return false;
            done += w > 0 ? w : 0;
        }
    }
}

// Copies a regular file (links followed) to a target that must not exist yet, with its permission
// bits and times, flushed to disk. A failed copy leaves no target behind.
bool copyFileExclusively(const fs::path& source, const fs::path& target) {
    Fd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (in.get() < 0 || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    Fd out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777));
    if (out.get() < 0)
        return false;
    const timespec times[2] = {st.st_atim, st.st_mtim};
    const bool ok = copyBytes(in.get(), out.get()) && ::fchmod(out.get(), st.st_mode & 07777) == 0 &&
                    ::futimens(out.get(), times) == 0 && ::fsync(out.get()) == 0 && out.close();
    if (!ok)
        ::unlink(target.c_str());
    return ok;
}

// A rename that fails with EEXIST instead of replacing; file systems without RENAME_NOREPLACE get a
// hard link (which never replaces either) and an unlink.
int renameNoReplace(const fs::path& source, const fs::path& target) {
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (::link(source.c_str(), target.c_str()) != 0)
        return errno;
    ::unlink(source.c_str());
    return 0;
}

} // namespace

bool TlvUtilsMethod::enhancedMovePath(const fs::path& source, const fs::path& target) {
    struct stat st {};
    if (source.empty() || target.empty() || ::lstat(source.c_str(), &st) != 0)
        return false;
    const int error = renameNoReplace(source, target);
    if (error == 0)
        return true;
    if (error != EXDEV || !copyFileExclusively(source, target))
        return false;
    if (::unlink(source.c_str()) != 0 && errno != ENOENT) {
        // Both copies stay: the source could not be removed, and losing neither is the safe side.
        std::fprintf(stderr, "moved file kept at its old place too: %s\n", source.c_str());
    }
    return true;
}

std::optional<fnd::Data> TlvUtilsMethod::dataFromPath(const fs::path& path) {
    if (path.empty())
        return std::nullopt;
    fnd::Data bytes;
    if (fnd::readWholeFile(path, bytes, std::numeric_limits<std::uintmax_t>::max()) != fnd::ReadStatus::Ok)
        return std::nullopt;
    return bytes;
}

std::uint64_t TlvUtilsMethod::fileBytesByPath(const fs::path& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

bool TlvUtilsMethod::checkAndMakeTargetDirectory(const fs::path& path) {
    if (path.empty() || !path.is_absolute())
        return false;
    fs::path prefix;
    for (const fs::path& component : path.lexically_normal()) {
        prefix /= component;
        if (component.empty())
            continue;
        struct stat st {};
        if (::stat(prefix.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return false;
            continue;
        }
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool TlvUtilsMethod::isLaunchedApp(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec) && ws::isProgramRunning(path);
}

std::optional<fs::path> TlvUtilsMethod::defaultMailAppPath() {
    const std::optional<std::string> id = ws::defaultApplicationId("x-scheme-handler/mailto");
    return id ? ws::findDesktopFile(*id) : std::nullopt;
}
