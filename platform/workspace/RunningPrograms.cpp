// /proc/<pid>/exe names the executable a process runs; other users' processes cannot be read and are
// passed over, which is right: only the user's own copy of a program matters.
#include "RunningPrograms.h"

#include <cctype>

namespace ws {

bool isProgramRunning(const std::filesystem::path& program) {
    std::error_code ec;
    const std::filesystem::path wanted = std::filesystem::canonical(program, ec);
    if (ec)
        return false;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string pid = entry.path().filename().string();
        if (pid.empty() || !std::isdigit(static_cast<unsigned char>(pid.front())))
            continue;
        std::error_code linkError;
        if (std::filesystem::read_symlink(entry.path() / "exe", linkError) == wanted)
            return true;
    }
    return false;
}

} // namespace ws
