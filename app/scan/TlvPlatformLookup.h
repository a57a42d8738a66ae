// What the setting models ask of the desktop: the user's language, measurement unit, default printer
// and print settings, the default image application, localised texts and the clock. One small
// interface, so that tests can fix every answer; the system's answers come from TlvSystemLookup.
#pragma once

#include "Value.h"

#include <optional>
#include <string>
#include <string_view>

// A local calendar date and time: month 1..12, day 1..31, hour 0..23.
struct TlvLocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class TlvPlatformLookup {
public:
    virtual ~TlvPlatformLookup() = default;

    // The application's language as the models compare it: "Japanese", "English", "zh_CN", "zh_TW",
    // "Korean", "Spanish", "French", "German", "Italian" or "Dutch".
    virtual std::string languageName() const = 0;
    virtual bool measuresInCentimeters() const = 0;
    // Absent when the system has no default printer.
    virtual std::optional<std::string> defaultPrinterName() const = 0;
    // The application's shared print settings; absent when there are none.
    virtual std::optional<fnd::Dictionary> sharedPrintSettings() const = 0;
    // Full path of the desktop entry that opens JPEG images; absent when there is none.
    virtual std::optional<std::string> defaultImageApplication() const = 0;
    // The application's text for key; the key itself when there is none.
    virtual std::string localizedString(std::string_view key) const = 0;
    virtual TlvLocalTime localNow() const = 0;

    // The look-up in force: the one set last, else the system's.
    static const TlvPlatformLookup& shared();
    // Puts a look-up in force (the caller keeps it alive while it is); nullptr restores the system's.
    static void setShared(const TlvPlatformLookup* lookup);
};
