// QProcess looks the program up in PATH itself and passes each argument untouched.
#include "Tools.h"

#include <QProcess>
#include <QStringList>

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

bool startDetached(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder) {
    if (argv.empty() || argv.front().empty())
        return false;
    return QProcess::startDetached(QString::fromStdString(argv.front()), toQt(argv.begin() + 1, argv.end()),
                                   QString::fromStdString(workingFolder.string()));
}

} // namespace ws
