// Cross-process lock that keeps the scanner to one user at a time.
// An exclusive flock() on a file in the lock folder: the kernel drops it when its holder dies.
#pragma once

#include <memory>
#include <string>
#include <string_view>

class CExclusiveLockObject {
public:
    // None when the lock file cannot be opened as a plain file (a symbolic link, a folder, a FIFO, no
    // access); problem (when given) then says why, naming the file. The file is created when missing and
    // never truncated or removed.
    static std::unique_ptr<CExclusiveLockObject> CreateExclusiveLockObject(std::string_view name,
                                                                           std::string* problem = nullptr);

    struct Key {
        explicit Key() = default;
    };
    CExclusiveLockObject(Key, int fd, std::string path) : mFd(fd), mPath(std::move(path)) {}
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
    const std::string& Path() const { return mPath; }

    // "$K3100_LOCK_DIR/<name>" when that variable is set (tests), else "/tmp/<name>".
    static std::string LockPath(std::string_view name);

private:
    int mFd;
    std::string mPath;
    bool mHeld = false;
};
