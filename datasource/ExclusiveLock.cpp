// Every user of the scanner must meet at one lock file, yet no user may be able to take that name away
// from the others. The install makes the file, root's and readable by all, in a folder only root may
// change: nobody can plant anything there, and a lock held by a live process ends with it. Any other
// folder (K3100_LOCK_DIR, an install without its folder) may hold a name someone planted; then the user's
// own lock keeps this user's programs apart instead of keeping the scanner from everyone. The file is
// opened without following links and never truncated, so a planted name can neither redirect nor damage
// anything.
#include "ExclusiveLock.h"

#include "PrivateFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef K3100_SCANNER_LOCK_DIR
#error "K3100_SCANNER_LOCK_DIR names the folder of the shared scanner lock"
#endif

namespace {

// Read-only is enough for flock(); O_NONBLOCK keeps a planted FIFO from hanging the open.
constexpr int kOpenFlags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
// Readable by everyone so that every user's process can take the same lock; nobody needs to write it.
constexpr mode_t kFileMode = 0644;

int OpenOrCreate(const std::string& path) {
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

// The shared lock file, or invalid with why.
fnd::FileDescriptor OpenSharedLock(const std::string& path, std::string& why) {
    fnd::FileDescriptor fd(OpenOrCreate(path));
    struct stat info {};
    // O_NOFOLLOW refuses a symbolic link with ELOOP; say so rather than "too many levels of links".
    if (!fd.valid())
        why =
            errno == ELOOP ? "is a symbolic link" : std::string("cannot be opened: ") + std::strerror(errno);
    else if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        why = "is not a plain file";
    // Its owner may swap another file in under the name while our process holds this one, and the next
    // of our processes would then lock that one: only root's file or our own holds still.
    else if (info.st_uid != 0 && info.st_uid != geteuid())
        why = "belongs to another user";
    if (!why.empty())
        fd.close();
    return fd;
}

// The user's own lock in the private runtime folder (path receives its name), or invalid with why.
fnd::FileDescriptor OpenOwnLock(std::string_view name, std::string& path, std::string& why) {
    const fnd::PrivateFolder own = fnd::PrivateFolder::runtime(&why);
    fnd::FileDescriptor fd = own.openFile(name, O_RDONLY | O_CREAT);
    path = (own.path() / name).string();
    if (own.valid() && !fd.valid())
        why = path + " cannot be opened: " + std::strerror(errno);
    return fd;
}

} // namespace

std::string CExclusiveLockObject::LockPath(std::string_view name) {
    const char* dir = std::getenv("K3100_LOCK_DIR");
    std::string path = (dir && *dir) ? dir : K3100_SCANNER_LOCK_DIR;
    path += '/';
    path += name;
    return path;
}

std::unique_ptr<CExclusiveLockObject> CExclusiveLockObject::CreateExclusiveLockObject(std::string_view name,
                                                                                      std::string* problem) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos)
        return nullptr;
    std::string path = LockPath(name);
    std::string sharedWhy;
    fnd::FileDescriptor fd = OpenSharedLock(path, sharedWhy);
    if (fd.valid())
        return std::make_unique<CExclusiveLockObject>(Key{}, std::move(fd), std::move(path));
    std::string ownPath;
    std::string ownWhy;
    fd = OpenOwnLock(name, ownPath, ownWhy);
    if (fd.valid())
        return std::make_unique<CExclusiveLockObject>(Key{}, std::move(fd), std::move(ownPath));
    if (problem)
        *problem =
            "the scanner lock " + path + " " + sharedWhy + ", and no lock of this user's own: " + ownWhy;
    return nullptr;
}

CExclusiveLockObject::~CExclusiveLockObject() {
    UnlockObject();
}

bool CExclusiveLockObject::LockObject() {
    if (mHeld)
        return true;
    int rc;
    do {
        rc = flock(mFd.get(), LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    mHeld = (rc == 0);
    return mHeld;
}

int CExclusiveLockObject::UnlockObject() {
    if (!mHeld)
        return 0;
    if (flock(mFd.get(), LOCK_UN) != 0)
        return -1;
    mHeld = false;
    return 0;
}
