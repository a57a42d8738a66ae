// Which processes count as the user's running copy of a program: this user's in this desktop session,
// found by the program's path or an alias of it, and no one else's.
#include "RunningPrograms.h"
#include "Alias.h"
#include "EndsWithTheTest.h"
#include "OtherUser.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr auto kStartBound = std::chrono::seconds(30); // ends a hung start only

// A copy of sleep, so that nothing else on the machine runs the same executable; in a folder every user
// may reach and enter.
class Sleeper {
public:
    Sleeper() {
        mProgram = mFolder / "sleeper";
        fs::copy_file("/bin/sleep", mProgram);
    }
    ~Sleeper() {
        if (mPid > 0) {
            kill(mPid, SIGKILL);
            waitpid(mPid, nullptr, 0);
        }
    }
    const fs::path& program() const { return mProgram; }

    // Runs the copy (started by start, given its argument vector) until it has become the copy.
    bool run(pid_t (*start)(const std::vector<std::string>&)) {
        mPid = start({mProgram.string(), "600"});
        const fs::path exe = "/proc/" + std::to_string(mPid) + "/exe";
        return mPid > 0 && test::waitUntil(
                               [&] {
                                   std::error_code ec;
                                   return fs::read_symlink(exe, ec) == mProgram;
                               },
                               kStartBound);
    }

private:
    test::SharedFolder mFolder;
    fs::path mProgram;
    pid_t mPid = -1;
};

// Starts argv in this session, or with anotherSession in another one.
pid_t startIn(const std::vector<std::string>& argv, bool anotherSession) {
    const pid_t testProcess = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        test::endWithTheTest(testProcess);
        if (anotherSession)
            setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/another-session", 1);
        execl(argv[0].c_str(), argv[0].c_str(), argv[1].c_str(), nullptr);
        _exit(127);
    }
    return pid;
}

pid_t startInThisSession(const std::vector<std::string>& argv) {
    return startIn(argv, false);
}

pid_t startInAnotherSession(const std::vector<std::string>& argv) {
    return startIn(argv, true);
}

} // namespace

TEST(RunningPrograms, ThisTestRunsAndAnAliasOfItCounts) {
    QTemporaryDir temp;
    const fs::path self = fs::read_symlink("/proc/self/exe");
    EXPECT_TRUE(ws::isProgramRunning(self));
    ASSERT_TRUE(ws::makeAlias(self, fs::path(temp.path().toStdString()) / "me"));
    EXPECT_TRUE(ws::isProgramRunning(fs::path(temp.path().toStdString()) / "me"));
    EXPECT_FALSE(ws::isProgramRunning(fs::path(temp.path().toStdString()) / "nothing"));
    // A copy of the program is another program.
    fs::copy_file(self, fs::path(temp.path().toStdString()) / "copy");
    EXPECT_FALSE(ws::isProgramRunning(fs::path(temp.path().toStdString()) / "copy"));
}

TEST(RunningPrograms, ThisUsersCopyInAnotherSessionDoesNotCount) {
    Sleeper elsewhere;
    ASSERT_TRUE(elsewhere.run(startInAnotherSession));
    EXPECT_FALSE(ws::isProgramRunning(elsewhere.program()));
    Sleeper here;
    ASSERT_TRUE(here.run(startInThisSession));
    EXPECT_TRUE(ws::isProgramRunning(here.program()));
}

// Asked by root, which may look into every process, and by a user of ours, which may not.
TEST(RunningPrograms, AnotherUsersCopyDoesNotCount) {
    if (const std::string why = test::withoutOtherUser(); !why.empty())
        GTEST_SKIP() << why;
    Sleeper theirs;
    ASSERT_TRUE(theirs.run(test::startAsOtherUser));
    EXPECT_FALSE(ws::isProgramRunning(theirs.program()));
    const test::ActingAs victim(test::kVictimUid, test::kVictimGid);
    ASSERT_TRUE(victim.active());
    EXPECT_FALSE(ws::isProgramRunning(theirs.program()));
}
