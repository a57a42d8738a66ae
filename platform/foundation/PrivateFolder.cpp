// The runtime folder's fallback lies in the user's own cache folder, not in a shared one such as /tmp,
// where another user could make the name first and so keep every program of this user from its folder.
// Whatever is found there is still used only when the checks on its descriptor pass.
#include "PrivateFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fnd {
namespace {

constexpr mode_t kPrivateMode = 0700;

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : "";
}

// $XDG_CACHE_HOME, else ".cache" in the home folder ($HOME, else the account's); empty without either.
std::filesystem::path cacheHome() {
    if (const std::string named = variable("XDG_CACHE_HOME"); !named.empty() && named.front() == '/')
        return named;
    std::string home = variable("HOME");
    if (home.empty() || home.front() != '/') {
        passwd entry{};
        passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
            !found->pw_dir || found->pw_dir[0] != '/')
            return {};
        home = found->pw_dir;
    }
    return std::filesystem::path(home) / ".cache";
}

bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

} // namespace

PrivateFolder PrivateFolder::open(const std::filesystem::path& path, std::string* problem) {
    return adopt(path, problem, false);
}

PrivateFolder PrivateFolder::runtime(std::string* problem) {
    if (const std::string named = variable("XDG_RUNTIME_DIR"); !named.empty() && named.front() == '/')
        return open(named, problem);
    const std::filesystem::path cache = cacheHome();
    if (cache.empty()) {
        if (problem)
            *problem = "this user has neither $XDG_RUNTIME_DIR nor a home folder";
        return PrivateFolder(FileDescriptor(), {});
    }
    ::mkdir(cache.c_str(), kPrivateMode); // as the cache folder is made when missing
    const std::filesystem::path fallback = cache / "k3100-runtime";
    const bool madeHere = ::mkdir(fallback.c_str(), kPrivateMode) == 0;
    if (!madeHere && errno != EEXIST) {
        if (problem)
            *problem = "the folder " + fallback.string() + " cannot be made: " + std::strerror(errno);
        return PrivateFolder(FileDescriptor(), fallback);
    }
    return adopt(fallback, problem, madeHere);
}

PrivateFolder PrivateFolder::adopt(const std::filesystem::path& path, std::string* problem, bool madeHere) {
    std::string why;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!fd.valid())
        why = errno == ELOOP || errno == ENOTDIR ? "is no folder (a link or a file)"
                                                 : std::string("cannot be opened: ") + std::strerror(errno);
    else if (::fstat(fd.get(), &st) != 0)
        why = std::string("cannot be opened: ") + std::strerror(errno);
    else if (st.st_uid != ::geteuid())
        why = "belongs to another user";
    else if (madeHere)
        ::fchmod(fd.get(), kPrivateMode); // a restrictive umask must not keep this user out
    else if ((st.st_mode & 0777) != kPrivateMode)
        why = "is open to other users (its mode is not 0700)";
    if (!why.empty()) {
        if (problem)
            *problem = "the folder " + path.string() + " " + why;
        fd.close();
    }
    return PrivateFolder(std::move(fd), path);
}

FileDescriptor PrivateFolder::openFile(std::string_view name, int flags, mode_t mode) const {
    if (!fd_.valid() || !isPlainName(name)) {
        errno = EINVAL;
        return FileDescriptor();
    }
    FileDescriptor fd(
        ::openat(fd_.get(), std::string(name).c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode));
    struct stat st {};
    if (!fd.valid() || (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode)))
        return fd;
    errno = EINVAL;
    return FileDescriptor();
}

bool PrivateFolder::removeFile(std::string_view name) const {
    if (!fd_.valid() || !isPlainName(name))
        return false;
    return ::unlinkat(fd_.get(), std::string(name).c_str(), 0) == 0 || errno == ENOENT;
}

} // namespace fnd
