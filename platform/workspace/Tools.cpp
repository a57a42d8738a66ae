// QProcess looks the program up in PATH itself and passes each argument untouched.
#include "Tools.h"

#include "ChildReaper.h"

#include <QProcess>
#include <QStringList>

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

QStringList toQt(std::vector<std::string>::const_iterator first,
                 std::vector<std::string>::const_iterator last) {
    QStringList list;
    for (; first != last; ++first)
        list << QString::fromStdString(*first);
    return list;
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
    process.start(QString::fromStdString(program), toQt(arguments.begin(), arguments.end()));
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
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
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

bool startDetached(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder) {
    if (argv.empty() || argv.front().empty())
        return false;
    return QProcess::startDetached(QString::fromStdString(argv.front()), toQt(argv.begin() + 1, argv.end()),
                                   QString::fromStdString(workingFolder.string()));
}

} // namespace ws
