// A test with a scanner of its own: a k3100-emulator process on a private socket, and private folders for
// the scanner lock and the preferences, so that tests running side by side never share a scanner.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace test {

class EmulatorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "k3100-e2e-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        mDir = pattern;
        const char* build = std::getenv("K3100_BUILD_DIR");
        mBuild = build ? build : ".";
        setenv("K3100_TWAIN_DS_DIR", (mBuild / "lib").c_str(), 1);
        setenv("K3100_LOCK_DIR", mDir.c_str(), 1);
        setenv("XDG_CONFIG_HOME", mDir.c_str(), 1);
        setenv("K3100_EMULATOR_SOCKET", Socket().c_str(), 1);
    }
    void TearDown() override {
        StopEmulator();
        std::filesystem::remove_all(mDir);
    }

    std::string Socket() const { return (mDir / "scanner").string(); }
    std::string Emulator() const { return (mBuild / "bin" / "k3100-emulator").string(); }

    // Starts the emulated scanner with its feeder loaded (emulator --load specs) and faults armed; true
    // once it serves, so that a scan never races its start.
    bool StartEmulator(const std::vector<std::string>& loads, const std::vector<std::string>& faults = {}) {
        std::vector<std::string> args{Emulator(), "--socket", Socket()};
        for (const std::string& load : loads)
            args.insert(args.end(), {"--load", load});
        for (const std::string& fault : faults)
            args.insert(args.end(), {"--fault", fault});
        mEmulator = Spawn(args);
        for (int i = 0; mEmulator > 0 && i < 500; ++i) {
            // Asked only once its socket exists, so that the wait stays quiet.
            if (std::filesystem::exists(Socket()) && Control("status") == 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    void StopEmulator() {
        if (mEmulator <= 0)
            return;
        kill(mEmulator, SIGTERM);
        waitpid(mEmulator, nullptr, 0);
        mEmulator = -1;
    }

    // Sends one control to the running emulator; its exit status, -1 when it did not exit normally.
    int Control(const std::string& text) const {
        int status = 0;
        waitpid(Spawn({Emulator(), "--socket", Socket(), "--control", text}), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::filesystem::path mDir;
    std::filesystem::path mBuild;

private:
    static pid_t Spawn(const std::vector<std::string>& args) {
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            // A test that dies (a sanitizer report) must not leave its scanner serving for ever.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        return pid;
    }

    pid_t mEmulator = -1;
};

} // namespace test
