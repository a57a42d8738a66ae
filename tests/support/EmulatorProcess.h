// The one way tests start the k3100-emulator program: quietly, tied to the test process (a test that dies
// of a sanitizer report leaves no scanner serving), and known to serve before a test talks to it.
#pragma once

#include "EndsWithTheTest.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace test {

// Runs args[0] with args, ended with the test process, its output appended to log; its process id.
inline pid_t spawnLogged(const std::vector<std::string>& args, const std::string& log) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t testProcess = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        endWithTheTest(testProcess, SIGTERM);
        const int output = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Runs args[0] with args, its output discarded; its process id.
inline pid_t spawnQuietly(const std::vector<std::string>& args) {
    return spawnLogged(args, "/dev/null");
}

// Waits for the process; its exit status, or -1 when it did not exit normally.
inline int exitStatus(pid_t pid) {
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class EmulatorProcess {
public:
    // The emulator of the build under test (K3100_BUILD_DIR, else the working folder) on socket.
    explicit EmulatorProcess(std::string socket) : mSocket(std::move(socket)) {
        const char* build = std::getenv("K3100_BUILD_DIR");
        mProgram = (std::filesystem::path(build ? build : ".") / "bin" / "k3100-emulator").string();
    }
    ~EmulatorProcess() { Stop(); }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    // Starts the emulator with options (--load, --fault, --press ...); succeeds once it answers a
    // control, not only once its socket exists: between bind and listen connections are refused. The
    // bound only ends a hung start.
    ::testing::AssertionResult Start(const std::vector<std::string>& options = {}) {
        Stop();
        std::vector<std::string> args{mProgram, "--socket", mSocket};
        args.insert(args.end(), options.begin(), options.end());
        mPid = spawnQuietly(args);
        // Asked only once its socket exists, so that the wait stays quiet.
        const bool serving = test::waitUntil(
            [this] {
                if (mPid > 0 && waitpid(mPid, nullptr, WNOHANG) == mPid)
                    mPid = -1;
                return mPid <= 0 || (std::filesystem::exists(mSocket) && Control("status") == 0);
            },
            std::chrono::seconds(30));
        if (serving && mPid > 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the emulated scanner did not start serving " << mSocket;
    }

    // Holds the emulator still, as a scanner that stops answering, or lets it go on.
    void Pause(bool paused) {
        if (mPid > 0)
            kill(mPid, paused ? SIGSTOP : SIGCONT);
    }

    // Ends the emulator (held still or not); its exit status, -1 when none ran or it did not exit
    // normally.
    int Stop() {
        if (mPid <= 0)
            return -1;
        kill(mPid, SIGCONT);
        kill(mPid, SIGTERM);
        const int status = exitStatus(mPid);
        mPid = -1;
        return status;
    }

    // Sends one control to the running emulator; the control's exit status.
    int Control(const std::string& text) const { return Run({"--socket", mSocket, "--control", text}); }

    // Runs the emulator program once more with arguments; its exit status.
    int Run(const std::vector<std::string>& arguments) const {
        std::vector<std::string> args{mProgram};
        args.insert(args.end(), arguments.begin(), arguments.end());
        return exitStatus(spawnQuietly(args));
    }

    const std::string& Program() const { return mProgram; }
    const std::string& Socket() const { return mSocket; }

private:
    std::string mProgram;
    std::string mSocket;
    pid_t mPid = -1;
};

} // namespace test
