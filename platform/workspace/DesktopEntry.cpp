// Only the first [Desktop Entry] group counts, and within it the first of duplicate keys; comments,
// blank lines and other groups are skipped, so odd files still give their main keys.
#include "DesktopEntry.h"

#include "FileIO.h"

#include <cstdlib>
#include <vector>

namespace ws {
namespace {

std::string_view trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// lang_COUNTRY.ENCODING@MODIFIER gives lang_COUNTRY@MODIFIER, lang_COUNTRY, lang@MODIFIER, lang.
std::vector<std::string> localeKeys() {
    const char* locale = nullptr;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* v = std::getenv(var); v && *v && !locale)
            locale = v;
    std::string_view l = locale ? locale : "";
    const std::size_t at = l.find('@');
    const std::string modifier = at == std::string_view::npos ? "" : std::string(l.substr(at));
    l = l.substr(0, std::min(at, l.find('.')));
    if (l.empty() || l == "C" || l == "POSIX")
        return {};
    const std::string lang(l.substr(0, l.find('_')));
    std::vector<std::string> keys;
    if (!modifier.empty())
        keys.push_back(std::string(l) + modifier);
    if (l.size() > lang.size())
        keys.emplace_back(l);
    if (!modifier.empty())
        keys.push_back(lang + modifier);
    keys.push_back(lang);
    return keys;
}

} // namespace

std::string unescapeValue(std::string_view raw) {
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char next = i + 1 < raw.size() ? raw[i + 1] : '\0';
        const char* mapped = nullptr;
        if (raw[i] == '\\')
            mapped = next == 's'    ? " "
                     : next == 'n'  ? "\n"
                     : next == 't'  ? "\t"
                     : next == 'r'  ? "\r"
                     : next == '\\' ? "\\"
                                    : nullptr;
        if (mapped) {
            out += mapped;
            ++i;
        } else {
            out += raw[i];
        }
    }
    return out;
}

std::string escapeValue(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        out += c == '\\'              ? "\\\\"
               : c == '\n'            ? "\\n"
               : c == '\t'            ? "\\t"
               : c == '\r'            ? "\\r"
               : (c == ' ' && i == 0) ? "\\s"
                                      : std::string(1, c);
    }
    return out;
}

std::optional<DesktopEntry> DesktopEntry::parse(std::string_view text, std::filesystem::path file) {
    DesktopEntry entry;
    entry.file_ = std::move(file);
    enum { Before, Inside, After } where = Before;
    while (!text.empty() && where != After) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            where = line == "[Desktop Entry]" && where == Before ? Inside : where == Inside ? After : Before;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (where == Inside && eq != std::string_view::npos && eq > 0)
            entry.values_.emplace(std::string(trim(line.substr(0, eq))),
                                  unescapeValue(trim(line.substr(eq + 1))));
    }
    if (where == Before)
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::load(const std::filesystem::path& file) {
    std::vector<std::uint8_t> bytes;
    if (fnd::readWholeFile(file, bytes, kMaxFileBytes) != fnd::ReadStatus::Ok)
        return std::nullopt;
    return parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file);
}

std::optional<std::string> DesktopEntry::value(std::string_view key) const {
    const auto it = values_.find(key);
    return it == values_.end() ? std::nullopt : std::optional(it->second);
}

std::string DesktopEntry::localized(std::string_view key) const {
    for (const std::string& locale : localeKeys())
        if (auto v = value(std::string(key) + "[" + locale + "]"))
            return *v;
    return value(key).value_or("");
}

} // namespace ws
