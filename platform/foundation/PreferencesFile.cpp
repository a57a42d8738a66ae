// Loading decides between missing, loaded and damaged once, so callers never see a half-read file.
#include "PreferencesFile.h"

#include "PropertyList.h"

#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace fnd {
namespace {

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "/";
}

} // namespace

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
    std::error_code ec;
    std::filesystem::create_directories(path_.parent_path(), ec);
    if (!plist::writeXmlFile(path_, Value(values_), error))
        return false;
    state_ = State::Loaded;
    return true;
}

} // namespace fnd
