// QProcess looks the program up in PATH itself and passes each argument untouched.
#include "Tools.h"

#include "ChildReaper.h"

#include <QProcess>
#include <QStringList>

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <thread>

namespace ws {
namespace {

QStringList toQt(const std::vector<std::string>& strings) {
    QStringList list;
    for (const std::string& string : strings)
        list << QString::fromStdString(string);
    return list;
}

// argv as exec takes it: pointers into argv, ended by a null.
std::vector<char*> execArguments(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    return args;
}

// A child tells through the report pipe why its program did not start; a started program closes the
// pipe with its exec, unread.
bool openReport(fnd::FileDescriptor& reading, fnd::FileDescriptor& writing) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    reading = fnd::FileDescriptor(report[0]);
    writing = fnd::FileDescriptor(report[1]);
    return true;
}

// The three below run in a child between fork and exec: system calls only.

// A launched program starts as one started from a fresh session would: the signals its caller blocks
// or ignores (QProcess ignores SIGPIPE, a terminal's job control others) are not its business.
void restoreDefaultSignals() {
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int number = 1; number < NSIG; ++number)
        ::sigaction(number, &byDefault, nullptr); // refused for SIGKILL and SIGSTOP, which stay default
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

[[noreturn]] void reportFailure(int report) {
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(report, &error, sizeof error);
    ::_exit(127);
}

[[noreturn]] void execProgram(char* const* args, int report) {
    restoreDefaultSignals();
    ::execvp(args[0], args);
    reportFailure(report);
}

// In the parent, once every child holding the writing end has exec'd or ended.
bool programStarted(const fnd::FileDescriptor& reading) {
    int error = 0;
    ssize_t got = 0;
    do
        got = ::read(reading.get(), &error, sizeof error);
    while (got < 0 && errno == EINTR);
    return got == 0;
}

// Whether the child ended within waitMs; a signal that cuts the wait short only shortens it.
bool hasEnded(int pidfd, int waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    pollfd watched{pidfd, POLLIN, 0};
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const int ready = ::poll(&watched, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready >= 0 || errno != EINTR)
            return ready > 0;
    }
}

// Where pidfds are missing (old kernels, sandboxes that refuse the call) the child is asked for its end
// again and again within the wait; one still running then is left to the reaper. True when it was left
// running or exited with 0.
bool waitWithoutPidfd(pid_t pid, int waitMs) {
    constexpr auto kAskEvery = std::chrono::milliseconds(10);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (ended < 0 && errno != EINTR)
            return false;
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            ChildReaper::shared().adopt(pid);
            return true;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, kAskEvery));
    }
}

} // namespace

std::optional<std::string> runTool(const std::string& program, const std::vector<std::string>& arguments,
                                   int timeoutMs) {
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QString::fromStdString(program), toQt(arguments));
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    std::string out = process.readAllStandardOutput().toStdString();
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

bool handOff(const std::vector<std::string>& argv, int waitMs) {
    if (argv.empty() || argv.front().empty())
        return false;
    // Everything the child uses is made here.
    std::vector<char*> args = execArguments(argv);
    fnd::FileDescriptor reading;
    fnd::FileDescriptor writing;
    if (!openReport(reading, writing))
        return false;
    const pid_t pid = ::fork();
    if (pid == 0)
        execProgram(args.data(), writing.get());
    writing.close();
    if (pid < 0)
        return false;
    if (!programStarted(reading)) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return false;
    }
    // Called directly: the C library's declaration of pidfd_open (glibc 2.36) lacks C linkage.
    fnd::FileDescriptor pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (!pidfd.valid())
        return waitWithoutPidfd(pid, waitMs);
    if (!hasEnded(pidfd.get(), waitMs)) {
        ChildReaper::shared().adopt(std::move(pidfd));
        return true;
    }
    siginfo_t info{};
    return ::waitid(P_PIDFD, static_cast<id_t>(pidfd.get()), &info, WEXITED) == 0 &&
           info.si_code == CLD_EXITED && info.si_status == 0;
}

// Started the way a launcher starts an application: through a child that ends at once, so that nothing
// here waits for it or reaps it, and in a process group of its own, so that a terminal's Ctrl-C for the
// caller does not reach it. It stays in the caller's session: a new one would give it a scheduling group
// of its own, which the kernel can hold off the processor for tens of seconds while the caller's session
// keeps it busy.
bool startDetached(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder) {
    if (argv.empty() || argv.front().empty())
        return false;
    // Everything the children use is made here.
    std::vector<char*> args = execArguments(argv);
    const char* folder = workingFolder.empty() ? nullptr : workingFolder.c_str();
    fnd::FileDescriptor reading;
    fnd::FileDescriptor writing;
    if (!openReport(reading, writing))
        return false;
    const pid_t middle = ::fork();
    if (middle < 0)
        return false;
    if (middle == 0) {
        const pid_t program = ::fork();
        if (program > 0)
            ::_exit(0);
        if (program == 0 && ::setpgid(0, 0) == 0 && (!folder || ::chdir(folder) == 0))
            execProgram(args.data(), writing.get());
        reportFailure(writing.get());
    }
    writing.close();
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    return programStarted(reading);
}

} // namespace ws
