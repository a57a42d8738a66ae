// The desktop's answers to TlvPlatformLookup: the language and unit from the locale environment, the
// default printer from the CUPS settings, the JPEG handler from xdg-mime, texts from the program's
// string table and the clock from the C library.
#pragma once

#include "TlvPlatformLookup.h"

#include <filesystem>
#include <vector>

class TlvSystemLookup : public TlvPlatformLookup {
public:
    std::string languageName() const override;
    bool measuresInCentimeters() const override;
    std::optional<std::string> defaultPrinterName() const override;
    std::optional<fnd::Dictionary> sharedPrintSettings() const override;
    std::optional<std::string> defaultImageApplication() const override;
    std::string localizedString(std::string_view key) const override;
    TlvLocalTime localNow() const override;

    // "ja_JP.UTF-8" -> "Japanese", "zh_Hant_TW" -> "zh_TW", ...; "" for a language the application
    // has no name for.
    static std::string languageNameForLocale(std::string_view locale);
    // The desktop entry "<id>" in the applications folders of the XDG data folders, best first; an id
    // "kde-foo.desktop" may also stand for "kde/foo.desktop".
    static std::optional<std::filesystem::path>
    desktopEntryPath(std::string_view desktopId, const std::vector<std::filesystem::path>& dataDirs);
    // The default destination named in a CUPS lpoptions text ("Default <name>[/<instance>] ...").
    static std::optional<std::string> defaultInLpoptions(std::string_view text);
};
