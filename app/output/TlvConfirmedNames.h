// The checks of the file names a user confirms for a job's written files before they are moved.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tlv {

// The message key of the first fault, none when every name can be used: a name must not be empty,
// must not begin with ".", must be usable as a file name together with the written file's extension
// (refused characters, at most 255 bytes in UTF-8), no two names may be equal, and every written file
// must still be there, one per name.
std::optional<std::string> checkConfirmedNames(const std::vector<std::string>& names,
                                               const std::vector<std::filesystem::path>& written);

// The written file's extension with its dot; empty when the file is gone or has none.
std::string extensionOfWritten(const std::filesystem::path& written);

} // namespace tlv
