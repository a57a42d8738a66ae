// The [Desktop Entry] group of a .desktop file: an application's name, icon and command line, or a
// login item. Values come back with the string escapes (\s \n \t \r \\) undone; other backslash
// pairs stay as they are for the command-line rules (see ExecLine.h).
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace ws {

class DesktopEntry {
public:
    // Files above this size are no .desktop files (bytes).
    static constexpr std::uintmax_t kMaxFileBytes = 1u << 20;

    // Absent when the file cannot be read or has no [Desktop Entry] group.
    static std::optional<DesktopEntry> load(const std::filesystem::path& file);
    static std::optional<DesktopEntry> parse(std::string_view text, std::filesystem::path file = {});

    const std::filesystem::path& file() const { return file_; }
    std::optional<std::string> value(std::string_view key) const;
    // "true" is true; anything else, or nothing, is false.
    bool boolean(std::string_view key) const { return value(key) == "true"; }

    // Name (or Icon) in the user's language when the file has it (Name[de_DE], Name[de]), else the
    // plain value; empty when there is none.
    std::string localized(std::string_view key) const;
    std::string name() const { return localized("Name"); }
    std::string icon() const { return localized("Icon"); }
    std::string exec() const { return value("Exec").value_or(""); }

private:
    std::filesystem::path file_;
    std::map<std::string, std::string, std::less<>> values_;
};

// "\\" -> "\", "\s" -> " ", "\n", "\t", "\r"; any other backslash pair is kept whole.
std::string unescapeValue(std::string_view raw);
// The inverse for writing a value: backslash, newline, tab, carriage return and a leading space.
std::string escapeValue(std::string_view text);

} // namespace ws
