// All of it goes through argument vectors, so names with spaces, quotes, '$' or ';'
// arrive as they are.
#include "Launcher.h"

#include "Applications.h"
#include "ExecLine.h"
#include "Tools.h"

namespace ws {

bool launch(const DesktopEntry& entry, const std::vector<std::filesystem::path>& files) {
    if (!files.empty() && !takesFiles(entry))
        return false;
    const std::vector<Argv> commands = expandExec(entry, files);
    const std::filesystem::path folder = entry.value("Path").value_or("");
    bool started = !commands.empty();
    for (const Argv& argv : commands)
        started = startDetached(argv, folder) && started;
    return started;
}

bool launchProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    Argv argv{program.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return startDetached(argv);
}

bool launchApplication(std::string_view desktopId, const std::filesystem::path& program) {
    if (const auto file = findDesktopFile(desktopId))
        if (const auto entry = DesktopEntry::load(*file))
            return launch(*entry);
    return launchProgram(program);
}

bool openPath(const std::filesystem::path& path) {
    std::error_code ec;
    return !path.empty() && handOff({"xdg-open", std::filesystem::absolute(path, ec).string()});
}

bool openUrl(const std::string& url) {
    return !url.empty() && handOff({"xdg-open", url});
}

bool composeMail(const std::vector<std::filesystem::path>& attachments) {
    Argv argv{"xdg-email"};
    std::error_code ec;
    for (const std::filesystem::path& file : attachments)
        argv.insert(argv.end(), {"--attach", std::filesystem::absolute(file, ec).string()});
    return handOff(argv);
}

} // namespace ws
