// The temporary folder lives in a shared directory, so it is checked before every use: a real folder
// (never a symlink someone planted), owned by this user, mode 0700. Each running instance holds an
// advisory lock on "<folder>.lock" for its lifetime; a second instance finds the lock taken and uses
// the next free name, so two instances never remove each other's pages.
#include "TlvUtilsMethod.h"

#include "Bundle.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// More instances of one user than this at once are not expected; the last name is used unlocked.
constexpr int kMaxInstances = 64;

fs::path baseFolderPath() {
    const char* tmp = std::getenv("TMPDIR");
    const fs::path dir = tmp && *tmp ? fs::path(tmp) : fs::path("/tmp");
    const std::string* device = fnd::Bundle::main().infoValue("VXDeviceName").asString();
    const std::string name =
        "Tlv_" + (device ? *device : std::string()) + "_Tmp-" + std::to_string(::getuid());
    return dir / name;
}

// Takes the instance lock of folder; the descriptor stays open (and the lock held) until exit.
bool lockFolderName(const fs::path& folder) {
    const std::string lockPath = folder.string() + ".lock";
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || !S_ISREG(st.st_mode) ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    return true;
}

fs::path chooseFolderPath() {
    const fs::path base = baseFolderPath();
    for (int n = 0; n < kMaxInstances; ++n) {
        fs::path candidate = n == 0 ? base : fs::path(base.string() + "." + std::to_string(n));
        if (lockFolderName(candidate))
            return candidate;
    }
    return base.string() + "." + std::to_string(kMaxInstances);
}

enum class FolderState { Missing, Usable, Refused };

// Usable: this user's own real folder; its mode is narrowed to 0700 if it was wider.
FolderState checkFolder(const fs::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? FolderState::Missing : FolderState::Refused;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return FolderState::Refused;
    if ((st.st_mode & 07777) != 0700 && ::chmod(path.c_str(), 0700) != 0)
        return FolderState::Refused;
    return FolderState::Usable;
}

bool makePrivateFolder(const fs::path& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    return checkFolder(path) == FolderState::Usable;
}

bool removeOwnFolder(const fs::path& path) {
    if (checkFolder(path) != FolderState::Usable)
        return false;
    std::error_code ec;
    fs::remove_all(path, ec);
    return !ec;
}

std::optional<fs::path> makeSubFolder(const char* name) {
    const fs::path folder = TlvUtilsMethod::tmpImageFolderPath();
    if (checkFolder(folder) != FolderState::Usable)
        return std::nullopt;
    const fs::path sub = folder / name;
    return makePrivateFolder(sub) ? std::optional(sub) : std::nullopt;
}

} // namespace

fs::path TlvUtilsMethod::tmpImageFolderPath() {
    static const fs::path path = chooseFolderPath();
    return path;
}

fs::path TlvUtilsMethod::tmpBaseImageFilePath(int pageIndex) {
    return tmpImageFolderPath() / ("tmpImg_" + std::to_string(pageIndex));
}

bool TlvUtilsMethod::createTmpFolder() {
    const fs::path folder = tmpImageFolderPath();
    if (checkFolder(folder) == FolderState::Usable && !removeOwnFolder(folder))
        return false;
    return makePrivateFolder(folder);
}

bool TlvUtilsMethod::removeTmpFolder() {
    return removeOwnFolder(tmpImageFolderPath());
}

std::optional<fs::path> TlvUtilsMethod::createAndMultiFolderPath() {
    return makeSubFolder("Multi");
}

std::optional<fs::path> TlvUtilsMethod::createAndMailFolderPath() {
    return makeSubFolder("Mail");
}

void TlvUtilsMethod::removeMultiFolder() {
    if (checkFolder(tmpImageFolderPath()) == FolderState::Usable)
        removeOwnFolder(tmpImageFolderPath() / "Multi");
}
