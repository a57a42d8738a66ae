// xdg-user-dir reads the user's user-dirs.dirs with the shell's rules, which is why it is asked
// instead of reading that file here.
#include "StandardFolders.h"

#include "Tools.h"

#include <cstdlib>

namespace ws {

std::filesystem::path userFolder(std::string_view name) {
    const char* home = std::getenv("HOME");
    const std::filesystem::path fallback = home && *home ? home : "/";
    const bool plainName =
        !name.empty() && name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_") == std::string_view::npos;
    const std::optional<std::string> answer =
        plainName ? runTool("xdg-user-dir", {std::string(name)}) : std::nullopt;
    if (!answer || answer->empty() || answer->front() != '/')
        return fallback;
    return *answer;
}

} // namespace ws
