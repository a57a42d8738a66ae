// Second processes in tests: a forked child that runs a function, reports one byte through a pipe and
// waits to be killed (the parent reads the byte to know the child has done its part).
#pragma once

#include "EndsWithTheTest.h"

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace test {

class ChildProcess {
public:
    // body returns the byte to report; the child then sleeps until killed (or exits when told to).
    explicit ChildProcess(const std::function<char()>& body, bool exitAfter = false) {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        const pid_t testProcess = getpid();
        mPid = fork();
        if (mPid == 0) {
            endWithTheTest(testProcess);
            close(fds[0]);
            const char report = body();
            (void)!write(fds[1], &report, 1);
            if (exitAfter)
                _exit(0);
            for (;;)
                pause();
        }
        close(fds[1]);
        mPipe = fds[0];
    }
    ~ChildProcess() {
        Kill();
        if (mPipe >= 0)
            close(mPipe);
    }

    // The child's report, or 0 when it died first.
    char Report() {
        char report = 0;
        return read(mPipe, &report, 1) == 1 ? report : 0;
    }
    void Kill() {
        if (mPid <= 0)
            return;
        kill(mPid, SIGKILL);
        waitpid(mPid, nullptr, 0);
        mPid = -1;
    }
    bool Started() const { return mPid > 0 && mPipe >= 0; }

private:
    pid_t mPid = -1;
    int mPipe = -1;
};

} // namespace test
