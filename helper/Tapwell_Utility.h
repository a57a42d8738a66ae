// The helper's ties to the other deliverables: the data source's button function, loaded at run time
// from the TWAIN data-source folder, and the main application, found through the alias in the
// helper's data folder together with its identity and its preferences file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tapwell {

// The data source's exported button function: status and USB location out, result 0, -1, -2 or -3.
using ButtonFunction = int (*)(std::uint32_t* status, std::uint32_t* locationId);

class Tapwell_Utility {
public:
    static constexpr int kNoScanner = -1;
    static constexpr char kMainAppFallbackId[] = "com.orvikElectronics.tollivar";

    // $K3100_TWAIN_DS_DIR when set, else lib/twain of the prefix the helper is installed under.
    static std::filesystem::path dataSourceFolder();
    // The bound function; a failed binding is not remembered, so the next poll tries again. The
    // data source is loaded only for this symbol: none of its entry points run.
    static ButtonFunction dsBtnFunctionCheck();
    // Clears both outputs and reads the button; -1 when the function cannot be bound.
    static int dsButtonStatusCheck(std::uint32_t* status, std::uint32_t* locationId);

    // The target of the alias named by VXMainAppName (without extension) in the helper's data folder;
    // none when that is no alias or leads nowhere.
    static std::optional<std::filesystem::path> getMainAppPath();
    // The main application's bundle identifier: its bundle's, else the identity it is known by.
    static std::string mainAppIdentifier();
    // The name the user knows it by: its bundle's CFBundleName, else the alias's name.
    static std::string mainAppName();
    // $XDG_CONFIG_HOME/<main application id>.plist.
    static std::filesystem::path getPlistPath();
    // Whether program is an installed copy: "<prefix>/bin/<program>" with the .desktop file of
    // desktopId in "<prefix>/share/applications".
    static bool isInstalledProgram(const std::filesystem::path& program, const std::filesystem::path& prefix,
                                   const std::string& desktopId);
    // The running helper is installed under the prefix it was built for ($K3100_INSTALL_PREFIX instead,
    // to check a staged install). Only then may it touch the login items: a build tree or a staging
    // folder must not start itself at the next log-in.
    static bool isInstalledHelper(const std::string& desktopId);
    // A string of the helper's own information dictionary, with its extension removed when asked.
    static std::string infoString(const char* key, bool withoutExtension = false);
};

} // namespace tapwell
