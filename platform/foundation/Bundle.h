// A deliverable's bundle: its binary (program or shared object), its information dictionary (keys
// such as "CFBundleIdentifier" and "VXDeviceName") and its resource folder with the localised string
// tables. The resource folder of a binary "<dir>/<name>.<ext>" is the first that exists of
//   <folder>/<name>.resources  for each folder in $K3100_BUNDLE_PATH (colon-separated; for tests),
//   $K3100_DATA_DIR/<name>     (programs' data folders moved, for tests and uninstalled builds),
//   <dir>/<name>.resources     (the build tree, or a data source installed beside its resources),
//   <dir>/../share/k3100/<name> (an installed program's data folder);
// it holds "Info.plist", resources by name, and "<language>.lproj/<table>.strings".
#pragma once

#include "Export.h"
#include "StringTable.h"
#include "Value.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fnd {

class FND_EXPORT Bundle {
public:
    // The bundle of the binary at binaryPath; reads its information dictionary at once (missing:
    // empty; damaged: empty with one warning on stderr).
    explicit Bundle(const std::filesystem::path& binaryPath);

    // The bundle of the program or shared object that holds address (a function or variable of it).
    static std::optional<Bundle> containing(const void* address);
    // The running program's bundle.
    static const Bundle& main();

    const std::filesystem::path& binaryPath() const { return binaryPath_; }
    const std::filesystem::path& resourceFolder() const { return resourceFolder_; }
    const Dictionary& info() const { return info_; }
    const Value& infoValue(std::string_view key) const { return info_.get(key); }
    // "CFBundleIdentifier"; empty when the dictionary has none.
    std::string identifier() const;

    // "<resources>/<name>.<ext>" (ext may be empty) when that file exists.
    std::optional<std::filesystem::path> pathForResource(std::string_view name, std::string_view ext) const;

    // Languages this bundle has tables for, best first, chosen from LANGUAGE, LC_ALL, LC_MESSAGES and
    // LANG, then the development region ("CFBundleDevelopmentRegion", default "en").
    std::vector<std::string> preferredLocalizations() const;
    // The text for key from the first preferred language's table that has it; the key itself when none.
    std::string localizedString(std::string_view key, std::string_view table = "Localizable") const;
    // Every key that some bundle of this process looked up and did not find since it started, as
    // "<bundle folder>/<table>: <key>", sorted; a window that shows one shows a raw key.
    static std::vector<std::string> missedKeys();

private:
    struct TableCache {
        std::mutex mutex;
        std::map<std::string, StringTable, std::less<>> tables; // by "<language>/<table>"
    };
    const StringTable& table(const std::string& language, std::string_view name) const;

    std::filesystem::path binaryPath_;
    std::filesystem::path resourceFolder_;
    Dictionary info_;
    std::shared_ptr<TableCache> cache_ = std::make_shared<TableCache>();
};

} // namespace fnd
