// Whole-file reads with a size cap, and atomic replacement of a file: the new bytes go to a temporary
// file in the same folder, are flushed to disk, and are renamed over the old file, so a reader sees
// either the old or the new contents and a failed write leaves the old file untouched.
#pragma once

#include "Export.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace fnd {

enum class ReadStatus { Ok, Missing, Unreadable, TooLarge };

// Reads the whole file into bytes (cleared first). Files above maxBytes are refused, never read;
// anything but a regular file (a FIFO, a folder) is Unreadable at once.
FND_EXPORT ReadStatus readWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                                    std::uintmax_t maxBytes, std::string* error = nullptr);

// Whether a failed write found no room: a full disk or quota, or a file at the largest size allowed
// (the file system's or the process's).
inline bool isNoRoomError(int error) {
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

// Renames from to to unless a file exists there (then false with errno EEXIST).
FND_EXPORT bool renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether an atomic write may take the place of a file that already exists under the name.
enum class Existing { Replace, Keep };

// Replaces path with bytes atomically. An existing regular file's permission bits are kept; a new file
// gets 0666 less the umask. Neither is ever left writable by others. With Existing::Keep an existing file is
// never replaced: the write fails with EEXIST instead. On failure the temporary file is removed, the old file
// is untouched and error says why.
FND_EXPORT bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                    std::string* error = nullptr, Existing existing = Existing::Replace);
// The same with the contents streamed by write into the open temporary file (positioned at its start),
// so a large file is never held whole; write answers false on failure and may leave errno.
FND_EXPORT bool writeFileAtomically(const std::filesystem::path& path,
                                    const std::function<bool(int fd)>& write, std::string* error = nullptr,
                                    Existing existing = Existing::Replace);

} // namespace fnd
