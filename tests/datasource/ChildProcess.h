// Second processes in tests: a forked child that runs a function, reports one byte through a pipe and
// waits to be killed (the parent reads the byte to know the child has done its part), and spawned programs.
#pragma once

#include <csignal>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace test {

class ChildProcess {
public:
    // body returns the byte to report; the child then sleeps until killed (or exits when told to).
    explicit ChildProcess(const std::function<char()>& body, bool exitAfter = false) {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        mPid = fork();
        if (mPid == 0) {
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

// Runs the program args[0] with args; returns its process id.
inline pid_t spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Waits for the process; its exit status, or -1 when it did not exit normally.
inline int exitStatus(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace test
