// A Qt host that ends while K3100.ds is still open, in every TWAIN state from 4 to 7, with the dialog
// shown, for its settings only, or without it: the program ends as it meant to, with no sanitizer
// report, whatever the process's exit handlers destroy first. The host (EndingHost.cpp) links nothing
// of the project but the source manager, so the data source, not the host, makes the foundation's
// singletons.
#include "EmulatorFixture.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

namespace {

struct SHostEnd {
    const char* state;
    const char* dialog; // "dialog", "settings" or "none"
    const char* end;    // "exit": exit(0) from the event loop; "quit": main returns
};

std::string Name(const testing::TestParamInfo<SHostEnd>& info) {
    return std::string("State") + info.param.state + "_" + info.param.dialog + "_" + info.param.end;
}

void PrintTo(const SHostEnd& end, std::ostream* out) {
    *out << "state " << end.state << ", " << end.dialog << ", " << end.end;
}

std::string Read(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

class HostEnd : public test::EmulatorFixture, public testing::WithParamInterface<SHostEnd> {};

TEST_P(HostEnd, TheHostEndsAsItMeantTo) {
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 3"}));
    const SHostEnd& end = GetParam();
    const std::string log = (mDir / "host.log").string();
    const int status =
        test::exitStatus(test::spawnLogged({ENDING_HOST, end.state, end.dialog, end.end}, log));
    EXPECT_EQ(status, 0) << Read(log);
}

INSTANTIATE_TEST_SUITE_P(EveryState, HostEnd,
                         testing::Values(SHostEnd{"4", "none", "exit"}, SHostEnd{"5", "dialog", "exit"},
                                         SHostEnd{"5", "settings", "exit"}, SHostEnd{"6", "dialog", "exit"},
                                         SHostEnd{"6", "none", "exit"}, SHostEnd{"7", "dialog", "exit"},
                                         SHostEnd{"7", "none", "exit"}, SHostEnd{"5", "dialog", "quit"},
                                         SHostEnd{"5", "settings", "quit"}, SHostEnd{"7", "dialog", "quit"}),
                         Name);

// A private X server, ended with the test.
class XServer {
public:
    XServer(const std::string& program, const std::string& log)
        : mPid(test::spawnLogged(
              {program, "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"}, log)),
          mLog(log) {}
    ~XServer() { Kill(); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // ":<number>" once the server serves it; empty until then.
    std::string Display() const {
        std::istringstream lines(Read(mLog));
        for (std::string line; std::getline(lines, line);)
            if (!line.empty() && line.find_first_not_of("0123456789") == std::string::npos)
                return ":" + line;
        return {};
    }
    void Kill() {
        if (mPid <= 0)
            return;
        kill(mPid, SIGKILL);
        test::exitStatus(mPid);
        mPid = -1;
    }

private:
    pid_t mPid;
    std::string mLog;
};

class HostEndWithTheDisplay : public test::EmulatorFixture, public testing::WithParamInterface<SHostEnd> {};

// The X server gone, as at logout: Qt ends the program itself from inside its event handling (status 1),
// the application and the dialog still standing. The leak check is left to the cases above: Qt's own
// session-bus thread may leave its last message behind here.
TEST_P(HostEndWithTheDisplay, QtEndsTheHostWhenTheDisplayGoes) {
    const std::string server = "/usr/bin/Xvfb";
    if (!std::filesystem::exists(server))
        GTEST_SKIP() << server << " is not installed";
    ASSERT_TRUE(StartEmulator({"gen:ramp-a4 3"}));
    XServer x(server, (mDir / "xvfb.log").string());
    std::string display;
    ASSERT_TRUE(test::waitUntil([&] { return !(display = x.Display()).empty(); }, std::chrono::seconds(30)));
    SetEnv("DISPLAY", display);
    SetEnv("QT_QPA_PLATFORM", "xcb");
    const char* asan = std::getenv("ASAN_OPTIONS");
    SetEnv("ASAN_OPTIONS", (asan ? std::string(asan) + ":" : std::string()) + "detect_leaks=0");
    const SHostEnd& end = GetParam();
    const std::string log = (mDir / "host.log").string();
    const pid_t host = test::spawnLogged({ENDING_HOST, end.state, end.dialog, end.end}, log);
    const bool reached = test::waitUntil([&] { return Read(log).find(" reached") != std::string::npos; },
                                         std::chrono::seconds(60));
    x.Kill();
    const int status = test::exitStatus(host);
    const std::string output = Read(log);
    ASSERT_TRUE(reached) << output;
    EXPECT_NE(output.find("X11 connection broke"), std::string::npos) << output;
    EXPECT_EQ(status, 1) << output;
    EXPECT_EQ(output.find("Sanitizer"), std::string::npos) << output;
}

INSTANTIATE_TEST_SUITE_P(DialogShown, HostEndWithTheDisplay,
                         testing::Values(SHostEnd{"5", "dialog", "stay"}, SHostEnd{"7", "dialog", "stay"}),
                         Name);

} // namespace
