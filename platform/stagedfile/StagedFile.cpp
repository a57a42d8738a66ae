// Publishing an unnamed file is linkat() of its descriptor, which never replaces a name; a named one
// moves with renameat2(RENAME_NOREPLACE), or by a hard link where the file system lacks that.
#include "StagedFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fnd {
namespace {

constexpr char kPartSuffix[] = ".part";

std::string folderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// The writer's process id of a hidden name ".NAME.PID-N.part", or 0 for any other name.
pid_t writerOf(const std::string& name) {
    const size_t suffix = name.size() - (sizeof kPartSuffix - 1);
    if (name.size() <= sizeof kPartSuffix || name[0] != '.' ||
        name.compare(suffix, std::string::npos, kPartSuffix) != 0)
        return 0;
    const size_t dash = name.rfind('-', suffix);
    const size_t dot = dash == std::string::npos ? dash : name.rfind('.', dash);
    if (dot == std::string::npos || dot + 1 >= dash)
        return 0;
    pid_t pid = 0;
    for (size_t i = dot + 1; i < dash; ++i) {
        if (name[i] < '0' || name[i] > '9' || pid > 99999999)
            return 0;
        pid = pid * 10 + (name[i] - '0');
    }
    return pid;
}

// Removes the hidden files of this user's writers that are no longer running.
void removeLeftParts(const std::string& folder) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const pid_t writer = writerOf(entry->d_name);
        if (writer <= 0 || writer == ::getpid() || ::kill(writer, 0) == 0 || errno != ESRCH)
            continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
}

} // namespace

std::unique_ptr<StagedFile> StagedFile::create(const std::string& path, Naming naming) {
    const std::string folder = folderOf(path);
    if (naming == Naming::UnnamedWherePossible) {
        const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::make_unique<StagedFile>(Key{}, fd, std::string());
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return nullptr;
    }
    removeLeftParts(folder);
    static std::atomic<unsigned> serial{0};
    const std::filesystem::path target(path);
    std::string hidden(1, '.');
    hidden += target.filename().string();
    const std::string partPath = (target.parent_path() / hidden).string() + "." + std::to_string(::getpid()) +
                                 "-" + std::to_string(++serial) + kPartSuffix;
    const int fd = ::open(partPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    return std::make_unique<StagedFile>(Key{}, fd, partPath);
}

StagedFile::StagedFile(Key, int fd, std::string partPath) : fd_(fd), partPath_(std::move(partPath)) {
    // Others may read what the umask lets them, never change it.
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && (info.st_mode & S_IWOTH) != 0)
        static_cast<void>(::fchmod(fd_, info.st_mode & 0777 & ~mode_t{S_IWOTH}));
}

StagedFile::~StagedFile() {
    ::close(fd_);
    if (!published_ && !partPath_.empty())
        ::unlink(partPath_.c_str());
}

std::string StagedFile::openPath() const {
    return partPath_.empty() ? "/proc/self/fd/" + std::to_string(fd_) : partPath_;
}

bool StagedFile::publish(const std::string& path) {
    if (published_) {
        errno = EINVAL;
        return false;
    }
    if (partPath_.empty()) {
        // Naming a descriptor directly needs a privilege; its /proc link does the same for anyone.
        if (::linkat(fd_, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) != 0) {
            if (errno == EEXIST)
                return false;
            const std::string self = "/proc/self/fd/" + std::to_string(fd_);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0)
                return false;
        }
    } else if (::renameat2(AT_FDCWD, partPath_.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS)
            return false;
        if (::link(partPath_.c_str(), path.c_str()) != 0)
            return false;
        ::unlink(partPath_.c_str());
    }
    published_ = true;
    return true;
}

} // namespace fnd
