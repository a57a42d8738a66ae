// Scans a batch end to end inside the test: a k3100-emulator process feeds the given sheets, and the pages
// come back through the source manager, K3100.ds and the page library by memory transfer, as twainscan
// receives them. Private folders for the lock, the preferences and the socket keep tests apart.
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

#include "ScanOptions.h"
#include "TwainSession.h"

namespace e2e {

namespace fs = std::filesystem;

struct SBatch {
    std::vector<SPageBitmap> pages;
    std::string error; // empty when the batch ended normally
};

class ScanHarness : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "k3100-e2e-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        mDir = pattern;
        const char* build = std::getenv("K3100_BUILD_DIR");
        mBuild = build ? build : ".";
        setenv("K3100_TWAIN_DS_DIR", (mBuild / "lib").c_str(), 1);
        setenv("K3100_LOCK_DIR", mDir.c_str(), 1);
        setenv("XDG_CONFIG_HOME", mDir.c_str(), 1);
        setenv("K3100_EMULATOR_SOCKET", (mDir / "scanner").c_str(), 1);
    }
    void TearDown() override {
        StopEmulator();
        fs::remove_all(mDir);
    }

    std::string Sample(const std::string& name) const {
        return (mBuild / "share/k3100/samples" / name).string();
    }

    // sheets: emulator --load specs, one sheet each; options: twainscan's command-line options.
    SBatch Scan(const std::vector<std::string>& sheets, std::vector<std::string> options) {
        SBatch batch;
        if (!StartEmulator(sheets)) {
            batch.error = "the emulator did not start";
            return batch;
        }
        options.insert(options.begin(), {"twainscan", "--output", mDir.string()});
        std::vector<const char*> argv;
        for (const std::string& option : options)
            argv.push_back(option.c_str());
        const auto parsed = twainscan::ParseScanOptions(int(argv.size()), argv.data(), batch.error);
        if (!parsed)
            return batch;
        try {
            twainscan::CTwainSession session;
            session.OpenSource(parsed->source);
            for (const twainscan::SCapSetting& setting : parsed->settings)
                session.Set(setting);
            session.Enable();
            for (bool more = true; more;) {
                SPageBitmap page;
                if (session.TransferPage(page) == twainscan::EPageResult::kCancelled)
                    break;
                batch.pages.push_back(std::move(page));
                more = session.EndTransfer();
            }
            session.Close();
        } catch (const twainscan::ScanError& failure) {
            batch.error = failure.what();
        }
        StopEmulator();
        return batch;
    }

private:
    bool StartEmulator(const std::vector<std::string>& sheets) {
        std::vector<std::string> args{(mBuild / "bin/k3100-emulator").string(), "--socket",
                                      (mDir / "scanner").string()};
        for (const std::string& sheet : sheets)
            args.insert(args.end(), {"--load", sheet});
        mEmulator = Spawn(args);
        // It answers a control only once it serves, so the scan never races its start.
        for (int i = 0; i < 500; ++i) {
            const pid_t probe = Spawn({args[0], "--socket", args[2], "--control", "status"});
            int status = 0;
            waitpid(probe, &status, 0);
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
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

    fs::path mDir;
    fs::path mBuild;
    pid_t mEmulator = -1;
};

} // namespace e2e
