// The data source is opened with RTLD_LOCAL so its symbols never mix with the helper's; only
// GetQSButtonStatus is looked up, so its TWAIN entry and dialog are never reached from here.
#include "Tapwell_Utility.h"

#include "Alias.h"
#include "Bundle.h"
#include "PreferencesFile.h"

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>

namespace tapwell {
namespace fs = std::filesystem;

namespace {

std::mutex gBindMutex;
ButtonFunction gButtonFunction = nullptr; // bound once, kept for the helper's life

std::optional<fs::path> dataSourceFile() {
    const fs::path folder = Tapwell_Utility::dataSourceFolder();
    std::string name = Tapwell_Utility::infoString("VXDataSourceName");
    if (name.empty())
        name = "K3100.ds";
    std::error_code error;
    for (const fs::path& candidate : {folder / "k3100" / name, folder / name})
        if (fs::is_regular_file(candidate, error))
            return candidate;
    return std::nullopt;
}

} // namespace

bool Tapwell_Utility::isInstalledProgram(const fs::path& program, const fs::path& prefix,
                                         const std::string& desktopId) {
    std::error_code error;
    const fs::path bin = fs::weakly_canonical(prefix / "bin", error);
    return !error && program.is_absolute() && program.parent_path() == bin &&
           fs::is_regular_file(prefix / "share" / "applications" / (desktopId + ".desktop"), error);
}

bool Tapwell_Utility::isInstalledHelper(const std::string& desktopId) {
    const char* staged = std::getenv("K3100_INSTALL_PREFIX");
    const fs::path prefix = staged && *staged ? fs::path(staged) : fs::path(K3100_INSTALL_PREFIX);
    return isInstalledProgram(fnd::Bundle::main().binaryPath(), prefix, desktopId);
}

fs::path Tapwell_Utility::dataSourceFolder() {
    const char* override = std::getenv("K3100_TWAIN_DS_DIR");
    if (override && *override)
        return fs::path(override);
    return (fnd::Bundle::main().binaryPath().parent_path() / ".." / K3100_TWAIN_DS_INSTALL_DIR)
        .lexically_normal();
}

ButtonFunction Tapwell_Utility::dsBtnFunctionCheck() {
    std::lock_guard lock(gBindMutex);
    if (gButtonFunction)
        return gButtonFunction;
    const std::optional<fs::path> file = dataSourceFile();
    if (!file)
        return nullptr;
    void* handle = dlopen(file->c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    void* symbol = dlsym(handle, "GetQSButtonStatus");
    if (!symbol) {
        dlclose(handle);
        return nullptr;
    }
    gButtonFunction = reinterpret_cast<ButtonFunction>(symbol);
    return gButtonFunction;
}

int Tapwell_Utility::dsButtonStatusCheck(std::uint32_t* status, std::uint32_t* locationId) {
    const ButtonFunction function = dsBtnFunctionCheck();
    if (!function || !status || !locationId)
        return kNoScanner;
    *status = 0;
    *locationId = 0;
    return function(status, locationId);
}

std::string Tapwell_Utility::infoString(const char* key, bool withoutExtension) {
    const std::string* value = fnd::Bundle::main().infoValue(key).asString();
    if (!value)
        return {};
    return withoutExtension ? fs::path(*value).stem().string() : *value;
}

std::optional<fs::path> Tapwell_Utility::getMainAppPath() {
    const std::string alias = infoString("VXMainAppName", true);
    const fs::path& folder = fnd::Bundle::main().resourceFolder();
    if (alias.empty() || folder.empty())
        return std::nullopt;
    return ws::resolveAlias(folder / alias);
}

std::string Tapwell_Utility::mainAppIdentifier() {
    if (const std::optional<fs::path> path = getMainAppPath()) {
        std::string id = fnd::Bundle(*path).identifier();
        if (!id.empty())
            return id;
    }
    return kMainAppFallbackId;
}

std::string Tapwell_Utility::mainAppName() {
    if (const std::optional<fs::path> path = getMainAppPath()) {
        const fnd::Bundle main(*path);
        if (const std::string* name = main.infoValue("CFBundleName").asString())
            return *name;
    }
    return infoString("VXMainAppName", true);
}

fs::path Tapwell_Utility::getPlistPath() {
    return fnd::PreferencesFile::pathForBundle(mainAppIdentifier());
}

} // namespace tapwell
