// A localised string table: key to text, read from one file per language and table. The file is
// either the text form  "key" = "text";  (with // and /* */ comments and backslash escapes) or a
// property-list dictionary of strings. Looking up a missing key answers the key itself, so a missing
// translation shows something sensible instead of nothing.
#pragma once

#include "Export.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace fnd {

class FND_EXPORT StringTable {
public:
    StringTable() = default;

    // A missing file gives an empty table; a damaged one gives the entries before the damage and
    // one warning on stderr naming the file and line.
    static StringTable load(const std::filesystem::path& file);
    // Parses the text form; error (when given) receives "line N: reason" for damaged text.
    static StringTable parse(std::string_view text, std::string* error = nullptr);

    std::string lookup(std::string_view key) const;
    const std::string* find(std::string_view key) const;
    std::size_t size() const { return texts_.size(); }

private:
    std::unordered_map<std::string, std::string> texts_;
};

} // namespace fnd
