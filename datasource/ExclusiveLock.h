// Cross-process lock that keeps the scanner to one process at a time, whoever runs it.
// An exclusive flock() on a file: the kernel drops it when its holder dies, and nothing is ever written.
#pragma once

#include "FileDescriptor.h"

#include <memory>
#include <string>
#include <string_view>

class CExclusiveLockObject {
public:
    // The lock file is the shared one (LockPath), made when missing where its folder allows. Where no
    // other user can plant, remove or swap a name on the way to it (the installed lock), it alone is
    // the lock. Anywhere else the user's own lock in the private runtime folder, kept for that shared
    // path, is always taken as well, and alone when the shared name cannot serve (the folder is missing,
    // or the name is held by a link, a FIFO, a folder, a file this user may not open or a file of another
    // user but root): so every program of the user meets its others at one lock, whatever another user
    // plants or removes there, and a name planted in a shared folder never keeps the scanner from anyone.
    // None only when what is needed cannot be opened; problem (when given) then says why.
    static std::unique_ptr<CExclusiveLockObject> CreateExclusiveLockObject(std::string_view name,
                                                                           std::string* problem = nullptr);

    struct Key {
        explicit Key() = default;
    };
    // shared or own may be invalid, not both; path names the lock other users meet at.
    CExclusiveLockObject(Key, fnd::FileDescriptor shared, fnd::FileDescriptor own, std::string path)
        : mShared(std::move(shared)), mOwn(std::move(own)), mPath(std::move(path)) {}
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
    // The shared lock file where it serves, else the user's own.
    const std::string& Path() const { return mPath; }

    // The shared lock file: "$K3100_LOCK_DIR/<name>" when that variable is set (tests), else <name> in
    // the folder the install makes for it, which only root may change.
    static std::string LockPath(std::string_view name);

private:
    fnd::FileDescriptor mShared; // invalid where the shared name cannot serve
    fnd::FileDescriptor mOwn;    // invalid where the shared lock alone serves
    std::string mPath;
    bool mHeld = false;
};
