// Whole-file reads with a size cap, and atomic replacement of a file: the new bytes go to a temporary
// file in the same folder, are flushed to disk, and are renamed over the old file, so a reader sees
// either the old or the new contents and a failed write leaves the old file untouched.
#pragma once

#include "Export.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace fnd {

enum class ReadStatus { Ok, Missing, Unreadable, TooLarge };

// Reads the whole file into bytes (cleared first). Files above maxBytes are refused, never read.
FND_EXPORT ReadStatus readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                                    std::uintmax_t maxBytes, std::string* error = nullptr);

// Replaces path with bytes atomically. An existing file's permission bits are kept; a new file gets
// 0644. On failure the temporary file is removed, the old file is untouched and error says why.
FND_EXPORT bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                    std::string* error = nullptr);

} // namespace fnd
