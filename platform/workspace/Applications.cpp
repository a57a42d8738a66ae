// The lookup follows the XDG base-directory order, so a user's own entry hides a system one.
#include "Applications.h"

#include "Tools.h"

#include <algorithm>
#include <cstdlib>
#include <set>

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

bool listsType(const DesktopEntry& entry, std::string_view mimeType) {
    const std::string listed = entry.value("MimeType").value_or("");
    std::string_view types = listed;
    while (!types.empty()) {
        const std::size_t semicolon = types.find(';');
        if (types.substr(0, semicolon) == mimeType)
            return true;
        types = semicolon == std::string_view::npos ? std::string_view() : types.substr(semicolon + 1);
    }
    return false;
}

// A file's desktop-file id: its path below the folder with '/' made '-'.
std::string desktopId(const std::filesystem::path& file, const std::filesystem::path& folder) {
    std::string id = file.lexically_relative(folder).generic_string();
    std::replace(id.begin(), id.end(), '/', '-');
    return id;
}

} // namespace

std::vector<DesktopEntry> applicationsForType(std::string_view mimeType,
                                              const std::vector<std::filesystem::path>& folders) {
    std::vector<DesktopEntry> found;
    std::set<std::string, std::less<>> seen;
    for (const std::filesystem::path& folder : folders) {
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->path().extension() != ".desktop" || !seen.insert(desktopId(it->path(), folder)).second)
                continue;
            std::optional<DesktopEntry> entry = DesktopEntry::load(it->path());
            if (entry && !entry->boolean("Hidden") && !entry->boolean("NoDisplay") &&
                listsType(*entry, mimeType))
                found.push_back(std::move(*entry));
        }
    }
    std::sort(found.begin(), found.end(),
              [](const DesktopEntry& a, const DesktopEntry& b) { return a.name() < b.name(); });
    return found;
}

std::vector<DesktopEntry> applicationsForType(std::string_view mimeType) {
    return applicationsForType(mimeType, applicationFolders());
}

std::string applicationName(const std::filesystem::path& desktopFile) {
    const std::optional<DesktopEntry> entry = DesktopEntry::load(desktopFile);
    const std::string name = entry ? entry->name() : std::string();
    return name.empty() ? desktopFile.stem().string() : name;
}

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
