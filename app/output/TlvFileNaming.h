// Numbering of output files. A new file takes the next number of the batch's run counter when the
// automatic rule counts; a name that is taken gets its own trailing number moved on, or "_001"
// appended, until a free name is found. The name is only chosen: the file is published under it
// without replacing one, and a file that appears there meanwhile moves the numbering on. Names are the
// last path component without extension; "_" is searched from the end.
#pragma once

#include "TlvOutputOptions.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tlv {

class TlvFileNaming {
public:
    // automaticRule: the name came from the automatic rule (else from the free name).
    TlvFileNaming(const TlvOutputOptions& options, bool automaticRule);

    // The counter of the name once the user's name part is taken out; -1 when there is none.
    int64_t numberInPath(const std::filesystem::path& path) const;
    // True when the name, without the user's own text, ends in "_" and digits.
    bool isAddedNumInString(const std::string& fileName) const;

    // The name with its trailing number moved on by one (isAddedNum) or with "_001" appended.
    static std::optional<std::filesystem::path>
    checkPathAndAddNumStrForPath(const std::filesystem::path& path, bool isAddedNum);
    // The name with its trailing number replaced by num, keeping the digit count where it fits.
    static std::optional<std::filesystem::path> changeNumInPath(const std::filesystem::path& path,
                                                                int64_t num);

    // The first free name from path on. runCounter is the batch's (-1: none yet). None when no name
    // could be had.
    std::optional<std::filesystem::path> checkFilePath(const std::filesystem::path& path, bool isRenameMove,
                                                       std::atomic<int64_t>& runCounter) const;

private:
    std::string mUserText; // the name part or the free name without extension
    bool mCounts;          // the run counter applies
};

// The longest file name the file systems take (bytes, UTF-8).
inline constexpr std::size_t kMaxFileNameBytes = 255;

// True when name can be a file of its own in the chosen folder: not empty, no "/" or NUL, not "." or
// "..", no leading ".", at most 255 bytes, none of the refused characters.
bool isUsableFileName(const std::string& name);

} // namespace tlv
