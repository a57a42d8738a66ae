// Standard folders and file tests. The folders a user may not pick are those of settings and of the
// system, the temporary folder and hidden folders.
#include "VX_Func.h"

#include <QStandardPaths>

#include <array>
#include <cstdlib>

namespace fs = std::filesystem;

namespace {

fs::path homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path("/");
}

fs::path xdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    return value && *value && fs::path(value).is_absolute() ? fs::path(value) : homeFolder() / fallback;
}

std::vector<fs::path> settingsAndSystemFolders() {
    std::vector<fs::path> folders = {
        xdgFolder("XDG_CONFIG_HOME", ".config"), xdgFolder("XDG_DATA_HOME", ".local/share"),
        xdgFolder("XDG_CACHE_HOME", ".cache"), xdgFolder("XDG_STATE_HOME", ".local/state")};
    for (const char* system : {"/etc", "/usr", "/var", "/lib", "/lib64", "/bin", "/sbin", "/boot", "/proc",
                               "/sys", "/dev", "/run", "/opt"})
        folders.emplace_back(system);
    for (fs::path& folder : folders)
        folder = folder.lexically_normal();
    return folders;
}

fs::path temporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return (tmp && *tmp ? fs::path(tmp) : fs::path("/tmp")).lexically_normal();
}

fs::path withoutTrailingSlash(const fs::path& path) {
    const fs::path normal = path.lexically_normal();
    return normal.has_filename() || normal == normal.root_path() ? normal : normal.parent_path();
}

} // namespace

std::optional<fs::path> VX_Func::defaultAppFolder() {
    std::error_code ec;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        const fs::path path(dir.toStdString());
        if (path != xdgFolder("XDG_DATA_HOME", ".local/share") / "applications" && fs::is_directory(path, ec))
            return fs::canonical(path, ec);
    }
    return std::nullopt;
}

fs::path VX_Func::defaultDocumentFolder() {
    std::error_code ec;
    const fs::path path(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString());
    const fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
}

fs::path VX_Func::defaultPictureFolder() {
    std::error_code ec;
    const fs::path home = homeFolder() / "Pictures";
    if (fs::exists(home, ec))
        return home;
    const fs::path desktop(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).toStdString());
    if (!desktop.empty() && (fs::is_directory(desktop, ec) || fs::create_directories(desktop, ec)))
        return desktop;
    return home;
}

std::optional<std::vector<std::string>> VX_Func::directoryFilesAtPath(const fs::path& path) {
    if (!isDirectory(path))
        return std::nullopt;
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, ec))
        if (!entry.is_directory(ec))
            names.push_back(entry.path().filename().string());
    return names;
}

bool VX_Func::isDirectory(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

bool VX_Func::isExistsFile(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::exists(path, ec);
}

bool VX_Func::isRemoveFile(const fs::path& path) {
    std::error_code ec;
    if (path.empty() || !fs::exists(fs::symlink_status(path, ec)))
        return false;
    fs::remove_all(path, ec);
    return !ec;
}

bool VX_Func::isLibraryDirectory(const fs::path& path) {
    if (path.empty())
        return false;
    const std::vector<fs::path> folders = settingsAndSystemFolders();
    for (fs::path p = withoutTrailingSlash(path); !p.empty() && p != p.root_path(); p = p.parent_path())
        if (std::find(folders.begin(), folders.end(), p) != folders.end())
            return true;
    return false;
}

bool VX_Func::isDisplaysDirectory(const fs::path& path) {
    if (!isDirectory(path) || isLibraryDirectory(path))
        return false;
    const fs::path normal = withoutTrailingSlash(path);
    if (normal == temporaryFolder())
        return false;
    for (const fs::path& component : normal)
        if (component.string().starts_with('.') && component != "." && component != "..")
            return false;
    return true;
}
