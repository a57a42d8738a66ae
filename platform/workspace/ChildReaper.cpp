// See ChildReaper.h. The thread ends when no child is left, so an idle program keeps no thread for it.
#include "ChildReaper.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdint>

namespace ws {

ChildReaper& ChildReaper::shared() {
    static ChildReaper reaper;
    return reaper;
}

ChildReaper::ChildReaper() : mWake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ChildReaper::~ChildReaper() {
    {
        std::lock_guard lock(mLock);
        mEnding = true;
    }
    wake();
    if (mThread.joinable())
        mThread.join();
}

void ChildReaper::adopt(fnd::FileDescriptor pidfd) {
    if (!mWake.valid())
        return; // a watch that nothing could end would hold up the exit: left to the system then
    std::lock_guard lock(mLock);
    mAdopted.push_back(std::move(pidfd));
    watchLocked();
}

void ChildReaper::adopt(pid_t pid) {
    if (!mWake.valid())
        return;
    std::lock_guard lock(mLock);
    mAdoptedWithoutPidfd.push_back(pid);
    watchLocked();
}

void ChildReaper::watchLocked() {
    if (mWatching) {
        wake();
        return;
    }
    // The last thread cleared mWatching as its last step under this lock: it has ended or is ending.
    if (mThread.joinable())
        mThread.join();
    mWatching = true;
    mThread = std::thread([this] { run(); });
}

void ChildReaper::wake() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(mWake.get(), &one, sizeof one);
}

void ChildReaper::run() {
    constexpr int kAskEveryMs = 200; // after children without a pidfd
    std::vector<fnd::FileDescriptor> children;
    std::vector<pid_t> childrenWithoutPidfd;
    std::vector<pollfd> watched;
    for (;;) {
        {
            std::lock_guard lock(mLock);
            for (fnd::FileDescriptor& child : mAdopted)
                children.push_back(std::move(child));
            mAdopted.clear();
            childrenWithoutPidfd.insert(childrenWithoutPidfd.end(), mAdoptedWithoutPidfd.begin(),
                                        mAdoptedWithoutPidfd.end());
            mAdoptedWithoutPidfd.clear();
            if (mEnding || (children.empty() && childrenWithoutPidfd.empty())) {
                mWatching = false;
                return;
            }
        }
        watched.assign(1, pollfd{mWake.get(), POLLIN, 0});
        for (const fnd::FileDescriptor& child : children)
            watched.push_back(pollfd{child.get(), POLLIN, 0});
        const int waitMs = childrenWithoutPidfd.empty() ? -1 : kAskEveryMs;
        if (::poll(watched.data(), watched.size(), waitMs) < 0 && errno != EINTR) {
            std::lock_guard lock(mLock);
            mWatching = false;
            return;
        }
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t read = ::read(mWake.get(), &count, sizeof count);
        // Walked backwards so that erasing keeps the rest of watched in line with children.
        for (size_t i = children.size(); i-- > 0;) {
            if (watched[i + 1].revents == 0)
                continue;
            siginfo_t info{};
            ::waitid(P_PIDFD, static_cast<id_t>(children[i].get()), &info, WEXITED);
            children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
        }
        std::erase_if(childrenWithoutPidfd, [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
    }
}

} // namespace ws
