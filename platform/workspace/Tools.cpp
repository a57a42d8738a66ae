// QProcess looks the program up in PATH itself and passes each argument untouched.
#include "Tools.h"

#include <QProcess>
#include <QStringList>

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

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
    constexpr int kStepMs = 10;
    for (int waited = 0; waited < waitMs; waited += kStepMs) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (ended < 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
    }
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach(); // reaped whenever it ends
    return true;
}

bool startDetached(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder) {
    if (argv.empty() || argv.front().empty())
        return false;
    return QProcess::startDetached(QString::fromStdString(argv.front()), toQt(argv.begin() + 1, argv.end()),
                                   QString::fromStdString(workingFolder.string()));
}

} // namespace ws
