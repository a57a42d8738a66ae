// A program handed work and still running when its caller stopped waiting is reaped here once it ends,
// so that it never stays a zombie. One thread watches the children's pidfds while any is left and is
// joined, never detached; one still running at exit is left to the system, which reaps it then. Where
// the system gives no pidfds, the thread asks after those children a few times a second instead.
#pragma once

#include "FileDescriptor.h"

#include <mutex>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace ws {

class ChildReaper {
public:
    static ChildReaper& shared();
    ~ChildReaper();
    ChildReaper(const ChildReaper&) = delete;
    ChildReaper& operator=(const ChildReaper&) = delete;

    // Takes the pidfd of an unreaped child of this process.
    void adopt(fnd::FileDescriptor pidfd);
    // Takes an unreaped child of this process that has no pidfd.
    void adopt(pid_t pid);

private:
    ChildReaper();
    // Hands what the locked caller added to the thread, starting it when none runs.
    void watchLocked();
    void run();
    void wake() const;

    fnd::FileDescriptor mWake; // an eventfd: new children, or the end
    std::mutex mLock;          // the four below
    std::vector<fnd::FileDescriptor> mAdopted;
    std::vector<pid_t> mAdoptedWithoutPidfd;
    bool mWatching = false; // the thread runs and will look at mAdopted again
    bool mEnding = false;
    std::thread mThread;
};

} // namespace ws
