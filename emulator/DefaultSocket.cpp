// The fallback folder lives in a shared directory: it is used only when it is a real folder (not a
// link), owned by this user and closed to everyone else, so no other user can serve or swap the socket.
#include "DefaultSocket.h"

#include "UsbDiscovery.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace k3100::emu {
namespace {

constexpr const char* kSocketName = "k3100.sock";

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : "";
}

} // namespace

std::string defaultSocketPath(std::string& error) {
    if (std::string named = variable(usb::kEmulatorSocketEnv); !named.empty())
        return named;
    if (const std::string runtime = variable("XDG_RUNTIME_DIR"); !runtime.empty() && runtime.front() == '/')
        return runtime + "/" + kSocketName;
    const std::string tmp = variable("TMPDIR");
    const std::string folder =
        (tmp.empty() ? std::string("/tmp") : tmp) + "/k3100-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = folder + ": " + std::strerror(errno);
        return "";
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0) {
        error = folder + " is not a private folder of this user; name a socket with --socket";
        return "";
    }
    return folder + "/" + kSocketName;
}

} // namespace k3100::emu
