// Loading decides between missing, loaded and damaged once, so callers never see a half-read file.
#include "PreferencesFile.h"

#include "FileIO.h"
#include "PropertyList.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fnd {
namespace {

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "/";
}

// The file a symbolic link (or a chain of them) leads to; the path itself when it is no link. A chain
// longer than the system allows ends at a link.
std::filesystem::path linkTarget(std::filesystem::path path) {
    constexpr int kMaxLinks = 40;
    std::error_code ec;
    for (int i = 0; i < kMaxLinks && std::filesystem::is_symlink(path, ec); ++i) {
        const std::filesystem::path target = std::filesystem::read_symlink(path, ec);
        if (ec)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

// Only a regular file of this user may be replaced or moved aside: a device, a FIFO, a folder or
// another user's file that a link leads to must come to no harm.
bool isOwnRegularFile(const std::filesystem::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

std::mutex sSetAsideMutex;
PreferencesFile::SetAsideHandler sSetAsideHandler; // under sSetAsideMutex

// Called under the lock, so that whoever stops the handler knows that it runs no more.
void tellSetAside(const std::filesystem::path& file, const std::filesystem::path& aside) {
    std::lock_guard lock(sSetAsideMutex);
    if (sSetAsideHandler)
        sSetAsideHandler(file, aside);
}

} // namespace

// Never over an earlier damaged copy, so that what each still holds can be recovered by hand.
std::filesystem::path PreferencesFile::moveAside(const std::filesystem::path& path) {
    for (int n = 1; n < 100; ++n) {
        std::filesystem::path aside = path;
        aside += n == 1 ? ".damaged" : ".damaged-" + std::to_string(n);
        if (renameWithoutReplacing(path, aside)) {
            tellSetAside(path, aside);
            return aside;
        }
        if (errno != EEXIST)
            break;
    }
    return {};
}

void PreferencesFile::setSetAsideHandler(SetAsideHandler handler) {
    std::lock_guard lock(sSetAsideMutex);
    sSetAsideHandler = std::move(handler);
}

PreferencesFile::PreferencesFile(std::filesystem::path path) : path_(std::move(path)) {
    reload();
}

std::filesystem::path PreferencesFile::configFolder() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return xdg;
    return homeFolder() / ".config";
}

std::filesystem::path PreferencesFile::pathForBundle(std::string_view bundleId) {
    if (bundleId.empty() || bundleId == "." || bundleId == ".." ||
        bundleId.find('/') != std::string_view::npos || bundleId.find('\0') != std::string_view::npos)
        return {};
    return configFolder() / (std::string(bundleId) + ".plist");
}

void PreferencesFile::reload() {
    values_.clear();
    state_ = State::Missing;
    if (path_.empty())
        return;
    plist::FileContents file = plist::readFile(path_);
    if (file.status == ReadStatus::Missing)
        return;
    if (file.ok() && file.value.asDictionary()) {
        values_ = std::move(*file.value.asDictionary());
        state_ = State::Loaded;
        return;
    }
    state_ = State::Damaged;
    const std::string why = file.ok() ? "not a dictionary: " + path_.string() : file.error;
    std::fprintf(stderr, "preferences ignored (%s); the file is kept until settings are saved\n",
                 why.c_str());
}

bool PreferencesFile::save(std::string* error) {
    if (path_.empty()) {
        if (error)
            *error = "no preferences file name";
        return false;
    }
    // A link is written through only to a file of this user; in any other case the link itself is
    // replaced (or moved aside when damaged) and what it led to is left alone.
    const std::filesystem::path resolved = linkTarget(path_);
    const bool ownFile = isOwnRegularFile(resolved);
    const std::filesystem::path target = ownFile ? resolved : path_;
    if (resolved != path_ && !ownFile)
        std::fprintf(stderr, "preferences: %s leads to no settings file of this user; the link is replaced\n",
                     path_.c_str());
    std::error_code ec;
    std::filesystem::create_directories(target.parent_path(), ec);
    if (state_ == State::Damaged) {
        const std::filesystem::path aside = moveAside(target);
        if (aside.empty()) {
            if (error)
                *error = "cannot move the damaged " + target.string() + " aside: " + std::strerror(errno);
            return false;
        }
        std::fprintf(stderr, "preferences: the damaged file was kept as %s\n", aside.c_str());
    }
    if (!plist::writeFile(target, Value(values_), error))
        return false;
    state_ = State::Loaded;
    return true;
}

} // namespace fnd
