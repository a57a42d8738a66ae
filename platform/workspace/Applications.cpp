// The lookup follows the XDG base-directory order, so a user's own entry hides a system one.
#include "Applications.h"

#include "Tools.h"

#include <cstdlib>

namespace ws {
namespace {

std::filesystem::path homeFolder() {
    const char* home = std::getenv("HOME");
    return home ? home : "/";
}

std::string envOr(const char* name, std::string fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

bool isSafeId(std::string_view id) {
    return !id.empty() && id.find('/') == std::string_view::npos && id.front() != '.' && id.front() != '-' &&
           id.ends_with(".desktop");
}

} // namespace

std::vector<std::filesystem::path> applicationFolders() {
    std::vector<std::filesystem::path> folders{
        std::filesystem::path(envOr("XDG_DATA_HOME", (homeFolder() / ".local/share").string())) /
        "applications"};
    std::string_view dirs = std::getenv("XDG_DATA_DIRS") && *std::getenv("XDG_DATA_DIRS")
                                ? std::getenv("XDG_DATA_DIRS")
                                : "/usr/local/share:/usr/share";
    while (!dirs.empty()) {
        const std::size_t colon = dirs.find(':');
        if (colon != 0)
            folders.push_back(std::filesystem::path(std::string(dirs.substr(0, colon))) / "applications");
        dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
    }
    return folders;
}

std::optional<std::filesystem::path> findDesktopFile(std::string_view desktopId) {
    return findDesktopFile(desktopId, applicationFolders());
}

std::optional<std::filesystem::path> findDesktopFile(std::string_view desktopId,
                                                     const std::vector<std::filesystem::path>& folders) {
    if (!isSafeId(desktopId))
        return std::nullopt;
    std::error_code ec;
    for (const std::filesystem::path& folder : folders) {
        std::string relative(desktopId);
        for (std::size_t dash = 0;; ++dash) {
            if (std::filesystem::is_regular_file(folder / relative, ec))
                return folder / relative;
            dash = relative.find('-', dash);
            if (dash == std::string::npos || relative[dash + 1] == '.')
                break; // "/." would begin a hidden or a parent folder
            relative[dash] = '/';
        }
    }
    return std::nullopt;
}

std::optional<std::string> defaultApplicationId(std::string_view mimeType) {
    if (mimeType.empty() || mimeType.front() == '-')
        return std::nullopt;
    std::optional<std::string> id = runTool("xdg-mime", {"query", "default", std::string(mimeType)});
    if (id && id->find('\n') != std::string::npos)
        id->erase(id->find('\n'));
    return id && !id->empty() ? id : std::nullopt;
}

std::optional<DesktopEntry> defaultApplication(std::string_view mimeType) {
    const std::optional<std::string> id = defaultApplicationId(mimeType);
    const std::optional<std::filesystem::path> file = id ? findDesktopFile(*id) : std::nullopt;
    return file ? DesktopEntry::load(*file) : std::nullopt;
}

} // namespace ws
