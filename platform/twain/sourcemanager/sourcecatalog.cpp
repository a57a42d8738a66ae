// Finds *.ds files below the data-source folder, loads each with dlopen, asks it DAT_IDENTITY/MSG_GET and
// unloads it again. What each file answered (or that it is broken) is remembered with its modification
// time, so a rescan neither reloads nor re-logs a file until it changes, and its Id stays the same.
#include "sourcecatalog.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <set>

#include "managerlog.h"

namespace twain::dsm {
namespace fs = std::filesystem;

TW_UINT32 newIdentityId() {
    static std::atomic<TW_UINT32> next{1};
    return next++;
}

fs::path dataSourceFolder() {
    const char* override = std::getenv("K3100_TWAIN_DS_DIR");
    if (override && *override)
        return fs::path(override);
    // Installed, the data sources lie in <prefix>/lib/twain, at a fixed place relative to this library,
    // so the folder follows wherever the system was installed.
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&dataSourceFolder), &info) && info.dli_fname)
        return (fs::absolute(info.dli_fname).parent_path() / K3100_TWAIN_DS_FROM_LIBDIR).lexically_normal();
    return fs::path("/usr/local/lib/twain");
}

std::unique_ptr<LoadedSource> LoadedSource::load(const std::string& path, std::string& why) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* error = dlerror();
        std::string_view reason = error ? error : "cannot be loaded";
        if (reason.starts_with(path + ": ")) // dlerror names the file too
            reason.remove_prefix(path.size() + 2);
        why = reason;
        return nullptr;
    }
    auto entry = reinterpret_cast<DSENTRYPROC>(dlsym(library, "DS_Entry"));
    if (!entry) {
        dlclose(library);
        why = "no DS_Entry";
        return nullptr;
    }
    return std::unique_ptr<LoadedSource>(new LoadedSource(library, entry));
}

LoadedSource::~LoadedSource() {
    if (mLibrary)
        dlclose(mLibrary);
}

namespace {

std::vector<std::string> dataSourceFiles(const fs::path& folder) {
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code typeError;
        if (it->path().extension() == ".ds" && it->is_regular_file(typeError))
            files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

fs::file_time_type modified(const std::string& path) {
    std::error_code error;
    return fs::last_write_time(path, error);
}

// The file itself, as the dynamic loader tells libraries apart: one file under two names is one library.
std::pair<dev_t, ino_t> fileIdentity(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return {0, 0};
    return {info.st_dev, info.st_ino};
}

bool askIdentity(DSENTRYPROC entry, const TW_IDENTITY& asker, TW_IDENTITY& identity) {
    TW_IDENTITY origin = asker;
    identity = TW_IDENTITY{};
    identity.Id = newIdentityId();
    const TW_UINT32 id = identity.Id;
    try {
        if (entry(&origin, DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity) != TWRC_SUCCESS)
            return false;
    } catch (...) {
        return false;
    }
    identity.Id = id;
    return true;
}

} // namespace

std::vector<SourceRecord> SourceCatalog::scan(const TW_IDENTITY& asker) {
    std::lock_guard lock(mMutex);
    std::vector<SourceRecord> found;
    std::set<std::pair<dev_t, ino_t>> seen;
    for (const std::string& path : dataSourceFiles(dataSourceFolder())) {
        if (!seen.insert(fileIdentity(path)).second)
            continue;
        const fs::file_time_type time = modified(path);
        auto known = mKnown.find(path);
        if (known == mKnown.end() || known->second.modified != time) {
            Known fresh{time, false, SourceRecord{path, {}}};
            fresh.usable = identify(path, asker, fresh.record);
            known = mKnown.insert_or_assign(path, std::move(fresh)).first;
        }
        if (known->second.usable)
            found.push_back(known->second.record);
    }
    return found;
}

bool SourceCatalog::identify(const std::string& path, const TW_IDENTITY& asker, SourceRecord& record) {
    std::string why;
    const std::unique_ptr<LoadedSource> library = LoadedSource::load(path, why);
    if (library && askIdentity(library->entry(), asker, record.identity))
        return true;
    logLine("skipping " + path + ": " + (library ? "it does not answer its identity" : why));
    return false;
}

} // namespace twain::dsm
