// A desktop tool's answer is read only when it ran to a clean end in time; a hung one is killed. A tool
// handed work is waited for even where the system gives no pidfds.
#include "Tools.h"

#include "TempFolder.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <fstream>
#include <thread>

namespace {

// From here on, pidfd_open fails with error in the calling thread (and what it starts), as on an old
// kernel or in a sandbox that refuses the call; false when the system cannot filter a thread's calls.
bool refusePidfdOpen(int error) {
    sock_filter program[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_pidfd_open, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<__u32>(error)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog filter{static_cast<unsigned short>(std::size(program)), program};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

} // namespace

TEST(Tools, AnswerOnlyFromAToolThatFinishedCleanlyInTime) {
    EXPECT_EQ(ws::runTool("sh", {"-c", "printf 'a\\nb\\n\\n'"}), "a\nb");
    EXPECT_EQ(ws::runTool("sh", {"-c", "echo partial; exit 3"}), std::nullopt);
    EXPECT_EQ(ws::runTool("no-such-program-k3100", {}), std::nullopt);
    EXPECT_EQ(ws::runTool("", {}), std::nullopt);
    EXPECT_EQ(ws::runTool("sleep", {"10"}, 100), std::nullopt);
}

// Without pidfds (the call missing, or refused) a hand-off still answers by the tool's exit status, a
// tool still working past the wait counts as started, and it is reaped once it ends.
TEST(Tools, AHandOffWithoutPidfdsIsWaitedForAnotherWay) {
    for (const int error : {ENOSYS, EPERM}) {
        const TempFolder folder;
        const std::filesystem::path pidFile = folder / "tool.pid";
        bool filtered = false;
        std::thread([&] {
            filtered = refusePidfdOpen(error);
            if (!filtered)
                return;
            EXPECT_TRUE(ws::handOff({"true"})) << error;
            EXPECT_FALSE(ws::handOff({"sh", "-c", "exit 3"})) << error;
            EXPECT_TRUE(
                ws::handOff({"sh", "-c", "echo $$ > \"$0.new\" && mv \"$0.new\" \"$0\" && exec sleep 60",
                             pidFile.string()},
                            100))
                << error;
        }).join();
        if (!filtered)
            GTEST_SKIP() << "this system cannot refuse a call to one thread (seccomp)";
        ASSERT_TRUE(
            test::waitUntil([&] { return std::filesystem::exists(pidFile); }, std::chrono::seconds(30)));
        pid_t pid = 0;
        std::ifstream(pidFile) >> pid;
        ASSERT_GT(pid, 0);
        ASSERT_EQ(::kill(pid, SIGKILL), 0);
        // A zombie keeps its entry until its parent reaps it.
        const std::filesystem::path entry = "/proc/" + std::to_string(pid);
        EXPECT_TRUE(
            test::waitUntil([&] { return !std::filesystem::exists(entry); }, std::chrono::seconds(30)))
            << error;
    }
}
