// A program handed work and still running when its caller stopped waiting is reaped here once it ends,
// so that it never stays a zombie. One thread watches the children's pidfds while any is left and is
// joined, never detached; one still running at exit is left to the system, which reaps it then.
#pragma once

#include "FileDescriptor.h"

#include <mutex>
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

private:
    ChildReaper();
    void run();
    void wake() const;

    fnd::FileDescriptor mWake; // an eventfd: new children, or the end
    std::mutex mLock;          // the three below
    std::vector<fnd::FileDescriptor> mAdopted;
    bool mWatching = false; // the thread runs and will look at mAdopted again
    bool mEnding = false;
    std::thread mThread;
};

} // namespace ws
