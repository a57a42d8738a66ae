// A platform look-up with answers a test chooses, put in force for the test's lifetime, and a private
// configuration folder so that user defaults go to a real property-list file of the test's own.
#pragma once

#include "TlvPlatformLookup.h"

#include "ScopedEnv.h"
#include "TempFolder.h"
#include "UserDefaults.h"

#include <map>

struct FixedLookup : TlvPlatformLookup {
    std::string language = "English";
    bool centimeters = false;
    std::optional<std::string> printer;
    std::optional<fnd::Dictionary> printSettings;
    std::optional<std::string> imageApplication;
    std::map<std::string, std::string, std::less<>> strings;
    TlvLocalTime now{2009, 3, 7, 14, 5, 9};

    FixedLookup() { TlvPlatformLookup::setShared(this); }
    ~FixedLookup() override { TlvPlatformLookup::setShared(nullptr); }
    FixedLookup(const FixedLookup&) = delete;
    FixedLookup& operator=(const FixedLookup&) = delete;

    std::string languageName() const override { return language; }
    bool measuresInCentimeters() const override { return centimeters; }
    std::optional<std::string> defaultPrinterName() const override { return printer; }
    std::optional<fnd::Dictionary> sharedPrintSettings() const override { return printSettings; }
    std::optional<std::string> defaultImageApplication() const override { return imageApplication; }
    std::string localizedString(std::string_view key) const override {
        const auto it = strings.find(key);
        return it == strings.end() ? std::string(key) : it->second;
    }
    TlvLocalTime localNow() const override { return now; }
};

// User defaults of the application's identifier in a folder that the test removes.
class PrivateDefaults {
public:
    PrivateDefaults() : config_("XDG_CONFIG_HOME", folder_.path().c_str()) {}
    static constexpr const char* kBundleId = "com.orvikElectronics.tollivar";
    std::filesystem::path file() const { return folder_ / std::filesystem::path(kBundleId).concat(".plist"); }
    // A fresh object that reads the file as it is on disk now.
    std::unique_ptr<fnd::UserDefaults> open() const { return std::make_unique<fnd::UserDefaults>(kBundleId); }

private:
    TempFolder folder_;
    ScopedEnv config_;
};
