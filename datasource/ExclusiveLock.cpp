// The lock file is opened without following links and without O_TRUNC, so a planted link or a foreign
// file can neither redirect nor damage anything; the lock itself lives in the kernel, not in the file.
#include "ExclusiveLock.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Read-only is enough for flock(); O_NONBLOCK keeps a planted FIFO from hanging the open.
constexpr int kOpenFlags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
// Readable by everyone so that every user's process can take the same lock; nobody needs to write it.
constexpr mode_t kFileMode = 0644;

int OpenLockFile(const std::string& path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = open(path.c_str(), kOpenFlags);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        // Create separately: O_CREAT on another user's file in a sticky folder is refused by the kernel.
        fd = open(path.c_str(), kOpenFlags | O_CREAT | O_EXCL, kFileMode);
        if (fd >= 0) {
            fchmod(fd, kFileMode); // undo a restrictive umask
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

std::nullptr_t Refuse(std::string* problem, const std::string& path, const std::string& why) {
    if (problem)
        *problem = "the scanner lock " + path + " " + why;
    return nullptr;
}

} // namespace

std::string CExclusiveLockObject::LockPath(std::string_view name) {
    const char* dir = std::getenv("K3100_LOCK_DIR");
    std::string path = (dir && *dir) ? dir : "/tmp";
    path += '/';
    path += name;
    return path;
}

std::unique_ptr<CExclusiveLockObject> CExclusiveLockObject::CreateExclusiveLockObject(std::string_view name,
                                                                                      std::string* problem) {
    if (name.empty() || name.find('/') != std::string_view::npos)
        return nullptr;
    std::string path = LockPath(name);
    int fd = OpenLockFile(path);
    // O_NOFOLLOW refuses a symbolic link with ELOOP; say so rather than "too many levels of links".
    if (fd < 0 && errno == ELOOP)
        return Refuse(problem, path, "is a symbolic link");
    if (fd < 0)
        return Refuse(problem, path, std::string("cannot be opened: ") + std::strerror(errno));
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return Refuse(problem, path, "is not a plain file");
    }
    try {
        return std::make_unique<CExclusiveLockObject>(Key{}, fd, std::move(path));
    } catch (...) {
        close(fd);
        throw;
    }
}

CExclusiveLockObject::~CExclusiveLockObject() {
    UnlockObject();
    close(mFd);
}

bool CExclusiveLockObject::LockObject() {
    if (mHeld)
        return true;
    int rc;
    do {
        rc = flock(mFd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    mHeld = (rc == 0);
    return mHeld;
}

int CExclusiveLockObject::UnlockObject() {
    if (!mHeld)
        return 0;
    if (flock(mFd, LOCK_UN) != 0)
        return -1;
    mHeld = false;
    return 0;
}
