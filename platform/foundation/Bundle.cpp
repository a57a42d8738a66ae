// Bundles are located from the binary's own path, so a data source loaded into any host finds its
// resources without help from the host; string tables are read once per language and table.
#include "Bundle.h"

#include "PropertyList.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <set>

namespace fnd {
namespace {

std::filesystem::path findResourceFolder(const std::filesystem::path& binary) {
    const std::string name = binary.stem().string();
    const std::string folderName = name + ".resources";
    std::error_code ec;
    if (const char* env = std::getenv("K3100_BUNDLE_PATH")) {
        std::string_view list(env);
        while (!list.empty()) {
            const std::size_t colon = list.find(':');
            const std::filesystem::path dir(std::string(list.substr(0, colon)));
            if (!dir.empty() && std::filesystem::is_directory(dir / folderName, ec))
                return dir / folderName;
            list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        }
    }
    if (const char* dataDir = std::getenv("K3100_DATA_DIR"); dataDir && *dataDir) {
        const std::filesystem::path moved = std::filesystem::path(dataDir) / name;
        if (std::filesystem::is_directory(moved, ec))
            return moved;
    }
    const std::filesystem::path beside = binary.parent_path() / folderName;
    if (std::filesystem::is_directory(beside, ec))
        return beside;
    const std::filesystem::path installed = binary.parent_path().parent_path() / "share" / "k3100" / name;
    if (std::filesystem::is_directory(installed, ec))
        return installed;
    return beside;
}

// "de_DE.UTF-8@euro" -> "de_DE", "de"; "C" and "POSIX" name no language.
void addLocaleCandidates(std::string_view locale, std::vector<std::string>& out) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale.empty() || locale == "C" || locale == "POSIX")
        return;
    out.emplace_back(locale);
    if (const std::size_t underscore = locale.find('_'); underscore != std::string_view::npos)
        out.emplace_back(locale.substr(0, underscore));
}

std::vector<std::string> languageCandidates() {
    std::vector<std::string> out;
    if (const char* language = std::getenv("LANGUAGE")) {
        std::string_view list(language);
        for (std::size_t colon; !list.empty();
             list = colon == std::string_view::npos ? "" : list.substr(colon + 1)) {
            colon = list.find(':');
            addLocaleCandidates(list.substr(0, colon), out);
        }
    }
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* v = std::getenv(var); v && *v) {
            addLocaleCandidates(v, out);
            break;
        }
    }
    return out;
}

} // namespace

Bundle::Bundle(const std::filesystem::path& binaryPath)
    : binaryPath_(binaryPath), resourceFolder_(findResourceFolder(binaryPath)) {
    plist::FileContents file = plist::readFile(resourceFolder_ / "Info.plist");
    if (file.status == ReadStatus::Missing)
        return;
    if (Dictionary* d = file.ok() ? file.value.asDictionary() : nullptr)
        info_ = std::move(*d);
    else
        std::fprintf(stderr, "bundle information ignored: %s\n",
                     file.ok() ? "not a dictionary" : file.error.c_str());
}

std::optional<Bundle> Bundle::containing(const void* address) {
    Dl_info info{};
    link_map* module = nullptr;
    if (!address || ::dladdr1(address, &info, reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) == 0)
        return std::nullopt;
    std::filesystem::path path(info.dli_fname ? info.dli_fname : "");
    // A module opened by a relative path is reported by that path, which the working folder may no longer
    // resolve; the loader kept the absolute folder it came from (the program itself has no name there).
    const bool loadedModule = module && module->l_name && *module->l_name;
    char origin[PATH_MAX] = "";
    if (path.is_relative() && loadedModule && ::dlinfo(module, RTLD_DI_ORIGIN, origin) == 0)
        path = std::filesystem::path(origin) / path.filename();
    // The main program may be reported by the name it was started with, or not at all.
    std::error_code ec;
    if (!path.is_absolute() || !std::filesystem::exists(path, ec))
        path = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (path.empty())
        return std::nullopt;
    return Bundle(std::filesystem::weakly_canonical(path, ec));
}

const Bundle& Bundle::main() {
    static const Bundle bundle([] {
        std::error_code ec;
        return std::filesystem::read_symlink("/proc/self/exe", ec);
    }());
    return bundle;
}

std::string Bundle::identifier() const {
    const std::string* id = info_.get("CFBundleIdentifier").asString();
    return id ? *id : std::string();
}

std::optional<std::filesystem::path> Bundle::pathForResource(std::string_view name,
                                                             std::string_view ext) const {
    if (name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    std::string file(name);
    if (!ext.empty()) {
        file += '.';
        file += ext;
    }
    std::error_code ec;
    const std::filesystem::path path = resourceFolder_ / file;
    return std::filesystem::is_regular_file(path, ec) ? std::optional(path) : std::nullopt;
}

std::vector<std::string> Bundle::preferredLocalizations() const {
    std::vector<std::string> candidates = languageCandidates();
    const std::string* region = info_.get("CFBundleDevelopmentRegion").asString();
    candidates.push_back(region ? *region : "en");
    std::vector<std::string> out;
    std::error_code ec;
    for (const std::string& lang : candidates)
        if (std::find(out.begin(), out.end(), lang) == out.end() &&
            std::filesystem::is_directory(resourceFolder_ / (lang + ".lproj"), ec))
            out.push_back(lang);
    return out;
}

const StringTable& Bundle::table(const std::string& language, std::string_view name) const {
    const std::string key = language + "/" + std::string(name);
    std::lock_guard lock(cache_->mutex);
    auto it = cache_->tables.find(key);
    if (it == cache_->tables.end()) {
        const auto file = resourceFolder_ / (language + ".lproj") / (std::string(name) + ".strings");
        it = cache_->tables.emplace(key, StringTable::load(file)).first;
    }
    return it->second;
}

namespace {

struct MissedKeys {
    std::mutex mutex;
    std::set<std::string> keys;
};

MissedKeys& missed() {
    static MissedKeys record;
    return record;
}

} // namespace

std::string Bundle::localizedString(std::string_view key, std::string_view tableName) const {
    for (const std::string& language : preferredLocalizations())
        if (const std::string* text = table(language, tableName).find(key))
            return *text;
    MissedKeys& record = missed();
    const std::lock_guard lock(record.mutex);
    record.keys.insert(resourceFolder_.filename().string() + "/" + std::string(tableName) + ": " +
                       std::string(key));
    return std::string(key);
}

std::vector<std::string> Bundle::missedKeys() {
    MissedKeys& record = missed();
    const std::lock_guard lock(record.mutex);
    return {record.keys.begin(), record.keys.end()};
}

} // namespace fnd
