// QProcess looks the program up in PATH itself and passes each argument untouched.
#include "Tools.h"

#include "ChildReaper.h"

#include <QProcess>
#include <QStringList>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>

extern char** environ;

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
    std::vector<char*> args = execArguments(argv);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, args.front(), nullptr, nullptr, args.data(), environ) != 0)
        return false;
    // Called directly: the C library's declaration of pidfd_open (glibc 2.36) lacks C linkage.
    fnd::FileDescriptor pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (!pidfd.valid()) { // nothing could wait for it without blocking: it does not run at all
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return false;
    }
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
    // Everything the children use is made here: between fork and exec they only make system calls.
    std::vector<char*> args = execArguments(argv);
    const char* folder = workingFolder.empty() ? nullptr : workingFolder.c_str();
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return false;
    fnd::FileDescriptor reading(report[0]);
    fnd::FileDescriptor writing(report[1]);
    const pid_t middle = ::fork();
    if (middle < 0)
        return false;
    if (middle == 0) {
        const pid_t program = ::fork();
        if (program > 0)
            ::_exit(0);
        if (program == 0 && ::setpgid(0, 0) == 0 && (!folder || ::chdir(folder) == 0)) {
            ::signal(SIGPIPE, SIG_DFL); // QProcess ignores it in its caller
            ::execvp(args.front(), args.data());
        }
        // The program did not start, or the fork failed: a started program closed the pipe with its exec.
        const int error = errno;
        [[maybe_unused]] const ssize_t written = ::write(writing.get(), &error, sizeof error);
        ::_exit(127);
    }
    writing.close();
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do
        got = ::read(reading.get(), &error, sizeof error);
    while (got < 0 && errno == EINTR);
    return got == 0;
}

} // namespace ws
