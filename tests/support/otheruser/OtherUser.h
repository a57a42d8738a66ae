// A second user of the machine in tests: a forked child that takes another user's ids (only root may)
// and does one thing as that user, such as planting a name in a shared folder or running a program.
#pragma once

#include "EndsWithTheTest.h"

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace test {

// "nobody" on Debian: an account that owns nothing of the tests'.
constexpr uid_t kOtherUid = 65534;
constexpr gid_t kOtherGid = 65534;

// Why a test that needs a second user cannot run here; empty when it can.
inline std::string withoutOtherUser() {
    return ::geteuid() == 0 ? "" : "needs root to act as a second user";
}

// In a child: becomes the other user; false when the ids could not be taken.
inline bool becomeOtherUser() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(kOtherGid) == 0 && ::setuid(kOtherUid) == 0;
}

// Runs body as the other user in a child process and waits for it: true when body answered true.
inline bool asOtherUser(const std::function<bool()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(becomeOtherUser() && body() ? 0 : 1);
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Starts argv as the other user (with this process's environment); its process id, -1 when the fork
// failed. The caller ends and reaps it.
inline pid_t startAsOtherUser(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t testProcess = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (becomeOtherUser()) {
            endWithTheTest(testProcess); // after the change of user, which clears it
            ::execv(args[0], args.data());
        }
        ::_exit(127);
    }
    return pid;
}

} // namespace test
