// Every user of the scanner must meet at one lock file, yet no user may be able to take that name away
// from the others. The install makes the file, root's and readable by all, in a folder only root may
// change: nobody can plant anything there, and a lock held by a live process ends with it. In any other
// folder (K3100_LOCK_DIR, an install without its folder) another user may plant the name, remove it or
// move the file away between two of this user's programs, so that one would lock a file the other never
// saw: there the user's own lock, which nobody else can touch, keeps this user's programs together, and
// the shared one, where it serves, keeps the users apart. The file is opened without following links
// and never truncated, so a planted name can neither redirect nor damage anything.
#include "ExclusiveLock.h"

#include "PrivateFolder.h"

#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
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

// Whether no user but root and this one can plant, remove or swap a name on the way to the lock file:
// its folder and every one above it belong to one of them and none is a link; the folder is written by
// them alone, and those above it by them alone or sticky (where nobody moves what is not theirs).
bool HoldsStill(const std::filesystem::path& path) {
    const auto trusted = [](uid_t owner) { return owner == 0 || owner == geteuid(); };
    std::filesystem::path folder = path.parent_path();
    for (bool lockFolder = true;; lockFolder = false) {
        struct stat info {};
        if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || !trusted(info.st_uid))
            return false;
        const bool writtenByOthers = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        if (writtenByOthers && (lockFolder || (info.st_mode & S_ISVTX) == 0))
            return false;
        if (folder == folder.root_path())
            return true;
        folder = folder.parent_path();
    }
}

// The user's own lock stands for one shared lock: programs pointed at different lock folders stay as
// far apart as their shared locks would keep them.
std::string OwnLockName(std::string_view name, const std::filesystem::path& sharedPath) {
    std::uint64_t hash = 14695981039346656037u; // FNV-1a
    for (const unsigned char byte : sharedPath.string())
        hash = (hash ^ byte) * 1099511628211u;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016" PRIx64, hash);
    return std::string(name) + "-" + digits;
}

// The user's own lock in the private runtime folder (path receives its name), or invalid with why.
fnd::FileDescriptor OpenOwnLock(const std::string& name, std::string& path, std::string& why) {
    const fnd::PrivateFolder own = fnd::PrivateFolder::runtime(&why);
    fnd::FileDescriptor fd = own.openFile(name, O_RDONLY | O_CREAT);
    path = (own.path() / name).string();
    if (own.valid() && !fd.valid())
        why = path + " cannot be opened: " + std::strerror(errno);
    return fd;
}

bool TryLock(const fnd::FileDescriptor& fd) {
    int rc;
    do {
        rc = flock(fd.get(), LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

bool Unlock(const fnd::FileDescriptor& fd) {
    return !fd.valid() || flock(fd.get(), LOCK_UN) == 0;
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
    std::error_code ignored;
    const std::filesystem::path normal = std::filesystem::absolute(path, ignored).lexically_normal();
    std::string sharedWhy;
    fnd::FileDescriptor shared = OpenSharedLock(path, sharedWhy);
    if (shared.valid() && HoldsStill(normal))
        return std::make_unique<CExclusiveLockObject>(Key{}, std::move(shared), fnd::FileDescriptor(),
                                                      std::move(path));
    std::string ownPath;
    std::string ownWhy;
    fnd::FileDescriptor own = OpenOwnLock(OwnLockName(name, normal), ownPath, ownWhy);
    if (own.valid()) {
        std::string met = shared.valid() ? std::move(path) : std::move(ownPath);
        return std::make_unique<CExclusiveLockObject>(Key{}, std::move(shared), std::move(own),
                                                      std::move(met));
    }
    if (problem)
        *problem = "the scanner lock " + path +
                   (shared.valid() ? " lies where other users may change it, and no lock of this user's own "
                                     "goes with it: "
                                   : " " + sharedWhy + ", and no lock of this user's own: ") +
                   ownWhy;
    return nullptr;
}

CExclusiveLockObject::~CExclusiveLockObject() {
    UnlockObject();
}

// The user's own lock first: another program of the user is refused there whatever became of the
// shared name.
bool CExclusiveLockObject::LockObject() {
    if (mHeld)
        return true;
    if (mOwn.valid() && !TryLock(mOwn))
        return false;
    if (mShared.valid() && !TryLock(mShared)) {
        Unlock(mOwn);
        return false;
    }
    mHeld = true;
    return true;
}

int CExclusiveLockObject::UnlockObject() {
    if (!mHeld)
        return 0;
    const bool sharedReleased = Unlock(mShared);
    if (!Unlock(mOwn) || !sharedReleased)
        return -1;
    mHeld = false;
    return 0;
}
