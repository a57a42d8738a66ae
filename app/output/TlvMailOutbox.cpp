// See TlvMailOutbox.h.
#include "TlvMailOutbox.h"

#include "TlvUtilsMethod.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace tlv {
namespace fs = std::filesystem;
namespace {

std::optional<fs::path> dataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return fs::path(xdg);
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return fs::path(home) / ".local/share";
    return std::nullopt;
}

bool isOwnFolder(const fs::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

} // namespace

std::string newOutboxBatchName() {
    static std::atomic<unsigned> serial{0};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return std::string(stamp) + "-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
}

std::optional<fs::path> mailOutboxFolder(const std::string& batch) {
    const std::optional<fs::path> home = dataHome();
    if (!home || batch.empty() || batch.find('/') != std::string::npos)
        return std::nullopt;
    const fs::path outbox = *home / "tollivar" / "outbox";
    if (!TlvUtilsMethod::checkAndMakeTargetDirectory(outbox))
        return std::nullopt;
    const fs::path folder = outbox / batch;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    if (!isOwnFolder(folder))
        return std::nullopt;
    return folder;
}

} // namespace tlv
