// What a test starts ends with it, however the test ends (a failure, a crash, a sanitizer's report,
// ctest's time-out, which ends the test's process and its children but not what they detached).
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test {

// In a child between fork and exec (async-signal-safe calls only), with the test's process id taken
// before the fork: the child gets signal when the test's thread that forked it ends, and leaves at once
// when the test has ended already.
inline void endWithTheTest(pid_t testProcess, int signal = SIGKILL) {
    ::prctl(PR_SET_PDEATHSIG, signal);
    if (::getppid() != testProcess)
        ::_exit(127);
}

// Programs that the test's programs start detached (a launcher's double fork) become the test's
// children instead of the system's, so that a time-out that ends the test's children ends them too.
inline void adoptDetachedPrograms() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

// A process's parent, process group and session, as /proc tells them (all 0 once it is gone).
struct ProcessIds {
    pid_t parent = 0;
    pid_t group = 0;
    pid_t session = 0;
};
inline ProcessIds processIds(pid_t pid) {
    std::string stat;
    std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/stat"), stat);
    // They follow the state, after the name, which may hold spaces and brackets itself.
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::string state;
    ProcessIds ids;
    fields >> state >> ids.parent >> ids.group >> ids.session;
    return ids;
}

// This process's children that are still running, adopted ones too.
inline std::vector<pid_t> runningChildren() {
    std::vector<pid_t> children;
    std::error_code ec; // without /proc there is nothing to find, and nothing to throw
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const auto pid = static_cast<pid_t>(std::stol(name));
        if (processIds(pid).parent == ::getpid())
            children.push_back(pid);
    }
    return children;
}

// Ends every child still running, what was adopted too (one that was still starting when its test
// ended would take its bus name later, beside the next test's programs): SIGTERM, and SIGKILL for one
// that has not ended 10 s later.
inline void endAdoptedPrograms() {
    for (std::vector<pid_t> left = runningChildren(); !left.empty(); left = runningChildren()) {
        for (const pid_t child : left)
            ::kill(child, SIGTERM);
        for (const pid_t child : left) {
            const int process = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
            pollfd ended{process, POLLIN, 0};
            if (process < 0 || ::poll(&ended, 1, 10000) != 1)
                ::kill(child, SIGKILL);
            if (process >= 0)
                ::close(process);
            ::waitpid(child, nullptr, 0);
        }
    }
}

} // namespace test
