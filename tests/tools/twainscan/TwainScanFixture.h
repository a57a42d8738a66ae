// Runs the twainscan program as a user would, against an emulated scanner of its own, in a private
// folder for the pages, the scanner lock and the data source's settings.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "EmulatorProcess.h"

namespace test {

namespace fs = std::filesystem;

struct SRun {
    int status = -1;
    std::string output; // stdout and stderr together
};

class TwainScan : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "twainscan-XXXXXX").string();
        ASSERT_TRUE(mkdtemp(pattern.data()));
        mDir = pattern;
    }
    void TearDown() override { fs::remove_all(mDir); }

    // feeder: the emulator's --load argument; empty runs without a scanner. fault: its --fault argument.
    // shell: commands run just before twainscan in its shell (limits).
    SRun Run(const std::string& arguments, const std::string& feeder = "", const std::string& fault = "",
             const std::string& shell = "") const {
        std::vector<std::string> options;
        if (!feeder.empty())
            options = {"--load", feeder};
        if (!feeder.empty() && !fault.empty())
            options.insert(options.end(), {"--fault", fault});
        return RunWith(arguments, options, shell);
    }
    // emulator: the emulated scanner's options; empty runs without a scanner. home: the folder of the
    // scanner's socket, its lock and the data source's settings (runs in different ones are apart).
    SRun RunWith(const std::string& arguments, const std::vector<std::string>& emulator,
                 const std::string& shell = "", const fs::path& home = {}) const {
        const fs::path folder = home.empty() ? mDir : home;
        const std::string socket = (folder / (emulator.empty() ? "no-scanner" : "scanner")).string();
        const std::string command = shell + "env " + Environment(folder, socket) + " '" + Build() +
                                    "/bin/twainscan' " + arguments + " 2>&1";
        test::EmulatorProcess scanner(socket);
        if (!emulator.empty()) {
            const ::testing::AssertionResult serving = scanner.Start(emulator);
            if (!serving) {
                ADD_FAILURE() << serving.message();
                return {};
            }
        }
        SRun run;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return run;
        std::array<char, 512> chunk{};
        while (std::fgets(chunk.data(), chunk.size(), pipe))
            run.output += chunk.data();
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }

    static std::string Build() {
        return std::getenv("K3100_BUILD_DIR") ? std::getenv("K3100_BUILD_DIR") : ".";
    }
    // The variables that give a run its data source, lock folder, settings and scanner.
    static std::string Environment(const fs::path& folder, const std::string& socket) {
        return "K3100_TWAIN_DS_DIR='" + Build() + "/lib' K3100_LOCK_DIR='" + folder.string() +
               "' XDG_CONFIG_HOME='" + folder.string() + "' K3100_EMULATOR_SOCKET='" + socket + "'";
    }

    fs::path mDir;
};

// The whole pages a run left in folder.
inline std::size_t PagesIn(const fs::path& folder) {
    std::size_t pages = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        pages += entry.path().extension() == ".tif" && fs::file_size(entry.path()) > 0 ? 1 : 0;
    return pages;
}

// What a fault in the middle of a batch must leave: a failed run that names the sheet to feed again,
// and every page before it.
inline void ExpectEndedEarlyAfter(const SRun& run, const fs::path& out, const std::string& fault, int pages) {
    const std::string after = " after page " + std::to_string(pages);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("twainscan: " + fault + after + ": " + std::to_string(pages) +
                              " pages written; the batch ended early: feed again from the sheet" + after),
              std::string::npos)
        << run.output;
    EXPECT_EQ(PagesIn(out), std::size_t(pages)) << run.output;
}

} // namespace test
