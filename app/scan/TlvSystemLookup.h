// The desktop's answers to TlvPlatformLookup: the language and unit from the locale environment, the
// default printer from the CUPS settings, the JPEG handler from xdg-mime, texts from the program's
// string table and the clock from the C library.
#pragma once

#include "TlvPlatformLookup.h"

#include <chrono>
#include <filesystem>
#include <mutex>
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

private:
    // An answer that needs a helper program is kept for a few seconds: building the job lists asks
    // the same question once per job.
    struct CachedAnswer {
        std::optional<std::string> answer;
        std::chrono::steady_clock::time_point asked;
        bool valid = false;
    };
    static std::optional<std::string> askDefaultPrinter();
    static std::optional<std::string> askDefaultImageApplication();
    template <typename Ask> std::optional<std::string> cached(CachedAnswer& slot, Ask ask) const;

    mutable std::mutex mCacheMutex;
    mutable CachedAnswer mPrinter;
    mutable CachedAnswer mImageApplication;
};
