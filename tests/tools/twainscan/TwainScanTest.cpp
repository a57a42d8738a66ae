// twainscan from the outside: its command line, the listing through the source manager, and a scan that
// cannot succeed, which must end with a message and a non-zero status and leave no files behind.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "QSCapIds.h"
#include "ScanOptions.h"

namespace {

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

    SRun Run(const std::string& arguments) const {
        const std::string build = std::getenv("K3100_BUILD_DIR") ? std::getenv("K3100_BUILD_DIR") : ".";
        const std::string command = "env K3100_TWAIN_DS_DIR='" + build + "/lib' K3100_LOCK_DIR='" +
                                    mDir.string() + "' XDG_CONFIG_HOME='" + mDir.string() +
                                    "' K3100_EMULATOR_SOCKET='" + (mDir / "no-scanner").string() + "' '" +
                                    build + "/bin/twainscan' " + arguments + " 2>&1";
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

    fs::path mDir;
};

TEST_F(TwainScan, ListsTheScannersDataSource) {
    const SRun run = Run("--list");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("K-3100"), std::string::npos) << run.output;
}

TEST_F(TwainScan, ScanWithoutAScannerFailsClearlyAndWritesNothing) {
    const fs::path out = mDir / "pages";
    const SRun run = Run("--output '" + out.string() + "' --pixel-type grey --resolution 300");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(run.output.rfind("twainscan: ", 0), 0u) << run.output;
    EXPECT_TRUE(!fs::exists(out) || fs::is_empty(out));
}

TEST_F(TwainScan, BadCommandLinesAreRefusedWithUsage) {
    for (const char* arguments :
         {"", "--output x --resolution 0", "--output x --pixel-type purple", "--frobnicate"}) {
        const SRun run = Run(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.output.find("usage:"), std::string::npos) << arguments;
    }
}

TEST(ScanOptions, OptionsBecomeCapabilitySettingsInOrder) {
    const char* argv[] = {"twainscan", "--output",     "o",       "--duplex", "--resolution",
                          "600",       "--blank-skip", "--count", "3"};
    std::string error;
    const auto options = twainscan::ParseScanOptions(std::size(argv), argv, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->outputFolder, "o");
    std::vector<std::pair<std::uint16_t, double>> settings;
    for (const auto& s : options->settings)
        settings.emplace_back(s.capId, s.value);
    const std::vector<std::pair<std::uint16_t, double>> expected{{CAP_DUPLEXENABLED, 1},
                                                                 {ICAP_XRESOLUTION, 600},
                                                                 {ICAP_YRESOLUTION, 600},
                                                                 {CCAP_OVK_BLANKSKIP, 1},
                                                                 {CAP_XFERCOUNT, 3}};
    EXPECT_EQ(settings, expected);
}

} // namespace
