// /proc/<pid>/exe names the executable a process runs, the owner of /proc/<pid> is the process's user,
// and /proc/<pid>/environ holds the variables it started with, among them the session bus it reaches.
#include "RunningPrograms.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace ws {
namespace {

constexpr char kSessionVariable[] = "DBUS_SESSION_BUS_ADDRESS";

// The value of the session's variable in a process's start-up environment; empty when it has none.
std::string sessionOf(const std::filesystem::path& process) {
    std::ifstream in(process / "environ", std::ios::binary);
    const std::string prefix = std::string(kSessionVariable) + "=";
    for (std::string entry; std::getline(in, entry, '\0');)
        if (entry.compare(0, prefix.size(), prefix) == 0)
            return entry.substr(prefix.size());
    return {};
}

bool isOwnProcess(const std::filesystem::path& process) {
    struct stat st {};
    return ::stat(process.c_str(), &st) == 0 && st.st_uid == ::geteuid();
}

} // namespace

bool isProgramRunning(const std::filesystem::path& program) {
    std::error_code ec;
    const std::filesystem::path wanted = std::filesystem::canonical(program, ec);
    if (ec)
        return false;
    const char* session = std::getenv(kSessionVariable);
    const std::string ownSession = session ? session : "";
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string pid = entry.path().filename().string();
        if (pid.empty() || !std::isdigit(static_cast<unsigned char>(pid.front())) ||
            !isOwnProcess(entry.path()))
            continue;
        std::error_code linkError;
        if (std::filesystem::read_symlink(entry.path() / "exe", linkError) == wanted &&
            sessionOf(entry.path()) == ownSession)
            return true;
    }
    return false;
}

} // namespace ws
