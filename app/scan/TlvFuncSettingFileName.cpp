// File names under the output function's naming rule. Every part that comes from settings (the
// fixed part, the free name, a localised date or time layout) is outside input: it is checked here,
// where the name is built, so that nothing but a plain name inside the target folder reaches the
// file system. Localised layouts are templates whose placeholders {year} {month} {day} {hour}
// {minute} {second} are replaced by digits; nothing in them is ever used as a format.
#include "TlvFuncSettingMdl.h"

#include "TlvPlatformLookup.h"
#include "TlvUtilsMethod.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// Longest file name most Linux file systems take (bytes).
constexpr std::size_t kMaxNameBytes = 255;
// Widest counter the file-name panel offers (digits).
constexpr int kMaxCounterDigits = 6;
constexpr int kLocalisedLayout = 3;

// A text that can stand in a file name: no refused character, no path separator, NUL or control
// character, not "." or ".." and not hidden.
bool isPlainNamePart(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    const QString name = QString::fromStdString(text);
    return TlvUtilsMethod::isValidNameInString(name) && !TlvUtilsMethod::isHeadCharDotInString(name);
}

std::string trimSpacesAndTabs(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string padded(long long value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld", digits, value);
    return text;
}

// Replaces each placeholder by its digits; absent when the template holds none (a missing text
// answers its key, which must not become part of a name).
std::optional<std::string> fillTemplate(std::string text,
                                        const std::pair<std::string_view, std::string> (&values)[3]) {
    bool used = false;
    for (const auto& [placeholder, digits] : values)
        for (std::size_t at = text.find(placeholder); at != std::string::npos;
             at = text.find(placeholder, at + digits.size())) {
            text.replace(at, placeholder.size(), digits);
            used = true;
        }
    return used ? std::optional<std::string>(std::move(text)) : std::nullopt;
}

std::string numericDate(int layout, const TlvLocalTime& t) {
    switch (layout) {
    case 1:
        return padded(t.month, 2) + padded(t.day, 2) + padded(t.year, 4);
    case 2:
        return padded(t.day, 2) + padded(t.month, 2) + padded(t.year, 4);
    default:
        return padded(t.year, 4) + padded(t.month, 2) + padded(t.day, 2);
    }
}

std::string numericTime(const TlvLocalTime& t) {
    return padded(t.hour, 2) + padded(t.minute, 2) + padded(t.second, 2);
}

// The localised date and time, or the numeric layout 0 when the localised texts are missing or
// would not make a plain name.
std::string localisedDateTime(const TlvLocalTime& t) {
    const TlvPlatformLookup& lookup = TlvPlatformLookup::shared();
    const auto date = fillTemplate(
        lookup.localizedString("DateTime_Format_YYYYMMDD"),
        {{"{year}", padded(t.year, 4)}, {"{month}", padded(t.month, 2)}, {"{day}", padded(t.day, 2)}});
    const auto time =
        fillTemplate(lookup.localizedString("DateTime_Format_HHMMSS"), {{"{hour}", padded(t.hour, 2)},
                                                                        {"{minute}", padded(t.minute, 2)},
                                                                        {"{second}", padded(t.second, 2)}});
    if (date && time && isPlainNamePart(*date + *time))
        return *date + *time;
    return numericDate(0, t) + numericTime(t);
}

std::string dateTimePart(int layout, const TlvLocalTime& t) {
    return layout == kLocalisedLayout ? localisedDateTime(t) : numericDate(layout, t) + numericTime(t);
}

// The whole name, or "" when it could not name a file (empty, hidden, too long).
std::string finished(std::string base, std::int32_t fileFormatType, bool isExt) {
    if (base.empty() || !isPlainNamePart(base))
        return {};
    if (isExt)
        base += TlvFuncSettingMdl::extensionForFormat(fileFormatType);
    return base.size() <= kMaxNameBytes ? base : std::string();
}

} // namespace

std::string TlvFuncSettingMdl::imgFileName(int e, bool isExt, const std::optional<TlvLocalTime>& at) const {
    if (e < 0 || e >= sFuncIndexSum)
        return {};
    const TlvFuncEntry& rule = entry(e);
    std::string name = trimSpacesAndTabs(rule.partFileName);
    if (!isPlainNamePart(name))
        name.clear(); // a fixed part that cannot stand in a name is left out, not the whole name
    if (rule.isAddDateTime)
        name += dateTimePart(rule.dateTimeType, at.value_or(TlvPlatformLookup::shared().localNow()));
    if (rule.isAddNumber) {
        const int digits = std::clamp(rule.digitType + 1, 1, kMaxCounterDigits);
        name += '_';
        name += padded(rule.startNum, digits);
    }
    return finished(std::move(name), rule.fileFormatType, isExt);
}

std::optional<std::string> TlvFuncSettingMdl::freeFileName(int e, bool isExt) const {
    if (e < 0 || e >= sFuncIndexSum)
        return std::nullopt;
    const TlvFuncEntry& rule = entry(e);
    if (!rule.freeFileName)
        return std::nullopt;
    return finished(*rule.freeFileName, rule.fileFormatType, isExt);
}
