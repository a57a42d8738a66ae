// POSIX calls rather than iostreams so that every step's failure is seen: short writes, fsync and
// rename errors all abort the replacement.
#include "FileIO.h"
#include "FileDescriptor.h"
#include "WholeTransfer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fnd {
namespace {

bool fail(std::string* error, const std::string& what, const std::filesystem::path& path) {
    if (error)
        *error = what + " " + path.string() + ": " + std::strerror(errno);
    return false;
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    return transferAll(bytes.data(), bytes.size(),
                       [fd](const std::uint8_t* data, std::size_t n) { return ::write(fd, data, n); });
}

bool readAll(int fd, std::vector<std::uint8_t>& bytes) {
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
}

// Makes the rename itself durable; a folder that cannot be synced is not an error worth failing for.
void syncFolder(const std::filesystem::path& folder) {
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());
}

// A new file ".<name>.<random>" in folder, asked for with mode 0666 so that the kernel applies the
// user's umask (mkstemp would make it 0600 whatever the umask). temp receives its path.
FileDescriptor createTemporary(const std::filesystem::path& folder, const std::string& name,
                               std::string& temp) {
    constexpr int kAttempts = 100;
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int i = 0; i < kAttempts; ++i) {
        char suffix[17];
        std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
        std::string hidden = ".";
        hidden += name;
        hidden += '.';
        hidden += suffix;
        temp = (folder / hidden).string();
        FileDescriptor fd(::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.valid() || errno != EEXIST)
            return fd;
    }
    return FileDescriptor(-1);
}

// The mode of the new file: that of the regular file it replaces, else the umask's, and in either case
// never writable by everyone (a settings file others may change is a way in).
bool settleMode(int fd, const std::filesystem::path& path) {
    struct stat old {};
    struct stat created {};
    const bool replaces = ::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (!replaces && ::fstat(fd, &created) != 0)
        return false;
    const mode_t mode = (replaces ? old.st_mode : created.st_mode) & 0777 & ~mode_t{S_IWOTH};
    return ::fchmod(fd, mode) == 0;
}

} // namespace

// File systems without the no-replace rename get a hard link, which fails on an existing name just the
// same.
bool renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

ReadStatus readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                         std::uintmax_t maxBytes, std::string* error) {
    bytes.clear();
    // O_NONBLOCK: a FIFO in place of the file would hang the open until a writer came.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        fail(error, "cannot open", path);
        return missing ? ReadStatus::Missing : ReadStatus::Unreadable;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return fail(error, "cannot examine", path), ReadStatus::Unreadable;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return fail(error, "not a regular file:", path), ReadStatus::Unreadable;
    }
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        if (error)
            *error = "file too large: " + path.string();
        return ReadStatus::TooLarge;
    }
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    if (!readAll(fd.get(), bytes) || bytes.size() > maxBytes) {
        fail(error, "cannot read", path);
        bytes.clear();
        return ReadStatus::Unreadable;
    }
    return ReadStatus::Ok;
}

bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         std::string* error, Existing existing) {
    return writeFileAtomically(
        path, [bytes](int fd) { return writeAll(fd, bytes); }, error, existing);
}

bool writeFileAtomically(const std::filesystem::path& path, const std::function<bool(int fd)>& write,
                         std::string* error, Existing existing) {
    if (path.empty() || !path.has_filename()) {
        errno = EINVAL;
        return fail(error, "bad file name", path);
    }
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    std::string temp;
    FileDescriptor fd = createTemporary(folder, path.filename().string(), temp);
    if (!fd.valid())
        return fail(error, "cannot create a temporary file in", folder);

    const bool ok = settleMode(fd.get(), path) && write(fd.get()) && ::fsync(fd.get()) == 0 && fd.close() &&
                    (existing == Existing::Replace ? ::rename(temp.c_str(), path.c_str()) == 0
                                                   : renameWithoutReplacing(temp, path));
    if (!ok) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return fail(error, "cannot write", path);
    }
    syncFolder(folder);
    return true;
}

} // namespace fnd
