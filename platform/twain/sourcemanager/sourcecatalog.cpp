// Finds *.ds files below the data-source folder, loads each with dlopen and asks it DAT_IDENTITY/MSG_GET.
// Broken files are remembered with their modification time, so a rescan neither retries nor re-logs them
// until they change.
#include "sourcecatalog.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <dlfcn.h>

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
    for (const std::string& path : dataSourceFiles(dataSourceFolder())) {
        if (!mLoaded.count(path) && !load(path, asker))
            continue;
        found.push_back(mLoaded.at(path));
    }
    return found;
}

bool SourceCatalog::load(const std::string& path, const TW_IDENTITY& asker) {
    const auto refused = mRefused.find(path);
    if (refused != mRefused.end() && refused->second == modified(path))
        return false;
    auto refuse = [&](std::string_view why) {
        logLine("skipping " + path + ": " + std::string(why));
        mRefused[path] = modified(path);
        return false;
    };
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* error = dlerror();
        std::string_view why = error ? error : "cannot be loaded";
        if (why.starts_with(path + ": ")) // dlerror names the file too
            why.remove_prefix(path.size() + 2);
        return refuse(why);
    }
    if (mLibraries.count(library)) {
        dlclose(library); // the same data source under a second name is listed once
        return false;
    }
    auto entry = reinterpret_cast<DSENTRYPROC>(dlsym(library, "DS_Entry"));
    if (!entry) {
        dlclose(library);
        return refuse("no DS_Entry");
    }
    mLibraries.insert(library);
    SourceRecord record{path, entry, {}};
    if (!askIdentity(entry, asker, record.identity))
        return refuse("it does not answer its identity");
    mRefused.erase(path);
    mLoaded.emplace(path, record);
    return true;
}

} // namespace twain::dsm
