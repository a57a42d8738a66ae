// Cross-process lock that keeps the scanner to one process at a time, whoever runs it.
// An exclusive flock() on a file: the kernel drops it when its holder dies, and nothing is ever written.
#pragma once

#include "FileDescriptor.h"

#include <memory>
#include <string>
#include <string_view>

class CExclusiveLockObject {
public:
    // The lock file is the shared one (LockPath), made when missing where its folder allows. When that
    // name cannot serve as a lock (the folder is missing, or the name is held by a link, a FIFO, a
    // folder, a file this user may not open or a file of another user but root), the user's own lock in
    // the private runtime folder takes its place, so that a name planted in a shared folder can never
    // keep the scanner from anyone nor let two of the user's processes hold it at once.
    // None only when neither can be opened; problem (when given) then says why, naming both.
    static std::unique_ptr<CExclusiveLockObject> CreateExclusiveLockObject(std::string_view name,
                                                                           std::string* problem = nullptr);

    struct Key {
        explicit Key() = default;
    };
    CExclusiveLockObject(Key, fnd::FileDescriptor fd, std::string path)
        : mFd(std::move(fd)), mPath(std::move(path)) {}
    ~CExclusiveLockObject();
    CExclusiveLockObject(const CExclusiveLockObject&) = delete;
    CExclusiveLockObject& operator=(const CExclusiveLockObject&) = delete;

    // Never blocks: true when this object holds the lock afterwards. Another lock object of the same name,
    // in this process or another, refuses while this one holds it.
    bool LockObject();
    // Releases the lock when this object holds it; a non-holder changes nothing. 0, or -1 when the kernel
    // refused the release.
    int UnlockObject();

    bool IsHeld() const { return mHeld; }
    // The file locked: the shared one, or the user's own.
    const std::string& Path() const { return mPath; }

    // The shared lock file: "$K3100_LOCK_DIR/<name>" when that variable is set (tests), else <name> in
    // the folder the install makes for it, which only root may change.
    static std::string LockPath(std::string_view name);

private:
    fnd::FileDescriptor mFd;
    std::string mPath;
    bool mHeld = false;
};
