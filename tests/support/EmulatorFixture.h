// A test with a scanner of its own: a k3100-emulator process on a private socket, and private folders for
// the scanner lock and the preferences, so that tests running side by side never share a scanner.
#pragma once

#include "EmulatorProcess.h"
#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
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
        mEmulator = std::make_unique<EmulatorProcess>(Socket());
        SetEnv("K3100_TWAIN_DS_DIR", (mBuild / "lib").string());
        SetEnv("K3100_LOCK_DIR", mDir.string());
        SetEnv("XDG_CONFIG_HOME", mDir.string());
        SetEnv("K3100_EMULATOR_SOCKET", Socket());
    }
    void TearDown() override {
        StopEmulator();
        while (!mEnv.empty())
            mEnv.pop_back();
        std::filesystem::remove_all(mDir);
    }

    // Sets a variable for this test alone: the next test in the process meets the one from before.
    void SetEnv(const char* name, const std::string& value) {
        mEnv.push_back(std::make_unique<ScopedEnv>(name, value.c_str()));
    }

    std::string Socket() const { return (mDir / "scanner").string(); }
    std::string Emulator() const { return mEmulator->Program(); }

    // Starts the emulated scanner with its feeder loaded (emulator --load specs) and faults armed; true
    // once it serves, so that a scan never races its start.
    bool StartEmulator(const std::vector<std::string>& loads, const std::vector<std::string>& faults = {}) {
        std::vector<std::string> options;
        for (const std::string& load : loads)
            options.insert(options.end(), {"--load", load});
        for (const std::string& fault : faults)
            options.insert(options.end(), {"--fault", fault});
        const ::testing::AssertionResult serving = mEmulator->Start(options);
        if (!serving)
            ADD_FAILURE() << serving.message();
        return static_cast<bool>(serving);
    }

    void StopEmulator() {
        if (mEmulator)
            mEmulator->Stop();
    }

    // The emulated scanner stops answering, or answers again.
    void PauseEmulator(bool paused) {
        if (mEmulator)
            mEmulator->Pause(paused);
    }

    // Sends one control to the running emulator; its exit status, -1 when it did not exit normally.
    int Control(const std::string& text) const { return mEmulator->Control(text); }

    std::filesystem::path mDir;
    std::filesystem::path mBuild;

private:
    std::unique_ptr<EmulatorProcess> mEmulator;
    std::vector<std::unique_ptr<ScopedEnv>> mEnv; // restored last to first
};

} // namespace test
