// Property lists in and out of Value trees, carried by libplist: XML and binary are read, XML (and
// binary, for exchange and tests) is written. Integers come back as 64-bit numbers, since a property
// list does not record a width; dates keep whole seconds in XML.
#pragma once

#include "Export.h"
#include "FileIO.h"
#include "Value.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fnd::plist {

// Largest property-list file that is read (bytes); settings files are a few KiB.
inline constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

// Absent for malformed input; never throws for bad bytes.
FND_EXPORT std::optional<Value> parse(std::span<const std::uint8_t> bytes, std::string* error = nullptr);

// Fail (absent, with a reason) for values a property list cannot hold: an absent value, a pointer,
// a string with a NUL byte, an unsigned number above 2^63-1, a date outside 1933..2069.
FND_EXPORT std::optional<std::string> toXml(const Value& value, std::string* error = nullptr);
FND_EXPORT std::optional<std::vector<std::uint8_t>> toBinary(const Value& value,
                                                             std::string* error = nullptr);

struct FileContents {
    ReadStatus status = ReadStatus::Missing;
    bool malformed = false; // read, but not a property list
    Value value;
    std::string error;
    bool ok() const { return status == ReadStatus::Ok && !malformed; }
};
FND_EXPORT FileContents readFile(const std::filesystem::path& path);

// Writes the value atomically (see writeFileAtomically) as XML, or in the binary form when a string or
// key holds a control character that XML 1.0 cannot carry even escaped, so that other tools can still
// read the file. Nothing is touched when the value cannot be written.
FND_EXPORT bool writeFile(const std::filesystem::path& path, const Value& value,
                          std::string* error = nullptr);

} // namespace fnd::plist
