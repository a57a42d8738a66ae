// Launching hands every name over as one argument, whatever it holds: a recording program stands in
// for the application, and under the names xdg-open and xdg-email for those tools.
#include "DesktopEntry.h"
#include "EndsWithTheTest.h"
#include "ExecLine.h"
#include "Launcher.h"

#include "Recorded.h"
#include "ScopedEnv.h"
#include "Tools.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <csignal>
#include <cstdint>
#include <fstream>
#include <map>

#include <unistd.h>

namespace {

class Launching : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        root = temp.path().toStdString();
        std::filesystem::create_directories(root / "records");
        std::filesystem::create_directories(root / "bin");
        for (const char* tool : {"xdg-open", "xdg-email"})
            std::filesystem::create_symlink(ARGV_RECORDER, root / "bin" / tool);
        path = std::make_unique<ScopedEnv>("PATH", ((root / "bin").string() + ":/usr/bin:/bin").c_str());
        records = std::make_unique<ScopedEnv>("K3100_ARGV_DIR", (root / "records").c_str());
    }

    QTemporaryDir temp;
    std::filesystem::path root;
    std::unique_ptr<ScopedEnv> path;
    std::unique_ptr<ScopedEnv> records;
};

// The signal sets ("SigBlk", "SigIgn", ...) in a copy of a program's /proc status, once it is whole.
std::map<std::string, std::uint64_t> signalSets(const std::filesystem::path& file) {
    std::map<std::string, std::uint64_t> sets;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("Sig", 0) == 0 && line.find(':') != std::string::npos)
            sets[line.substr(0, line.find(':'))] = std::stoull(line.substr(line.find(':') + 1), nullptr, 16);
    return sets.count("SigCgt") ? sets : std::map<std::string, std::uint64_t>{};
}

// Names a shell would take apart.
const std::vector<std::filesystem::path> kAwkward{"/tmp/scan 1.pdf", "/tmp/it's \"mine\".pdf",
                                                  "/tmp/$HOME;ls.pdf"};

} // namespace

TEST_F(Launching, AllFilesAtOnceArriveIntact) {
    const std::string exec = ws::quoteExecArgument(ARGV_RECORDER) + " --files %F";
    const auto entry = ws::DesktopEntry::parse("[Desktop Entry]\nExec=" + ws::escapeValue(exec) + "\n");
    ASSERT_TRUE(ws::launch(*entry, kAwkward));
    const auto got = waitForRecordings(root / "records", 1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], (Recording{"k3100-argv-recorder", "--files", kAwkward[0], kAwkward[1], kAwkward[2]}));
}

TEST_F(Launching, OneInvocationPerFileWithASingleFileCode) {
    const auto entry = ws::DesktopEntry::parse("[Desktop Entry]\nExec=\"" ARGV_RECORDER "\" %f\n");
    ASSERT_TRUE(ws::launch(*entry, kAwkward));
    const auto got = waitForRecordings(root / "records", 3);
    ASSERT_EQ(got.size(), 3u);
    std::vector<std::string> files;
    for (const Recording& r : got) {
        ASSERT_EQ(r.size(), 2u);
        files.push_back(r[1]);
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> expected(kAwkward.begin(), kAwkward.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files, expected);
}

TEST_F(Launching, MailAttachesEveryFileAndOpenNamesThePath) {
    ASSERT_TRUE(ws::composeMail(kAwkward));
    ASSERT_TRUE(ws::openPath("/tmp/a folder; with $(stuff)"));
    const auto got = waitForRecordings(root / "records", 2);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], (Recording{"xdg-email", "--attach", kAwkward[0], "--attach", kAwkward[1], "--attach",
                                 kAwkward[2]}));
    EXPECT_EQ(got[1], (Recording{"xdg-open", "/tmp/a folder; with $(stuff)"}));
}

TEST_F(Launching, NothingStartsForAMalformedLineAMissingProgramOrFilesNobodyTakes) {
    EXPECT_FALSE(ws::launch(*ws::DesktopEntry::parse("[Desktop Entry]\nExec=\"unclosed %f\n"), kAwkward));
    EXPECT_FALSE(ws::launchProgram(root / "no-such-program"));
    EXPECT_FALSE(ws::launchApplication("k3100-no-such-app.desktop", {}));
    const auto noFiles =
        ws::DesktopEntry::parse("[Desktop Entry]\nExec=\"" ARGV_RECORDER "\" --new-window\n");
    EXPECT_FALSE(ws::launch(*noFiles, kAwkward));
    ASSERT_TRUE(ws::launch(*noFiles));
    EXPECT_EQ(waitForRecordings(root / "records", 1),
              (std::vector<Recording>{{"k3100-argv-recorder", "--new-window"}}));
}

// The hand-off tools fail at once where nothing takes the work (xdg-email exits 3 without a mail
// program, xdg-open 3 or 4 without an application): the failure reaches the caller. A tool that works
// in the foreground past the wait counts as started, and is reaped when it ends: no zombie stays.
TEST_F(Launching, AToolThatFailsIsAFailureAndOneStillWorkingIsAStartReapedWhenItEnds) {
    for (const char* tool : {"xdg-open", "xdg-email"}) {
        std::filesystem::remove(root / "bin" / tool);
        std::ofstream(root / "bin" / tool) << "#!/bin/sh\nexit 3\n";
        std::filesystem::permissions(root / "bin" / tool, std::filesystem::perms::owner_all);
    }
    EXPECT_FALSE(ws::composeMail(kAwkward));
    EXPECT_FALSE(ws::openPath("/tmp"));
    EXPECT_FALSE(ws::openUrl("file:///tmp/help/index.html#001"));
    const std::filesystem::path pidFile = root / "tool.pid";
    std::ofstream(root / "bin" / "xdg-open")
        << "#!/bin/sh\necho $$ > '" << pidFile.string() << ".new' && mv '" << pidFile.string() << ".new' '"
        << pidFile.string() << "'\nexec sleep 60\n";
    EXPECT_TRUE(ws::handOff({"xdg-open", "/tmp"}, 100));
    ASSERT_TRUE(test::waitUntil([&] { return std::filesystem::exists(pidFile); }, std::chrono::seconds(30)));
    pid_t pid = 0;
    std::ifstream(pidFile) >> pid;
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    // A zombie keeps its entry until its parent reaps it.
    const std::filesystem::path entry = "/proc/" + std::to_string(pid);
    EXPECT_TRUE(test::waitUntil([&] { return !std::filesystem::exists(entry); }, std::chrono::seconds(30)));
}

// An application runs in the folder its entry names, in the launcher's session (a new one would give
// it a scheduling group of its own) but in a process group of its own; it is no child of the launcher,
// and is reaped once it ends.
TEST_F(Launching, AnApplicationStaysInTheLaunchersSessionInAGroupOfItsOwnAndIsReapedWhenItEnds) {
    const std::filesystem::path folder = root / "a folder";
    std::filesystem::create_directories(folder);
    const std::filesystem::path pidFile = root / "app.pid";
    const std::filesystem::path app = root / "bin" / "app";
    std::ofstream(app) << "#!/bin/sh\npwd > '" << (root / "app.folder").string() << "'\necho $$ > '"
                       << pidFile.string() << ".new' && mv '" << pidFile.string() << ".new' '"
                       << pidFile.string() << "'\nexec sleep 60\n";
    std::filesystem::permissions(app, std::filesystem::perms::owner_all);
    const auto entry = ws::DesktopEntry::parse(
        "[Desktop Entry]\nExec=" + ws::escapeValue(ws::quoteExecArgument(app.string())) +
        "\nPath=" + ws::escapeValue(folder.string()) + "\n");
    ASSERT_TRUE(ws::launch(*entry));
    ASSERT_TRUE(test::waitUntil([&] { return std::filesystem::exists(pidFile); }, std::chrono::seconds(30)));
    pid_t pid = 0;
    std::ifstream(pidFile) >> pid;
    ASSERT_GT(pid, 0);
    const test::ProcessIds ids = test::processIds(pid);
    EXPECT_EQ(ids.session, ::getsid(0));
    EXPECT_EQ(ids.group, pid);
    EXPECT_NE(ids.parent, ::getpid());
    std::string ranIn;
    std::getline(std::ifstream(root / "app.folder"), ranIn);
    EXPECT_EQ(ranIn, folder.string());
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    const std::filesystem::path procEntry = "/proc/" + std::to_string(pid);
    EXPECT_TRUE(
        test::waitUntil([&] { return !std::filesystem::exists(procEntry); }, std::chrono::seconds(30)));
}

// What its caller blocks or ignores (SIGPIPE under QProcess, others in a terminal's jobs) a launched
// program and a tool handed work do not inherit: they start with no signal blocked and none ignored.
TEST_F(Launching, ProgramsStartWithNoSignalBlockedOrIgnored) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction hangUp {
    }, brokenPipe{};
    ASSERT_EQ(::sigaction(SIGHUP, &ignore, &hangUp), 0);
    ASSERT_EQ(::sigaction(SIGPIPE, &ignore, &brokenPipe), 0);
    sigset_t blocked, kept;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    sigaddset(&blocked, SIGTERM);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &blocked, &kept), 0);
    // cp copies its own status, and touches no signal itself (a shell would unblock them all).
    const bool launched = ws::startDetached({"cp", "/proc/self/status", (root / "launched").string()});
    const bool handed = ws::handOff({"cp", "/proc/self/status", (root / "handed").string()});
    ::pthread_sigmask(SIG_SETMASK, &kept, nullptr);
    ::sigaction(SIGHUP, &hangUp, nullptr);
    ::sigaction(SIGPIPE, &brokenPipe, nullptr);
    ASSERT_TRUE(launched);
    ASSERT_TRUE(handed);
    for (const char* program : {"launched", "handed"}) {
        std::map<std::string, std::uint64_t> sets;
        ASSERT_TRUE(test::waitUntil([&] { return !(sets = signalSets(root / program)).empty(); },
                                    std::chrono::seconds(30)))
            << program;
        EXPECT_EQ(sets.at("SigBlk"), 0u) << program;
        EXPECT_EQ(sets.at("SigIgn"), 0u) << program;
    }
}
